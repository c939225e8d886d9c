// What a caller hands to the metric sink to have a record written: abstract
// descriptions of entities, symbols, definitions, types and literals, each
// asked only for what its record needs. The system has no implementation of
// its own; a caller that reports records supplies them.
#pragma once

#include "foundation/Location.h"

#include <cstdint>
#include <string>

// An entity with a metric.
class MI_Entity {
public:
  virtual ~MI_Entity() = default;
  virtual U_Location location() const = 0;
  virtual void name(std::string &text) const = 0;
};

// A tag (written with name space "TG").
class MI_DefineTG : public MI_Entity {
public:
  virtual void typeText(std::string &text) const = 0;
  virtual std::uint32_t scope() const = 0;
  virtual bool flagA() const = 0;
  virtual bool flagD() const = 0;
  virtual bool flagU() const = 0;
};

// A definition that only has a type, a scope and the flag U (types, tags and
// enumerators).
class MI_DefineName : public MI_Entity {
public:
  virtual void typeText(std::string &text) const = 0;
  virtual std::uint32_t scope() const = 0;
  virtual bool flagU() const = 0;
};

// A variable. The first of digit1, digit2 and digit3 that holds and
// digitPlus4 together give the access digit.
class MI_DefineOV : public MI_Entity {
public:
  virtual void typeText(std::string &text) const = 0;
  virtual std::uint32_t scope() const = 0;
  virtual bool flagS() const = 0;
  virtual bool linkageI() const = 0;
  virtual bool linkageX() const = 0;
  virtual bool flagR() const = 0;
  virtual bool digit1() const = 0;
  virtual bool digit2() const = 0;
  virtual bool digit3() const = 0;
  virtual bool digitPlus4() const = 0;
  virtual bool flagU() const = 0;
};

// A variable whose type is written as "nb" or "ub".
class MI_DefineOV2 : public MI_Entity {
public:
  virtual bool isNb() const = 0;
  virtual std::uint32_t scope() const = 0;
  virtual bool flagS() const = 0;
  virtual bool digit1() const = 0;
  virtual bool digit2() const = 0;
  virtual bool digit3() const = 0;
  virtual bool digitPlus4() const = 0;
  virtual bool flagU() const = 0;
};

// A symbol with a metric.
class MI_Symbol {
public:
  virtual ~MI_Symbol() = default;
  virtual U_Location location() const = 0;
  virtual void name(std::string &text) const = 0;
};

// A function.
class MI_DefineOF : public MI_Symbol {
public:
  virtual void typeText(std::string &text) const = 0;
  virtual std::uint32_t scope() const = 0;
  virtual bool flagV() const = 0;
  virtual bool flagP() const = 0;
  virtual bool flagS() const = 0;
  virtual bool linkageI() const = 0;
  virtual bool flagI() const = 0;
  virtual bool digit1() const = 0;
  virtual bool digit2() const = 0;
  virtual bool digit3() const = 0;
  virtual bool digitPlus4() const = 0;
  virtual bool flagG() const = 0;
  virtual bool flagT() const = 0;
  virtual bool flagU() const = 0;
};

// A reference to an entity that may be missing (written "-" then).
class MI_EntityRef {
public:
  virtual ~MI_EntityRef() = default;
  virtual bool isSet() const = 0;
  virtual void name(std::string &text) const = 0;
};

// A type that may be none (written "-" then); its text joins its parts with
// the separator.
class MI_TypeRef {
public:
  virtual ~MI_TypeRef() = default;
  virtual bool isNone() const = 0;
  virtual void text(std::string &text, const char *separator) const = 0;
};

// A description asked for one text: the thrown type of a "T" record, the
// catch text of a "C" record, the allocated object, a literal's second text.
class MI_Text {
public:
  virtual ~MI_Text() = default;
  virtual void text(std::string &text) const = 0;
};

// One literal: its text, suffix and K code from the caller, the location,
// kind, scope and type held here.
class MI_LiteralBase {
public:
  MI_LiteralBase(const U_Location &location, int scope, int type);
  virtual ~MI_LiteralBase() = default;

  virtual void text(std::string &text) const = 0;
  virtual void suffix(std::string &text) const = 0;
  virtual std::uint32_t kCode() const = 0;
  // The literal's value as the caller spells it; no record asks for it.
  virtual void valueText(std::string &text) const = 0;

  const U_Location &location() const { return m_location; }
  const QL_Filename &file() const { return m_location.getFile(); }
  std::int32_t line() const { return m_location.getLine(); }
  std::int32_t column() const { return m_location.getColumn(); }
  int kind() const { return m_kind; }
  void setKind(int kind) { m_kind = kind; }
  int scope() const { return m_scope; }
  int type() const { return m_type; }
  // "I" when the location was reached through an include directive, else "N".
  const char *includeLetter() const;

  // Text helpers for implementations: "-", a copy of the text, and the text
  // or "-" when it is empty.
  static std::string dash();
  static std::string copy(const std::string &text);
  static std::string orDash(const std::string &text);

private:
  U_Location m_location;
  int m_kind = 0;
  int m_scope;
  int m_type;
};
