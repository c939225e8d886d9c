// The option kinds that collect one value (or the numbers of one value) per
// use: words, numbers, file identities and settings files.
#pragma once

#include "cmdline/OptionBase.h"
#include "foundation/FileIdentity.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

class C_CmdArgs;

// A null-terminated array of C-string copies of a list's texts, made when
// first asked for and discarded whenever the list changes.
class C_CStringArray {
public:
  // The array for the texts; made from them on the first call after a discard.
  const char *const *get(const std::vector<std::string> &texts) const;
  void discard() { m_array.reset(); }
  bool isMade() const { return m_array != nullptr; }

private:
  struct Array {
    std::vector<std::string> copies;
    std::vector<const char *> pointers;
  };
  mutable std::unique_ptr<Array> m_array;
};

// Words, one per use, in the order given; a value is never split.
class C_OptionStringList : public C_OptionBase {
public:
  using const_iterator = std::vector<std::string>::const_iterator;

  explicit C_OptionStringList(const std::string &name) : C_OptionBase(name) {}
  // A copy starts without the cached array.
  C_OptionStringList(const C_OptionStringList &other) : C_OptionBase(other), m_values(other.m_values) {}

  const std::vector<std::string> &values() const { return m_values; }
  const_iterator begin() const { return m_values.begin(); }
  const_iterator end() const { return m_values.end(); }
  void add(const std::string &value);
  // The values as a null-terminated array of C strings.
  const char *const *cStrings() const;

  // Every value followed by ", ".
  std::string valueText() const override;
  void resetToDefault() override;
  bool read(std::istream &in, bool ownWord) override;

private:
  std::vector<std::string> m_values;
  C_CStringArray m_cStrings;
};

// Settings files: each name given is recorded as typed and the file's words
// are read at once, before the words that follow the option.
class C_OptionVia : public C_OptionStringList {
public:
  explicit C_OptionVia(const std::string &name) : C_OptionStringList(name) {}

  std::string valueText() const override { return std::string(); }
  bool read(std::istream &in, bool ownWord) override;
  // Records the name (in the product's encoding, as typed) and pushes the file
  // onto the stream buffer of the word stream in. Throws
  // C_InvalidViaException when the file is no readable regular file; the
  // name is recorded all the same. The stream's buffer must be a
  // C_WordStreamBuffer.
  bool pushFile(const std::string &fileName, std::istream &in);
};

// Numbers and ranges of numbers, in the order produced.
class C_OptionIntList : public C_OptionBase {
public:
  using const_iterator = std::vector<std::int32_t>::const_iterator;

  explicit C_OptionIntList(const std::string &name) : C_OptionBase(name) {}

  const std::vector<std::int32_t> &values() const { return m_values; }
  const_iterator begin() const { return m_values.begin(); }
  const_iterator end() const { return m_values.end(); }

  // Runs of consecutive numbers as "start-end", single numbers alone, with
  // one blank between them: 1 2 3 5 7 8 shows as "1-3 5 7-8".
  std::string valueText() const override;
  void resetToDefault() override { m_values.clear(); }
  bool read(std::istream &in, bool ownWord) override;

private:
  std::vector<std::int32_t> m_values;
};

// File identities, in the order given.
class C_OptionFilenameList : public C_OptionBase {
public:
  explicit C_OptionFilenameList(const std::string &name) : C_OptionBase(name) {}
  // A copy starts without the cached array.
  C_OptionFilenameList(const C_OptionFilenameList &other) : C_OptionBase(other), m_values(other.m_values) {}

  const std::vector<QL_Filename> &values() const { return m_values; }
  // The canonical names as a null-terminated array of C strings.
  const char *const *cStrings() const;

  // Every file's printable name in the product's encoding, followed by ", ";
  // printed as the current argument set's options say.
  std::string valueText() const override;
  // The same, printed as the options of the given argument set say.
  virtual std::string valueTextFor(const C_CmdArgs &args) const;
  void resetToDefault() override;
  bool read(std::istream &in, bool ownWord) override;

private:
  std::vector<QL_Filename> m_values;
  C_CStringArray m_cStrings;
};
