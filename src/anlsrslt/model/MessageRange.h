// A range of message numbers that a suppression record names.
#pragma once

#include "foundation/Assertion.h"
#include "foundation/Ref.h"

#include <cstdint>

// Never changes once made; the suppression records pool one per (from, to).
struct P_MessageRange : public U_Ref {
  P_MessageRange(std::int32_t from, std::int32_t to) : m_from(from), m_to(to) {}

  // The accessors of the query interface. A null range is a failed assertion
  // that ends the run.
  static std::int32_t getFrom(const P_MessageRange *mr) { return checked(mr)->m_from; }
  static std::int32_t getTo(const P_MessageRange *mr) { return checked(mr)->m_to; }

  const std::int32_t m_from;
  const std::int32_t m_to;

private:
  static const P_MessageRange *checked(const P_MessageRange *mr) {
    if (!mr)
      assertFailed("MessageRange", __LINE__, "0 != mr && \"Dont dereference 0.\"", true);
    return mr;
  }
};

// The order of the pool: from, then to, both compared as signed numbers.
inline bool P_isMessageRangeLess(const P_MessageRange &a, const P_MessageRange &b) {
  return a.m_from != b.m_from ? a.m_from < b.m_from : a.m_to < b.m_to;
}
