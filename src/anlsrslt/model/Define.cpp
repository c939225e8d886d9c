#include "anlsrslt/model/Define.h"

#include "foundation/StringStore.h"

#include <tuple>

P_Define::P_Define(const char *name, U_RefPtr<FilenameProxy> file, std::int32_t line, std::uint8_t inMainFile,
                   std::uint8_t kind, std::uint8_t nameSpace, std::uint8_t scope, std::uint8_t linkage,
                   const char *type, std::uint32_t flags)
    : m_name(name), m_file(std::move(file)), m_type(type), m_line(line), m_flags(flags),
      m_inMainFile(inMainFile), m_kind(kind), m_nameSpace(nameSpace), m_scope(scope), m_linkage(linkage) {}

P_Define::P_Define(const P_Define &other)
    : U_Ref(other), m_name(other.m_name), m_file(other.m_file), m_type(other.m_type), m_line(other.m_line),
      m_flags(other.m_flags), m_inMainFile(other.m_inMainFile), m_kind(other.m_kind),
      m_nameSpace(other.m_nameSpace), m_scope(other.m_scope), m_linkage(other.m_linkage) {}

P_Define::~P_Define() = default;

void P_Define::mergeFlags(const P_Define *other) {
  if (other)
    m_flags |= other->m_flags;
}

namespace {

template <class T> int compareValues(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Interned texts in the order of their first interning; null first.
int compareInterned(const char *a, const char *b) {
  if (a == b)
    return 0;
  if (!a || !b)
    return a ? 1 : -1;
  return U_InternedStringOrder()(a, b) ? -1 : 1;
}

int compareFiles(const U_RefPtr<FilenameProxy> &a, const U_RefPtr<FilenameProxy> &b) {
  // One proxy per file: the same proxy is the same file.
  if (a == b)
    return 0;
  const U_Filename none;
  const U_Filename &nameA = a.isSet() ? a->filename().canonical() : none;
  const U_Filename &nameB = b.isSet() ? b->filename().canonical() : none;
  return nameA < nameB ? -1 : (nameB < nameA ? 1 : 0);
}

} // namespace

int P_compareDefineTo(const P_Define &a, const P_Define &b, std::uint8_t kind, std::uint32_t flags) {
  if (int c = compareFiles(a.m_file, b.m_file))
    return c;
  if (int c = compareValues(a.m_line, b.m_line))
    return c;
  if (int c = compareInterned(a.m_type, b.m_type))
    return c;
  return compareValues(std::tuple(a.m_kind, a.m_inMainFile, a.m_nameSpace, a.m_scope, a.m_linkage, a.m_flags),
                       std::tuple(kind, b.m_inMainFile, b.m_nameSpace, b.m_scope, b.m_linkage, flags));
}

int P_compareDefines(const P_Define &a, const P_Define &b) {
  return P_compareDefineTo(a, b, b.m_kind, b.m_flags);
}

static_assert(sizeof(P_Define) <= 64, "a define should stay small: a run holds one per DEFINE record");
