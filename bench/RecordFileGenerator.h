// Record files for benchmarks, made from the record grammar: "<DEFINE>"
// lines as the primary analyser writes them (ten fields after the tag: name,
// file, line, where letter, kind code, name-space code, scope letter, linkage
// letter, type, flag letters), in a realistic mix of entity kinds, scopes,
// names and types: records come in runs of one file, as the analysis of a
// translation unit gives them, and an entity is often met again (declared,
// then defined or declared again) soon after it was first met.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

namespace record_files {

// A small linear congruential generator: the same file for the same seed on
// every platform.
class Random {
public:
  explicit Random(std::uint32_t seed) : m_state(seed) {}
  std::uint32_t next() {
    m_state = m_state * 1103515245u + 12345u;
    return m_state >> 8;
  }
  std::size_t below(std::size_t n) { return next() % n; }
  bool percent(std::size_t p) { return below(100) < p; }
  template <class T, std::size_t N> const T &pick(const T (&items)[N]) { return items[below(N)]; }

private:
  std::uint32_t m_state;
};

// DEFINE lines of 60 to 200 bytes without their line ends.
class DefineLineGenerator {
public:
  explicit DefineLineGenerator(std::uint32_t seed = 20240611) : m_random(seed) {}

  // Puts the next line into out.
  void next(std::string &out) {
    if (m_runLeft == 0)
      startRun();
    --m_runLeft;
    m_line += static_cast<std::int32_t>(m_random.below(4));
    // An entity met before gets another record now and then; otherwise a new
    // one, drawn until its line has a length between 60 and 200 bytes.
    if (!m_recent.empty() && m_random.percent(40)) {
      Entity entity = m_recent[m_random.below(m_recent.size())];
      entity.kind = m_random.percent(70) ? "DF" : "DR";
      out = line(entity);
      if (out.size() >= 60 && out.size() <= 200)
        return;
    }
    for (int attempt = 0;; ++attempt) {
      const Entity entity = makeEntity();
      out = line(entity);
      if ((out.size() >= 60 && out.size() <= 200) || attempt == 50) {
        remember(entity);
        break;
      }
    }
    if (out.size() > 200)
      out.resize(200);
    while (out.size() < 60)
      out += " x";
  }

private:
  struct Entity {
    std::string name; // encoded, qualified
    std::string kind;
    std::string nameSpace;
    char scope;
    char linkage;
    std::string type;
    std::string flags;
  };

  static constexpr const char *kFiles[] = {
      "/work/project/src/net/proto/frame_parser.cpp",
      "/work/project/src/net/proto/frame_parser.h",
      "/work/project/include/app/io/reader.h",
      "/work/project/include/app/io/writer.h",
      "/work/project/include/lib/detail/node_list.h",
      "/usr/include/stdio.h",
      "/usr/include/string.h",
      "/usr/include/c++/12/bits/stl_vector.h",
      "/usr/include/c++/12/bits/basic_string.h",
      "/work/project/include/\xA4\xA2\xA4\xA4/\xB4\xC1\xBB\xFA.h",
  };
  static constexpr const char *kScopes[] = {
      "",
      "",
      "::std",
      "::std::__detail",
      "::app",
      "::app::io",
      "::app::io::Reader",
      "::app::io::Writer",
      "::lib::detail",
      "::lib::detail::NodeList",
      "::lib::detail::Parser<ni>",
      "::net::proto",
      "::net::proto::FrameParser",
      "::net::proto::Frame<{c::app::Buffer},ui>",
      "::std::vector<{c::net::proto::Frame<{c::app::Buffer},ui>}>",
      "::std::basic_string<c,{s::std::char_traits<c>},{c::std::allocator<c>}>",
  };
  static constexpr const char *kVerbs[] = {
      "get", "set",   "read",   "write", "find", "insert", "erase", "make",   "parse", "is",    "has",
      "on",  "reset", "update", "count", "to",   "from",   "init",  "handle", "next",  "close", "open"};
  static constexpr const char *kNouns[] = {
      "Buffer", "Node",  "Item",    "Value",  "State",  "Size",   "Index",
      "Count",  "Name",  "Path",    "Frame",  "Header", "Record", "Token",
      "Length", "Entry", "Context", "Stream", "Error",  "Flags",  "\xA4\xAD\xA4\xEA"};
  static constexpr const char *kTypes[] = {"ni",
                                           "ui",
                                           "pc",
                                           "pkc",
                                           "v",
                                           "c",
                                           "nl",
                                           "ul",
                                           "d",
                                           "b",
                                           "pv",
                                           "rk{c::std::string}",
                                           "{c::app::Buffer}",
                                           "p{c::lib::detail::Node}",
                                           "pc{s::FILE}",
                                           "r{c::net::proto::Frame<{c::app::Buffer},ui>}"};
  static constexpr const char *kRareKinds[] = {"DR", "DI", "DS", "DX", "DP"};
  static constexpr char kScopeLetters[] = {'B', 'C', 'P', 'T', 'R', 'S', '-'};
  static constexpr char kDigits[] = {'1', '2', '3', '5', '7'};
  static constexpr char kVariableLinkages[] = {'I', 'X', 'N', '-'};
  static constexpr char kTagLetters[] = {'c', 's', 'u', 'e'};

