#include "conversion/state.h"

const std::uint8_t* big5Table = nullptr;
BlockHandle big5Block = 0;

void ResetConversionState() {
  big5Table = nullptr;
  big5Block = 0;
}
