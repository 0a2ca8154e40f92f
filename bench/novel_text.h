// Novel-like Chinese text for the benchmarks, in every mode the reader reads:
// paragraphs of common hanzi drawn by a Zipf law, full-width punctuation,
// dialogue in quotes, a few Latin words and numbers, chapter headings, CR LF
// line ends. Encoded by the system's iconv (HZ wrapped here from GB2312), not
// by the encoding room the reader measures.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "encoding/encoding.h"

// A mode of the reader's menu, as tavelo-render --encoding names it.
struct BenchMode {
  const char* name;
  Encoding mode;    // textMode; kGb2312 for the two modes with the Line index
  bool big5;        // BIG5 shown through GB2312's glyphs (big5Mode)
  const char* key;  // a short name for file and benchmark names
};

extern const BenchMode kBenchModes[8];

// The mode tavelo-render would call name; null for an unknown name.
const BenchMode* FindBenchMode(const std::string& name);

// Paragraphs of a novel, the same ones for the same seed.
class Novel {
 public:
  explicit Novel(unsigned seed);
  // The next paragraph with its CR LF (a chapter heading now and then, with a
  // blank line after it).
  std::u32string NextParagraph();

 private:
  char32_t Hanzi();
  void AddClause(std::u32string& text);
  std::mt19937 random_;
  std::discrete_distribution<int> rank_;
  int paragraphs_ = 0;
  int chapter_ = 0;
};

// The characters of a novel whose layout at columns takes at most
// maxDisplayLines display lines in the GB2312 mode (two columns each hanzi),
// and at most maxCharacters characters.
std::u32string NovelText(std::size_t maxCharacters, long maxDisplayLines, int columns);

// The bytes of text in mode's encoding; a UTF-16 text starts with FF FE when
// first is set. Every character of a Novel is in every mode's encoding.
std::vector<std::uint8_t> EncodeNovel(const std::u32string& text, const BenchMode& mode,
                                      bool first = true);
