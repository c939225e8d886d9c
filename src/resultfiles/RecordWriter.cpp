#include "resultfiles/RecordWriter.h"

#include "cmdline/PrintableFileName.h"
#include "foundation/Assertion.h"
#include "platform/BinaryFile.h"
#include "platform/FileSystem.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/LocationParts.h"
#include "resultfiles/MacroHistory.h"
#include "resultfiles/RecordExceptions.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

namespace {

std::uint8_t partsOf(const U_Location &location) {
  std::uint8_t parts = 0;
  if (location.hasInclLoc())
    parts |= R_includePart;
  if (location.hasInstFromLoc())
    parts |= R_instantiationPart;
  if (location.hasMacroHist())
    parts |= R_macroPart;
  if (location.hasHLLoc())
    parts |= R_shownPart;
  // A called-from part made from a null location has nothing to write.
  if (location.hasCalledFromLoc() && location.getCalledFromLoc().isSet())
    parts |= R_calledFromPart;
  return parts;
}

std::string displayNameOf(const U_Location &location, bool showAlias) {
  const U_RefPtr<U_EntityDisplayName> entity = location.getInstEntity();
  if (!entity.isSet())
    return std::string();
  return showAlias ? entity->text3() : entity->text();
}

// Errors of giving a file its name that leave the file to be made in place:
// the name is taken, or the file system has no second names.
bool nameCannotBeGiven(int error) {
  return error == EEXIST || error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

} // namespace

R_Writer::R_Writer(std::string fileName) : m_fileName(std::move(fileName)) {}

R_Writer::~R_Writer() { close(); }

bool R_Writer::open() { return openWith(platform::LockedFile::Opening::truncate); }

bool R_Writer::openForAppend() { return openWith(platform::LockedFile::Opening::create); }

bool R_Writer::openToMake() { return openWith(platform::LockedFile::Opening::make); }

bool R_Writer::openForAppend(platform::LockedFile file, bool madeByWriting) {
  U_ASSERT(!m_file.isOpen() && "Close the writer before opening it again.");
  if (!file.isOpen())
    return false;
  hold(std::move(file), madeByWriting);
  return true;
}

bool R_Writer::openWith(platform::LockedFile::Opening opening) {
  U_ASSERT(!m_file.isOpen() && "Close the writer before opening it again.");
  platform::LockedFile file;
  if (!file.open(m_fileName, opening))
    return false;
  const bool made = file.created();
  hold(std::move(file), made);
  return true;
}

void R_Writer::hold(platform::LockedFile file, bool madeByWriting) {
  m_file = std::move(file);
  m_pending.clear();
  m_created = madeByWriting;
  m_sizeAtOpen = m_file.size();
  m_restorable = true;
  // A process that dies before the closing puts the file back too; a file
  // being made goes with its temporary name.
  if (m_file.beingMade())
    m_guard = platform::guardFileLength(m_file.temporaryName(), 0, true);
  else if (m_sizeAtOpen)
    m_guard = platform::guardFileLength(m_fileName, *m_sizeAtOpen, m_created, m_file.descriptor());
}

bool R_Writer::close() {
  if (!m_file.isOpen())
    return false;
  bool written = m_file.append(m_pending.data(), m_pending.size()) && m_file.checkWritten();
  std::string().swap(m_pending);
  if (written && m_file.beingMade() && !m_file.giveName()) {
    written = false;
    m_nameRefused = nameCannotBeGiven(errno);
  }
  if (written) {
    m_restorable = false;
    platform::releaseFileGuard(std::exchange(m_guard, -1));
    m_file.close();
    return true;
  }
  m_failed = true;
  restore();
  return false;
}

void R_Writer::flush() {
  if (!m_file.isOpen() || !m_file.append(m_pending.data(), m_pending.size()))
    fail();
  m_pending.clear();
}

void R_Writer::discard() {
  if (m_file.isOpen())
    restore();
}

void R_Writer::fail() {
  m_failed = true;
  restore();
  throw R_WritingException();
}

void R_Writer::restore() {
  std::string().swap(m_pending);
  // Once only, and while the lock is held: what a later opening or another
  // writer did stays. Only a regular file has a size to go back to; a device
  // keeps what it took.
  if (std::exchange(m_restorable, false) && m_sizeAtOpen && !m_file.beingMade()) {
    if (m_created)
      platform::removeFile(m_fileName);
    else
      m_file.truncate(*m_sizeAtOpen);
  }
  // Put back here, or kept: either way no longer the dying process's work.
  platform::releaseFileGuard(std::exchange(m_guard, -1));
  m_file.close();
}

void R_Writer::writeBytes(const void *bytes, std::size_t count) {
  if (count == 0)
    return;
  if (!m_file.isOpen())
    fail();
  m_pending.append(static_cast<const char *>(bytes), count);
}

void R_Writer::writeByte(std::uint8_t value) { writeBytes(&value, 1); }

void R_Writer::writeInt(std::uint32_t value) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                  static_cast<unsigned char>(value >> 16),
                                  static_cast<unsigned char>(value >> 24)};
  writeBytes(bytes, sizeof bytes);
}

