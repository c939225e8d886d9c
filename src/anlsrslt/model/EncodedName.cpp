#include "anlsrslt/model/EncodedName.h"

#include "foundation/Assertion.h"
#include "foundation/StringStore.h"
#include "foundation/TextHashIndex.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

using Byte = unsigned char;

// The bytes of an incoming name that marking or the escape would take for
// their own, each kept as kNameByteEscape and the code kFirstEscapeCode + its
// index here: the marker bytes and the escape byte, wherever they stand (EUC
// lead bytes, UTF-8 continuation bytes, Shift_JIS bytes alike), and the ASCII
// bytes that marking reads when they stand as second byte of a Shift_JIS
// character. The codes are bytes no operation looks at.
constexpr Byte kEscapedBytes[] = {0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x91, '@', '{', '}', 's'};
constexpr Byte kFirstEscapeCode = 0x92;
constexpr Byte kEscapeCodeEnd = kFirstEscapeCode + sizeof kEscapedBytes;

Byte byteAt(std::string_view text, std::size_t i) { return static_cast<Byte>(text[i]); }

bool isMarkerOrEscape(Byte b) { return b >= kMarkOpenArguments && b <= kNameByteEscape; }

Byte escapeCodeOf(Byte b) {
  const Byte *found = std::find(std::begin(kEscapedBytes), std::end(kEscapedBytes), b);
  U_ASSERT(found != std::end(kEscapedBytes) && "Escape only a byte that has a code.");
  return static_cast<Byte>(kFirstEscapeCode + (found - std::begin(kEscapedBytes)));
}

bool isShiftJisLead(Byte b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isShiftJisTrail(Byte b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
// The ASCII bytes that marking or the taking apart of a marked name reads and
// that can stand as second byte of a Shift_JIS character.
bool isReadAsciiTrail(Byte b) { return b == '@' || b == '{' || b == '}' || b == 's'; }

bool inRange(std::string_view text, std::size_t i, Byte low, Byte high) {
  return i < text.size() && byteAt(text, i) >= low && byteAt(text, i) <= high;
}

// Whether the bytes from first on are ASCII and whole UTF-8 characters; with
// unfinishedEnd the last character may also end with the text, short of its
// length.
bool isUtf8From(std::string_view text, std::size_t first, bool unfinishedEnd = false) {
  for (std::size_t i = first; i < text.size();) {
    const Byte b = byteAt(text, i);
    const std::size_t length = b < 0x80                 ? 1
                               : b >= 0xC2 && b <= 0xDF ? 2
                               : b >= 0xE0 && b <= 0xEF ? 3
                               : b >= 0xF0 && b <= 0xF4 ? 4
                                                        : 0;
    if (length == 0)
      return false;
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k == text.size())
        return unfinishedEnd;
      if (!inRange(text, i + k, 0x80, 0xBF))
        return false;
    }
    i += length;
  }
  return true;
}

// Whether the bytes from first on are ASCII and whole EUC characters; with
// unfinishedEnd the last character may also end with the text, short of its
// length.
bool isEucFrom(std::string_view text, std::size_t first, bool unfinishedEnd = false) {
  for (std::size_t i = first; i < text.size();) {
    const Byte b = byteAt(text, i);
    // 0x8E leads a half-width katakana (second byte up to 0xDF), 0x8F a
    // character of three bytes.
    std::size_t length = 2;
    if (b < 0x80)
      length = 1;
    else if (b == 0x8F)
      length = 3;
    else if (b != 0x8E && (b < 0xA1 || b > 0xFE))
      return false;
    const Byte high = b == 0x8E ? 0xDF : 0xFE;
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k == text.size())
        return unfinishedEnd;
      if (!inRange(text, i + k, 0xA1, high))
        return false;
    }
    i += length;
  }
  return true;
}

// Whether the name is read as Shift_JIS: a byte that may lead a Shift_JIS
// character stands before an ASCII byte that marking reads, and the name is
// neither UTF-8 nor EUC (where no such pair belongs to one character).
bool isShiftJisName(std::string_view text, std::size_t first) {
  bool pair = false;
  for (std::size_t i = first; i + 1 < text.size() && !pair; ++i)
    pair = isShiftJisLead(byteAt(text, i)) && isReadAsciiTrail(byteAt(text, i + 1));
  return pair && !isUtf8From(text, first) && !isEucFrom(text, first);
}

