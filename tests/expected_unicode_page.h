// What the window should show in the modes that read through Unicode, worked
// out without the reader: each character is read with glibc's iconv, laid
// out by the layout rules and copied from the Unicode atlas file on disk.
#pragma once

#include "encoding/encoding.h"
#include "tests/expected_page.h"

// The page for request.document read in mode (kGb18030, kBig5, kBig5Hkscs,
// kUtf8, kUtf16 or kHz); request.big5 is not used.
Bytes ExpectedUnicodePage(const PageRequest& request, Encoding mode);

// How many display lines the document takes in mode at columns.
int ExpectedUnicodeLines(const Bytes& document, Encoding mode, int columns);
