#include "tests/expected_unicode_page.h"

#include <iconv.h>

#include <string>
#include <vector>

#include "display/unicode_glyphs.h"

namespace {

enum Kind { kText, kBreak, kTabStop, kHidden, kBadByte };

struct Piece {
  Kind kind;
  char32_t c;
  int bytes;
};

const char* IconvName(Encoding mode, bool bigEndian) {
  switch (mode) {
    case kGb18030: return "GB18030";
    case kBig5: return "CP950";
    case kBig5Hkscs: return "BIG5-HKSCS";
    case kUtf8: return "UTF-8";
    case kUtf16: return bigEndian ? "UTF-16BE" : "UTF-16LE";
    default: return "GB2312";  // HZ's runs
  }
}

// The first character of d[at, at + n) as iconv reads it from a fresh state:
// 1 read, 0 when the bytes are too few, -1 when they cannot be read.
int ReadWith(const char* name, const Bytes& d, std::size_t at, int n, char32_t* c) {
  if (n < 1 || n > 4 || at + n > d.size()) return -1;
  iconv_t cd = iconv_open("UTF-32LE", name);
  std::string in(d.begin() + static_cast<std::ptrdiff_t>(at),
                 d.begin() + static_cast<std::ptrdiff_t>(at) + n);
  unsigned char out[16];
  char* inp = in.data();
  char* outp = reinterpret_cast<char*>(out);
  std::size_t inLeft = n, outLeft = sizeof out;
  const std::size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
  iconv_close(cd);
  if (error == EINVAL) return 0;
  if (error != 0 || inLeft != 0 || outLeft == sizeof out) return -1;
  *c = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
  return 1;
}

Piece Classify(char32_t c, int bytes) {
  if (c == 9) return Piece{kTabStop, c, bytes};
  if (c == 10 || c == 13) return Piece{kBreak, c, bytes};
  return Piece{kText, c, bytes};
}

// The document's characters in order; CR LF is one break.
std::vector<Piece> Read(const Bytes& d, Encoding mode) {
  std::vector<Piece> pieces;
  const bool bigEndian = mode == kUtf16 && d.size() >= 2 && d[0] == 0xFE && d[1] == 0xFF;
  const char* name = IconvName(mode, bigEndian);
  const int unit = mode == kUtf16 ? 2 : 1;
  bool run = false;  // HZ
  for (std::size_t i = 0; i < d.size();) {
    char32_t c = 0;
    int n = 0;
    if (mode == kHz) {
      const int a = d[i], b = i + 1 < d.size() ? d[i + 1] : -1;
      if (a == '~' && (b == '{' || b == '}' || (b == '~' && run))) {
        run = b == '{';
        pieces.push_back(Piece{kHidden, 0, 2});
        i += 2;
        continue;
      }
      if (a == '~' && b == '~') {
        pieces.push_back(Piece{kText, '~', 2});
        i += 2;
        continue;
      }
      if (a == 10 || a == 13) run = false;
      if (run && a >= 0x21 && a <= 0x77 && b >= 0x21 && b <= 0x7E) {
        const Bytes pair{static_cast<std::uint8_t>(a | 0x80), static_cast<std::uint8_t>(b | 0x80)};
        if (ReadWith("GB2312", pair, 0, 2, &c) == 1) {
          pieces.push_back(Classify(c, 2));
          i += 2;
          continue;
        }
      }
      pieces.push_back(a < 0x80 ? Classify(static_cast<char32_t>(a), 1) : Piece{kBadByte, 0, 1});
      ++i;
      continue;
    }
    for (n = unit; n <= 4; n += unit) {
      const int r = ReadWith(name, d, i, n, &c);
      if (r != 0) {
        if (r < 0) n = 0;
        break;
      }
    }
    if (n == 0 || n > 4) {
      pieces.push_back(Piece{kBadByte, 0, unit});
      i += unit;
      continue;
    }
    pieces.push_back(i == 0 && c == 0xFEFF ? Piece{kHidden, c, n} : Classify(c, n));
    i += n;
  }
  // CR LF is one line break.
  std::vector<Piece> joined;
  for (const Piece& p : pieces) {
    if (p.kind == kBreak && p.c == 10 && !joined.empty() && joined.back().kind == kBreak &&
        joined.back().c == 13) {
      joined.back().c = 10;  // taken
      continue;
    }
    joined.push_back(p);
  }
  return joined;
}

struct Cell {
  int col;
  Piece piece;
  std::size_t index;  // of the piece
  int phaseBefore;
};

// Chinese line breaking: no line begins with a closing mark or ends with an
// opening one, and no word or number is cut when it fits on a line.
const std::u32string kClosingMarks =
    U"!),.:;?]}\u2019\u201D\u2026\u3001\u3002\u3009\u300B\u300D\u300F"
    U"\u3011\u3015\u3017\uFF01\uFF09\uFF0C\uFF0E\uFF1A\uFF1B\uFF1F"
    U"\uFF3D\uFF5D";
const std::u32string kOpeningMarks =
    U"([{\u2018\u201C\u3008\u300A\u300C\u300E\u3010\u3014\u3016\uFF08\uFF3B\uFF5B";

char32_t TextOf(const Piece& p) {
  return p.kind == kText ? p.c : 0;
}
bool Closing(const Piece& p) {
  return TextOf(p) != 0 && kClosingMarks.find(TextOf(p)) != std::u32string::npos;
}
bool Opening(const Piece& p) {
  return TextOf(p) != 0 && kOpeningMarks.find(TextOf(p)) != std::u32string::npos;
}
bool Word(const Piece& p) {
  const char32_t c = TextOf(p);
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}
bool Breakable(const Piece& before, const Piece& after) {
  return !Closing(after) && !Opening(before) && !(Word(before) && Word(after));
}

int Width(const Piece& p) {
  return p.kind == kHidden ? 0 : p.kind == kBadByte ? p.bytes : UnicodeGlyph(p.c).columns;
}

std::vector<std::vector<Cell>> LayOut(const Bytes& d, Encoding mode, int columns) {
  const std::vector<Piece> pieces = Read(d, mode);
  std::vector<std::vector<Cell>> lines(1);
  int col = 0, phase = 0;
  auto wrap = [&] {
    lines.emplace_back();
    col = 0;
  };
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const Piece& p = pieces[k];
    if (p.kind == kBreak) {
      phase = 0;
      wrap();
      continue;
    }
    if (p.kind == kTabStop) {
      if (col == columns) wrap();
      int spaces = 8 - phase;
      while (col + spaces > columns) {
        spaces -= columns - col;
        phase = (phase + columns - col) % 8;
        wrap();
      }
      lines.back().push_back(Cell{col, p, k, phase});
      col += spaces;
      phase = 0;
      continue;
    }
    const int width = Width(p);
    if (width > 0 && col + width > columns) {
      std::vector<Cell>& line = lines.back();
      const bool nextCloses = k + 1 < pieces.size() && Closing(pieces[k + 1]);
      if (Closing(p) && !nextCloses) {  // hangs in the margin, and ends the line
        line.push_back(Cell{col, p, k, phase});
        phase = (phase + width) % 8;
        if (k + 1 == pieces.size()) break;
        if (pieces[k + 1].kind == kBreak) {
          ++k;
          phase = 0;
        }
        wrap();
        continue;
      }
      // The last place the rules allow, if what moves fits on the next line.
      std::size_t cut = line.size();
      for (std::size_t i = line.size(); i >= 1; --i) {
        const Piece& after = i == line.size() ? p : line[i].piece;
        if (!Breakable(line[i - 1].piece, after)) continue;
        if (i < line.size()) {
          int bound = col - line[i].col + width;
          for (std::size_t j = k + 1; Word(p) && j < pieces.size() && Word(pieces[j]); ++j) {
            bound += Width(pieces[j]);
          }
          if (bound <= columns) cut = i;
        }
        break;
      }
      if (cut < line.size()) {
        k = line[cut].index;
        phase = line[cut].phaseBefore;
        line.resize(cut);
        wrap();
        --k;  // the moved piece comes again
        continue;
      }
      wrap();
    }
    if (width > 0) lines.back().push_back(Cell{col, p, k, phase});
    col += width;
    phase = (phase + width) % 8;
  }
  return lines;
}

