// The common part of every option of the option set.
#pragma once

#include <istream>
#include <string>

// An option with its canonical name and whether it was given. Each kind reads
// its value from the option words, shows it as text and returns to its default.
class C_OptionBase {
public:
  explicit C_OptionBase(const std::string &name) : m_name(name) {}
  C_OptionBase(const C_OptionBase &) = default;
  C_OptionBase &operator=(const C_OptionBase &) = delete;
  virtual ~C_OptionBase() = default;

  // The current value as display text.
  virtual std::string valueText() const = 0;
  virtual void resetToDefault() {}
  // Reads the value. ownWord: the stream holds only the rest of the option's
  // own word; otherwise it is the stream of all remaining option words.
  virtual bool read(std::istream &in, bool ownWord) = 0;

  std::string name() const { return m_name; }
  bool isSet() const { return m_isSet; }

  // Marks the option given, then reads its value; an option whose value is
  // rejected still counts as given.
  bool set(std::istream &in, bool ownWord) {
    m_isSet = true;
    return read(in, ownWord);
  }
  // Returns to the state of birth: the default, and not given.
  void forget() {
    resetToDefault();
    m_isSet = false;
  }

private:
  std::string m_name;
  bool m_isSet = false;
};
