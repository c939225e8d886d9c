#include "messages/MessageLevels.h"

#include "foundation/StringStore.h"

#include <cstring>
#include <map>
#include <utility>

namespace {

using LevelStore = U_SingletonStringStore<SimpleStringCompare>;

// What a "#define" line gives a level name.
struct LevelDefinition {
  std::int32_t number = 99;
  std::string description;
};

// Level names in the order of their first interning, the same in every run.
struct LevelOrder {
  bool operator()(const U_StoredString *a, const U_StoredString *b) const {
    return a->sequence < b->sequence;
  }
};

std::map<const U_StoredString *, LevelDefinition, LevelOrder> &levelTable() {
  static std::map<const U_StoredString *, LevelDefinition, LevelOrder> table;
  return table;
}

std::map<std::int32_t, std::string> &levelNameTable() {
  static std::map<std::int32_t, std::string> table;
  return table;
}

const LevelDefinition *findDefinition(const M_LevelName &level) {
  if (!level.isSet())
    return nullptr;
  const auto found = levelTable().find(level.stored());
  return found == levelTable().end() ? nullptr : &found->second;
}

// The level's entry, made when absent. Null for the null level name.
LevelDefinition *definitionOf(const M_LevelName &level) {
  if (!level.isSet())
    return nullptr;
  return &levelTable()[level.stored()];
}

} // namespace

M_LevelName::M_LevelName() : m_stored(nullptr) { (void)LevelStore::instance(); }

bool M_LevelName::isSet() const {
  (void)LevelStore::instance();
  return m_stored != nullptr;
}

std::string M_LevelName::text() const {
  return m_stored ? std::string(m_stored->text.c_str()) : std::string();
}

const char *M_LevelName::c_str() const { return m_stored ? m_stored->text.c_str() : ""; }

std::ostream &operator<<(std::ostream &out, const M_LevelName &level) { return out << level.text(); }

M_LevelName internSimpleString(const char *text) { return M_LevelName(LevelStore::instance().intern(text)); }

M_LevelName internSimpleString(const std::string &text) {
  return M_LevelName(LevelStore::instance().intern(text));
}

std::int32_t levelNumber(const M_LevelName &level) {
  const LevelDefinition *definition = findDefinition(level);
  return definition ? definition->number : 99;
}

std::string levelDescription(const M_LevelName &level) {
  const LevelDefinition *definition = findDefinition(level);
  if (definition && !definition->description.empty())
    return definition->description;
  return level.text();
}

std::string levelDisplayName(std::int32_t number) { return levelNameTable()[number]; }

std::string levelDisplayName(const M_LevelName &level) { return levelDisplayName(levelNumber(level)); }

void setLevelNumber(const M_LevelName &level, std::int32_t number) {
  if (LevelDefinition *definition = definitionOf(level))
    definition->number = number;
}

void setLevelDescription(const M_LevelName &level, const std::string &description) {
  if (LevelDefinition *definition = definitionOf(level))
    definition->description = description;
}

void setLevelDisplayName(std::int32_t number, const std::string &displayName) {
  levelNameTable()[number] = displayName;
}

void defineDebugLevel() {
  const M_LevelName level = internSimpleString("DebugLevel");
  setLevelNumber(level, 99);
  setLevelDescription(level,
                      "This level is used for internal diagnostic information and message prototyping");
}

void clearLevelTable() { levelTable().clear(); }

void clearLevelDisplayNames() { levelNameTable().clear(); }
