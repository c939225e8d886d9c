// What the evaluation of a format string works with and changes: the
// diagnostic, the caller's value, the location remembered from an earlier
// call, and the settings that the format makes for wrapping and for the
// location to remember after the call.
#pragma once

#include "foundation/Location.h"
#include "foundation/Ref.h"
#include "messages/Diagnostic.h"

#include <cstdint>
#include <string>

// Copyable: a copy holds its own references and its own indent, so the part
// of a conditional that is not taken can be evaluated on a copy and leave
// the real settings alone.
struct FM_EvalContext {
  FM_EvalContext(std::uint32_t u, const U_RefPtr<M_Diagnostic> &diagnostic,
                 const U_Location &previousLocation)
      : m_u(u), m_diagnostic(diagnostic), m_previousLocation(previousLocation) {}

  std::uint32_t m_u;                   // printed by %u, tested by u
  U_RefPtr<M_Diagnostic> m_diagnostic; // the one being rendered
  U_Location m_previousLocation;       // what F, L, C and the caret compare with
  std::int32_t m_wrapMode = 0;         // 0 none, 1 hard break, 2 break at a blank, 3 cut
  std::int32_t m_width = 0;            // the wrap or cut width in bytes
  std::string m_indent;                // follows every line break that wrapping inserts
  bool m_remember = false;             // q: remember this diagnostic's location after the call
  bool m_forget = false;               // Q: forget the remembered location after the call
};
