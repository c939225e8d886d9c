// Byte-order-mark detection: the codec that a byte signature at the start of
// a text announces.
#pragma once

#include <cstddef>

class QTextCodec;

// The codec of the longest known byte signature (4, 3 or 2 bytes) that begins
// the size bytes at bytes; defaultCodec when none does.
QTextCodec *QL_codecForByteSignature(QTextCodec *defaultCodec, const char *bytes, std::size_t size);
