#include "foundation/JapaneseConverters.h"

#include "foundation/Assertion.h"
#include "foundation/Destination.h"
#include "foundation/Source.h"

#include <iostream>

namespace {

constexpr int ESC = 0x1B;
constexpr int SO = 0x0E;
constexpr int SI = 0x0F;
constexpr int CR = '\r';
constexpr int LF = '\n';
constexpr int SS2 = 0x8E; // EUC: half-width katakana follows
constexpr int SS3 = 0x8F; // EUC: a second-plane character follows

bool in(int c, int low, int high) { return c >= low && c <= high; }
bool isLineEnd(int c) { return c == CR || c == LF; }
bool isSjisLead(int c) { return in(c, 0x81, 0x9F) || in(c, 0xE0, 0xEF); }
bool isSjisTrail(int c) { return in(c, 0x40, 0xFC); }
bool isSjisUserLead(int c) { return in(c, 0xF0, 0xFC); }
bool isKana(int c) { return in(c, 0xA1, 0xDF); }
bool isEucByte(int c) { return in(c, 0xA1, 0xFE); }

// Shift_JIS codes of the full-width counterparts of the half-width katakana
// 0xA1-0xDF; the two sound marks become the spacing marks.
constexpr unsigned short wideKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, // A1-AB
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, // AC-B6
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, // B7-C1
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374, // C2-CC
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, // CD-D7
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,                         // D8-DF
};

void copy(Source &source, Destination &destination) {
  for (int c = source.Get(); c != -1; c = source.Get())
    destination.PutChar(c);
}

// Writes 7-bit JIS, keeping track of the state the output is in: escapes are
// written only when the state changes, and single bytes only in state 0.
class JisWriter {
public:
  JisWriter(Destination &destination, QL_EncodingKind target)
      : m_out(destination), m_table(QL_jisEscapeTable(target)) {}

  void enter(int state) {
    if (state != m_state) {
      m_state = state;
      QL_writeJisEscape(m_out, m_table, state);
    }
  }
  void pair(int c1, int c2) {
    m_out.PutChar(c1);
    m_out.PutChar(c2);
  }
  // A byte that is not part of a two-byte character.
  void single(int c) {
    enter(0);
    m_out.PutChar(c);
  }
  // Bytes passed on unchanged, in state 0.
  void raw(int c1, int c2) {
    enter(0);
    pair(c1, c2);
  }
  void finish() { enter(0); }

private:
  Destination &m_out;
  const QL_JisEscapes &m_table;
  int m_state = 0;
};

} // namespace

const QL_JisEscapes &QL_jisEscapeTable(QL_EncodingKind kind) {
  // State 2 uses the designation that the JIS reader maps to the second
  // plane, so that EUC second-plane text survives a trip through JIS.
  static const QL_JisEscapes oldJis{{"(J", "$@", "$(P"}};
  static const QL_JisEscapes newJis{{"(J", "$B", "$(P"}};
  static const QL_JisEscapes necJis{{"H", "K", "$(P"}};
  U_ASSERT_THROW(kind == eceOldJIS || kind == eceNewJIS || kind == eceNECJIS);
  if (kind == eceOldJIS)
    return oldJis;
  if (kind == eceNECJIS)
    return necJis;
  return newJis;
}

void translateFile(Source &source, Destination &destination, QL_EncodingKind from, QL_EncodingKind to) {
  auto isJis = [](QL_EncodingKind kind) {
    return kind == eceOldJIS || kind == eceNewJIS || kind == eceNECJIS;
  };
  auto isKnown = [&](QL_EncodingKind kind) {
    return kind == eceNone || kind == eceEUC || kind == eceSJIS || isJis(kind);
  };
  if (!isKnown(from) || !isKnown(to)) {
    std::cout << "Translation for invalid encodings: " << QL_encodingKindName(from) << " to "
              << QL_encodingKindName(to) << ", performing binary copy." << std::endl;
    copy(source, destination);
  } else if (from == eceNone || to == eceNone || (from == to && !isJis(from))) {
    copy(source, destination);
  } else if (from == eceEUC) {
    if (to == eceSJIS)
      QL_eucToSjis(source, destination);
    else
      QL_eucToJis(source, destination, to);
  } else if (from == eceSJIS) {
    if (to == eceEUC)
      QL_sjisToEuc(source, destination);
    else
      QL_sjisToJis(source, destination, to);
  } else if (to == eceEUC) {
    QL_jisToEuc(source, destination);
  } else if (to == eceSJIS) {
    QL_jisToSjis(source, destination);
  } else {
    QL_jisToJis(source, destination, to);
  }
}

void QL_sjisToEuc(Source &source, Destination &destination) {
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (isSjisLead(c)) {
      int d = source.Get();
      if (d == -1) {
        destination.PutChar(c);
        break;
      }
      if (isSjisTrail(d)) {
        QL_sjisPairToJis(c, d);
        c |= 0x80;
        d |= 0x80;
      }
      destination.PutChar(c);
      destination.PutChar(d);
    } else if (isKana(c)) {
      destination.PutChar(SS2);
      destination.PutChar(c);
    } else if (isSjisUserLead(c)) {
      // User-defined characters have no EUC form.
      destination.PutChar(source.Get() == -1 ? c : '?');
    } else {
      destination.PutChar(c);
    }
  }
}

