// An edge of a control graph, from one node number to another.
#pragma once

#include "foundation/Ref.h"

#include <cstdint>

// Held through P_CountedPtr<P_ControlGraphEdge> and deleted through its
// virtual destructor. A copy is a new object with a count of its own.
struct P_ControlGraphEdge : public U_Ref {
  P_ControlGraphEdge(std::uint32_t from, std::uint32_t to) : m_from(from), m_to(to) {}
  P_ControlGraphEdge(const P_ControlGraphEdge &other) = default;
  P_ControlGraphEdge &operator=(const P_ControlGraphEdge &other) = default;

  std::uint32_t m_from;
  std::uint32_t m_to;
};
