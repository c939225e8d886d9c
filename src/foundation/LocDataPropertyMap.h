// The concrete location objects. Each of the five parts comes as a present
// type that holds its fields and an absent type that holds nothing; a location
// object derives from one type of each part, so which parts it has is its
// type, and an absent part takes no room.
#pragma once

#include "foundation/Location.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/MacroHistory.h"

#include <cstdint>

struct NoInclLoc {
  static constexpr bool present = false;
};
struct InclLoc {
  static constexpr bool present = true;
  explicit InclLoc(const U_Location &inclLoc) : m_inclLoc(inclLoc) {}
  U_Location m_inclLoc; // the include directive that brought the file in
};

struct NoMacroHist {
  static constexpr bool present = false;
};
struct MacroHist {
  static constexpr bool present = true;
  explicit MacroHist(const U_RefPtr<U_MacroHistory> &macroHist) : m_macroHist(macroHist) {}
  U_RefPtr<U_MacroHistory> m_macroHist; // the innermost expansion
};

struct NoHLLoc {
  static constexpr bool present = false;
};
struct HLLoc {
  static constexpr bool present = true;
  HLLoc(const QL_Filename &file, std::int32_t line) : m_hlFile(file), m_hlLine(line) {}
  QL_Filename m_hlFile; // shown in place of the physical file and line
  std::int32_t m_hlLine;
};

struct NoInstFromLoc {
  static constexpr bool present = false;
};
struct InstFromLoc {
  static constexpr bool present = true;
  InstFromLoc(const U_Location &instFromLoc, const U_RefPtr<U_EntityDisplayName> &entity, std::uint32_t depth)
      : m_instFromLoc(instFromLoc), m_entity(entity), m_depth(depth) {}
  U_Location m_instFromLoc;
  U_RefPtr<U_EntityDisplayName> m_entity;
  std::uint32_t m_depth; // instantiation steps reachable from here, at least 1
};

struct NoCalledFromLoc {
  static constexpr bool present = false;
};
struct CalledFromLoc {
  static constexpr bool present = true;
  explicit CalledFromLoc(const U_Location &calledFromLoc) : m_calledFromLoc(calledFromLoc) {}
  U_Location m_calledFromLoc; // first step of the call chain
};

// One concrete location object per combination of parts, in the order
// include, macro, HL, instantiation, called-from. Bases are destroyed in the
// reverse order, so the parts release their objects from called-from back to
// include.
template <class Incl, class Macro, class HL, class Inst, class Called>
class LocDataPropertyMap final : public U_LocationData,
                                 public Incl,
                                 public Macro,
                                 public HL,
                                 public Inst,
                                 public Called {
public:
  LocDataPropertyMap(const QL_Filename &file, std::int32_t line, std::int32_t column, const Incl &incl,
                     const Macro &macro, const HL &hl, const Inst &inst, const Called &called)
      : U_LocationData(file, line, column), Incl(incl), Macro(macro), HL(hl), Inst(inst), Called(called) {}
  // File, line and column of another location object, with the parts given.
  LocDataPropertyMap(const U_LocationData &source, const Incl &incl, const Macro &macro, const HL &hl,
                     const Inst &inst, const Called &called)
      : U_LocationData(source), Incl(incl), Macro(macro), HL(hl), Inst(inst), Called(called) {}

  bool hasInclLoc() const override { return Incl::present; }
  bool hasMacroHist() const override { return Macro::present; }
  bool hasHLLoc() const override { return HL::present; }
  bool hasInstFromLoc() const override { return Inst::present; }
  bool hasCalledFromLoc() const override { return Called::present; }

  // A present part of the same kind is replaced.
  U_Location withHLLoc(const QL_Filename &file, std::int32_t line) const override {
    return make<Incl, Macro, HLLoc, Inst, Called>(*this, *this, HLLoc(file, line), *this, *this);
  }
  U_Location withInstFromLoc(const U_Location &instFromLoc,
                             U_RefPtr<U_EntityDisplayName> entity) const override {
    return make<Incl, Macro, HL, InstFromLoc, Called>(
        *this, *this, *this, InstFromLoc(instFromLoc, entity, instantiationDepth(instFromLoc)), *this);
  }
  // The given location goes to the far end of the call chain: every step of
  // the existing chain is rebuilt with its successor's new copy.
  U_Location withCalledFromLoc(const U_Location &calledFromLoc) const override {
    U_Location tail = calledFromLoc;
    if constexpr (Called::present) {
      // A null step (only a null location given earlier makes one) ends the chain.
      if (this->m_calledFromLoc.isSet())
        tail = this->m_calledFromLoc.data()->withCalledFromLoc(calledFromLoc);
    }
    return make<Incl, Macro, HL, Inst, CalledFromLoc>(*this, *this, *this, *this, CalledFromLoc(tail));
  }

private:
  template <class I, class M, class H, class N, class C>
  U_Location make(const I &incl, const M &macro, const H &hl, const N &inst, const C &called) const {
    return U_Location(new LocDataPropertyMap<I, M, H, N, C>(*this, incl, macro, hl, inst, called));
  }
};

// Builds the object for the parts given, each present or absent.
template <class Incl, class Macro>
U_LocationData *makeLocationData(const QL_Filename &file, std::int32_t line, std::int32_t column,
                                 const Incl &incl, const Macro &macro) {
  return new LocDataPropertyMap<Incl, Macro, NoHLLoc, NoInstFromLoc, NoCalledFromLoc>(
      file, line, column, incl, macro, NoHLLoc(), NoInstFromLoc(), NoCalledFromLoc());
}