void QL_eucToSjis(Source &source, Destination &destination) {
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (isEucByte(c)) {
      int d = source.Get();
      if (d == -1) {
        destination.PutChar(c);
        break;
      }
      if (isEucByte(d)) {
        c &= 0x7F;
        d &= 0x7F;
        QL_jisPairToSjis(1, c, d);
      }
      destination.PutChar(c);
      destination.PutChar(d);
    } else if (c == SS2) {
      int d = source.Get();
      if (d == -1) {
        destination.PutChar(c);
        break;
      }
      if (!isKana(d))
        destination.PutChar(c);
      destination.PutChar(d);
    } else if (c == SS3) {
      // A second-plane character. A byte that cannot belong to one is read
      // afresh, so that a broken character never swallows a line end.
      int d = source.Get();
      if (!isEucByte(d)) {
        destination.PutChar(c);
        source.Unget(d);
        continue;
      }
      int e = source.Get();
      if (!isEucByte(e)) {
        destination.PutChar(c);
        destination.PutChar(d);
        source.Unget(e);
        continue;
      }
      d &= 0x7F;
      e &= 0x7F;
      QL_jisPairToSjis(2, d, e);
      destination.PutChar(d);
      destination.PutChar(e);
    } else {
      destination.PutChar(c);
    }
  }
}

void QL_jisToEuc(Source &source, Destination &destination) {
  int state = 0;
  bool shifted = false; // half-width katakana shift (SO ... SI)
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (c == ESC) {
      state = QL_readJisEscape(source);
    } else if (isLineEnd(c)) {
      state = 0;
      destination.PutChar(c);
    } else if (c == SO) {
      shifted = true;
    } else if (c == SI && shifted) {
      shifted = false;
    } else if (state != 0) {
      if (shifted || isKana(c)) {
        if (state == 2)
          destination.PutChar(SS3);
        destination.PutChar(SS2);
        destination.PutChar(c | 0x80);
        continue;
      }
      int d = source.Get();
      if (d == -1) {
        destination.PutChar(c);
        break;
      }
      if (state == 2)
        destination.PutChar(SS3);
      destination.PutChar(c | 0x80);
      destination.PutChar(d | 0x80);
    } else if (shifted && in(c, 0x21, 0x5F)) {
      destination.PutChar(SS2);
      destination.PutChar(c | 0x80);
    } else {
      destination.PutChar(c);
    }
  }
}

void QL_jisToSjis(Source &source, Destination &destination) {
  int state = 0;
  bool shifted = false;
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (c == ESC) {
      state = QL_readJisEscape(source);
      continue;
    }
    if (isLineEnd(c)) {
      state = 0;
      destination.PutChar(c);
      continue;
    }
    const int read = c;
    if (c == SO && !shifted)
      shifted = true;
    else if (c == SI && shifted)
      shifted = false;
    else if (shifted && in(c, 0x21, 0x5F))
      c |= 0x80;
    if (state == 0) {
      destination.PutChar(c);
      continue;
    }
    int d = source.Get();
    if (d == -1) {
      destination.PutChar(read);
      break;
    }
    if (shifted && in(d, 0x21, 0x5F))
      d |= 0x80;
    QL_jisPairToSjis(state, c, d);
    destination.PutChar(c);
    destination.PutChar(d);
  }
}

void QL_jisToJis(Source &source, Destination &destination, QL_EncodingKind target) {
  JisWriter out(destination, target);
  int state = 0;
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (c == ESC) {
      state = QL_readJisEscape(source);
      out.enter(state);
    } else if (isLineEnd(c)) {
      state = 0;
      out.single(c);
    } else if (state != 0) {
      int d = source.Get();
      if (d == -1) {
        out.single(c);
        break;
      }
      out.pair(c, d);
    } else {
      out.single(c);
    }
  }
  out.finish();
}

void QL_sjisToJis(Source &source, Destination &destination, QL_EncodingKind target) {
  JisWriter out(destination, target);
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (isSjisLead(c)) {
      int d = source.Get();
      if (d == -1) {
        out.single(c);
        break;
      }
      if (!isSjisTrail(d)) {
        out.raw(c, d);
        continue;
      }
      out.enter(QL_sjisPairToJis(c, d));
      out.pair(c, d);
    } else if (isKana(c)) {
      int d = 0;
      QL_widenKana(source, c, d, eceSJIS);
      out.enter(QL_sjisPairToJis(c, d));
      out.pair(c, d);
    } else if (isSjisUserLead(c)) {
      out.single(source.Get() == -1 ? c : '?');
    } else {
      out.single(c);
    }
  }
  out.finish();
}

