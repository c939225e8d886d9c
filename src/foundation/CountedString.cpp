#include "foundation/CountedString.h"

#include <algorithm>
#include <cstring>
#include <ostream>

struct CountedString::Body {
  char *text;
  std::uint32_t count;
  std::uint64_t length;
  std::uint64_t capacity;
  std::uint64_t hash;
};

namespace {

// One step of the hash: the byte is taken as a signed value and widened, so
// that bytes 0x80-0xFF contribute all high bits.
std::uint64_t extendHash(std::uint64_t hash, const char *bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    hash = (hash << 4) ^
           static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(bytes[i])));
  return hash;
}

// The smallest multiple of 16 greater than length + 1.
std::uint64_t initialCapacity(std::uint64_t length) { return ((length + 1) / 16 + 1) * 16; }

// The capacity a buffer grows to when it must take `added` more bytes.
std::uint64_t grownCapacity(std::uint64_t capacity, std::uint64_t added) {
  return ((capacity + added) & ~std::uint64_t(15)) + 16;
}

int compareBytes(const char *a, std::size_t aLength, const char *b, std::size_t bLength) {
  int result = std::memcmp(a, b, std::min(aLength, bLength));
  if (result != 0)
    return result;
  return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
}

} // namespace

CountedString::Body *CountedString::makeBody(const char *bytes, std::size_t length) {
  Body *body = new Body{nullptr, 1, length, initialCapacity(length), extendHash(0, bytes, length)};
  body->text = new char[body->capacity];
  if (length != 0)
    std::memcpy(body->text, bytes, length);
  body->text[length] = '\0';
  return body;
}

CountedString::CountedString() : m_body(makeBody("", 0)) {}

CountedString::CountedString(const char *text)
    : m_body(text ? makeBody(text, std::strlen(text)) : makeBody("", 0)) {}

CountedString::CountedString(const std::string &text) : m_body(makeBody(text.data(), text.size())) {}

CountedString::CountedString(const CountedString &other) : m_body(other.m_body) { ++m_body->count; }

CountedString::~CountedString() { release(); }

void CountedString::release() {
  if (--m_body->count == 0) {
    delete[] m_body->text;
    delete m_body;
  }
  m_body = nullptr;
}

CountedString &CountedString::operator=(const CountedString &other) {
  Body *body = other.m_body;
  ++body->count; // first, so that assigning a handle to itself keeps the body
  release();
  m_body = body;
  return *this;
}

CountedString &CountedString::operator=(const char *text) {
  if (!text)
    text = "";
  assignBytes(text, std::strlen(text));
  return *this;
}

void CountedString::assignBytes(const char *bytes, std::size_t count) {
  if (m_body->count >= 2) {
    Body *body = makeBody(bytes, count);
    release();
    m_body = body;
    return;
  }
  char *old = nullptr;
  if (count >= m_body->capacity) {
    std::uint64_t capacity = grownCapacity(m_body->capacity, count);
    old = m_body->text;
    m_body->text = new char[capacity];
    m_body->capacity = capacity;
  }
  // The new bytes may lie inside the old text: move them before freeing it.
  std::memmove(m_body->text, bytes, count);
  delete[] old;
  m_body->text[count] = '\0';
  m_body->length = count;
  m_body->hash = extendHash(0, m_body->text, count);
}

void CountedString::makeUnshared() {
  if (m_body->count < 2)
    return;
  Body *shared = m_body;
  Body *body = new Body{nullptr, 1, shared->length, shared->capacity, shared->hash};
  body->text = new char[body->capacity];
  std::memcpy(body->text, shared->text, shared->length + 1);
  --shared->count;
  m_body = body;
}

void CountedString::appendBytes(const char *bytes, std::size_t count) {
  makeUnshared();
  Body *body = m_body;
  char *old = nullptr;
  if (body->length + count >= body->capacity) {
    std::uint64_t capacity = grownCapacity(body->capacity, count);
    char *buffer = new char[capacity];
    std::memcpy(buffer, body->text, body->length + 1);
    old = body->text;
    body->text = buffer;
    body->capacity = capacity;
  }
  // `bytes` may be this very text (appending to itself): the old buffer
  // stays alive until the bytes are copied.
  std::memmove(body->text + body->length, bytes, count);
  delete[] old;
  body->hash = extendHash(body->hash, body->text + body->length, count);
  body->length += count;
  body->text[body->length] = '\0';
}

CountedString &CountedString::append(char byte) {
  appendBytes(&byte, 1);
  return *this;
}

CountedString &CountedString::append(const CountedString &other) {
  appendBytes(other.m_body->text, other.m_body->length);
  return *this;
}

const char *CountedString::text() const { return m_body->text; }
std::size_t CountedString::length() const { return m_body->length; }
std::size_t CountedString::capacity() const { return m_body->capacity; }
std::uint64_t CountedString::hash() const { return m_body->hash; }
std::uint32_t CountedString::useCount() const { return m_body->count; }

std::size_t CountedString::bucketIndex(std::size_t n) const { return n == 0 ? 0 : m_body->hash % n; }

int CountedString::compare(const CountedString &other) const {
  return compareBytes(m_body->text, m_body->length, other.m_body->text, other.m_body->length);
}

int CountedString::compare(const char *other) const {
  if (!other)
    other = "";
  return compareBytes(m_body->text, m_body->length, other, std::strlen(other));
}

std::string CountedString::toStdString() const { return std::string(m_body->text, m_body->length); }

bool operator==(const CountedString &a, const CountedString &b) {
  const CountedString::Body *x = a.m_body;
  const CountedString::Body *y = b.m_body;
  return x == y ||
         (x->hash == y->hash && x->length == y->length && std::memcmp(x->text, y->text, x->length) == 0);
}

std::ostream &operator<<(std::ostream &out, const CountedString &text) {
  return out.write(text.text(), static_cast<std::streamsize>(text.length()));
}