// Calls escape(i) for every byte i from first on that is kept in two bytes.
template <class Escape>
void forEachEscapedByte(std::string_view text, std::size_t first, bool shiftJis, Escape escape) {
  for (std::size_t i = first; i < text.size(); ++i) {
    const Byte b = byteAt(text, i);
    if (shiftJis && isShiftJisLead(b) && i + 1 < text.size() && isShiftJisTrail(byteAt(text, i + 1))) {
      if (isMarkerOrEscape(b))
        escape(i);
      ++i;
      const Byte trail = byteAt(text, i);
      if (isMarkerOrEscape(trail) || isReadAsciiTrail(trail))
        escape(i);
    } else if (isMarkerOrEscape(b)) {
      escape(i);
    }
  }
}

constexpr std::size_t kKeptBufferLimit = std::size_t{1} << 20;

// Keeps every byte that marking or the escape would take for its own as two
// bytes. Names of ASCII bytes are left as they are at the cost of one scan.
void escapeNameBytes(std::string &text) {
  std::size_t first = 0;
  while (first < text.size() && byteAt(text, first) < 0x80)
    ++first;
  if (first == text.size())
    return;
  const bool shiftJis = isShiftJisName(text, first);
  // One buffer for every call: escaping needs no allocation once the two
  // buffers are large enough.
  static std::string kept;
  kept.clear();
  std::size_t copied = 0;
  forEachEscapedByte(text, first, shiftJis, [&](std::size_t i) {
    kept.append(text, copied, i - copied);
    kept.push_back(static_cast<char>(kNameByteEscape));
    kept.push_back(static_cast<char>(escapeCodeOf(byteAt(text, i))));
    copied = i + 1;
  });
  if (copied == 0)
    return;
  kept.append(text, copied, std::string::npos);
  text.swap(kept);
  // A buffer of a very long name is not kept for the rest of the run.
  if (kept.capacity() > kKeptBufferLimit)
    std::string().swap(kept);
}

// The states of the marking machine.
enum State : Byte {
  outermost = 0,
  afterColon = 1,
  componentStart = 2,
  argumentList = 3,
  braces = 4,
  nestedParentheses = 5,
  slotList = 6,
  unlistedCode = 7,
};

// The stack of states; its bottom (outermost) is never popped. Shallow names
// never leave the inline room.
class StateStack {
public:
  StateStack() { m_inline[0] = outermost; }
  Byte top() const { return m_size <= kInline ? m_inline[m_size - 1] : m_more.back(); }
  void push(Byte state) {
    if (m_size < kInline)
      m_inline[m_size] = state;
    else
      m_more.push_back(state);
    ++m_size;
  }
  void pop() {
    if (m_size > kInline)
      m_more.pop_back();
    --m_size;
  }

private:
  static constexpr std::size_t kInline = 32;
  Byte m_inline[kInline];
  std::vector<Byte> m_more;
  std::size_t m_size = 1;
};

bool isListedCodePrefix(Byte a, Byte b) {
  static constexpr const char *listed[] = {"co", "de", "UN", "BL", "pr", "Fu", "Cl", "dp", "un"};
  for (const char *prefix : listed)
    if (a == static_cast<Byte>(prefix[0]) && b == static_cast<Byte>(prefix[1]))
      return true;
  return false;
}

// Byte classes of the marking machine: bit 0 for A-Z, a-z, 0-9 and '_'; bit
// 1 + s for the bytes with a row of their own in state s, for the states
// whose other bytes pass unchanged.
using ByteClasses = std::uint16_t;
constexpr ByteClasses kLetterOrDigit = 1;

constexpr bool passesOtherBytes(Byte state) {
  return state == outermost || state == argumentList || state == braces || state == nestedParentheses ||
         state == slotList;
}
constexpr ByteClasses rowClass(Byte state) { return static_cast<ByteClasses>(1u << (state + 1)); }

constexpr std::array<ByteClasses, 256> makeByteClasses() {
  std::array<ByteClasses, 256> classes{};
  for (int c = 'A'; c <= 'Z'; ++c)
    classes[c] |= kLetterOrDigit;
  for (int c = 'a'; c <= 'z'; ++c)
    classes[c] |= kLetterOrDigit;
  for (int c = '0'; c <= '9'; ++c)
    classes[c] |= kLetterOrDigit;
  classes['_'] |= kLetterOrDigit;
  const struct {
    Byte state;
    const char *bytes;
  } rows[] = {{outermost, "(<:{"},
              {argumentList, "(<>:{"},
              {braces, ":<{}s"},
              {nestedParentheses, "():{"},
              {slotList, "(),:{"}};
  for (const auto &row : rows)
    for (const char *b = row.bytes; *b; ++b)
      classes[static_cast<Byte>(*b)] |= rowClass(row.state);
  return classes;
}

