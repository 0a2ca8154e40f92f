#include "document/encoding_mode.h"

int big5Mode = 0;
