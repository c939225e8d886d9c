// The tokens of re-read source text and the lines they came from, held
// compactly: a file of one long line has as many tokens as bytes, and one
// std::string a token would take dozens of times the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// A list of token texts: the bytes of all tokens one after another in one
// buffer and one byte of length a token, about a byte and a half besides the
// text. Random access walks at most a block of 16 tokens; iteration is
// sequential. Any byte string is a token, the empty one included.
class TokenList {
public:
  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    const_iterator() = default;
    std::string_view operator*() const { return m_list->textAt(m_index, m_offset); }
    // The position of the token in the list.
    std::size_t index() const { return m_index; }
    const_iterator &operator++() {
      m_offset += m_list->entrySize(m_index, m_offset);
      ++m_index;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator &a, const const_iterator &b) {
      return a.m_index == b.m_index;
    }
    friend bool operator!=(const const_iterator &a, const const_iterator &b) {
      return a.m_index != b.m_index;
    }

  private:
    friend class TokenList;
    const_iterator(const TokenList *list, std::size_t index, std::size_t offset)
        : m_list(list), m_index(index), m_offset(offset) {}
    const TokenList *m_list = nullptr;
    std::size_t m_index = 0;
    std::size_t m_offset = 0;
  };

  TokenList() = default;
  TokenList(std::initializer_list<std::string_view> tokens);
  explicit TokenList(const std::vector<std::string> &tokens);

  std::size_t size() const { return m_lengths.size(); }
  bool empty() const { return m_lengths.empty(); }
  // The i-th token; i must be below size (). The view lives until the list
  // changes.
  std::string_view operator[](std::size_t i) const;
  std::string_view back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return const_iterator(this, 0, 0); }
  const_iterator end() const { return const_iterator(this, size(), m_bytes.size()); }
  // The iterator at the i-th token (end () for size ()).
  const_iterator iteratorAt(std::size_t i) const {
    return i < size() ? const_iterator(this, i, entryOffset(i)) : end();
  }

  void push_back(std::string_view token);
  // Removes the last token; the list must not be empty.
  void pop_back();
  void clear();
  // Room for tokens more tokens of bytes bytes in all, grown geometrically,
  // so that adding a long line's tokens copies nothing.
  void reserveMore(std::size_t tokens, std::size_t bytes);

  // The tokens as strings, for comparisons in tests and for callers that
  // need them so.
  std::vector<std::string> strings() const;

  friend bool operator==(const TokenList &a, const TokenList &b) {
    return a.m_lengths == b.m_lengths && a.m_bytes == b.m_bytes;
  }
  friend bool operator!=(const TokenList &a, const TokenList &b) { return !(a == b); }

private:
  // A length byte of kLongToken: the length stands, as a std::size_t, in
  // front of the token's bytes.
  static constexpr std::uint8_t kLongToken = 255;
  static constexpr std::size_t kBlockSize = 16;

  // The offset of the i-th token's entry in m_bytes.
  std::size_t entryOffset(std::size_t i) const;
  // The bytes that the i-th token's entry, at offset, takes.
  std::size_t entrySize(std::size_t i, std::size_t offset) const;
  std::string_view textAt(std::size_t i, std::size_t offset) const;
  std::size_t longLength(std::size_t offset) const;

  std::string m_bytes;
  std::vector<std::uint8_t> m_lengths;
  // The entry offset of every kBlockSize-th token.
  std::vector<std::size_t> m_blockStarts;
};

// The line index of each token of a TokenList, kept as runs of equal indexes:
// the tokens of one line cost one run, not one int each.
class TokenLineList {
public:
  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = int;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = int;

    const_iterator() = default;
    int operator*() const { return m_list->m_runLines[m_run]; }
    const_iterator &operator++() {
      ++m_index;
      if (m_run + 1 < m_list->m_runStarts.size() && m_list->m_runStarts[m_run + 1] == m_index)
        ++m_run;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator &a, const const_iterator &b) {
      return a.m_index == b.m_index;
    }
    friend bool operator!=(const const_iterator &a, const const_iterator &b) {
      return a.m_index != b.m_index;
    }

  private:
    friend class TokenLineList;
    const_iterator(const TokenLineList *list, std::size_t index, std::size_t run)
        : m_list(list), m_index(index), m_run(run) {}
    const TokenLineList *m_list = nullptr;
    std::size_t m_index = 0;
    std::size_t m_run = 0;
  };

  TokenLineList() = default;
  TokenLineList(std::initializer_list<int> lines);
  explicit TokenLineList(const std::vector<int> &lines);

  std::size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  // The i-th index; i must be below size ().
  int operator[](std::size_t i) const;
  const_iterator begin() const { return const_iterator(this, 0, 0); }
  const_iterator end() const { return const_iterator(this, m_size, 0); }

  void push_back(int line);
  // Removes the last index; the list must not be empty.
  void pop_back();
  void clear();

  // The indexes one by one.
  std::vector<int> indexes() const;

  friend bool operator==(const TokenLineList &a, const TokenLineList &b) {
    return a.m_size == b.m_size && a.m_runStarts == b.m_runStarts && a.m_runLines == b.m_runLines;
  }
  friend bool operator!=(const TokenLineList &a, const TokenLineList &b) { return !(a == b); }

private:
  // Run r holds the indexes from m_runStarts[r] up to the next run's start,
  // all m_runLines[r]; two neighbouring runs never have the same line.
  std::vector<std::size_t> m_runStarts;
  std::vector<int> m_runLines;
  std::size_t m_size = 0;
};
