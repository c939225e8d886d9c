#include "cmdline/ListOptionKinds.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/OptionKinds.h"
#include "cmdline/OptionValueLine.h"
#include "cmdline/PrintableFileName.h"
#include "cmdline/ProductText.h"
#include "cmdline/WordStreamBuffer.h"
#include "foundation/Assertion.h"
#include "foundation/FileSystem.h"
#include "foundation/NumberRanges.h"
#include "foundation/PathText.h"

#include <iterator>

namespace {

void writeRun(std::string &text, std::int32_t start, std::int32_t end) {
  text += intToString(start);
  if (end != start) {
    text += '-';
    text += intToString(end);
  }
}

} // namespace

const char *const *C_CStringArray::get(const std::vector<std::string> &texts) const {
  if (!m_array) {
    auto array = std::make_unique<Array>();
    array->copies = texts;
    for (const std::string &copy : array->copies)
      array->pointers.push_back(copy.c_str());
    array->pointers.push_back(nullptr);
    m_array = std::move(array);
  }
  return m_array->pointers.data();
}

void C_OptionStringList::add(const std::string &value) {
  m_cStrings.discard();
  m_values.push_back(value);
}

const char *const *C_OptionStringList::cStrings() const { return m_cStrings.get(m_values); }

std::string C_OptionStringList::valueText() const {
  std::string text;
  for (const std::string &value : m_values)
    text += value + ", ";
  return text;
}

void C_OptionStringList::resetToDefault() {
  m_cStrings.discard();
  m_values.clear();
}

bool C_OptionStringList::read(std::istream &in, bool) {
  add(readOptionValueLine(name(), in));
  return true;
}

bool C_OptionVia::read(std::istream &in, bool) { return pushFile(readOptionValueLine(name(), in), in); }

bool C_OptionVia::pushFile(const std::string &fileName, std::istream &in) {
  add(fileName);
  const std::string path = QL_toForwardSlashes(C_productNameToInternal(fileName));
  if (!QL_isRegularFile(path) || !QL_isReadableFile(path))
    throw C_InvalidViaException(C_internalToProductText(path));
  auto *words = dynamic_cast<C_WordStreamBuffer *>(in.rdbuf());
  U_ASSERT_THROW(words != nullptr);
  words->pushFile(C_internalToProductText(path));
  return true;
}

std::string C_OptionIntList::valueText() const {
  std::string text;
  if (m_values.empty())
    return text;
  std::int32_t start = m_values.front();
  std::int32_t end = start;
  for (auto it = m_values.begin() + 1; it != m_values.end(); ++it) {
    // Compared in 64 bits: the largest int has no successor.
    if (static_cast<std::int64_t>(*it) == static_cast<std::int64_t>(end) + 1) {
      end = *it;
      continue;
    }
    writeRun(text, start, end);
    text += ' ';
    start = end = *it;
  }
  writeRun(text, start, end);
  return text;
}

bool C_OptionIntList::read(std::istream &in, bool) {
  parseNumberRanges(readOptionValueLine(name(), in), std::back_inserter(m_values));
  return true;
}

const char *const *C_OptionFilenameList::cStrings() const {
  std::vector<std::string> names;
  if (!m_cStrings.isMade())
    for (const QL_Filename &file : m_values)
      names.push_back(filenameToString(file.canonical()));
  return m_cStrings.get(names);
}

std::string C_OptionFilenameList::valueText() const {
  std::string text;
  for (const QL_Filename &file : m_values)
    text += C_internalToProductText(printableFileName(file)) + ", ";
  return text;
}

std::string C_OptionFilenameList::valueTextFor(const C_CmdArgs &args) const {
  if (!args.options())
    return valueText();
  std::string text;
  for (const QL_Filename &file : m_values)
    text += C_internalToProductText(printableFileName(file, *args.options())) + ", ";
  return text;
}

void C_OptionFilenameList::resetToDefault() {
  m_cStrings.discard();
  m_values.clear();
}

bool C_OptionFilenameList::read(std::istream &in, bool) {
  const std::string path = QL_toForwardSlashes(C_productNameToInternal(readOptionValueLine(name(), in)));
  m_cStrings.discard();
  m_values.push_back(QL_Filename::fromPath(path));
  return true;
}
