// Which mode the reader reads the open document in: chosen by the user, or
// by the detection tavelo-convert uses, from the document's first bytes.
#pragma once

#include "encoding/encoding.h"

// The mode detection picks for the open document: GB18030 for any text of
// the GB family (and for ASCII, quoted-printable or binary bytes, which it
// shows as they are), else the encoding found.
Encoding DetectReadingMode();

// Reads the open document in mode from now on: kGb2312 for the modes the
// reader has always had, or one of the modes through Unicode. A UTF-16
// document is read in the byte order its mark gives, else little-endian.
void SetTextMode(Encoding mode);