void R_Writer::writeString(const std::string &text) {
  // The length has to fit the int32 in front of the text.
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    fail();
  writeInt(static_cast<std::uint32_t>(text.size()));
  writeBytes(text.data(), text.size());
}

void R_Writer::writeCString(const char *text) {
  U_ASSERT(text && "Dont write a null text.");
  writeString(std::string(text, std::strlen(text)));
}

void R_Writer::writeBlock(const void *bytes, std::uint32_t count) {
  writeInt(count);
  writeBytes(bytes, count);
}

void R_Writer::writeInternedText(const U_Identifier &text) {
  const auto [entry, added] = m_data.m_texts.emplace(text, m_data.m_nextTextId);
  writeInt(entry->second);
  if (!added)
    return;
  ++m_data.m_nextTextId;
  writeCString(text.text());
}

void R_Writer::writeFile(const QL_Filename &file) {
  const auto [entry, added] = m_data.m_files.emplace(file.canonical(), m_data.m_nextFileId);
  writeInt(entry->second);
  if (!added)
    return;
  ++m_data.m_nextFileId;
  writeString(filenameToString(file.canonical()));
  writeString(fileIdentityGivenName(file));
}

void writeBinaryLocation(R_Writer &writer, const U_Location &location, bool showAlias) {
  U_ASSERT(location.isSet() && "Dont write a null location.");
  R_WriterData &ids = writer.data();
  const auto [entry, added] = ids.m_locations.emplace(location, ids.m_nextLocationId);
  writer.writeInt(entry->second);
  if (!added)
    return;
  // The id is taken before the parts take theirs.
  ++ids.m_nextLocationId;
  writer.writeFile(location.getFile());
  writer.writeInt(static_cast<std::uint32_t>(location.getLine()));
  writer.writeInt(static_cast<std::uint32_t>(location.getColumn()));
  const std::uint8_t parts = partsOf(location);
  writer.writeByte(parts);
  if (parts & R_includePart)
    writeBinaryLocation(writer, location.getInclLoc(), showAlias);
  if (parts & R_macroPart)
    writeMacroHistory(writer, location.getMacroHist(), showAlias);
  if (parts & R_shownPart) {
    writer.writeFile(location.getHLFile());
    writer.writeInt(static_cast<std::uint32_t>(location.getHLLine()));
  }
  if (parts & R_instantiationPart) {
    writeBinaryLocation(writer, location.getInstFromLoc(), showAlias);
    writer.writeString(displayNameOf(location, showAlias));
  }
  if (parts & R_calledFromPart)
    writeBinaryLocation(writer, location.getCalledFromLoc(), showAlias);
}

void writeMacroHistory(R_Writer &writer, const U_RefPtr<U_MacroHistory> &first, bool showAlias) {
  U_ASSERT(first.isSet() && "Dont write a null macro history.");
  for (const U_MacroHistory *element = first.pointer();; element = element->m_parent.pointer()) {
    writeBinaryLocation(writer, element->m_location, showAlias);
    writer.writeInternedText(element->m_macroName);
    if (!element->m_parent.isSet())
      break;
    writer.writeByte(1);
  }
  writer.writeByte(0);
}
