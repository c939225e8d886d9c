// The message numbers of suppression records: their texts read as numbers,
// and one pooled range object per (from, to) for the whole run.
#pragma once

#include <cstdint>
#include <string>

struct P_MessageRange;

// The number at the start of a text as the C library's atoi reads it (white
// space skipped, an optional sign, decimal digits up to the first other
// character; 0 when no digit follows). Error files may be damaged: a number
// that does not fit 32 signed bits gives the nearest bound.
std::int32_t P_messageNumberOf(const std::string &text);

// The pooled range of one (from, to) text pair of a suppression record: both
// texts read by P_messageNumberOf, and a to of 0 becomes the from unless the
// from is 0 too. A range whose to is below its from stays as it is. The
// object lives until the process ends; equal pairs give the same object.
P_MessageRange *makeMessageRange(const std::string &from, const std::string &to);
