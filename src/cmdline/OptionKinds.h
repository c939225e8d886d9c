// The option kinds that hold one value or act at once.
#pragma once

#include "cmdline/OptionBase.h"

#include <cstdint>
#include <istream>
#include <string>

class C_CmdArgs;

// The decimal text of a number: a minus sign when negative, no leading zeros.
std::string intToString(std::int32_t value);
// The number at the start of a text (white space skipped, optional sign,
// digits); 0 when there is none or it does not fit in 32 signed bits.
std::int32_t stringToInt(const std::string &text);

// A switch: given bare it is on; in its own word "+" turns it on, "-" off.
class C_OptionBool : public C_OptionBase {
public:
  C_OptionBool(const std::string &name, bool defaultValue)
      : C_OptionBase(name), m_value(defaultValue), m_default(defaultValue) {}
  bool value() const { return m_value; }
  std::string valueText() const override;
  void resetToDefault() override { m_value = m_default; }
  bool read(std::istream &in, bool ownWord) override;

private:
  bool m_value;
  bool m_default;
};

// A number; a value that holds none gives 0.
class C_OptionInt : public C_OptionBase {
public:
  C_OptionInt(const std::string &name, std::int32_t defaultValue)
      : C_OptionBase(name), m_value(defaultValue), m_default(defaultValue) {}
  std::int32_t value() const { return m_value; }
  std::string valueText() const override { return intToString(m_value); }
  void resetToDefault() override { m_value = m_default; }
  bool read(std::istream &in, bool ownWord) override;

private:
  std::int32_t m_value;
  std::int32_t m_default;
};

// A text, kept as given.
class C_OptionString : public C_OptionBase {
public:
  C_OptionString(const std::string &name, const std::string &defaultValue)
      : C_OptionBase(name), m_value(defaultValue), m_default(defaultValue) {}
  const std::string &value() const { return m_value; }
  // Null while the value is empty and the option was not given.
  const char *cStr() const { return m_value.empty() && !isSet() ? nullptr : m_value.c_str(); }
  std::string valueText() const override { return m_value; }
  void resetToDefault() override { m_value = m_default; }
  bool read(std::istream &in, bool ownWord) override;

private:
  std::string m_value;
  std::string m_default;
};

// A text kept in the internal encoding and shown in the product's.
class C_OptionI8NString : public C_OptionBase {
public:
  C_OptionI8NString(const std::string &name, const std::string &defaultValue)
      : C_OptionBase(name), m_value(defaultValue), m_default(defaultValue) {}
  const std::string &value() const { return m_value; }
  std::string valueText() const override;
  void resetToDefault() override { m_value = m_default; }
  bool read(std::istream &in, bool ownWord) override;

private:
  std::string m_value;
  std::string m_default;
};

// A file name in the internal encoding with forward slashes; empty stands for
// no file.
class C_OptionFilename : public C_OptionBase {
public:
  C_OptionFilename(const std::string &name, const std::string &defaultValue)
      : C_OptionBase(name), m_value(defaultValue), m_default(defaultValue) {}
  const std::string &getValue() const { return m_value; }
  std::string valueText() const override;
  void resetToDefault() override;
  bool read(std::istream &in, bool ownWord) override;

private:
  std::string m_value;
  std::string m_default;
};

// Prints its value and a newline on standard output the moment it is read,
// so that settings files and command lines can leave remarks; keeps nothing.
class C_OptionEcho : public C_OptionBase {
public:
  explicit C_OptionEcho(const std::string &name) : C_OptionBase(name) {}
  std::string valueText() const override { return std::string(); }
  bool read(std::istream &in, bool ownWord) override;
};

// Returns the option that its value names, by any name or alias of the
// owner's product, to its default.
class C_OptionForget : public C_OptionBase {
public:
  explicit C_OptionForget(const std::string &name) : C_OptionBase(name) {}
  // A copy has no owner.
  C_OptionForget(const C_OptionForget &other) : C_OptionBase(other) {}
  void setOwner(C_CmdArgs *owner) { m_owner = owner; }
  C_CmdArgs *owner() const { return m_owner; }
  std::string valueText() const override { return std::string(); }
  bool read(std::istream &in, bool ownWord) override;

private:
  C_CmdArgs *m_owner = nullptr; // not owned
};
