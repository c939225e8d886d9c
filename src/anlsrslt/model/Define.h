// One DEFINE record of a record file: a declaration, definition,
// redeclaration or macro of one program entity at one file and line.
#pragma once

#include "anlsrslt/model/DefineSetLinks.h"
#include "anlsrslt/model/FilenameProxy.h"
#include "anlsrslt/model/ModelPool.h"
#include "foundation/Ref.h"

#include <cstdint>

// Kind bits (m_kind). The reader sets exactly one; filing may add or clear
// bits later.
enum DefineKind : std::uint8_t {
  P_kindDeclaration = 1,    // "DC"
  P_kindDefinition = 2,     // "DF" and every unlisted letter
  P_kindRedeclaration = 4,  // "DR"
  P_kindSpecialisation = 8, // "DS"
  P_kindImplicit = 16,      // "DI"
  P_kindX = 32,             // "DX"
  P_kindP = 64,             // "DP"
};

// The kind bits that say whether a define declares or defines; the others
// say what it is, and take part in its place.
inline constexpr std::uint8_t P_kindDeclarationOrDefinition = P_kindDeclaration | P_kindDefinition;

// Name spaces (m_nameSpace).
enum DefineNameSpace : std::uint8_t {
  P_spaceLabel = 0,
  P_spaceTag = 1,
  P_spaceMember = 2,
  P_spaceTypedef = 3,
  P_spaceFunction = 4,
  P_spaceEnumerator = 5,
  P_spaceMacro = 6,
  P_spaceVariable = 7,
  P_spaceNone = 8,
};

// Scopes (m_scope): the record character code of the scope letter.
enum DefineScope : std::uint8_t {
  P_scopeN = 0,
  P_scopeFile = 1,
  P_scopeBlock = 2,
  P_scopePrototype = 3,
  P_scopeClass = 4,
  P_scopeTemplate = 5,
  P_scopeR = 6,
  P_scopeNamespace = 7,
  P_scopeNone = 8,
};

// Linkages (m_linkage).
enum DefineLinkage : std::uint8_t {
  P_linkageInternal = 0,
  P_linkageExternal = 1,
  P_linkageNo = 2,
  P_linkageNone = 3,
};

// Flag bits (m_flags), one per flag letter.
enum DefineFlags : std::uint32_t {
  P_flagF = 0x1,
  P_flagO = 0x2,
  P_flagI = 0x4,
  P_flagV = 0x8,
  P_flagP = 0x10,
  P_flagS = 0x20,
  P_flagD = 0x40,
  P_flagA = 0x80,
  P_flagR = 0x100,
  P_flag1 = 0x200,
  P_flag2 = 0x400,
  P_flag3 = 0x800,
  P_flag5 = 0x1000,
  P_flag7 = 0x2000,
  P_flagG = 0x4000,
  P_flagT = 0x8000,
  P_flagU = 0x10000,
};

// The template class cache before the class was first asked for; no template
// class is 1.
inline constexpr std::uint8_t P_templateClassUnknown = 1;

// A define is shared by every holder of a handle (the tables it is filed in,
// listeners); its kind and flags may change while it is filed, and the
// change is seen by all of them. Change them only through P_changeDefine
// (DefineSet.h) once the define may sit in an ordered define set.
struct P_Define : public U_Ref {
  // Takes the name and type as interned texts (compared by address) and
  // keeps its own handle of the file.
  P_Define(const char *name, U_RefPtr<FilenameProxy> file, std::int32_t line, std::uint8_t inMainFile,
           std::uint8_t kind, std::uint8_t nameSpace, std::uint8_t scope, std::uint8_t linkage,
           const char *type, std::uint32_t flags);
  // Copies every field but starts the template class afresh; the copy sits in
  // no define set.
  P_Define(const P_Define &other);
  P_Define &operator=(const P_Define &) = delete;
  ~P_Define() override;

  // ORs the other define's flags into this one's; nothing for null. A define
  // that may sit in a define set changes through P_changeDefine instead.
  void mergeFlags(const P_Define *other);

  // A run makes one define per DEFINE record: they come from a pool.
  static void *operator new(std::size_t size) { return P_ModelPool<64>::allocate(size); }
  static void operator delete(void *block, std::size_t size) noexcept {
    P_ModelPool<64>::release(block, size);
  }

  // Laid out by size, so that a define takes 64 bytes.
  const char *m_name; // marked form of the encoded name, interned
  U_RefPtr<FilenameProxy> m_file;
  const char *m_type; // interned, as written
  std::int32_t m_line;
  std::uint32_t m_flags;
  std::uint8_t m_inMainFile; // 0 when the record was in an included file
  std::uint8_t m_kind;
  std::uint8_t m_nameSpace;
  std::uint8_t m_scope;
  std::uint8_t m_linkage;
  // The template class, computed on first use (P_defineTemplateClass); it
  // does not change what the define is, so constant defines fill it too.
  mutable std::uint8_t m_templateClass = P_templateClassUnknown;
  // The ordered define sets that hold the define.
  P_DefineSetLinks m_sets;
};

using DefinePtr = U_RefPtr<P_Define>;

// The order of defines in every define set: by file (in the order the
// canonical names were first interned), line (signed), type (in interning
// order), then kind, main-file flag, name space, scope, linkage and flags.
// Name and template class take no part: defines that differ only there are
// equivalent. Gives -1, 0 or 1.
int P_compareDefines(const P_Define &a, const P_Define &b);
// The same, with b taken to have the given kind bits and flags.
int P_compareDefineTo(const P_Define &a, const P_Define &b, std::uint8_t kind, std::uint32_t flags);
inline bool isDefineLess(const P_Define &a, const P_Define &b) { return P_compareDefines(a, b) < 0; }

// Whether two defines stand at one place: the same file, line, type,
// main-file flag, name space, scope, linkage and kind bits other than
// declaration and definition. Defines at one place differ at most in whether
// they declare or define the entity there and in their flags; equivalent
// defines stand at one place.
inline bool P_isAtSamePlace(const P_Define &a, const P_Define &b) {
  return P_compareDefineTo(
             a, b, (b.m_kind & ~P_kindDeclarationOrDefinition) | (a.m_kind & P_kindDeclarationOrDefinition),
             a.m_flags) == 0;
}

// isDefineLess on handles, and on a handle and a define; an unset handle
// comes before every define.
struct P_DefineLess {
  using is_transparent = void;
  bool operator()(const DefinePtr &a, const DefinePtr &b) const {
    if (!a.isSet() || !b.isSet())
      return !a.isSet() && b.isSet();
    return isDefineLess(*a, *b);
  }
  bool operator()(const DefinePtr &a, const P_Define &b) const { return !a.isSet() || isDefineLess(*a, b); }
  bool operator()(const P_Define &a, const DefinePtr &b) const { return b.isSet() && isDefineLess(a, *b); }
};
