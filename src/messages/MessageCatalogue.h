// The message catalogue: the text, second text and level of every message
// number, read from the product's default message file and from the user
// message file that option "usrfile" names, which overrides it. Built at the
// first lookup and kept, once for each value of option "standard" (which
// decides how a file that repeats a number resolves the repetition).
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "messages/MessageLevels.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

// One catalogue entry. A new entry has two empty texts and a null level.
class M_MessageEntry {
public:
  M_MessageEntry() = default;
  M_MessageEntry(std::string text, std::string secondText, M_LevelName level)
      : m_text(std::move(text)), m_secondText(std::move(secondText)), m_level(level) {}

  // The message text and the second text (what followed "@@" on its line).
  const std::string &text() const { return m_text; }
  const std::string &secondText() const { return m_secondText; }
  const M_LevelName &level() const { return m_level; }

  // levelNumber, levelDescription and the text of the entry's level.
  std::int32_t levelNumber() const;
  std::string levelDescription() const;
  std::string levelName() const;

private:
  std::string m_text;
  std::string m_secondText;
  M_LevelName m_level;
};

// The entry of every number without one: "Unknown error", an empty second
// text, level "fatal". Built at its first use, kept until exit.
const M_MessageEntry &M_defaultMessageEntry();

using M_MessageMap = std::map<std::int32_t, M_MessageEntry>;

// The messages read from the message files, and which files they came from.
class M_MessageCatalogue {
public:
  const M_MessageMap &messages() const { return m_messages; }
  M_MessageMap &messages() { return m_messages; }
  // The entry of the number; the default entry when the number has none.
  const M_MessageEntry &entry(std::int32_t number) const;

  // Paths in the internal encoding; the user path is empty when option
  // "usrfile" named no file.
  const std::string &defaultFilePath() const { return m_defaultFilePath; }
  const std::string &userFilePath() const { return m_userFilePath; }
  bool userFileRead() const { return m_userFileRead; }

  void setDefaultFilePath(const std::string &path) { m_defaultFilePath = path; }
  void setUserFilePath(const std::string &path) { m_userFilePath = path; }
  void setUserFileRead(bool read) { m_userFileRead = read; }

private:
  M_MessageMap m_messages;
  std::string m_defaultFilePath;
  std::string m_userFilePath;
  bool m_userFileRead = false;
};

// Builds a new catalogue: the product's default message file, then the user
// message file when option "usrfile" is set. A default file that does not
// open adds nothing; a user file that cannot be opened writes a warning with
// its path to standard error. higherWins (mode) decides which of two lines
// for one number in one file stays: the higher level number when set, else
// the lower; the user file always overrides the default file.
P_CountedPtr<M_MessageCatalogue> buildMessageCatalogue(bool mode);
// The same with the user file named here (none when the name is empty),
// found by findProductFile in the directory, instead of by the options.
P_CountedPtr<M_MessageCatalogue> buildMessageCatalogueFor(const std::string &userFileName,
                                                          const std::string &directory, bool mode);

// The cached catalogue for the mode, built when the cache holds none or one
// built for the other mode; the form without argument takes the value of
// option "standard". The handle keeps the catalogue alive across a rebuild.
P_CountedPtr<M_MessageCatalogue> messageCatalogue(bool mode);
P_CountedPtr<M_MessageCatalogue> messageCatalogue();

// Empty the level table (not the display names) and put a newly built
// catalogue for the mode in the cache.
void resetMessageCatalogue(bool mode);
void resetMessageCatalogueFor(const std::string &userFileName, const std::string &directory, bool mode);

// The entry of the number in the catalogue of the current value of option
// "standard"; the default entry when it has none. The reference stays valid
// until the catalogue is rebuilt.
const M_MessageEntry &getMessageEntry(std::int32_t number);
// The largest message number in that catalogue; 0 when it holds none.
std::int32_t highestMessageNumber();

// For tests: drops the cached catalogue and empties both level tables, as at
// the start of the process.
void M_forgetMessageCatalogue();
