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
    m_startedRun = m_runLeft == 0;
    if (m_startedRun)
      startRun();
    --m_runLeft;
    m_line += static_cast<std::int32_t>(m_random.below(4));
    // An entity met before gets another record now and then; otherwise a new
    // one, drawn until its line has a length between 60 and 200 bytes.
    if (!m_recent.empty() && m_random.percent(40)) {
      m_last = m_recent[m_random.below(m_recent.size())];
      m_last.kind = m_random.percent(70) ? "DF" : "DR";
      out = line(m_last);
      m_repeated = true;
      if (out.size() >= 60 && out.size() <= 200)
        return;
    }
    m_repeated = false;
    for (int attempt = 0;; ++attempt) {
      m_last = makeEntity();
      out = line(m_last);
      if ((out.size() >= 60 && out.size() <= 200) || attempt == 50) {
        remember(m_last);
        break;
      }
    }
    if (out.size() > 200)
      out.resize(200);
    while (out.size() < 60)
      out += " x";
  }

  // What the last line was about: the entity's encoded name, its kind code
  // and name-space code, the file and line of the record, whether the line
  // began a run of records of another file and whether the entity was met
  // before.
  const std::string &name() const { return m_last.name; }
  const std::string &kind() const { return m_last.kind; }
  const std::string &nameSpace() const { return m_last.nameSpace; }
  const std::string &file() const { return m_file; }
  std::int32_t line() const { return m_line; }
  bool startedRun() const { return m_startedRun; }
  bool repeated() const { return m_repeated; }
  bool inMainFile() const { return m_where == 'N'; }
  // The analysed file of the records.
  std::string mainFile() const { return fileName(kFiles[0]); }

  // The project's own files (those outside the system's headers) are named
  // under root instead of /work/project, so that a run can re-read them.
  void setProjectRoot(const std::string &root) { m_projectRoot = root; }
  std::vector<std::string> projectFiles() const {
    std::vector<std::string> files;
    for (const char *file : kFiles) {
      if (std::string(file).rfind(kProjectRoot, 0) == 0)
        files.push_back(fileName(file));
    }
    return files;
  }

