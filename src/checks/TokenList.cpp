#include "checks/TokenList.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// Room for at least needed elements, at least doubling what there is.
template <typename Container> void growFor(Container &container, std::size_t needed) {
  if (needed > container.capacity())
    container.reserve(std::max(needed, 2 * container.capacity()));
}

} // namespace

TokenList::TokenList(std::initializer_list<std::string_view> tokens) {
  for (std::string_view token : tokens)
    push_back(token);
}

TokenList::TokenList(const std::vector<std::string> &tokens) {
  for (const std::string &token : tokens)
    push_back(token);
}

std::string_view TokenList::operator[](std::size_t i) const { return textAt(i, entryOffset(i)); }

void TokenList::push_back(std::string_view token) {
  // A token of this list would move as the buffer grows: copy it first.
  const std::less<const char *> before;
  if (!token.empty() && !before(token.data(), m_bytes.data()) &&
      before(token.data(), m_bytes.data() + m_bytes.size())) {
    const std::string copy(token);
    push_back(copy);
    return;
  }
  if (m_lengths.size() % kBlockSize == 0)
    m_blockStarts.push_back(m_bytes.size());
  if (token.size() < kLongToken) {
    m_lengths.push_back(static_cast<std::uint8_t>(token.size()));
  } else {
    m_lengths.push_back(kLongToken);
    const std::size_t length = token.size();
    char prefix[sizeof length];
    std::memcpy(prefix, &length, sizeof length);
    m_bytes.append(prefix, sizeof prefix);
  }
  m_bytes.append(token);
}

void TokenList::pop_back() {
  const std::size_t last = size() - 1;
  m_bytes.resize(entryOffset(last));
  m_lengths.pop_back();
  if (last % kBlockSize == 0)
    m_blockStarts.pop_back();
}

void TokenList::clear() {
  m_bytes.clear();
  m_lengths.clear();
  m_blockStarts.clear();
}

void TokenList::reserveMore(std::size_t tokens, std::size_t bytes) {
  growFor(m_lengths, m_lengths.size() + tokens);
  growFor(m_blockStarts, (m_lengths.size() + tokens) / kBlockSize + 1);
  growFor(m_bytes, m_bytes.size() + bytes);
}

std::vector<std::string> TokenList::strings() const {
  std::vector<std::string> tokens;
  tokens.reserve(size());
  for (std::string_view token : *this)
    tokens.emplace_back(token);
  return tokens;
}

std::size_t TokenList::entryOffset(std::size_t i) const {
  std::size_t k = i - i % kBlockSize;
  std::size_t offset = m_blockStarts[k / kBlockSize];
  for (; k < i; ++k)
    offset += entrySize(k, offset);
  return offset;
}

std::size_t TokenList::entrySize(std::size_t i, std::size_t offset) const {
  const std::uint8_t length = m_lengths[i];
  return length != kLongToken ? length : sizeof(std::size_t) + longLength(offset);
}

std::string_view TokenList::textAt(std::size_t i, std::size_t offset) const {
  const std::uint8_t length = m_lengths[i];
  const std::string_view bytes(m_bytes);
  if (length != kLongToken)
    return bytes.substr(offset, length);
  return bytes.substr(offset + sizeof(std::size_t), longLength(offset));
}

std::size_t TokenList::longLength(std::size_t offset) const {
  std::size_t length = 0;
  std::memcpy(&length, m_bytes.data() + offset, sizeof length);
  return length;
}

TokenLineList::TokenLineList(std::initializer_list<int> lines) {
  for (int line : lines)
    push_back(line);
}

TokenLineList::TokenLineList(const std::vector<int> &lines) {
  for (int line : lines)
    push_back(line);
}

int TokenLineList::operator[](std::size_t i) const {
  // The last run that starts at or before i.
  const auto after = std::upper_bound(m_runStarts.begin(), m_runStarts.end(), i);
  return m_runLines[static_cast<std::size_t>(after - m_runStarts.begin()) - 1];
}

void TokenLineList::push_back(int line) {
  if (m_runLines.empty() || m_runLines.back() != line) {
    m_runStarts.push_back(m_size);
    m_runLines.push_back(line);
  }
  ++m_size;
}

void TokenLineList::pop_back() {
  --m_size;
  if (m_runStarts.back() == m_size) {
    m_runStarts.pop_back();
    m_runLines.pop_back();
  }
}

void TokenLineList::clear() {
  m_runStarts.clear();
  m_runLines.clear();
  m_size = 0;
}

std::vector<int> TokenLineList::indexes() const { return std::vector<int>(begin(), end()); }
