// The table from compliance ids (four-digit texts such as "0036") to the
// message numbers under which the compliance checks report. The module's
// initialisation fills it; the checks read it at the end of the run.
#pragma once

#include <cstdint>
#include <string>

class Qmsg {
public:
  // Files an entry "<id>:<n>[;<n>...]": the text before the first ':' is the
  // id (taken whole), the text after it up to a further ':' the numbers,
  // each read as atoi reads (an empty or non-numeric one is 0). An existing
  // entry of the id is replaced whole. An entry without ':', or with nothing
  // after it, is passed over.
  static void add(const std::string &entry);
  // The position-th number of the id (counted from 1). An id not in the
  // table writes "Qmsg::get_msg: <id> not in table." on standard error and
  // gives 0; so does a position outside the id's numbers, without the line.
  static std::uint32_t get_msg(const std::string &id, std::uint32_t position);
};
