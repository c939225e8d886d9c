// Descriptions of records as a caller of the metric sink hands them over,
// answering from the values given to them; shared by the sink and reporting
// tests.
#pragma once

#include "resultfiles/MetricDescriptions.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace metric_doubles {

// A definition of every kind. The letters of its set say which queries hold:
// "A", "D", "U", "S", "R", "P", "V", "I", "G", "T" the flags of those
// letters, "1", "2", "3" the digits, "+" digitPlus4, "i" and "x" the
// linkages I and X, "n" isNb.
class Definition : public MI_DefineTG,
                   public MI_DefineName,
                   public MI_DefineOV,
                   public MI_DefineOV2,
                   public MI_DefineOF {
public:
  Definition(std::string name, U_Location location, std::string type, std::uint32_t scope, std::string set)
      : m_name(std::move(name)), m_location(std::move(location)), m_type(std::move(type)), m_scope(scope),
        m_set(std::move(set)) {}

  U_Location location() const override { return m_location; }
  void name(std::string &text) const override { text = m_name; }
  void typeText(std::string &text) const override { text = m_type; }
  std::uint32_t scope() const override { return m_scope; }
  bool flagA() const override { return has('A'); }
  bool flagD() const override { return has('D'); }
  bool flagU() const override { return has('U'); }
  bool flagS() const override { return has('S'); }
  bool flagR() const override { return has('R'); }
  bool flagP() const override { return has('P'); }
  bool flagV() const override { return has('V'); }
  bool flagI() const override { return has('I'); }
  bool flagG() const override { return has('G'); }
  bool flagT() const override { return has('T'); }
  bool digit1() const override { return has('1'); }
  bool digit2() const override { return has('2'); }
  bool digit3() const override { return has('3'); }
  bool digitPlus4() const override { return has('+'); }
  bool linkageI() const override { return has('i'); }
  bool linkageX() const override { return has('x'); }
  bool isNb() const override { return has('n'); }

private:
  bool has(char letter) const { return m_set.find(letter) != std::string::npos; }

  std::string m_name;
  U_Location m_location;
  std::string m_type;
  std::uint32_t m_scope;
  std::string m_set;
};

class Symbol : public MI_Symbol {
public:
  Symbol(std::string name, U_Location location) : m_name(std::move(name)), m_location(std::move(location)) {}
  U_Location location() const override { return m_location; }
  void name(std::string &text) const override { text = m_name; }

private:
  std::string m_name;
  U_Location m_location;
};

class Entity : public MI_Entity {
public:
  Entity(std::string name, U_Location location) : m_name(std::move(name)), m_location(std::move(location)) {}
  U_Location location() const override { return m_location; }
  void name(std::string &text) const override { text = m_name; }

private:
  std::string m_name;
  U_Location m_location;
};

class Text : public MI_Text {
public:
  explicit Text(std::string text) : m_text(std::move(text)) {}
  void text(std::string &text) const override { text = m_text; }

private:
  std::string m_text;
};

// An entity reference; an empty name is a missing entity.
class EntityRef : public MI_EntityRef {
public:
  explicit EntityRef(std::string name) : m_name(std::move(name)) {}
  bool isSet() const override { return !m_name.empty(); }
  void name(std::string &text) const override { text = m_name; }

private:
  std::string m_name;
};

// A type of the parts given; none without parts.
class TypeRef : public MI_TypeRef {
public:
  explicit TypeRef(std::vector<std::string> parts) : m_parts(std::move(parts)) {}
  bool isNone() const override { return m_parts.empty(); }
  void text(std::string &text, const char *separator) const override {
    text.clear();
    for (const std::string &part : m_parts)
      text += (text.empty() ? "" : separator) + part;
  }

private:
  std::vector<std::string> m_parts;
};

class Literal : public MI_LiteralBase {
public:
  Literal(const U_Location &location, int kind, int scope, int type, std::string text, std::string suffix,
          std::uint32_t kCode)
      : MI_LiteralBase(location, scope, type), m_text(std::move(text)), m_suffix(std::move(suffix)),
        m_kCode(kCode) {
    setKind(kind);
  }
  void text(std::string &text) const override { text = m_text; }
  void suffix(std::string &text) const override { text = m_suffix; }
  std::uint32_t kCode() const override { return m_kCode; }
  void valueText(std::string &text) const override { text = orDash(m_text); }

private:
  std::string m_text;
  std::string m_suffix;
  std::uint32_t m_kCode;
};

} // namespace metric_doubles