constexpr std::array<ByteClasses, 256> kByteClasses = makeByteClasses();

bool isLetterOrDigit(Byte b) { return (kByteClasses[b] & kLetterOrDigit) != 0; }

bool isIdentifierAt(const std::string &text, std::size_t i) {
  const Byte b = byteAt(text, i);
  return isLetterOrDigit(b) || (b == '[' && i + 1 < text.size() && text[i + 1] == ']');
}

// The machine works on the text with a read cursor and a write cursor: every
// byte the read cursor passes is written (changed or not) at the write
// cursor, a deleted byte is not. The write cursor never overtakes the read
// cursor, so the text is rewritten in place.
class Marker {
public:
  explicit Marker(std::string &text) : m_text(text) {}

  void run() {
    while (m_read < m_text.size()) {
      const Byte state = m_states.top();
      if (passesOtherBytes(state)) {
        // Most bytes have no row of their own: they pass in a run.
        const ByteClasses row = rowClass(state);
        while (m_read < m_text.size() && !(kByteClasses[byteAt(m_text, m_read)] & row))
          passUnchanged();
        if (m_read == m_text.size())
          break;
      }
      const Byte b = byteAt(m_text, m_read);
      switch (state) {
      case outermost:
        if (b == '(')
          enter(slotList, kMarkOpenSlots);
        else if (b == '<')
          enter(argumentList, kMarkOpenArguments);
        else
          openCommon(b);
        break;
      case afterColon:
        m_states.pop();
        if (b == ':')
          enter(componentStart, b);
        break;
      case componentStart:
        m_states.pop();
        componentStep();
        break;
      case argumentList:
        if (b == '(')
          enter(nestedParentheses, b);
        else if (b == '<')
          enter(argumentList, b);
        else if (b == '>')
          leave(b, kMarkCloseArguments);
        else
          openCommon(b);
        break;
      case braces:
        if (b == '<')
          enter(argumentList, b);
        else if (b == '}')
          leave(b, b);
        else
          openCommon(b == 's' ? 'c' : b);
        break;
      case nestedParentheses:
        if (b == '(')
          enter(nestedParentheses, b);
        else if (b == ')')
          leave(b, b);
        else
          openCommon(b);
        break;
      case slotList:
        if (b == '(')
          enter(nestedParentheses, b);
        else if (b == ')')
          leave(b, kMarkCloseSlots);
        else
          openCommon(b == ',' ? kMarkSlotSeparator : b);
        break;
      case unlistedCode:
        if (b == '@') {
          // The closing '@' of an unlisted code is dropped.
          m_states.pop();
          ++m_read;
        } else if (b == '{') {
          enter(braces, b);
        } else {
          m_states.push(componentStart);
        }
        break;
      }
    }
    m_text.resize(m_write);
  }

private:
  // ':' and '{' open the same states wherever they have a row; any other
  // byte is written as given.
  void openCommon(Byte b) {
    if (b == ':')
      m_states.push(afterColon);
    else if (b == '{')
      m_states.push(braces);
    pass(b);
  }

  void enter(Byte state, Byte written) {
    m_states.push(state);
    pass(written);
  }

  // Pops the state; the closing byte becomes the marker when that ends a list
  // of the outermost level.
  void leave(Byte b, Byte marker) {
    m_states.pop();
    pass(m_states.top() == outermost ? marker : b);
  }

  void pass(Byte written) {
    m_text[m_write++] = static_cast<char>(written);
    ++m_read;
  }
  void passUnchanged() { m_text[m_write++] = m_text[m_read++]; }

  // The start of a component: an '@' code, then an identifier run or, when
  // no identifier starts there, everything up to the next '@'.
  void componentStep() {
    const std::size_t size = m_text.size();
    if (m_read < size && m_text[m_read] == '@') {
      passUnchanged();
      if (m_read + 2 > size || !isListedCodePrefix(byteAt(m_text, m_read), byteAt(m_text, m_read + 1))) {
        m_states.push(unlistedCode);
        return;
      }
    }
    if (m_read < size && isIdentifierAt(m_text, m_read)) {
      while (m_read < size && isIdentifierAt(m_text, m_read))
        passUnchanged();
    } else {
      while (m_read < size && m_text[m_read] != '@')
        passUnchanged();
    }
  }

