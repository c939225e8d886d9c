// Numbers in option values: single integers and lists such as 1-5,7.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The integer at the start of a text: leading white space skipped, an optional
// sign, then decimal digits up to the first other character. 0 when there is
// no number or it does not fit in 32 signed bits.
std::int32_t toInt(const std::string &text);

// Calls append with each number that a list of numbers and ranges names, in
// the order of the text (duplicates kept). Every non-digit ends an element; an
// element whose first non-digit is "-" is a range, bounds swapped when
// reversed, cut to 20000 values with a warning on standard error when wider.
void forEachListedNumber(const std::string &text, const std::function<void(std::int32_t)> &append);

// Appends the numbers that the text lists at an output position, for instance
// std::back_inserter of a list of integers.
template <class OutputIterator>
OutputIterator parseNumberRanges(const std::string &text, OutputIterator out) {
  forEachListedNumber(text, [&out](std::int32_t value) { *out++ = value; });
  return out;
}

std::string U_toString(std::int32_t value);
std::string U_toString(std::uint32_t value);