void QL_eucToJis(Source &source, Destination &destination, QL_EncodingKind target) {
  JisWriter out(destination, target);
  for (int c = source.Get(); c != -1; c = source.Get()) {
    if (isEucByte(c)) {
      int d = source.Get();
      if (d == -1) {
        out.single(c);
        break;
      }
      if (!isEucByte(d)) {
        out.raw(c, d);
        continue;
      }
      out.enter(1);
      out.pair(c & 0x7F, d & 0x7F);
    } else if (c == SS2) {
      int d = source.Get();
      if (d == -1) {
        out.single(c);
        break;
      }
      if (!isKana(d)) {
        out.raw(c, d);
        continue;
      }
      int e = 0;
      QL_widenKana(source, d, e, eceEUC);
      out.enter(QL_sjisPairToJis(d, e));
      out.pair(d, e);
    } else if (c == SS3) {
      // As in QL_eucToSjis: a byte that cannot belong to the character is
      // read afresh.
      int d = source.Get();
      if (!isEucByte(d)) {
        out.single(c);
        source.Unget(d);
        continue;
      }
      int e = source.Get();
      if (!isEucByte(e)) {
        out.raw(c, d);
        source.Unget(e);
        continue;
      }
      out.enter(2);
      out.pair(d & 0x7F, e & 0x7F);
    } else {
      out.single(c);
    }
  }
  out.finish();
}

int QL_readJisEscape(Source &source) {
  int n = source.Get();
  if (n == '$') {
    int m = source.Get();
    if (m == '(')
      m = source.Get();
    if (m == 'B' || m == '@' || m == 'O')
      return 1;
    return m == 'P' ? 2 : 0;
  }
  if (n == '(') {
    source.Get(); // the set of single bytes: ASCII, JIS-Roman or katakana alike
    return 0;
  }
  return n == 'K' ? 1 : 0;
}

void QL_writeJisEscape(Destination &destination, const QL_JisEscapes &table, int state) {
  destination.PutChar(ESC);
  destination.PutString(table.state[state]);
}

void QL_widenKana(Source &source, int &c, int &d, QL_EncodingKind input) {
  U_ASSERT_THROW(isKana(c));
  int mark = -1;
  if (input == eceSJIS || input == eceEUC) {
    int n = source.Get();
    // In EUC a half-width mark is 0x8E followed by the mark byte; a bare
    // 0xDE or 0xDF there is the lead of a two-byte character.
    const bool prefixed = input == eceEUC && n == SS2;
    int next = prefixed ? source.Get() : n;
    bool voiced = next == 0xDE && (c == 0xB3 || in(c, 0xB6, 0xC4) || in(c, 0xCA, 0xCE));
    bool semiVoiced = next == 0xDF && in(c, 0xCA, 0xCE);
    if ((voiced || semiVoiced) && (input == eceSJIS || prefixed)) {
      mark = next;
    } else {
      source.Unget(next); // nothing at the end of the input
      if (prefixed)
        source.Unget(SS2);
    }
  }
  unsigned code = wideKana[c - 0xA1];
  c = code >> 8;
  d = code & 0xFF;
  if (mark == 0xDE) {
    if (in(d, 0x4A, 0x67) || in(d, 0x6E, 0x7A))
      d += 1;
    else if (c == 0x83 && d == 0x45)
      d = 0x94;
  } else if (mark == 0xDF && in(d, 0x6E, 0x7A)) {
    d += 2;
  }
}

void QL_jisPairToSjis(int plane, int &c1, int &c2) {
  const int r = (c1 - 0x20) & 0xFF;
  const int c = (c2 - 0x20) & 0xFF;
  int first;
  if (plane < 2)
    first = r < 0x3F ? (r + 0x101) / 2 : (r + 0x181) / 2;
  else if (r < 0x08)
    first = (r + 0x1DF) / 2;
  else if (r < 0x4E)
    first = (r + 0x1D9) / 2;
  else
    first = (r + 0x19B) / 2;
  int second;
  if (r % 2 == 1)
    second = c < 0x40 ? c + 0x3F : c + 0x40;
  else
    second = c + 0x9E;
  c1 = first & 0xFF;
  c2 = second & 0xFF;
}

int QL_sjisPairToJis(int &c1, int &c2) {
  const int s1 = c1 & 0xFF;
  const int s2 = c2 & 0xFF;
  int base;
  int plane = 1;
  if (s1 < 0xA0) {
    base = 2 * s1 - 0x100;
  } else if (s1 < 0xF0) {
    base = 2 * s1 - 0x180;
  } else {
    plane = 2;
    if (s1 >= 0xF4 && !(s1 == 0xF4 && s2 < 0x9F))
      base = 2 * s1 - 0x19A;
    else if (s1 == 0xF0 && s2 < 0x9F)
      base = 2;
    else if (s1 == 0xF1 || (s1 == 0xF2 && s2 < 0x9F))
      base = 2 * s1 - 0x1DE;
    else
      base = 2 * s1 - 0x1D8;
  }
  int row;
  int cell;
  if (s2 < 0x7F) {
    row = base + 0x1F;
    cell = s2 - 0x1F;
  } else if (s2 < 0x9F) {
    row = base + 0x1F;
    cell = s2 - 0x20;
  } else {
    row = base + 0x20;
    cell = s2 - 0x7E;
  }
  c1 = row & 0xFF;
  c2 = cell & 0xFF;
  return plane;
}
