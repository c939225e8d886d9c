#include "anlsrslt/model/DefineSet.h"

#include "anlsrslt/model/Symbol.h"

#include <utility>
#include <vector>

P_DefineSet::~P_DefineSet() {
  for (const DefinePtr &def : m_defines)
    def->m_sets.remove(this);
}

P_Define *P_DefineSet::insert(const DefinePtr &def) {
  if (!def.isSet())
    return nullptr;
  const auto [place, inserted] = m_defines.insert(def);
  if (inserted)
    def->m_sets.add(this);
  return place->pointer();
}

bool P_DefineSet::contains(const P_Define *def) const {
  if (!def)
    return false;
  const auto place = m_defines.find(*def);
  return place != m_defines.end() && place->pointer() == def;
}

void P_DefineSet::takeOut(P_Define &def) {
  const auto place = m_defines.find(def);
  if (place == m_defines.end() || place->pointer() != &def)
    return;
  def.m_sets.remove(this);
  m_defines.erase(place);
}

P_Define *P_DefineSet::putBack(P_Define &def) {
  const auto [place, inserted] = m_defines.insert(DefinePtr(&def));
  if (!inserted)
    return place->pointer();
  def.m_sets.add(this);
  return nullptr;
}

void P_changeDefine(P_Define &def, std::uint8_t kind, std::uint32_t flags) {
  if (def.m_kind == kind && def.m_flags == flags)
    return;
  if (def.m_sets.empty()) {
    def.m_kind = kind;
    def.m_flags = flags;
    return;
  }
  // The sets let go of the define while it changes.
  const DefinePtr keep(&def);
  const std::vector<P_DefineSet *> sets = def.m_sets.sets();
  for (P_DefineSet *set : sets)
    set->takeOut(def);
  def.m_kind = kind;
  def.m_flags = flags;
  // Owners are told once every set has the define back, as far as it goes
  // back: what they hand over may go into the other sets.
  std::vector<std::pair<P_Symbol *, DefinePtr>> merged;
  for (P_DefineSet *set : sets)
    if (P_Define *kept = set->putBack(def); kept && set->m_owner)
      merged.emplace_back(set->m_owner, DefinePtr(kept));
  for (const auto &[owner, kept] : merged)
    owner->defineMerged(def, *kept);
}
