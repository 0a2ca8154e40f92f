#include "bench/novel_text.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

const BenchMode kBenchModes[8] = {
    {"gb2312", kGb2312, false, "Gb2312"},       {"big5-as-gb2312", kGb2312, true, "Big5AsGb"},
    {"gb18030", kGb18030, false, "Gb18030"},    {"big5", kBig5, false, "Big5"},
    {"big5-hkscs", kBig5Hkscs, false, "Hkscs"}, {"utf-8", kUtf8, false, "Utf8"},
    {"utf-16", kUtf16, false, "Utf16"},         {"hz", kHz, false, "Hz"},
};

const BenchMode* FindBenchMode(const std::string& name) {
  for (const BenchMode& m : kBenchModes) {
    if (name == m.name) return &m;
  }
  return nullptr;
}

namespace {

// iconv's name for the bytes of each mode; HZ is wrapped from GB2312 here.
const char* CharsetOf(const BenchMode& mode) {
  if (mode.big5) return "CP950";
  switch (mode.mode) {
    case kGb18030: return "GB18030";
    case kBig5: return "CP950";
    case kBig5Hkscs: return "BIG5-HKSCS";
    case kUtf8: return "UTF-8";
    case kUtf16: return "UTF-16LE";
    default: return "GB2312";
  }
}

// The characters converted by iconv, or false when any of them has no code there.
bool Convert(const char* to, const std::u32string& text, std::vector<std::uint8_t>* out) {
  iconv_t cd = iconv_open(to, "UTF-32LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "iconv cannot write %s\n", to);
    std::abort();
  }
  std::vector<std::uint8_t> in(text.size() * 4);
  for (std::size_t i = 0; i < text.size(); ++i) {
    for (int b = 0; b < 4; ++b) in[i * 4 + b] = static_cast<std::uint8_t>(text[i] >> (8 * b));
  }
  out->assign(text.size() * 4 + 16, 0);
  char* inp = reinterpret_cast<char*>(in.data());
  char* outp = reinterpret_cast<char*>(out->data());
  std::size_t inLeft = in.size(), outLeft = out->size();
  const bool whole = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out->resize(out->size() - outLeft);
  return whole && inLeft == 0;
}

// Back from the charset to code points, to see that a character comes back as itself.
bool RoundTrips(const char* charset, char32_t c) {
  std::vector<std::uint8_t> bytes, back;
  if (!Convert(charset, std::u32string(1, c), &bytes)) return false;
  iconv_t cd = iconv_open("UTF-32LE", charset);
  back.assign(16, 0);
  char* inp = reinterpret_cast<char*>(bytes.data());
  char* outp = reinterpret_cast<char*>(back.data());
  std::size_t inLeft = bytes.size(), outLeft = back.size();
  const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  const char32_t got =
      back[0] | back[1] << 8 | back[2] << 16 | static_cast<char32_t>(back[3]) << 24;
  return ok && inLeft == 0 && outLeft == 12 && got == c;
}

bool InEveryCharset(char32_t c) {
  for (const char* charset : {"GB2312", "CP950", "BIG5", "BIG5-HKSCS"}) {
    if (!RoundTrips(charset, c)) return false;
  }
  return true;
}

// GB2312's first level of hanzi (the common ones) that BIG5 also holds, in
// a fixed shuffled order so that the Zipf law's most frequent are spread
// over the table rather than the first pinyin.
const std::vector<char32_t>& CommonHanzi() {
  static const std::vector<char32_t> pool = [] {
    std::vector<char32_t> found;
    iconv_t cd = iconv_open("UTF-32LE", "GB2312");
    for (int lead = 0xB0; lead <= 0xD7; ++lead) {
      for (int trail = 0xA1; trail <= 0xFE; ++trail) {
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        std::uint8_t out[8];
        char* inp = in;
        char* outp = reinterpret_cast<char*>(out);
        std::size_t inLeft = 2, outLeft = sizeof out;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) {
          iconv(cd, nullptr, nullptr, nullptr, nullptr);
          continue;
        }
        const char32_t c = out[0] | out[1] << 8 | out[2] << 16;
        if (InEveryCharset(c)) found.push_back(c);
      }
    }
    iconv_close(cd);
    std::mt19937 random(2024);
    std::shuffle(found.begin(), found.end(), random);
    return found;
  }();
  return pool;
}

// Full-width punctuation a novel uses, kept where every charset holds it.
std::u32string Punctuation(const std::u32string& wanted) {
  std::u32string kept;
  for (char32_t c : wanted) {
    if (InEveryCharset(c)) kept.push_back(c);
  }
  return kept;
}

const std::u32string& Marks() {
  // ，。！？、：；“”……（）《》「」　
  static const std::u32string marks = Punctuation(
      U"\uFF0C\u3002\uFF01\uFF1F\u3001\uFF1A\uFF1B\u201C\u201D\u2026\uFF08\uFF09\u300A\u300B"
      U"\u300C\u300D\u3000");
  return marks;
}

// A mark, or a stand-in when the charsets lack it.
char32_t Mark(char32_t wanted, char32_t otherwise) {
  return Marks().find(wanted) != std::u32string::npos ? wanted : otherwise;
}

const char* const kLatinWords[] = {"OK",  "iPhone", "CEO",    "Wi-Fi", "Tom", "email",
                                   "BBS", "DNA",    "Google", "MP3",   "NBA", "Linux",
                                   "KTV", "USB",    "GPS",    "Mary",  "PC",  "Hello"};

std::vector<double> ZipfWeights(std::size_t n) {
  std::vector<double> weights(n);
  for (std::size_t i = 0; i < n; ++i) weights[i] = 1.0 / static_cast<double>(i + 5);
  return weights;
}

