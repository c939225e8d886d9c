#include "cmdline/OptionKinds.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/OptionValueLine.h"
#include "cmdline/Product.h"
#include "cmdline/ProductText.h"
#include "foundation/NumberRanges.h"
#include "foundation/PathText.h"

#include <iostream>

std::string intToString(std::int32_t value) { return U_toString(value); }

std::int32_t stringToInt(const std::string &text) { return toInt(text); }

std::string C_OptionBool::valueText() const { return m_value ? "+ (on)" : "- (off)"; }

bool C_OptionBool::read(std::istream &in, bool ownWord) {
  if (!ownWord) {
    m_value = true;
    return true;
  }
  char c = 0;
  if (!(in >> c))
    throw C_InvalidArgValueException(name(), std::string());
  if (c == '+')
    m_value = true;
  else if (c == '-')
    m_value = false;
  else
    throw C_InvalidArgValueException(name(), std::string(1, c));
  return true;
}

bool C_OptionInt::read(std::istream &in, bool) {
  m_value = stringToInt(readOptionValueLine(name(), in));
  return true;
}

bool C_OptionString::read(std::istream &in, bool) {
  m_value = readOptionValueLine(name(), in);
  return true;
}

std::string C_OptionI8NString::valueText() const { return C_internalToProductText(m_value); }

bool C_OptionI8NString::read(std::istream &in, bool) {
  m_value = C_productTextToInternal(readOptionValueLine(name(), in));
  return true;
}

std::string C_OptionFilename::valueText() const { return C_internalToProductText(m_value); }

void C_OptionFilename::resetToDefault() { m_value = QL_toForwardSlashes(m_default); }

bool C_OptionFilename::read(std::istream &in, bool) {
  m_value = QL_toForwardSlashes(C_productNameToInternal(readOptionValueLine(name(), in)));
  return true;
}

bool C_OptionEcho::read(std::istream &in, bool) {
  const std::string line = readOptionValueLine(name(), in);
  std::cout << line << '\n' << std::flush;
  return true;
}

bool C_OptionForget::read(std::istream &in, bool) {
  const std::string line = readOptionValueLine(name(), in);
  // A copied option set has no owner and so no product whose names it knows.
  C_OptionBase *option = nullptr;
  if (m_owner && m_owner->product().isValid()) {
    const ProductRecord &product = ProductTable[m_owner->product().index()];
    std::int32_t matched = 0;
    option =
        findOptionByPrefix(*m_owner, line.c_str(), matched, product.optionNames, product.optionNameCount);
  }
  if (!option)
    throw C_InvalidArgValueException(name(), line);
  option->forget();
  return true;
}
