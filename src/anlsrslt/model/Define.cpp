#include "anlsrslt/model/Define.h"

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

static_assert(sizeof(P_Define) <= 56, "a define should stay small: a run holds one per DEFINE record");