void Append(std::u32string& text, const std::string& ascii) {
  for (char c : ascii) text.push_back(static_cast<char32_t>(c));
}

}  // namespace

Novel::Novel(unsigned seed)
    : random_(seed), rank_([] {
        const std::vector<double> w = ZipfWeights(CommonHanzi().size());
        return std::discrete_distribution<int>(w.begin(), w.end());
      }()) {}

char32_t Novel::Hanzi() {
  return CommonHanzi()[static_cast<std::size_t>(rank_(random_))];
}

void Novel::AddClause(std::u32string& text) {
  std::uniform_int_distribution<int> length(3, 14), percent(0, 99);
  const int n = length(random_);
  const int extra = percent(random_) < 12 ? std::uniform_int_distribution<int>(0, n)(random_) : -1;
  for (int i = 0; i < n; ++i) {
    if (i == extra) {
      const int kind = percent(random_);
      if (kind < 40) {
        Append(text, std::to_string(std::uniform_int_distribution<int>(1, 2030)(random_)));
      } else if (kind < 55) {
        Append(text, std::to_string(std::uniform_int_distribution<int>(1, 99)(random_)) + "." +
                         std::to_string(std::uniform_int_distribution<int>(0, 9)(random_)) + "%");
      } else {
        const std::size_t w =
            std::uniform_int_distribution<std::size_t>(0, std::size(kLatinWords) - 1)(random_);
        Append(text, std::string(" ") + kLatinWords[w] + " ");
      }
    }
    text.push_back(Hanzi());
  }
}

std::u32string Novel::NextParagraph() {
  std::uniform_int_distribution<int> target(40, 300), percent(0, 99);
  std::u32string text;
  if (paragraphs_++ % 60 == 0) {
    Append(text, "\r\n");
    text += U"\u7B2C";  // 第
    Append(text, std::to_string(++chapter_));
    text += U"\u7AE0";  // 章
    text.push_back(Mark(U'\u3000', U' '));
    for (int i = std::uniform_int_distribution<int>(2, 8)(random_); i > 0; --i) {
      text.push_back(Hanzi());
    }
    Append(text, "\r\n\r\n");
  }
  const char32_t indent = Mark(U'\u3000', U' ');
  text.push_back(indent);
  text.push_back(indent);
  const std::size_t start = text.size();
  const std::size_t wanted = static_cast<std::size_t>(target(random_));
  while (text.size() - start < wanted) {
    const bool dialogue = percent(random_) < 20;
    if (dialogue) {
      AddClause(text);
      text.push_back(Mark(U'\uFF1A', U'\uFF0C'));
      text.push_back(Mark(U'\u201C', U'\u300C'));
    }
    for (int clauses = std::uniform_int_distribution<int>(1, 4)(random_); clauses > 0; --clauses) {
      AddClause(text);
      if (clauses > 1)
        text.push_back(percent(random_) < 85 ? U'\uFF0C' : Mark(U'\u3001', U'\uFF0C'));
    }
    const int end = percent(random_);
    if (end < 70) {
      text.push_back(U'\u3002');
    } else if (end < 82) {
      text.push_back(U'\uFF01');
    } else if (end < 94) {
      text.push_back(U'\uFF1F');
    } else {
      const char32_t dots = Mark(U'\u2026', U'\u3002');
      text.push_back(dots);
      text.push_back(dots);
    }
    if (dialogue) text.push_back(Mark(U'\u201D', U'\u300D'));
  }
  Append(text, "\r\n");
  return text;
}

std::u32string NovelText(std::size_t maxCharacters, long maxDisplayLines, int columns) {
  Novel novel(42);
  std::u32string text;
  long lines = 1;  // the empty line after the final break
  for (;;) {
    const std::u32string paragraph = novel.NextParagraph();
    // Each break ends a display line; a line that wraps may leave one column
    // free before a hanzi, so count columns - 1 to a display line.
    long paragraphLines = 0, width = 0;
    for (char32_t c : paragraph) {
      if (c == U'\n') {
        paragraphLines += width == 0 ? 1 : (width + columns - 2) / (columns - 1);
        width = 0;
      } else if (c != U'\r') {
        width += c < 0x80 ? 1 : 2;
      }
    }
    if (text.size() + paragraph.size() > maxCharacters ||
        lines + paragraphLines > maxDisplayLines) {
      return text;
    }
    text += paragraph;
    lines += paragraphLines;
  }
}

std::vector<std::uint8_t> EncodeNovel(const std::u32string& text, const BenchMode& mode,
                                      bool first) {
  std::vector<std::uint8_t> bytes;
  if (!Convert(CharsetOf(mode), text, &bytes)) {
    std::fprintf(stderr, "a character of the novel has no code in %s\n", CharsetOf(mode));
    std::abort();
  }
  if (mode.mode == kUtf16 && first) bytes.insert(bytes.begin(), {0xFF, 0xFE});
  if (mode.mode != kHz) return bytes;
  // HZ: GB2312 pairs with their high bits cleared inside "~{" ... "~}" runs,
  // every run closed before the line ends; a "~" of the text doubled.
  std::vector<std::uint8_t> hz;
  hz.reserve(bytes.size() + bytes.size() / 8);
  bool inRun = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes[i];
    if (b >= 0x80 && i + 1 < bytes.size()) {
      if (!inRun) hz.insert(hz.end(), {'~', '{'});
      inRun = true;
      hz.push_back(b & 0x7F);
      hz.push_back(bytes[++i] & 0x7F);
      continue;
    }
    if (inRun) hz.insert(hz.end(), {'~', '}'});
    inRun = false;
    hz.push_back(b);
    if (b == '~') hz.push_back('~');
  }
  if (inRun) hz.insert(hz.end(), {'~', '}'});
  return hz;
}