  std::string &m_text;
  std::size_t m_read = 0;
  std::size_t m_write = 0;
  StateStack m_states;
};

constexpr std::size_t npos = std::string_view::npos;

// The last ':' outside marked argument lists, marked slot lists and braces,
// scanning from the end. Each switch flips at its bytes; it does not count.
std::size_t lastTopLevelColon(std::string_view name) {
  bool inArguments = false;
  bool inSlots = false;
  bool inBraces = false;
  for (std::size_t i = name.size(); i-- > 0;) {
    const Byte b = byteAt(name, i);
    if (b == kMarkOpenArguments || b == kMarkCloseArguments)
      inArguments = !inArguments;
    else if (b == kMarkOpenSlots || b == kMarkCloseSlots)
      inSlots = !inSlots;
    else if (b == '{' || b == '}')
      inBraces = !inBraces;
    else if (b == ':' && !inArguments && !inSlots && !inBraces)
      return i;
  }
  return npos;
}

std::size_t findByte(std::string_view text, Byte b, std::size_t from = 0) {
  return text.find(static_cast<char>(b), from);
}

std::string_view unqualifiedNameOf(std::string_view name) {
  const std::size_t colon = lastTopLevelColon(name);
  return colon == npos ? name : name.substr(colon + 1);
}

// Where the last component begins: just after the last top-level ':', or at
// the first byte when there is none.
std::size_t componentStartOf(std::string_view name) {
  const std::size_t colon = lastTopLevelColon(name);
  return colon == npos ? 0 : colon + 1;
}

// The last component from start: up to and including its marked argument
// list, or up to a marked '(' (and a marked '>' that closes no list of the
// component, taken when closeTaken); an '@' after start ends it just after
// itself unless a marked '<' follows.
std::string_view lastComponentFrom(std::string_view name, std::size_t start, bool closeTaken) {
  std::size_t end = start;
  while (end < name.size()) {
    const Byte b = byteAt(name, end);
    if (b == kMarkOpenArguments) {
      const std::size_t close = findByte(name, kMarkCloseArguments, end + 1);
      if (close != npos)
        end = close + 1;
      break;
    }
    if (b == kMarkCloseArguments) {
      if (closeTaken)
        ++end;
      break;
    }
    if (b == kMarkOpenSlots)
      break;
    if (b == '@' && end != start) {
      if (end + 1 < name.size() && byteAt(name, end + 1) == kMarkOpenArguments) {
        const std::size_t close = findByte(name, kMarkCloseArguments, end + 2);
        end = close == npos ? end + 2 : close + 1;
        continue;
      }
      ++end;
      break;
    }
    ++end;
  }
  return name.substr(start, end - start);
}

// The last component from start, up to its first marked '<' or '(', or up to
// and including an '@' after start.
std::string_view bareNameFrom(std::string_view name, std::size_t start) {
  std::size_t end = start;
  while (end < name.size()) {
    const Byte b = byteAt(name, end);
    if (b == kMarkOpenArguments || b == kMarkOpenSlots)
      break;
    ++end;
    if (b == '@' && end - 1 != start)
      break;
  }
  return name.substr(start, end - start);
}

// A name without a top-level ':' is its own last component and bare name.
std::string_view lastComponentOf(std::string_view name) {
  const std::size_t colon = lastTopLevelColon(name);
  return colon == npos ? name : lastComponentFrom(name, colon + 1, true);
}

std::string_view bareNameOf(std::string_view name) {
  const std::size_t colon = lastTopLevelColon(name);
  return colon == npos ? name : bareNameFrom(name, colon + 1);
}

std::string_view templateArgumentsOf(std::string_view name) {
  if (findByte(name, kMarkCloseArguments) == npos)
    return {};
  const std::string_view last = lastComponentOf(name);
  const std::size_t open = findByte(last, kMarkOpenArguments);
  const std::size_t close = last.rfind(static_cast<char>(kMarkCloseArguments));
  if (open == npos || close == npos || close < open)
    return {};
  return last.substr(open, close - open + 1);
}