// The Unicode atlas as stored in the committed file; 1 = paper.
struct GlyphsFile {
  Bytes file = ReadWholeFile(std::string(TAVELO_SOURCE_FOLDER) + "/resources/glyphs.bmp");
  int width = file[18] | file[19] << 8;
  int height = file[22] | file[23] << 8;
  bool Paper(int x, int y) const {
    const std::size_t at = 62 + static_cast<std::size_t>(height - 1 - y) * (width / 8) + x / 8;
    return (file[at] >> (7 - x % 8)) & 1;
  }
};

void CopyCell(const GlyphsFile& atlas, const PageRequest& r, Bytes& page, int left, int top,
              CellOrigin from, int width) {
  for (int dy = 0; dy < 13; ++dy) {
    for (int dx = 0; dx < width; ++dx) {
      const int x = left + dx, y = top + dy;
      if (x >= r.width || y >= r.height) continue;
      page[y * r.width + x] = atlas.Paper(from.x + dx, from.y + dy) ? 255 : 0;
    }
  }
}

// The layout of the last document asked for: a test looks at many pages of one.
const std::vector<std::vector<Cell>>& CachedLayOut(const Bytes& d, Encoding mode, int columns) {
  static Bytes document;
  static Encoding lastMode = kBinary;
  static int lastColumns = 0;
  static std::vector<std::vector<Cell>> lines;
  if (d != document || mode != lastMode || columns != lastColumns) {
    lines = LayOut(d, mode, columns);
    document = d;
    lastMode = mode;
    lastColumns = columns;
  }
  return lines;
}

}  // namespace

Bytes ExpectedUnicodePage(const PageRequest& request, Encoding mode) {
  static const GlyphsFile atlas;
  Bytes page(static_cast<std::size_t>(request.width) * request.height, 255);
  const auto& lines = CachedLayOut(request.document, mode, request.columns);
  for (std::size_t k = request.topLine; k < lines.size(); ++k) {
    const int top = 5 + 18 * static_cast<int>(k - request.topLine);
    if (top >= request.height) break;
    for (const Cell& c : lines[k]) {
      const int left = 15 + 7 * c.col;
      if (c.piece.kind == kBadByte) {
        for (int i = 0; i < c.piece.bytes; ++i) {
          CopyCell(atlas, request, page, left + 7 * i, top, UnreadableByteCell(), 7);
        }
      } else if (c.piece.kind == kText) {
        const Glyph glyph = UnicodeGlyph(c.piece.c);
        CopyCell(atlas, request, page, left, top, glyph.origin, glyph.columns == 2 ? 13 : 7);
      }
    }
  }
  return page;
}

int ExpectedUnicodeLines(const Bytes& document, Encoding mode, int columns) {
  return static_cast<int>(CachedLayOut(document, mode, columns).size());
}