private:
  struct Entity {
    std::string name; // encoded, qualified
    std::string kind;
    std::string nameSpace;
    char scope = '-';
    char linkage = '-';
    std::string type;
    std::string flags;
  };

  static constexpr const char *kProjectRoot = "/work/project";
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
    m_file = fileName(m_random.pick(kFiles));
    m_where = m_file == mainFile() ? 'N' : 'I';
    m_line = 1 + static_cast<std::int32_t>(m_random.below(200));
  }

  std::string fileName(const char *file) const {
    const std::string name = file;
    return name.rfind(kProjectRoot, 0) == 0 ? m_projectRoot + name.substr(std::string(kProjectRoot).size())
                                            : name;
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

  std::string drawKind() {
    const std::size_t roll = m_random.below(100);
    return roll < 50 ? "DC" : roll < 90 ? "DF" : m_random.pick(kRareKinds);
  }

  std::string accessDigit() { return m_random.percent(30) ? std::string(1, m_random.pick(kDigits)) : ""; }

  static std::string orDash(const std::string &flags) { return flags.empty() ? "-" : flags; }

  Entity makeEntity() {
    Entity e;
    const std::string scope = m_random.pick(kScopes);
    e.name = scope + "::" + identifier();
    e.kind = drawKind();
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
  Entity m_last;
  bool m_startedRun = false;
  bool m_repeated = false;
  std::size_t m_runLeft = 0;
  std::string m_file;
  std::string m_projectRoot = kProjectRoot;
  char m_where = 'N';
  std::int32_t m_line = 1;
};

// Record lines of every kind that the readers take, mixed as a primary
// analysis writes them into the record file of one translation unit: the
// DEFINE lines of DefineLineGenerator; an include record where the records
// turn to a header; after the first definition of a function its metric lines
// (with the entity header when the entity changes), often its control graph,
// the relations to entities met shortly before (calls, uses, references),
// its literals and now and then an allocation; relations between classes and
// external-variable records beside variables and tags. Each relation kind is
// defined by an "<RDEF>" line before its first record.
class ResultRecordGenerator {
public:
  // The share of record kinds, counted over the lines given so far.
  struct Counts {
    std::uint64_t define = 0, relation = 0, include = 0, metric = 0, controlGraph = 0, literal = 0, other = 0;
  };

  explicit ResultRecordGenerator(std::uint32_t seed = 20240611)
      : m_defines(seed), m_random(seed ^ 0x9E3779B9u) {}

  // Puts the next line into out.
  void next(std::string &out) {
    if (m_queue.empty())
      fill();
    out = std::move(m_queue.front());
    m_queue.pop_front();
  }

  const Counts &counts() const { return m_counts; }

  void setProjectRoot(const std::string &root) { m_defines.setProjectRoot(root); }
  std::vector<std::string> projectFiles() const { return m_defines.projectFiles(); }

private:
  static constexpr const char *kMetrics[] = {"STLIN", "STCYC", "STPTH", "STXLN",
                                             "STM19", "STPAR", "STSUB", "STLOP"};
  static constexpr const char *kCalleeKinds[] = {"C", "C", "C", "U", "X"};
  static constexpr const char *kClassKinds[] = {"B", "P", "R", "V"};
  static constexpr const char *kLiterals[] = {"0",   "1",         "42",        "0x7F", "1.5",
                                              "'a'", "\"frame\"", "L\"name\"", "0777", "65536"};
  static constexpr const char *kLitTypes[] = {"DN", "HN", "ON", "FN", "CN", "SN", "CE", "HE", "LN"};
  static constexpr const char *kAllocKinds[] = {"plain", "array", "old"};
  static constexpr char kScopeLetters[] = {'F', 'B', 'C', 'P', 'T'};
  static constexpr char kTypeLetters[] = {'T', 'D', 'E', 'B', 'C', 'U', 'F'};

  static const char *relationName(char kind) {
    switch (kind) {
    case 'I':
      return "Includes";
    case 'B':
      return "Is-base-of";
    case 'R':
      return "Has-by-reference";
    case 'P':
      return "Has-by-pointer";
    case 'V':
      return "Has-by-value";
    case 'U':
      return "Uses";
    case 'C':
      return "Calls";
    default:
      return "Refers-to";
    }
  }

  void push(std::string line, std::uint64_t &count) {
    m_queue.push_back(std::move(line));
    ++count;
  }

  // The "<RDEF>" line of the kind when the file has none yet.
  void defineRelation(char kind) {
    const std::uint32_t bit = 1u << (kind % 32);
    if (m_relationsDefined & bit)
      return;
    m_relationsDefined |= bit;
    push(std::string("<RDEF> ") + kind + ' ' + relationName(kind), m_counts.other);
  }

  void relation(char kind, const std::string &from, const std::string &to) {
    defineRelation(kind);
    static constexpr const char *kFlags[] = {"-", "-", "R", "W", "RW", "V", "RI", "S"};
    std::string flags = kind == 'B' ? std::string(1, "1237"[m_random.below(4)]) : m_random.pick(kFlags);
    if (kind != 'B' && flags == "S")
      flags = "-";
    push(std::string("<R>") + kind + ' ' + from + ' ' + to + ' ' + std::to_string(m_defines.line()) + ' ' +
             flags,
         m_counts.relation);
  }

  const std::string &recentName(const std::deque<std::string> &names) {
    return names[m_random.below(names.size())];
  }

  void remember(std::deque<std::string> &names, const std::string &name) {
    names.push_back(name);
    if (names.size() > 64)
      names.pop_front();
  }

  void functionDefined(const std::string &name) {
    const std::string &file = m_defines.file();
    const std::string line = std::to_string(m_defines.line());
    if (name != m_metricEntity) {
      m_metricEntity = name;
      push("<S>", m_counts.metric);
      push("<S>STFIL " + file, m_counts.metric);
      push("<S>STNAM " + name, m_counts.metric);
    }
    for (std::size_t n = 2 + m_random.below(3); n > 0; --n)
      push(std::string("<S>") + m_random.pick(kMetrics) + ' ' + std::to_string(m_random.below(400)) + ".000",
           m_counts.metric);
    if (m_random.percent(50)) {
      push("<CTLG> " + name + " 1", m_counts.controlGraph);
      const std::size_t nodes = 2 + m_random.below(6);
      std::string nodeLine = "<CTLGN>";
      for (std::size_t node = 1; node <= nodes; ++node) {
        nodeLine += ' ' + std::to_string(node);
        if (node < nodes)
          push("<CTLG> " + std::to_string(node) + ' ' + std::to_string(node + 1), m_counts.controlGraph);
      }
      push(nodeLine, m_counts.controlGraph);
    }
    if (!m_functions.empty())
      for (std::size_t n = 1 + m_random.below(2); n > 0; --n)
        relation(m_random.pick(kCalleeKinds)[0], name, recentName(m_functions));
    for (std::size_t n = m_random.below(3); n > 0; --n)
      push(std::string("<LIT> ") + m_random.pick(kLiterals) + (m_random.percent(20) ? " u " : " - ") +
               (m_random.percent(80) ? 'P' : 'N') + ' ' + file + ' ' + line + ' ' +
               std::to_string(1 + m_random.below(60)) + (m_defines.inMainFile() ? " N " : " I ") +
               m_random.pick(kLitTypes) + ' ' + name + ' ' + m_random.pick(kScopeLetters) + ' ' +
               m_random.pick(kTypeLetters),
           m_counts.literal);
    if (!m_variables.empty() && m_random.percent(5))
      push("<ALLOC> " + recentName(m_variables) + ' ' + m_random.pick(kAllocKinds) + ' ' + file + ' ' + line +
               ' ' + std::to_string(1 + m_random.below(40)),
           m_counts.other);
    remember(m_functions, name);
  }

  // The next DEFINE line and the records that follow it.
  void fill() {
    std::string line;
    m_defines.next(line);
    if (m_defines.startedRun() && !m_defines.inMainFile()) {
      defineRelation('I');
      push(std::string("<R>I ") + m_defines.mainFile() + ' ' + m_defines.file() + ' ' +
               std::to_string(1 + m_random.below(30)) + (m_random.percent(10) ? " S" : " -"),
           m_counts.include);
    }
    push(line, m_counts.define);
    const std::string &name = m_defines.name();
    const std::string &nameSpace = m_defines.nameSpace();
    if (nameSpace == "OF" && m_defines.kind() == "DF" && !m_defines.repeated()) {
      functionDefined(name);
    } else if (nameSpace == "OV") {
      if (!m_functions.empty() && m_random.percent(10))
        push("<EXTV> " + recentName(m_functions) + ' ' + name + ' ' + std::to_string(m_defines.line()),
             m_counts.other);
      if (!m_functions.empty() && m_random.percent(30))
        relation('U', recentName(m_functions), name);
      remember(m_variables, name);
    } else if (nameSpace == "TG") {
      if (!m_classes.empty() && m_random.percent(30))
        relation(m_random.pick(kClassKinds)[0], recentName(m_classes), name);
      remember(m_classes, name);
    }
  }

  DefineLineGenerator m_defines;
  Random m_random;
  std::deque<std::string> m_queue;
  std::deque<std::string> m_functions, m_variables, m_classes;
  std::string m_metricEntity;
  std::uint32_t m_relationsDefined = 0;
  Counts m_counts;
};

// Writes count lines of the generator to a record file at the path; gives
// the file's size in bytes.
template <class Generator>
std::uint64_t writeRecordFile(const std::string &path, std::size_t count, Generator &generator) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
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

// Writes a record file of count DEFINE lines; gives its size in bytes.
inline std::uint64_t writeDefineRecordFile(const std::string &path, std::size_t count,
                                           std::uint32_t seed = 20240611) {
  DefineLineGenerator generator(seed);
  return writeRecordFile(path, count, generator);
}

} // namespace record_files
