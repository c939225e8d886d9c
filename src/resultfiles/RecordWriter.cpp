#include "resultfiles/RecordWriter.h"

#include "foundation/Assertion.h"
#include "platform/LockedFile.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/LocationParts.h"
#include "resultfiles/MacroHistory.h"
#include "resultfiles/RecordExceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

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

// Whether a macro history holds more elements than U_maxLocationDepth, which
// no reader takes. Counts no further than one past the bound.
bool holdsTooManyElements(const U_MacroHistory *element) {
  std::uint32_t elements = 0;
  for (; element; element = element->m_parent.pointer())
    if (++elements > U_maxLocationDepth)
      return true;
  return false;
}

// Errors of giving a file its name that leave the file to be made in place:
// the name is taken, or the file system has no second names.
bool nameCannotBeGiven(int error) {
  return error == EEXIST || error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

} // namespace

R_Writer::R_Writer(std::string fileName) : m_fileName(std::move(fileName)) {}

R_Writer::~R_Writer() { discard(); }

bool R_Writer::open() { return openWith(platform::LockedFile::Opening::truncate); }

bool R_Writer::openForAppend() { return openWith(platform::LockedFile::Opening::create); }

bool R_Writer::openToMake() { return openWith(platform::LockedFile::Opening::make); }

bool R_Writer::openForAppend(platform::LockedFile file) {
  U_ASSERT(!m_file.isOpen() && "Close the writer before opening it again.");
  if (!file.isOpen())
    return false;
  hold(std::move(file));
  return true;
}

bool R_Writer::openWith(platform::LockedFile::Opening opening) {
  U_ASSERT(!m_file.isOpen() && "Close the writer before opening it again.");
  platform::LockedFile file;
  const bool opened = file.open(m_fileName, opening);
  m_recovery = file.recovery();
  if (!opened) {
    m_error = errno;
    return false;
  }
  hold(std::move(file));
  return true;
}

void R_Writer::hold(platform::LockedFile file) {
  m_file = std::move(file);
  m_pending.clear();
  m_sizeAtOpen = m_file.size();
  m_restorable = true;
  m_putBackEnd = platform::AppendEnd();
  m_failedJournal.clear();
  m_journalError = 0;
  m_journalNotRemoved = false;
}

bool R_Writer::putBackFailed() const {
  using Result = platform::AppendEnd::Result;
  return m_putBackEnd.result == Result::cannotCut || m_putBackEnd.result == Result::cannotSync;
}

void R_Writer::noteEnd(const platform::AppendEnd &end) {
  m_putBackEnd = end;
  if (!putBackFailed() && end.putBack) {
    m_journalNotRemoved = true;
    m_failedJournal = end.journal;
    m_journalError = end.error;
  }
}

bool R_Writer::handPending() {
  std::vector<std::string_view> blocks;
  blocks.reserve(m_pending.size());
  for (const PendingBlock &block : m_pending)
    blocks.push_back(block.lasting.empty() ? std::string_view(block.bytes) : block.lasting);
  const bool written = m_file.append(blocks.data(), blocks.size());
  std::vector<PendingBlock>().swap(m_pending);
  return written;
}

bool R_Writer::close() {
  if (!m_file.isOpen())
    return false;
  bool written = handPending() && m_file.checkWritten() && m_file.sync();
  if (written && m_file.beingMade() && !m_file.giveName()) {
    written = false;
    m_nameRefused = nameCannotBeGiven(errno);
  }
  if (!written) {
    m_failed = true;
    m_error = errno;
    if (m_file.journalFailed()) {
      m_failedJournal = m_file.journalPath();
      m_journalError = m_error;
    }
    restore();
    return false;
  }
  m_restorable = false;
  const platform::AppendEnd end = m_file.keep();
  if (end.result == platform::AppendEnd::Result::done && !end.putBack)
    return true;
  // The journal could not go: what was written is taken back.
  m_failed = true;
  noteEnd(end);
  return false;
}

void R_Writer::flush() {
  if (!m_file.isOpen() || !handPending())
    fail();
}

void R_Writer::discard() {
  if (m_file.isOpen())
    restore();
}

void R_Writer::fail() {
  m_failed = true;
  // Without a file open, the opening's failure stands.
  if (m_file.isOpen())
    m_error = errno;
  restore();
  throw R_WritingException();
}

void R_Writer::restore() {
  std::vector<PendingBlock>().swap(m_pending);
  // Once only, and while the lock is held: what a later opening or another
  // writer did stays. A file being made goes with its temporary name.
  if (std::exchange(m_restorable, false))
    noteEnd(m_file.putBack());
  m_file.close();
}

