#include "conversion/state.h"

#include <cstring>

const std::uint8_t* big5Table = nullptr;
BlockHandle big5Block = 0;
std::uint8_t big5GbCodes[kBig5Leads][256][2];
std::vector<std::uint16_t> characterFacts;

void ResetConversionState() {
  big5Table = nullptr;
  big5Block = 0;
  std::memset(big5GbCodes, 0, sizeof big5GbCodes);
  characterFacts = std::vector<std::uint16_t>();
}
