// Message levels: every catalogue entry names its level. A level name may
// carry a number and a description ("#define" lines of the message files),
// and a level number may carry a display name ("#levelname" lines). Both
// tables are process-wide and live until exit.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

struct U_StoredString;

// A level name, interned in the store of plain byte order: equal names are
// the same stored text, so two level names are equal exactly when their
// stored texts are the same object. A null level name names no level.
class M_LevelName {
public:
  // The null level name. Makes sure the store exists.
  M_LevelName();
  // The level name of a text stored in the store of plain byte order.
  explicit M_LevelName(const U_StoredString *stored) : m_stored(stored) {}

  // Whether the name is not null. Makes sure the store exists.
  bool isSet() const;
  // A copy of the stored text up to its first NUL byte; empty for null.
  std::string text() const;
  // The stored characters; the empty text for null.
  const char *c_str() const;
  // The stored text, null for the null name.
  const U_StoredString *stored() const { return m_stored; }

  friend bool operator==(const M_LevelName &a, const M_LevelName &b) { return a.m_stored == b.m_stored; }
  friend bool operator!=(const M_LevelName &a, const M_LevelName &b) { return a.m_stored != b.m_stored; }

private:
  const U_StoredString *m_stored;
};

// Writes the level name's text.
std::ostream &operator<<(std::ostream &out, const M_LevelName &level);

// The level name of the text, added to the store when new.
M_LevelName internSimpleString(const char *text);
M_LevelName internSimpleString(const std::string &text);

// The number of a level in the level table; 99 for a name without an entry.
std::int32_t levelNumber(const M_LevelName &level);
// The level's description when its entry has a non-empty one; otherwise the
// level's own name.
std::string levelDescription(const M_LevelName &level);
// The display name of a level number; empty (and the number gets an empty
// entry) when no "#levelname" line named it.
std::string levelDisplayName(std::int32_t number);
// The display name of the level's number.
std::string levelDisplayName(const M_LevelName &level);

// Set one field of the level's entry, creating the entry when absent; the
// other field keeps its value (a new entry: number 99, empty description).
// The null level name has no entry and is left alone.
void setLevelNumber(const M_LevelName &level, std::int32_t number);
void setLevelDescription(const M_LevelName &level, const std::string &description);
// Maps a level number to its display name, replacing an earlier one.
void setLevelDisplayName(std::int32_t number, const std::string &displayName);

// Defines the level "DebugLevel" as number 99 with its description.
void defineDebugLevel();

// Empties the level table (not the display names).
void clearLevelTable();
// For tests: empties the table of display names.
void clearLevelDisplayNames();
