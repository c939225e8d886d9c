#include "checks/ComplianceIds.h"

#include "checks/TextHelpers.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iostream>
#include <map>
#include <vector>

namespace {

// Ids compared byte for byte; each with its numbers in entry order.
std::map<std::string, std::vector<std::uint32_t>> &table() {
  static std::map<std::string, std::vector<std::uint32_t>> ids;
  return ids;
}

// The number of a piece as atoi reads it: leading white space, a sign, the
// digits up to the first other byte; 0 when there are none. A number beyond
// what 32 bits hold gives the nearest one they hold (where atoi's result is
// undefined).
std::uint32_t numberOf(const std::string &piece) {
  std::size_t at = 0;
  while (at < piece.size() && (piece[at] == ' ' || (piece[at] >= '\t' && piece[at] <= '\r')))
    ++at;
  bool negative = false;
  if (at < piece.size() && (piece[at] == '+' || piece[at] == '-'))
    negative = piece[at++] == '-';
  std::int64_t value = 0;
  for (; at < piece.size() && piece[at] >= '0' && piece[at] <= '9'; ++at) {
    value = value * 10 + (piece[at] - '0');
    if (value > std::int64_t{INT32_MAX} + 1) {
      value = std::int64_t{INT32_MAX} + 1;
      break;
    }
  }
  if (!negative)
    value = std::min<std::int64_t>(value, INT32_MAX);
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(negative ? -value : value));
}

} // namespace

void Qmsg::add(const std::string &entry) {
  const std::vector<std::string> pieces = splitAtChar(entry, ':');
  if (pieces.size() < 2)
    return;
  std::vector<std::uint32_t> numbers;
  for (const std::string &piece : splitAtChar(pieces[1], ';'))
    numbers.push_back(numberOf(piece));
  table()[pieces[0]] = std::move(numbers);
}

std::uint32_t Qmsg::get_msg(const std::string &id, std::uint32_t position) {
  const auto found = table().find(id);
  if (found == table().end()) {
    std::cerr << "Qmsg::get_msg: " << id << " not in table.\n";
    return 0;
  }
  const std::vector<std::uint32_t> &numbers = found->second;
  if (position == 0 || position > numbers.size())
    return 0;
  return numbers[position - 1];
}