  void startRun() {
    m_runLeft = 20 + m_random.below(300);
    m_file = m_random.pick(kFiles);
    m_where = m_file == kFiles[0] ? 'N' : 'I';
    m_line = 1 + static_cast<std::int32_t>(m_random.below(200));
  }

  void remember(const Entity &entity) {
    m_recent.push_back(entity);
    if (m_recent.size() > 300)
      m_recent.pop_front();
  }

  std::string identifier() {
    std::string id = std::string(m_random.pick(kVerbs)) + m_random.pick(kNouns);
    if (m_random.percent(30))
      id += std::to_string(m_random.below(100));
    return id;
  }

  std::string type() { return m_random.pick(kTypes); }

  std::string kind() {
    const std::size_t roll = m_random.below(100);
    return roll < 50 ? "DC" : roll < 90 ? "DF" : m_random.pick(kRareKinds);
  }

  std::string accessDigit() { return m_random.percent(30) ? std::string(1, m_random.pick(kDigits)) : ""; }

  static std::string orDash(const std::string &flags) { return flags.empty() ? "-" : flags; }

  Entity makeEntity() {
    Entity e;
    const std::string scope = m_random.pick(kScopes);
    e.name = scope + "::" + identifier();
    e.kind = kind();
    e.scope = scope.empty() ? 'F' : scope.find('<') != std::string::npos ? 'T' : 'C';
    if (m_random.percent(10))
      e.scope = m_random.pick(kScopeLetters);
    const std::size_t roll = m_random.below(100);
    if (roll < 35) { // functions
      e.nameSpace = "OF";
      if (m_random.percent(10)) {
        e.name += '<';
        e.name += type();
        e.name += '>';
      }
      e.name += '(';
      e.name += type();
      for (std::size_t n = m_random.below(5); n > 0; --n) {
        e.name += ',';
        e.name += type();
      }
      e.name += ')';
      e.linkage = m_random.percent(70) ? 'X' : 'I';
      e.type = type();
      std::string flags;
      for (const char letter : {'U', 'P', 'V', 'S', 'I'})
        if (m_random.percent(10))
          flags += letter;
      if (m_random.percent(10))
        flags += m_random.percent(50) ? 'G' : 'T';
      e.flags = orDash(flags + accessDigit());
    } else if (roll < 55) { // variables
      e.nameSpace = "OV";
      e.linkage = m_random.pick(kVariableLinkages);
      e.type = m_random.percent(5) ? (m_random.percent(50) ? "nb" : "ub") : type();
      e.flags = orDash(std::string(m_random.percent(10) ? "U" : "") + (m_random.percent(10) ? "S" : "") +
                       (m_random.percent(10) ? "R" : "") + accessDigit());
    } else if (roll < 67) { // members
      e.nameSpace = "MB";
      e.scope = 'C';
      e.linkage = 'N';
      e.type = type();
      e.flags = orDash(accessDigit());
    } else if (roll < 75) { // typedefs
      e.nameSpace = "OT";
      e.linkage = 'N';
      e.type = type();
      e.flags = m_random.percent(10) ? "U" : "-";
    } else if (roll < 83) { // tags
      e.nameSpace = "TG";
      e.linkage = 'X';
      e.type = std::string("{") + m_random.pick(kTagLetters) + e.name + "}";
      e.flags = orDash(std::string(m_random.percent(10) ? "U" : "") +
                       (e.kind == "DF" ? (m_random.percent(50) ? "D" : "A") : ""));
    } else if (roll < 90) { // enumerators
      e.nameSpace = "OE";
      e.linkage = 'N';
      e.type = "{e" + scope + "::" + identifier() + "}";
      e.flags = "-";
    } else if (roll < 97) { // macros
      e.name = identifier() + "_MACRO";
      e.nameSpace = "OM";
      e.scope = '-';
      e.linkage = '-';
      e.type = "-";
      e.flags = m_random.percent(50) ? "F" : "O";
    } else { // labels
      e.nameSpace = "LB";
      e.scope = 'N';
      e.linkage = 'N';
      e.type = "-";
      e.flags = "-";
    }
    return e;
  }

  std::string line(const Entity &e) const {
    std::string text = "<DEFINE> ";
    text += e.name;
    text += ' ';
    text += m_file;
    text += ' ';
    text += std::to_string(m_line);
    text += ' ';
    text += m_where;
    text += ' ';
    text += e.kind;
    text += ' ';
    text += e.nameSpace;
    text += ' ';
    text += e.scope;
    text += ' ';
    text += e.linkage;
    text += ' ';
    text += e.type;
    text += ' ';
    text += e.flags;
    return text;
  }

  Random m_random;
  std::deque<Entity> m_recent;
  std::size_t m_runLeft = 0;
  std::string m_file;
  char m_where = 'N';
  std::int32_t m_line = 1;
};

// Writes a record file of count DEFINE lines; gives its size in bytes.
inline std::uint64_t writeDefineRecordFile(const std::string &path, std::size_t count,
                                           std::uint32_t seed = 20240611) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  DefineLineGenerator generator(seed);
  std::string line;
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < count; ++i) {
    generator.next(line);
    line += '\n';
    out << line;
    bytes += line.size();
  }
  return bytes;
}

} // namespace record_files
