// --names: file and folder names written by another system in its own
// encoding (Chinese Windows writes GBK or BIG5 bytes) decoded and written in
// UTF-8. The encoding is detected over all such names of a run together,
// which says more than one short name does.
#pragma once

#include <string>
#include <vector>

#include "encoding/encoding.h"

// Whether name is written in another encoding: it is not UTF-8, or it is
// UTF-8 only by chance, as detection finds.
bool IsForeignName(const std::string& name);

// Adds to odd each name in the tree at input, input's own last part too,
// that is foreign, with a line end after it; links are not followed.
void CollectOddNames(const std::string& input, std::string* odd);

// The encoding of the names in odd, by detection; false, having reported,
// when it is none a name can be decoded from.
bool DetectNamesEncoding(const std::string& odd, Encoding* encoding);

// name decoded from encoding into UTF-8; name itself when it is not
// foreign, or when it cannot be read (reported as in folder).
std::string RecodeName(const std::string& folder, const std::string& name, Encoding encoding);

// The names a folder's entries take, in their order: each recoded, and
// those that would become one name (with each other, or with one that stays
// as it is) given a suffix, each such one reported.
std::vector<std::string> RecodeFolderNames(const std::string& folder,
                                           const std::vector<std::string>& names,
                                           Encoding encoding);

// Renames folder/from to folder/to without replacing anything: when to is
// taken, it is given a suffix (reported) and *to changed. False, having
// reported, when the name could not be changed.
bool RenameEntry(const std::string& folder, const std::string& from, std::string* to);
