#include "foundation/StringStore.h"

#include "foundation/TextHashIndex.h"
#include "platform/FileSystem.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

unsigned char foldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// The pool behind internString. Each text is stored as its sequence number
// followed by its characters and a NUL, in large blocks that never move; a
// hash index of the stored texts finds a text whatever the size of the pool.
class InternPool {
public:
  static InternPool &instance() {
    static InternPool pool;
    return pool;
  }

  const char *intern(const char *text) {
    const std::string_view key(text);
    const std::uint32_t hash = Index::hashOf(key);
    if (const Index::Slot *found = m_index.find(key, hash))
      return found->text;
    const std::size_t length = key.size();
    const std::size_t needed = sizeof(std::uint64_t) + length + 1;
    if (m_blocks.empty() || m_used + needed > m_blockSize) {
      const std::size_t size = needed > blockSize ? needed : blockSize;
      m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
      m_blockSize = size;
      m_used = 0;
    }
    char *place = m_blocks.back().get() + m_used;
    const std::uint64_t sequence = m_index.size();
    std::memcpy(place, &sequence, sizeof sequence);
    char *stored = place + sizeof sequence;
    std::memcpy(stored, text, length + 1);
    m_used += needed;
    m_index.insert(std::string_view(stored, length), hash, Empty());
    return stored;
  }

  // The sequence number sits right before the characters of a pooled text.
  static std::uint64_t sequenceOf(const char *pooled) {
    std::uint64_t sequence;
    std::memcpy(&sequence, pooled - sizeof sequence, sizeof sequence);
    return sequence;
  }

private:
  static constexpr std::size_t blockSize = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> m_blocks;
  std::size_t m_blockSize = 0;
  std::size_t m_used = 0;
  struct Empty {};
  using Index = U_TextHashIndex<Empty>;
  Index m_index;
};

} // namespace

int U_compareFilenameTexts(std::string_view a, std::string_view b, bool foldCase) {
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (foldCase) {
      ca = foldAscii(ca);
      cb = foldAscii(cb);
    }
    if (ca != cb)
      return ca < cb ? -1 : 1;
  }
  return 0;
}

bool FilenameStringCompare::operator()(std::string_view a, std::string_view b) const {
  return U_compareFilenameTexts(a, b, platform::fileNamesIgnoreCase) < 0;
}

bool SimpleStringCompare::operator()(std::string_view a, std::string_view b) const {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  const int result = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (result != 0)
    return result < 0;
  return a.size() < b.size();
}

void U_requireInternPool() { InternPool::instance(); }

const char *internString(const char *text) { return InternPool::instance().intern(text ? text : ""); }

bool U_InternedStringOrder::operator()(const char *a, const char *b) const {
  return InternPool::sequenceOf(a) < InternPool::sequenceOf(b);
}
