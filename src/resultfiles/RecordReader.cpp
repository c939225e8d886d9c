#include "resultfiles/RecordReader.h"

#include "foundation/Assertion.h"
#include "platform/BinaryFile.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/LocationParts.h"
#include "resultfiles/MacroHistory.h"
#include "resultfiles/RecordExceptions.h"

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace {

// Texts are read in pieces of this size, so that memory grows only with the
// bytes that the file really holds.
constexpr std::size_t textPiece = 64 * 1024;

struct NestedLocation {
  U_Location location;
  std::uint32_t depth = 0;
};

struct NestedHistory {
  U_RefPtr<U_MacroHistory> first;
  std::uint32_t depth = 0;
};

NestedHistory readHistory(R_Reader &reader, std::uint32_t levels);

// Whether an id read starts a new entry of the table: an id that is not
// known must be the table's next one.
template <class Key> bool startsNewEntry(const R_ReaderSimpleData<Key> &table, std::int32_t id) {
  if (table.isKnown(id))
    return false;
  if (static_cast<std::int64_t>(id) != static_cast<std::int64_t>(table.size()))
    R_rejectRecord();
  return true;
}

// A location that may take up to the given number of levels.
NestedLocation readLocation(R_Reader &reader, std::uint32_t levels) {
  R_ReaderLocData &table = reader.data().m_locations;
  const std::int32_t id = static_cast<std::int32_t>(reader.readInt());
  if (table.isKnown(id)) {
    // A null entry is a location whose record has not ended: only a part
    // that names its own enclosing location reaches one.
    NestedLocation known{table.get(id), table.depth(id)};
    if (!known.location.isSet() || known.depth > levels)
      R_rejectRecord();
    return known;
  }
  if (id != table.nextId() || levels == 0)
    R_rejectRecord();
  table.takeNextId();
  const QL_Filename file = reader.readFile();
  const std::int32_t line = static_cast<std::int32_t>(reader.readInt());
  const std::int32_t column = static_cast<std::int32_t>(reader.readInt());
  const std::uint8_t parts = reader.readByte();
  std::uint32_t deepest = 0;
  NestedLocation include;
  if (parts & R_includePart) {
    include = readLocation(reader, levels - 1);
    deepest = std::max(deepest, include.depth);
  }
  NestedHistory history;
  if (parts & R_macroPart) {
    history = readHistory(reader, levels - 1);
    deepest = std::max(deepest, history.depth);
  }
  U_Location location(include.location, file, line, column, history.first);
  if (parts & R_shownPart) {
    const QL_Filename shownFile = reader.readFile();
    const std::int32_t shownLine = static_cast<std::int32_t>(reader.readInt());
    location = location.withHLLoc(shownFile, shownLine);
  }
  if (parts & R_instantiationPart) {
    const NestedLocation from = readLocation(reader, levels - 1);
    deepest = std::max(deepest, from.depth);
    location = location.withInstFromLoc(from.location, makeEntityDisplayName(reader.readString()));
  }
  if (parts & R_calledFromPart) {
    const NestedLocation caller = readLocation(reader, levels - 1);
    deepest = std::max(deepest, caller.depth);
    location = location.withCalledFromLoc(caller.location);
  }
  table.set(id, location, deepest + 1);
  return {location, deepest + 1};
}

// The elements are read in a loop and joined from the last one back, so a
// long history takes no stack. A history is a list: every element's location
// lies on the history's level and may take the given levels, and no more than
// U_maxLocationDepth elements are taken. The history's depth is that of its
// deepest element.
NestedHistory readHistory(R_Reader &reader, std::uint32_t levels) {
  struct Element {
    U_Location location;
    std::uint32_t depth;
    U_Identifier name;
  };
  std::vector<Element> elements;
  do {
    if (elements.size() >= U_maxLocationDepth)
      R_rejectRecord();
    NestedLocation at = readLocation(reader, levels);
    elements.push_back(Element{std::move(at.location), at.depth, reader.readIdentifier()});
  } while (reader.readByte() != 0);
  NestedHistory history;
  for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
    history.depth = std::max(history.depth, element->depth);
    history.first =
        U_RefPtr<U_MacroHistory>(new U_MacroHistory(element->location, element->name, history.first));
  }
  return history;
}

// The reason why a read that errno was cleared for came up short: the
// error of the stream, or, when the file simply ended within what was to be
// read, ENODATA. Set in errno too, which the reading exceptions show.
int shortReadReason(std::FILE *stream) {
  int reason = ENODATA;
  if (std::ferror(stream))
    reason = errno != 0 ? errno : EIO;
  errno = reason;
  return reason;
}

} // namespace