std::string_view enclosingScopeNameOf(std::string_view name) {
  const std::size_t colon = lastTopLevelColon(name);
  if (colon == npos || colon == 0)
    return {};
  return name.substr(0, colon - 1);
}

std::string_view parameterSlotsOf(std::string_view name) {
  if (name.empty() || byteAt(name, name.size() - 1) != kMarkCloseSlots)
    return {};
  const std::size_t open = name.rfind(static_cast<char>(kMarkOpenSlots));
  if (open == npos || open + 1 >= name.size() - 1)
    return {};
  return name.substr(open + 1, name.size() - 1 - (open + 1));
}

// Gives back a byte kept in two; 0 when the pair at i is not one.
Byte restoredByteAt(std::string_view text, std::size_t i) {
  if (byteAt(text, i) != kNameByteEscape || i + 1 >= text.size())
    return 0;
  const Byte code = byteAt(text, i + 1);
  return code >= kFirstEscapeCode && code < kEscapeCodeEnd ? kEscapedBytes[code - kFirstEscapeCode] : 0;
}

// Writes the text with its name bytes given back and, when unmark is set, its
// markers turned into the characters they stand for.
void restoreInto(std::string_view marked, std::string &out, bool unmark) {
  // The result is never longer than the text: write it in place, then cut.
  out.resize(marked.size());
  std::size_t written = 0;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    Byte b = byteAt(marked, i);
    if (b >= kMarkOpenArguments) {
      if (const Byte restored = restoredByteAt(marked, i)) {
        b = restored;
        ++i;
      } else if (unmark && b <= kMarkSlotSeparator) {
        static constexpr char plain[] = {'<', '>', '(', ')', ','};
        b = static_cast<Byte>(plain[b - kMarkOpenArguments]);
      }
    }
    out[written++] = static_cast<char>(b);
  }
  out.resize(written);
}

// The display forms computed so far, keyed by marked text. The keys are the
// interned marked texts, so an entry costs no copy of its key, and a marked
// name given as its interned pointer is found without comparing its bytes.
struct DisplayCache {
  U_TextHashIndex<const char *> entries;
  std::string scratch;
};

DisplayCache &displayCache() { return U_singletonAfterInternPool<DisplayCache>(); }

} // namespace

void P_markEncodedNameInPlace(std::string &text) {
  escapeNameBytes(text);
  Marker(text).run();
}

std::string P_markEncodedName(std::string encoded) {
  P_markEncodedNameInPlace(encoded);
  return encoded;
}

void P_unmarkNameInto(std::string_view marked, std::string &out) { restoreInto(marked, out, true); }

std::string P_unmarkName(std::string_view marked) {
  std::string result;
  P_unmarkNameInto(marked, result);
  return result;
}

std::string P_restoreNameBytes(std::string_view marked) {
  std::string result;
  restoreInto(marked, result, false);
  return result;
}

const char *P_displayName(const char *marked) {
  const std::string_view text = marked ? marked : "";
  const std::uint32_t hash = U_TextHashIndex<const char *>::hashOf(text);
  DisplayCache &cache = displayCache();
  if (const auto *found = cache.entries.find(text, hash))
    return found->value;
  const char *key = internString(text.data());
  P_unmarkNameInto(text, cache.scratch);
  const char *display = internString(cache.scratch.c_str());
  cache.entries.insert(key, hash, display);
  return display;
}

const char *P_encodeName(const std::string &encoded) {
  // One buffer for every call: marking needs no allocation once it is large
  // enough.
  static std::string buffer;
  buffer.assign(encoded);
  P_markEncodedNameInPlace(buffer);
  return internString(buffer.c_str());
}

void P_normaliseSymbolNameInto(std::string_view marked, std::string &out) {
  out.assign(marked);
  if (marked.empty() || byteAt(marked, marked.size() - 1) != kMarkCloseSlots)
    return;
  const std::size_t open = marked.rfind(static_cast<char>(kMarkOpenSlots));
  if (open == npos)
    return;
  std::size_t end = findByte(marked, kMarkSlotSeparator, open);
  if (end == npos)
    end = marked.size() - 1;
  out.replace(open + 1, end - (open + 1), 1, ' ');
}

std::string P_normaliseSymbolName(const std::string &marked) {
  std::string result;
  P_normaliseSymbolNameInto(marked, result);
  return result;
}

std::string P_normaliseSymbolName(const std::string &marked, const std::string &) {
  return P_normaliseSymbolName(marked);
}

