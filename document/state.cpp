#include "document/state.h"

FileHandle documentHandle = kInvalidFile;
DocumentReader reader;
int big5Mode = 0;
Encoding textMode = kGb2312;
bool utf16BigEndian = false;
bool hzInRun = false;
LineTable lineTable;
int lastLine = 0;
int truncated = 0;
BlockHandle workAreaBlock = 0;
std::uint8_t* readBuffer = nullptr;
std::uint8_t* lineBytes = nullptr;
std::uint8_t* linePhase = nullptr;

void ResetDocumentState() {
  documentHandle = kInvalidFile;
  reader = DocumentReader{};
  big5Mode = 0;
  textMode = kGb2312;
  utf16BigEndian = false;
  hzInRun = false;
  lineTable = LineTable{};
  lastLine = 0;
  truncated = 0;
  workAreaBlock = 0;
  readBuffer = nullptr;
  lineBytes = nullptr;
  linePhase = nullptr;
}
