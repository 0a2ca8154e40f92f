// What tavelo-convert's command line asks of each file, and what a run over
// many files counts for its closing line.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "conversion/conversion_plan.h"

// What a run over many files did, for its closing line.
struct TreeTally {
  std::map<std::string, int> converted;  // files, by the encoding they were read in
  int copied = 0;                        // binary files, copied as they are
  int unchanged = 0;                     // --in-place: already in TO, or binary, left alone
  int skipped = 0;                       // links and special files, not followed
  int renamed = 0;                       // --names: names written in UTF-8
  int failed = 0;
};

// A command line's conversion.
struct Request {
  const Converter* converter = nullptr;  // auto in iconv's form; else null, and
  Encoding from = kBinary;               // iconv's form reads from
  Target target{false, kGb2312};
  const char* folder = nullptr;  // -o FOLDER
  std::vector<const char*> files;
  TreeTally* tally = nullptr;    // -r: binary files are copied, and every file counted
  bool recursive = false;        // -r
  bool inPlace = false;          // --in-place: each file converted where it lies
  bool names = false;            // --names: names that are not UTF-8 recoded from
  Encoding namesFrom = kBinary;  // this (kBinary: detected over the run's names)
  int workers = 1;               // -j: files converted at once by -r and --in-place
  bool progress = true;          // a progress line on a terminal (not while workers share it)
};

// One file of a run over many, and where its conversion goes (in place:
// output is input).
struct FileJob {
  std::string input;
  std::string output;
};

// Converts input into output; 0, or 1 having reported. The document is
// closed either way, ready for the next input.
int ConvertFile(const Request& request, const char* input, const char* output);
