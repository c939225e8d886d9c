// Stream buffers that convert between a codec's bytes and UTF-8: the input
// buffer reads raw bytes and delivers UTF-8, the output buffer takes UTF-8 and
// writes the codec's bytes. Without a codec both pass bytes unchanged.
#pragma once

#include <QTextCodec>

#include <cstddef>
#include <istream>
#include <ostream>
#include <streambuf>
#include <vector>

class QL_IUTF8Streambuf : public std::streambuf {
public:
  // With detectBom, the read at stream position 0 lets a byte-order mark
  // choose the codec (only when a codec is given).
  QL_IUTF8Streambuf(std::istream &input, QTextCodec *codec, bool detectBom);
  // The same with a data area of dataSize bytes and putbackSize (at least 1)
  // bytes kept in front of each fill.
  QL_IUTF8Streambuf(std::istream &input, QTextCodec *codec, bool detectBom, std::size_t dataSize,
                    std::size_t putbackSize);
  QL_IUTF8Streambuf(const QL_IUTF8Streambuf &) = delete;
  QL_IUTF8Streambuf &operator=(const QL_IUTF8Streambuf &) = delete;
  ~QL_IUTF8Streambuf() override;

  // The codec in use; detection may have replaced the one given.
  QTextCodec *codec() const { return m_codec; }

protected:
  int_type underflow() override;

private:
  // Converts the n raw bytes at offset start of the buffer in place into
  // UTF-8, growing the buffer when needed; gives the UTF-8 length.
  std::size_t convert(std::size_t start, std::size_t n, bool atStreamStart);

  QTextCodec::ConverterState m_state;
  std::istream *m_input;
  bool m_detectBom;
  QTextCodec *m_codec;
  std::size_t m_putback;
  std::vector<char> m_buffer;
  bool m_filled = false;
};

class QL_OUTF8Streambuf : public std::streambuf {
public:
  static constexpr std::size_t defaultBufferSize = 1024;

  // flags go to the codec's converter state; QTextCodec::IgnoreHeader keeps
  // a byte-order mark out of the output.
  QL_OUTF8Streambuf(std::ostream &output, QTextCodec *codec, QTextCodec::ConversionFlags flags);
  QL_OUTF8Streambuf(std::ostream &output, QTextCodec *codec, QTextCodec::ConversionFlags flags,
                    std::size_t bufferSize);
  QL_OUTF8Streambuf(const QL_OUTF8Streambuf &) = delete;
  QL_OUTF8Streambuf &operator=(const QL_OUTF8Streambuf &) = delete;
  // Writes out everything still held, an incomplete UTF-8 sequence at the
  // end included.
  ~QL_OUTF8Streambuf() override;

  // Converts and writes the put area, holding an incomplete UTF-8 sequence at
  // its end back for the next flush. The put area is consumed even when the
  // write fails; the result tells whether the output is still good.
  bool flushBuffer();

protected:
  int_type overflow(int_type c) override;
  int sync() override;

private:
  bool outputGood() const;

  QTextCodec::ConverterState m_state;
  std::ostream *m_output;
  QTextCodec *m_codec;
  std::vector<char> m_buffer;
};

// Where an incomplete UTF-8 sequence at the end of [begin, end) starts; end
// when the range ends with a complete sequence (or with bytes that cannot be
// completed). The range holds at least one byte.
const char *QL_utf8SafeEnd(const char *begin, const char *end);