namespace {
// From this size on, a write is held in a block of its own.
constexpr std::size_t kLongWrite = 1024 * 1024;
} // namespace

void R_Writer::writeBytes(const void *bytes, std::size_t count) {
  if (count == 0)
    return;
  if (!m_file.isOpen())
    fail();
  const char *text = static_cast<const char *>(bytes);
  if (count >= kLongWrite) {
    holdLongText(std::string_view(text, count), false);
    return;
  }
  if (m_pending.empty())
    m_pending.emplace_back();
  m_pending.back().bytes.append(text, count);
}

void R_Writer::holdLongText(std::string_view text, bool lasting) {
  // A long text is a block of its own: the blocks before it are not copied to
  // make room for it, nor it for what follows. One that lasts is not copied
  // at all.
  if (lasting)
    m_pending.push_back(PendingBlock{std::string(), text});
  else
    m_pending.push_back(PendingBlock{std::string(text), std::string_view()});
  m_pending.emplace_back();
}

void R_Writer::writeByte(std::uint8_t value) { writeBytes(&value, 1); }

void R_Writer::writeInt(std::uint32_t value) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                  static_cast<unsigned char>(value >> 16),
                                  static_cast<unsigned char>(value >> 24)};
  writeBytes(bytes, sizeof bytes);
}

void R_Writer::writeString(std::string_view text) {
  writeLength(text.size());
  writeBytes(text.data(), text.size());
}

void R_Writer::writeLastingString(std::string_view text) {
  writeLength(text.size());
  if (text.size() < kLongWrite)
    writeBytes(text.data(), text.size());
  else
    holdLongText(text, true);
}

void R_Writer::writeLength(std::size_t size) {
  // The length has to fit the int32 in front of the text.
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    fail();
  writeInt(static_cast<std::uint32_t>(size));
}

void R_Writer::writeCString(const char *text) {
  U_ASSERT(text && "Dont write a null text.");
  writeString(std::string_view(text));
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
  if (const auto known = m_data.m_files.find(file.canonical()); known != m_data.m_files.end()) {
    writeInt(known->second);
    return;
  }
  // The names as filenameToString and fileIdentityGivenName give them, read
  // where the store holds them.
  const std::string_view canonical = file.canonical().c_str();
  const auto [entry, added] = m_data.m_fileNames.emplace(canonical, m_data.m_nextFileId);
  m_data.m_files.emplace(file.canonical(), entry->second);
  writeInt(entry->second);
  if (!added)
    return;
  ++m_data.m_nextFileId;
  writeLastingString(canonical);
  writeLastingString(file.given().c_str());
}

namespace {

// Writes locations without recursion: each location whose record is begun
// waits on a stack, with the part that comes next, until its parts are
// written. Levels count as U_maxLocationDepth says; a location is refused
// before any byte of it is written when it would lie deeper than that, or
// when its macro history holds more elements than that.
class LocationRecords {
public:
  LocationRecords(R_Writer &writer, bool showAlias) : m_writer(writer), m_showAlias(showAlias) {}

  // Writes the location at the level given (1 at the top); the levels that it
  // takes from there.
  std::uint32_t write(const U_Location &location, std::uint32_t level) {
    if (const std::optional<std::uint32_t> written = begin(location, level))
      return *written;
    for (;;) {
      if (advance())
        continue;
      const std::uint32_t depth = finish();
      if (m_open.empty())
        return depth;
      take(depth);
    }
  }

private:
  enum class Step { include, macro, macroName, shown, instantiation, entityName, calledFrom, end };

  struct Open {
    U_Location location;
    std::uint32_t level = 0;
    std::uint8_t parts = 0;
    R_WriterData::WrittenLocation *entry = nullptr;
    Step next = Step::include;
    U_RefPtr<U_MacroHistory> history;
    const U_MacroHistory *element = nullptr; // whose location was written last
    std::uint32_t deepestPart = 0;
  };

  [[noreturn]] void refuse() {
    m_writer.discard();
    throw R_WritingException();
  }

