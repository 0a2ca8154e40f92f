#include "tools/name_recoding.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <set>

#include "conversion/detect_encoding.h"
#include "encoding/transcode.h"
#include "tools/tool_files.h"

namespace {

// name transcoded from encoding into UTF-8; false when a byte cannot be read.
bool Decode(const std::string& name, Encoding encoding, std::string* utf8) {
  Transcoding t = StartTranscoding(encoding, kUtf8, kStopAtUnconvertible);
  std::vector<std::uint8_t> out(name.size() * kMostBytesPerCharacter + kMostBytesPerCharacter);
  const auto* in = reinterpret_cast<const std::uint8_t*>(name.data());
  const CodecResult result = Transcode(&t, in, name.size(), true, out.data());
  if (t.stopped || result.used != name.size()) return false;
  utf8->assign(reinterpret_cast<const char*>(out.data()), result.written);
  return true;
}

// name with "~N" before its extension: "文件~1.txt".
std::string WithSuffix(const std::string& name, int n) {
  const std::size_t dot = name.rfind('.');
  const std::size_t at = dot == std::string::npos || dot == 0 ? name.size() : dot;
  return name.substr(0, at) + "~" + std::to_string(n) + name.substr(at);
}

void ReportSuffix(const std::string& folder, const std::string& name, const std::string& plain,
                  const std::string& given) {
  const std::string what = "becomes " + given + ", as another name would become " + plain + " too";
  ReportFailure((folder + "/" + name).c_str(), what.c_str());
}

}  // namespace

bool IsForeignName(const std::string& name) {
  std::string same;
  if (!Decode(name, kUtf8, &same)) return true;
  // A short GBK or BIG5 name is valid UTF-8 by chance now and then ("小说"
  // reads as "С˵"); detection tells which reading is text.
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(name.data());
  const Encoding read = DetectEncoding(bytes, name.size());
  return read != kUtf8 && read != kAscii;
}

void CollectOddNames(const std::string& input, std::string* odd) {
  const std::string name = FileNameOf(input);
  if (IsForeignName(name)) *odd += name + "\n";
  struct stat kind;
  if (lstat(input.c_str(), &kind) != 0 || !S_ISDIR(kind.st_mode)) return;
  DIR* dir = opendir(input.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> folders;
  while (const dirent* entry = readdir(dir)) {
    const std::string entryName = entry->d_name;
    if (entryName == "." || entryName == "..") continue;
    folders.push_back(input + "/" + entryName);
  }
  closedir(dir);
  for (const std::string& path : folders) CollectOddNames(path, odd);
}

bool DetectNamesEncoding(const std::string& odd, Encoding* encoding) {
  if (odd.empty()) return true;  // nothing to decode
  *encoding = DetectEncoding(reinterpret_cast<const std::uint8_t*>(odd.data()), odd.size());
  const bool decodable =
      CanDecode(*encoding) && *encoding != kUtf8 && *encoding != kAscii && *encoding != kUtf16;
  if (!decodable) {
    ReportFailure("--names",
                  "the names that are not UTF-8 are in no encoding detection knows "
                  "(--names-from names it); kept as they are");
  }
  return decodable;
}

std::string RecodeName(const std::string& folder, const std::string& name, Encoding encoding) {
  if (!IsForeignName(name)) return name;
  std::string utf8;
  if (Decode(name, encoding, &utf8) && utf8.find('/') == std::string::npos &&
      utf8.find('\0') == std::string::npos && utf8 != "." && utf8 != "..") {
    return utf8;
  }
  const std::string what =
      std::string("its name cannot be read as ") + EncodingName(encoding) + "; kept as it is";
  ReportFailure((folder + "/" + name).c_str(), what.c_str());
  return name;
}

std::vector<std::string> RecodeFolderNames(const std::string& folder,
                                           const std::vector<std::string>& names,
                                           Encoding encoding) {
  std::vector<std::string> recoded;
  std::map<std::string, int> count;  // how many entries would take each name
  for (const std::string& name : names) {
    recoded.push_back(RecodeName(folder, name, encoding));
    ++count[recoded.back()];
  }
  std::set<std::string> taken(recoded.begin(), recoded.end());
  for (std::size_t i = 0; i < names.size(); ++i) {
    // A name that stays as it is keeps it; the others that meet it move.
    if (count[recoded[i]] < 2 || recoded[i] == names[i]) continue;
    int n = 1;
    while (taken.count(WithSuffix(recoded[i], n)) > 0) ++n;
    const std::string given = WithSuffix(recoded[i], n);
    taken.insert(given);
    ReportSuffix(folder, names[i], recoded[i], given);
    recoded[i] = given;
  }
  return recoded;
}

bool RenameEntry(const std::string& folder, const std::string& from, std::string* to) {
  const std::string plain = *to;
  for (int n = 1;; ++n) {
    if (renameat2(AT_FDCWD, (folder + "/" + from).c_str(), AT_FDCWD, (folder + "/" + *to).c_str(),
                  RENAME_NOREPLACE) == 0) {
      if (n > 1) ReportSuffix(folder, from, plain, *to);
      return true;
    }
    if (errno != EEXIST || n > 1000) break;
    *to = WithSuffix(plain, n);
  }
  ReportErrno((folder + "/" + from).c_str(), "could not be renamed", errno);
  *to = from;
  return false;
}
