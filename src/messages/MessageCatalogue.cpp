#include "messages/MessageCatalogue.h"

#include "cmdline/Options.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileSystem.h"
#include "foundation/TextConversion.h"
#include "messages/MessageFileReader.h"

#include <iostream>

namespace {

// The cached catalogue and the mode it was built for; released at exit.
struct CatalogueCache {
  P_CountedPtr<M_MessageCatalogue> catalogue;
  bool mode = false;
};

CatalogueCache &cache() {
  static CatalogueCache instance;
  return instance;
}

// The default file, then the user file at the path when one is given.
P_CountedPtr<M_MessageCatalogue> buildCatalogue(bool mode, const std::string *userPath) {
  P_CountedPtr<M_MessageCatalogue> catalogue = P_makeCounted<M_MessageCatalogue>();
  catalogue->setDefaultFilePath(productMessageFile());
  // Without its message file the installation gives every message the
  // default entry: said once, when the catalogue is built.
  if (!readMessageFile(catalogue->defaultFilePath(), catalogue->messages(), mode))
    std::cerr << "Warning - Can't open message file " << QL_fromInternal(catalogue->defaultFilePath())
              << std::endl;
  catalogue->setUserFileRead(false);
  if (!userPath)
    return catalogue;
  catalogue->setUserFilePath(*userPath);
  // A file that exists but does not open (a directory, no permission) is
  // reported like a missing one rather than passed over in silence.
  if (QL_exists(*userPath) && readMessageFile(*userPath, catalogue->messages(), mode))
    catalogue->setUserFileRead(true);
  else
    std::cerr << "Warning - Can't open user defined message file " << QL_fromInternal(*userPath) << std::endl;
  return catalogue;
}

void replaceCache(P_CountedPtr<M_MessageCatalogue> catalogue, bool mode) {
  cache().catalogue = std::move(catalogue);
  cache().mode = mode;
}

} // namespace

std::int32_t M_MessageEntry::levelNumber() const { return ::levelNumber(m_level); }

std::string M_MessageEntry::levelDescription() const { return ::levelDescription(m_level); }

std::string M_MessageEntry::levelName() const { return m_level.text(); }

const M_MessageEntry &M_defaultMessageEntry() {
  static const M_MessageEntry entry("Unknown error", std::string(), internSimpleString("fatal"));
  return entry;
}

const M_MessageEntry &M_MessageCatalogue::entry(std::int32_t number) const {
  const auto found = m_messages.find(number);
  return found == m_messages.end() ? M_defaultMessageEntry() : found->second;
}

P_CountedPtr<M_MessageCatalogue> buildMessageCatalogue(bool mode) {
  if (C_optUsrFile().getValue().empty())
    return buildCatalogue(mode, nullptr);
  const std::string userPath = userMessageFile();
  return buildCatalogue(mode, &userPath);
}

P_CountedPtr<M_MessageCatalogue> buildMessageCatalogueFor(const std::string &userFileName,
                                                          const std::string &directory, bool mode) {
  if (userFileName.empty())
    return buildCatalogue(mode, nullptr);
  const std::string userPath = findProductFile(userFileName, directory);
  return buildCatalogue(mode, &userPath);
}

P_CountedPtr<M_MessageCatalogue> messageCatalogue(bool mode) {
  if (!cache().catalogue.isSet() || cache().mode != mode)
    replaceCache(buildMessageCatalogue(mode), mode);
  return cache().catalogue;
}

P_CountedPtr<M_MessageCatalogue> messageCatalogue() { return messageCatalogue(C_optStandard().value()); }

void resetMessageCatalogue(bool mode) {
  clearLevelTable();
  replaceCache(buildMessageCatalogue(mode), mode);
}

void resetMessageCatalogueFor(const std::string &userFileName, const std::string &directory, bool mode) {
  clearLevelTable();
  replaceCache(buildMessageCatalogueFor(userFileName, directory, mode), mode);
}

const M_MessageEntry &getMessageEntry(std::int32_t number) {
  messageCatalogue();
  return cache().catalogue->entry(number);
}

std::int32_t highestMessageNumber() {
  const P_CountedPtr<M_MessageCatalogue> catalogue = messageCatalogue();
  const M_MessageMap &messages = catalogue->messages();
  return messages.empty() ? 0 : messages.rbegin()->first;
}

void M_forgetMessageCatalogue() {
  cache().catalogue.release();
  clearLevelTable();
  clearLevelDisplayNames();
}