  // A known location is written as its id; a new one gets its id and its
  // record up to the parts byte, and waits on the stack for its parts.
  // Returns the levels of a location written whole.
  std::optional<std::uint32_t> begin(const U_Location &location, std::uint32_t level) {
    U_ASSERT(location.isSet() && "Dont write a null location.");
    R_WriterData &ids = m_writer.data();
    if (const auto known = ids.m_locations.find(location); known != ids.m_locations.end()) {
      if (level - 1 + known->second.depth > U_maxLocationDepth)
        refuse();
      m_writer.writeInt(known->second.id);
      return known->second.depth;
    }
    if (level > U_maxLocationDepth ||
        (location.hasMacroHist() && holdsTooManyElements(location.getMacroHist().pointer())))
      refuse();
    // The id is taken before the parts take theirs.
    const auto entry =
        ids.m_locations.emplace(location, R_WriterData::WrittenLocation{ids.m_nextLocationId, 0});
    ++ids.m_nextLocationId;
    m_writer.writeInt(entry.first->second.id);
    m_writer.writeFile(location.getFile());
    m_writer.writeInt(static_cast<std::uint32_t>(location.getLine()));
    m_writer.writeInt(static_cast<std::uint32_t>(location.getColumn()));
    const std::uint8_t parts = partsOf(location);
    m_writer.writeByte(parts);
    Open &open = m_open.emplace_back();
    open.location = location;
    open.level = level;
    open.parts = parts;
    open.entry = &entry.first->second;
    return std::nullopt;
  }

  // A part's location, one level below the location on top of the stack (an
  // element of its macro history too). True when it waits on the stack.
  bool beginPart(const U_Location &location) {
    const std::optional<std::uint32_t> written = begin(location, m_open.back().level + 1);
    if (!written)
      return true;
    take(*written);
    return false;
  }

  // A part of the location on top of the stack is written.
  void take(std::uint32_t depth) {
    Open &open = m_open.back();
    open.deepestPart = std::max(open.deepestPart, depth);
  }

  // Writes the parts of the location on top of the stack up to the next one
  // whose record is begun (true), or to its end (false).
  bool advance() {
    for (;;) {
      Open &open = m_open.back();
      switch (open.next) {
      case Step::include:
        open.next = Step::macro;
        if ((open.parts & R_includePart) && beginPart(open.location.getInclLoc()))
          return true;
        break;
      case Step::macro:
        open.next = Step::shown;
        if (open.parts & R_macroPart) {
          open.history = open.location.getMacroHist();
          open.element = open.history.pointer();
          open.next = Step::macroName;
          if (beginPart(open.element->m_location))
            return true;
        }
        break;
      case Step::macroName:
        m_writer.writeInternedText(open.element->m_macroName);
        if (!open.element->m_parent.isSet()) {
          m_writer.writeByte(0);
          open.next = Step::shown;
          break;
        }
        m_writer.writeByte(1);
        open.element = open.element->m_parent.pointer();
        if (beginPart(open.element->m_location))
          return true;
        break;
      case Step::shown:
        open.next = Step::instantiation;
        if (open.parts & R_shownPart) {
          m_writer.writeFile(open.location.getHLFile());
          m_writer.writeInt(static_cast<std::uint32_t>(open.location.getHLLine()));
        }
        break;
      case Step::instantiation:
        open.next = Step::calledFrom;
        if (open.parts & R_instantiationPart) {
          open.next = Step::entityName;
          if (beginPart(open.location.getInstFromLoc()))
            return true;
        }
        break;
      case Step::entityName:
        m_writer.writeString(displayNameOf(open.location, m_showAlias));
        open.next = Step::calledFrom;
        break;
      case Step::calledFrom:
        open.next = Step::end;
        if ((open.parts & R_calledFromPart) && beginPart(open.location.getCalledFromLoc()))
          return true;
        break;
      case Step::end:
        return false;
      }
    }
  }

  // The location on top of the stack is written whole: it leaves the stack
  // with the levels it takes.
  std::uint32_t finish() {
    const Open &open = m_open.back();
    const std::uint32_t depth = open.deepestPart + 1;
    open.entry->depth = depth;
    m_open.pop_back();
    return depth;
  }

  R_Writer &m_writer;
  const bool m_showAlias;
  std::vector<Open> m_open;
};

} // namespace

void writeBinaryLocation(R_Writer &writer, const U_Location &location, bool showAlias) {
  LocationRecords(writer, showAlias).write(location, 1);
}

void writeMacroHistory(R_Writer &writer, const U_RefPtr<U_MacroHistory> &first, bool showAlias) {
  U_ASSERT(first.isSet() && "Dont write a null macro history.");
  // A list of at most U_maxLocationDepth elements, each one's location on
  // level 1.
  if (holdsTooManyElements(first.pointer())) {
    writer.discard();
    throw R_WritingException();
  }
  LocationRecords records(writer, showAlias);
  for (const U_MacroHistory *element = first.pointer();; element = element->m_parent.pointer()) {
    records.write(element->m_location, 1);
    writer.writeInternedText(element->m_macroName);
    if (!element->m_parent.isSet())
      break;
    writer.writeByte(1);
  }
  writer.writeByte(0);
}
