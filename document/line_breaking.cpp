#include "document/line_breaking.h"

#include <algorithm>

#include "document/reader.h"
#include "document/state.h"

namespace {

// In code point order, for binary search.
constexpr char32_t kClosing[] = {
    U'!',      U')',      U',',      U'.',      U':',      U';',      U'?',      U']',
    U'}',      U'\u2019', U'\u201D', U'\u2026', U'\u3001', U'\u3002', U'\u3009', U'\u300B',
    U'\u300D', U'\u300F', U'\u3011', U'\u3015', U'\u3017', U'\uFF01', U'\uFF09', U'\uFF0C',
    U'\uFF0E', U'\uFF1A', U'\uFF1B', U'\uFF1F', U'\uFF3D', U'\uFF5D',
};
constexpr char32_t kOpening[] = {
    U'(',      U'[',      U'{',      U'\u2018', U'\u201C', U'\u3008', U'\u300A', U'\u300C',
    U'\u300E', U'\u3010', U'\u3014', U'\u3016', U'\uFF08', U'\uFF3B', U'\uFF5B',
};

template <std::size_t n>
bool In(const char32_t (&set)[n], char32_t c) {
  return std::binary_search(set, set + n, c);
}

// The code point a character shows, or 0 for a tab, a byte no character
// reads as, or anything else that belongs to no class.
char32_t PointOf(const Character& c) {
  return c.kind == kTextCharacter && c.glyph == kGlyphUnicode ? static_cast<char32_t>(c.value) : 0;
}

bool MayBreakBetween(const Character& before, const Character& after) {
  const char32_t a = PointOf(before), b = PointOf(after);
  if (IsClosingPunctuation(b) || IsOpeningPunctuation(a)) return false;
  return !(IsWordCharacter(a) && IsWordCharacter(b));
}

// A character the line has placed, kept until the line knows where it ends.
struct Placed {
  Character c;
  int col;
  int phaseBefore;
};

// A line holds at most kMaxColumns characters of a column or more, and one
// hanging mark.
constexpr int kMostPlaced = 256;

// The columns that must go to the next line with c: c's own and, when c is a
// letter or digit, those of the rest of its word. Reads past c; the caller
// seeks back.
int ColumnsBoundTo(const Character& c, int columns) {
  int bound = c.columns;
  if (!IsWordCharacter(PointOf(c))) return bound;
  while (bound <= columns) {
    const Character next = NextCharacter();
    if (!IsWordCharacter(PointOf(next))) break;
    bound += next.columns;
  }
  return bound;
}

// Where the line ends when c does not fit: before placed[i] for the last i
// the rules allow, if what moves then fits on the next line; else before c.
int BreakBefore(const Placed* placed, int n, const Character& c, int col, int columns) {
  for (int i = n; i >= 1; --i) {
    const Character& after = i == n ? c : placed[i].c;
    if (!MayBreakBetween(placed[i - 1].c, after)) continue;
    if (i == n) return n;
    const int moving = col - placed[i].col;
    return moving + ColumnsBoundTo(c, columns) <= columns ? i : n;
  }
  return n;
}

// Whether a closing mark that does not fit may hang in the margin: it is the
// only one there, and the character after it would not begin the next line
// wrongly in its place.
bool Hangs(const Character& c, int col, int columns) {
  if (!IsClosingPunctuation(PointOf(c)) || col + c.columns > columns + 2) return false;
  const Character next = NextCharacter();
  const bool hangs = !IsClosingPunctuation(PointOf(next));
  if (next.kind != kEndOfText) GiveBack(next);
  return hangs;
}

}  // namespace

bool IsClosingPunctuation(char32_t c) {
  return In(kClosing, c);
}

bool IsOpeningPunctuation(char32_t c) {
  return In(kOpening, c);
}

bool IsWordCharacter(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

bool LayOutTextLine(int columns, LineLayout& line, CharacterSeen seen, void* context) {
  const std::int32_t lineStart = CurrentOffset();
  Placed placed[kMostPlaced];
  int n = 0;
  int col = 0;  // columns the line uses
  line.count = 0;
  auto tell = [&](int kept) {
    if (seen == nullptr) return;
    for (int i = 0; i < kept; ++i) {
      if (placed[i].c.kind == kTextCharacter) seen(placed[i].c, placed[i].col, context);
    }
  };
  for (;;) {
    if (line.carry > 0) {
      if (col + line.carry > columns) {
        // The spaces that fit stay here; the tab byte counts where it ends.
        line.phase = (line.phase + columns - col) % 8;
        line.carry -= columns - col;
        tell(n);
        return false;
      }
      const Character tab = NextCharacter();  // the pending tab
      placed[n++] = Placed{tab, col, line.phase};
      col += line.carry;
      line.phase = (line.phase + line.carry) % 8;
      line.carry = 0;
      line.count += tab.bytes;
    }
    const Character c = NextCharacter();
    if (c.kind == kEndOfText) {
      tell(n);
      return true;
    }
    if (c.kind == kLineBreak) {
      line.count += c.bytes;
      line.phase = 0;
      tell(n);
      return false;
    }
    if (c.columns > 0 && (col == columns || col + c.columns > columns)) {
      if (Hangs(c, col, columns)) {
        placed[n++] = Placed{c, col, line.phase};
        line.count += c.bytes;
        line.phase = (line.phase + c.columns) % 8;
        tell(n);
        // The line ends here all the same: a line break or the end after
        // the mark belongs to it.
        const Character next = NextCharacter();
        if (next.kind == kEndOfText) return true;
        if (next.kind == kLineBreak) {
          line.count += next.bytes;
          line.phase = 0;
        } else {
          GiveBack(next);
        }
        return false;
      }
      const int keep = BreakBefore(placed, n, c, col, columns);
      if (keep == n) {
        GiveBack(c);
      } else {
        const Placed& first = placed[keep];
        SeekTo(first.c.start);
        hzInRun = first.c.hzInRunBefore;
        line.count = first.c.start - lineStart;
        line.phase = first.phaseBefore;
        line.carry = 0;
      }
      tell(keep);
      return false;
    }
    if (c.kind == kTabCharacter) {
      if (col == columns) {
        GiveBack(c);
        tell(n);
        return false;
      }
      GiveBack(c);
      line.carry = 8 - line.phase;
      continue;
    }
    line.count += c.bytes;
    if (c.columns == 0) continue;  // a mark or an escape: nothing to place
    placed[n++] = Placed{c, col, line.phase};
    line.phase = (line.phase + c.columns) % 8;
    col += c.columns;
  }
}