const char *P_stripTemplateArguments(const std::string &marked) {
  std::string result;
  result.reserve(marked.size());
  std::size_t from = 0;
  for (;;) {
    const std::size_t open = findByte(marked, kMarkOpenArguments, from);
    const std::size_t close = open == npos ? npos : findByte(marked, kMarkCloseArguments, open + 1);
    if (close == npos)
      break;
    result.append(marked, from, open - from);
    from = close + 1;
  }
  result.append(marked, from, npos);
  return internString(result.c_str());
}

std::string P_unqualifiedName(const std::string &marked) { return std::string(unqualifiedNameOf(marked)); }
std::string P_unqualifiedName(const std::string &marked, const std::string &) {
  return P_unqualifiedName(marked);
}

std::string P_lastComponent(const std::string &marked) { return std::string(lastComponentOf(marked)); }
std::string P_lastComponent(const std::string &marked, const std::string &) {
  return P_lastComponent(marked);
}

std::string P_bareName(const std::string &marked) { return std::string(bareNameOf(marked)); }
std::string P_bareName(const std::string &marked, const std::string &) { return P_bareName(marked); }

std::string P_lastNameComponent(const std::string &marked) {
  return std::string(lastComponentFrom(marked, componentStartOf(marked), false));
}
std::string P_lastNameComponent(const std::string &marked, const std::string &) {
  return P_lastNameComponent(marked);
}

std::string P_bareNameComponent(const std::string &marked) {
  return std::string(bareNameFrom(marked, componentStartOf(marked)));
}
std::string P_bareNameComponent(const std::string &marked, const std::string &) {
  return P_bareNameComponent(marked);
}

std::string P_templateArguments(const std::string &marked) {
  return std::string(templateArgumentsOf(marked));
}
std::string P_templateArguments(const std::string &marked, const std::string &) {
  return P_templateArguments(marked);
}

std::string P_enclosingScopeName(const std::string &marked) {
  return std::string(enclosingScopeNameOf(marked));
}
std::string P_enclosingScopeName(const std::string &marked, const std::string &) {
  return P_enclosingScopeName(marked);
}

bool P_scopeHasTemplateArguments(const std::string &marked) {
  return findByte(marked, kMarkOpenArguments) != npos &&
         findByte(enclosingScopeNameOf(marked), kMarkOpenArguments) != npos;
}
bool P_scopeHasTemplateArguments(const std::string &marked, const std::string &) {
  return P_scopeHasTemplateArguments(marked);
}

std::string P_parameterSlots(const std::string &marked) { return std::string(parameterSlotsOf(marked)); }
std::string P_parameterSlots(const std::string &marked, const std::string &) {
  return P_parameterSlots(marked);
}

bool P_hasParameterSlots(const std::string &marked) {
  return !marked.empty() && byteAt(marked, marked.size() - 1) == kMarkCloseSlots;
}

bool P_isTemplateParameterName(const std::string &name) {
  return name.find("@ClassTempParam") != npos || name.find("@FuncTempParam") != npos;
}

bool P_lacksScopePrefix(const std::string &name) { return name.compare(0, 2, "::") != 0; }

bool P_isIdentifierChar(const char *position, const char *end) {
  if (position >= end)
    return false;
  const Byte b = static_cast<Byte>(*position);
  return isLetterOrDigit(b) || (b == '[' && position + 1 < end && position[1] == ']');
}

QL_EncodingKind P_nameEncoding(std::string_view name) {
  if (isEucFrom(name, 0))
    return eceEUC;
  if (isUtf8From(name, 0))
    return eceUTF;
  // A name cut short inside its last character reads as the rest of it does.
  if (isEucFrom(name, 0, true))
    return eceEUC;
  if (isUtf8From(name, 0, true))
    return eceUTF;
  return eceSJIS;
}

std::uint8_t P_templateClassOf(const char *marked, const char *, std::uint32_t flags) {
  const std::string_view name = marked ? marked : "";
  const bool hasArguments = !templateArgumentsOf(name).empty();
  const bool flagU = (flags & 0x10000u) != 0;
  if (hasArguments)
    return flagU ? 4 : 16;
  if (flagU)
    return 8;
  const bool scopeHasArguments = findByte(name, kMarkOpenArguments) != npos &&
                                 findByte(enclosingScopeNameOf(name), kMarkOpenArguments) != npos;
  return scopeHasArguments ? 32 : 2;
}