void R_rejectRecord() {
  errno = EBADMSG;
  throw R_ReadingReadException(EBADMSG);
}

R_Reader::R_Reader(std::string fileName) : m_fileName(std::move(fileName)) {}

R_Reader::~R_Reader() {
  if (m_stream)
    std::fclose(m_stream);
}

bool R_Reader::open() {
  U_ASSERT(!m_stream && "The reader is open already.");
  m_stream = platform::openBinaryFile(m_fileName, "rb");
  if (!m_stream)
    return false;
  m_size = platform::regularFileSize(m_fileName);
  m_consumed = 0;
  m_lookAheadHeld = false;
  return true;
}

bool R_Reader::openAt(std::uint32_t offset) {
  if (!open())
    return false;
  if (std::fseek(m_stream, static_cast<long>(offset), SEEK_SET) != 0)
    return false;
  m_consumed = offset;
  return true;
}

std::optional<std::uint64_t> R_Reader::bytesLeft() const {
  if (!m_size)
    return std::nullopt;
  const std::uint64_t inStream = *m_size > m_consumed ? *m_size - m_consumed : 0;
  return inStream + (m_lookAheadHeld ? 1 : 0);
}

bool R_Reader::atEnd() {
  U_ASSERT(m_stream && "Open the reader first.");
  if (std::feof(m_stream))
    return true;
  if (m_lookAheadHeld)
    return false;
  unsigned char byte;
  errno = 0;
  if (std::fread(&byte, 1, 1, m_stream) != 1) {
    if (!std::feof(m_stream))
      throw R_ReadingEOFException(shortReadReason(m_stream));
    return true;
  }
  ++m_consumed;
  m_lookAhead = byte;
  m_lookAheadHeld = true;
  return false;
}

void R_Reader::readBytes(void *buffer, std::uint64_t count) {
  U_ASSERT(m_stream && "Open the reader first.");
  unsigned char *into = static_cast<unsigned char *>(buffer);
  if (count > 0 && m_lookAheadHeld) {
    *into++ = m_lookAhead;
    m_lookAheadHeld = false;
    --count;
  }
  if (count == 0)
    return;
  errno = 0;
  const std::size_t read = std::fread(into, 1, static_cast<std::size_t>(count), m_stream);
  m_consumed += read;
  if (read != count)
    throw R_ReadingReadException(shortReadReason(m_stream));
}

std::uint8_t R_Reader::readByte() {
  std::uint8_t byte;
  readBytes(&byte, 1);
  return byte;
}

std::uint32_t R_Reader::readInt() {
  unsigned char bytes[4];
  readBytes(bytes, sizeof bytes);
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::string R_Reader::readText(std::int32_t length) {
  if (length < 0)
    R_rejectRecord();
  const std::uint64_t wanted = static_cast<std::uint64_t>(length);
  if (const std::optional<std::uint64_t> left = bytesLeft(); left && wanted > *left)
    R_rejectRecord();
  // Where the size is unknown the text comes in pieces: a length that the
  // file does not hold ends at its end before much memory is taken.
  std::string text;
  while (text.size() < wanted) {
    const std::size_t piece =
        static_cast<std::size_t>(std::min<std::uint64_t>(wanted - text.size(), textPiece));
    const std::size_t at = text.size();
    text.resize(at + piece);
    readBytes(text.data() + at, piece);
  }
  return text;
}

std::string R_Reader::readString() { return readText(static_cast<std::int32_t>(readInt())); }

U_Identifier R_Reader::readIdentifier() {
  R_ReaderSimpleData<U_Identifier> &table = m_data.m_identifiers;
  const std::int32_t id = static_cast<std::int32_t>(readInt());
  if (!startsNewEntry(table, id))
    return table.get(id);
  const U_Identifier identifier(readText(static_cast<std::int32_t>(readInt())).c_str());
  table.append(identifier);
  return identifier;
}

QL_Filename R_Reader::readFile() {
  R_ReaderSimpleData<U_Filename> &table = m_data.m_files;
  const std::int32_t id = static_cast<std::int32_t>(readInt());
  if (!startsNewEntry(table, id))
    return table.get(id);
  const std::string canonical = readString();
  const std::string given = readString();
  const QL_Filename file(canonical, given);
  table.append(file);
  return file;
}

void R_Reader::resetTables() {
  m_data.m_identifiers.clear();
  m_data.m_files.clear();
  m_data.m_locations.clear();
}

U_Location readBinaryLocation(R_Reader &reader) { return readLocation(reader, U_maxLocationDepth).location; }

U_RefPtr<U_MacroHistory> readMacroHistory(R_Reader &reader) {
  return readHistory(reader, U_maxLocationDepth).first;
}
