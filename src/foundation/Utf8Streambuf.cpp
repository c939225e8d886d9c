#include "foundation/Utf8Streambuf.h"

#include "foundation/ByteOrderMark.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t defaultDataSize = 1024;
constexpr std::size_t defaultPutback = 8;

unsigned char byteAt(const char *p) { return static_cast<unsigned char>(*p); }
bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
} // namespace

QL_IUTF8Streambuf::QL_IUTF8Streambuf(std::istream &input, QTextCodec *codec, bool detectBom)
    : QL_IUTF8Streambuf(input, codec, detectBom, defaultDataSize, defaultPutback) {}

QL_IUTF8Streambuf::QL_IUTF8Streambuf(std::istream &input, QTextCodec *codec, bool detectBom,
                                     std::size_t dataSize, std::size_t putbackSize)
    : m_input(&input), m_detectBom(detectBom), m_codec(codec),
      m_putback(std::max<std::size_t>(putbackSize, 1)),
      m_buffer(m_putback + std::max(dataSize, m_putback), 0) {
  char *end = m_buffer.data() + m_buffer.size();
  setg(end, end, end);
}

QL_IUTF8Streambuf::~QL_IUTF8Streambuf() = default;

std::streambuf::int_type QL_IUTF8Streambuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  for (;;) {
    if (m_input->fail())
      return traits_type::eof();

    // After the first fill, keep the last bytes delivered in front of the new
    // ones, so that they can be put back.
    std::size_t start = 0;
    std::size_t kept = 0;
    if (m_filled) {
      kept = std::min<std::size_t>(m_putback, egptr() - eback());
      std::memmove(m_buffer.data() + m_putback - kept, egptr() - kept, kept);
      start = m_putback;
    }

    const std::streampos position = m_input->tellg();
    m_input->read(m_buffer.data() + start, static_cast<std::streamsize>(m_buffer.size() - start));
    std::size_t n = static_cast<std::size_t>(m_input->gcount());
    m_filled = true;
    if (n > 0 && m_codec)
      n = convert(start, n, position == std::streampos(0));

    char *data = m_buffer.data();
    setg(data + start - kept, data + start, data + start + n);
    if (n > 0)
      return traits_type::to_int_type(*gptr());
    // A read that the codec turned into nothing (only part of a character,
    // or only a byte-order mark) does not end the input while more follows.
    if (m_input->gcount() == 0)
      return traits_type::eof();
  }
}

std::size_t QL_IUTF8Streambuf::convert(std::size_t start, std::size_t n, bool atStreamStart) {
  if (m_detectBom && atStreamStart) {
    // Only the bytes actually read take part in the detection.
    m_codec = QL_codecForByteSignature(m_codec, m_buffer.data() + start, n);
    m_detectBom = false;
  }
  const QByteArray utf8 = m_codec->toUnicode(m_buffer.data() + start, static_cast<int>(n), &m_state).toUtf8();
  const std::size_t length = static_cast<std::size_t>(utf8.size());
  if (length > m_buffer.size() - start)
    m_buffer.resize(start + length);
  std::memcpy(m_buffer.data() + start, utf8.constData(), length);
  return length;
}

QL_OUTF8Streambuf::QL_OUTF8Streambuf(std::ostream &output, QTextCodec *codec,
                                     QTextCodec::ConversionFlags flags)
    : QL_OUTF8Streambuf(output, codec, flags, defaultBufferSize) {}

QL_OUTF8Streambuf::QL_OUTF8Streambuf(std::ostream &output, QTextCodec *codec,
                                     QTextCodec::ConversionFlags flags, std::size_t bufferSize)
    : m_state(flags), m_output(&output), m_codec(codec), m_buffer(std::max<std::size_t>(bufferSize, 1) + 1) {
  setp(m_buffer.data(), m_buffer.data() + m_buffer.size() - 1);
}

QL_OUTF8Streambuf::~QL_OUTF8Streambuf() {
  flushBuffer();
  // What is still held back is an incomplete sequence at the very end; it
  // is converted as it is rather than dropped.
  if (pptr() != pbase())
    flushBuffer();
}

bool QL_OUTF8Streambuf::outputGood() const { return !m_output->fail(); }

bool QL_OUTF8Streambuf::flushBuffer() {
  char *begin = pbase();
  char *position = pptr();
  if (m_codec && position != begin) {
    const char *cut = QL_utf8SafeEnd(begin, position);
    if (cut == begin)
      cut = position;
    const QString text = QString::fromUtf8(begin, static_cast<int>(cut - begin));
    const QByteArray bytes = m_codec->fromUnicode(text.constData(), text.size(), &m_state);
    m_output->write(bytes.constData(), bytes.size());
    const bool ok = outputGood();
    const std::size_t held = static_cast<std::size_t>(position - cut);
    std::memmove(begin, cut, held);
    setp(begin, epptr());
    pbump(static_cast<int>(held));
    return ok;
  }
  const std::size_t size = static_cast<std::size_t>(position - begin);
  setp(begin, epptr());
  m_output->write(begin, static_cast<std::streamsize>(size));
  return outputGood();
}

std::streambuf::int_type QL_OUTF8Streambuf::overflow(int_type c) {
  if (!flushBuffer())
    return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  return sputc(traits_type::to_char_type(c));
}

int QL_OUTF8Streambuf::sync() { return flushBuffer() ? 0 : -1; }

const char *QL_utf8SafeEnd(const char *begin, const char *end) {
  const unsigned char last = byteAt(end - 1);
  if (last < 0x80)
    return end;
  if (!isContinuation(last))
    return end - 1; // a lead byte alone
  const char *lead = end - 1;
  while (lead > begin && isContinuation(byteAt(lead)))
    --lead;
  if (isContinuation(byteAt(lead)))
    return end; // no lead byte in the range
  const std::size_t k = static_cast<std::size_t>(end - lead);
  if (k > 6)
    return end; // six or more continuation bytes cannot be completed
  // A lead byte of a k-byte sequence has k one bits followed by a zero.
  const unsigned mask = (0xFFu << (7 - k)) & 0xFFu;
  const unsigned ones = (0xFFu << (8 - k)) & 0xFFu;
  if ((byteAt(lead) & mask) == ones)
    return end;
  return lead;
}
