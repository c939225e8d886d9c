#include "resultfiles/RecordReaderData.h"

void R_ReaderLocData::clear() {
  m_entries.clear();
  m_nextId = 0;
}

void R_ReaderLocData::set(std::int32_t id, const U_Location &location, std::uint32_t depth) {
  U_ASSERT(id >= 0 && "A location id is not negative.");
  const std::size_t at = static_cast<std::size_t>(id);
  if (at >= m_entries.size())
    m_entries.resize(at + 1);
  m_entries[at] = Entry{location, depth};
}

U_Location R_ReaderLocData::get(std::int32_t id) const {
  U_ASSERT(isKnown(id) && "Id not known.");
  return m_entries[static_cast<std::size_t>(id)].location;
}

std::uint32_t R_ReaderLocData::depth(std::int32_t id) const {
  U_ASSERT(isKnown(id) && "Id not known.");
  return m_entries[static_cast<std::size_t>(id)].depth;
}
