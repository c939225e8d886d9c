#include "cmdline/Product.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigFile.h"
#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "foundation/PathText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace {

// The option-name tables are made at compile time from the generated lists of
// which product accepts which option and alias.

using OptionAccessor = const C_OptionBase &(*)(const C_Options &options);

struct NameRow {
  const char *name;
  OptionAccessor accessor;
  unsigned products;          // bit 1 << product index
  unsigned canonicalProducts; // the same for the canonical-name tables
};

#define C_OPTION_ACCESSOR(member)                                                                            \
  [](const C_Options &options) -> const C_OptionBase & { return options.member(); }

constexpr NameRow kOptionRows[] = {
#define C_OPTION_PRODUCTS(member, Name, products, canonicalProducts)                                         \
  {Name, C_OPTION_ACCESSOR(member), products, canonicalProducts},
#include "cmdline/ProductOptionNames.def"
};

constexpr NameRow kAliasRows[] = {
#define C_OPTION_ALIAS(Alias, member, Name, products) {Alias, C_OPTION_ACCESSOR(member), products, 0},
#include "cmdline/ProductOptionNames.def"
};

#undef C_OPTION_ACCESSOR

enum class NameKind { allSpellings, canonical };

constexpr bool inTable(const NameRow &row, unsigned productBit, NameKind kind) {
  return ((kind == NameKind::canonical ? row.canonicalProducts : row.products) & productBit) != 0;
}

template <unsigned ProductBit, NameKind Kind> constexpr std::size_t nameCount() {
  std::size_t count = 0;
  for (const NameRow &row : kOptionRows)
    count += inTable(row, ProductBit, Kind) ? 1 : 0;
  if (Kind == NameKind::allSpellings)
    for (const NameRow &row : kAliasRows)
      count += inTable(row, ProductBit, Kind) ? 1 : 0;
  return count;
}

// Byte order of the names, bytes taken as unsigned.
constexpr bool nameBefore(const char *a, const char *b) {
  for (;; ++a, ++b) {
    const auto ca = static_cast<unsigned char>(*a);
    const auto cb = static_cast<unsigned char>(*b);
    if (ca != cb || ca == '\0')
      return ca < cb;
  }
}

template <unsigned ProductBit, NameKind Kind> constexpr auto makeNameTable() {
  std::array<OptionNameEntry, nameCount<ProductBit, Kind>()> table{};
  std::size_t next = 0;
  for (const NameRow &row : kOptionRows)
    if (inTable(row, ProductBit, Kind))
      table[next++] = {row.name, row.accessor};
  if (Kind == NameKind::allSpellings)
    for (const NameRow &row : kAliasRows)
      if (inTable(row, ProductBit, Kind))
        table[next++] = {row.name, row.accessor};
  std::sort(table.begin(), table.end(),
            [](const OptionNameEntry &a, const OptionNameEntry &b) { return nameBefore(a.name, b.name); });
  return table;
}

template <std::size_t N> constexpr bool namesUniqueAndSorted(const std::array<OptionNameEntry, N> &table) {
  for (std::size_t i = 1; i < N; ++i)
    if (!nameBefore(table[i - 1].name, table[i].name))
      return false;
  return true;
}

constexpr auto kLyrppOptionNames = makeNameTable<0x1, NameKind::allSpellings>();
constexpr auto kLyrOptionNames = makeNameTable<0x2, NameKind::allSpellings>();
constexpr auto kKefOptionNames = makeNameTable<0x4, NameKind::allSpellings>();
constexpr auto kDuvOptionNames = makeNameTable<0x8, NameKind::allSpellings>();
constexpr auto kLyrppCanonicalNames = makeNameTable<0x1, NameKind::canonical>();
constexpr auto kLyrCanonicalNames = makeNameTable<0x2, NameKind::canonical>();
constexpr auto kKefCanonicalNames = makeNameTable<0x4, NameKind::canonical>();
constexpr auto kDuvCanonicalNames = makeNameTable<0x8, NameKind::canonical>();

// The look-up bisects the tables: each name once, in byte order.
static_assert(namesUniqueAndSorted(kLyrppOptionNames) && namesUniqueAndSorted(kLyrOptionNames) &&
              namesUniqueAndSorted(kKefOptionNames) && namesUniqueAndSorted(kDuvOptionNames));

template <std::size_t N> constexpr std::int32_t countOf(const std::array<OptionNameEntry, N> &) {
  return static_cast<std::int32_t>(N);
}

unsigned char lowerAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

} // namespace

const ProductRecord ProductTable[5] = {
    {2, "LYRPP", "LYRPPBIN", "LYRPPHELPFILES", "lyrpp", lyrppConfigSections, "lyrpp", "LYRPPOUTPATH", "lyrpp",
     "LYRPPTEMPFILES", kLyrppOptionNames.data(), countOf(kLyrppOptionNames), kLyrppCanonicalNames.data(),
     countOf(kLyrppCanonicalNames)},
    {1, "LYR", "LYRBIN", "LYRHELPFILES", "lyr", lyrConfigSections, "lyr", "LYROUTPATH", "lyr", "LYRTEMPFILES",
     kLyrOptionNames.data(), countOf(kLyrOptionNames), kLyrCanonicalNames.data(),
     countOf(kLyrCanonicalNames)},
    {16, "KEF", "KEFBIN", "KEFHELPFILES", "kef", kefConfigSections, "kef", "KEFOUTPATH", "kef",
     "KEFTEMPFILES", kKefOptionNames.data(), countOf(kKefOptionNames), kKefCanonicalNames.data(),
     countOf(kKefCanonicalNames)},
    // DUV's configuration file has the sections of LYRPP's.
    {4, "DUV", "DUVBIN", "DUVHELPFILES", "duv", lyrppConfigSections, "duv", "DUVOUTPATH", "duv",
     "DUVTEMPFILES", kDuvOptionNames.data(), countOf(kDuvOptionNames), kDuvCanonicalNames.data(),
     countOf(kDuvCanonicalNames)},
    {0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
     0},
};

namespace {

C_ProductPtr &currentProduct() {
  static C_ProductPtr current;
  return current;
}

} // namespace

std::int32_t lookupProduct(const char *word) {
  if (!word)
    return -1;
  char buffer[10] = {};
  std::strncpy(buffer, word, 9);
  for (char &c : buffer)
    if (c == '+')
      c = 'P';
  std::int32_t index = 0;
  for (; index < 4; ++index)
    if (U_equalNoCase(buffer, ProductTable[index].name))
      break;
  return ProductTable[index].id != 0 ? index : -1;
}

C_Product::C_Product(const char *word) : m_name(word ? word : ""), m_index(lookupProduct(word)) {
  if (isValid())
    currentProduct() = std::make_shared<C_Product>(*this);
}

C_Product *C_currentProduct() { return currentProduct().get(); }

const C_Product &C_requireCurrentProduct() {
  const C_Product *product = C_currentProduct();
  U_ASSERT_THROW(product != nullptr);
  return *product;
}

C_OptionBase *findOptionByPrefix(C_CmdArgs &args, const char *text, std::int32_t &matchedLength,
                                 const OptionNameEntry *table, std::int32_t count) {
  matchedLength = 0;
  if (!text || !table || count <= 0 || !args.options())
    return nullptr;
  // Every name begins with a lower-case letter: only names with the text's
  // first letter can match.
  const unsigned char first = lowerAscii(static_cast<unsigned char>(text[0]));
  const OptionNameEntry *end = table + count;
  const OptionNameEntry *low = std::partition_point(table, end, [first](const OptionNameEntry &e) {
    return static_cast<unsigned char>(e.name[0]) < first;
  });
  const OptionNameEntry *high = std::partition_point(
      low, end, [first](const OptionNameEntry &e) { return static_cast<unsigned char>(e.name[0]) <= first; });
  const OptionNameEntry *found = nullptr;
  for (const OptionNameEntry *entry = low; entry != high; ++entry) {
    const auto length = static_cast<std::int32_t>(std::strlen(entry->name));
    if (length > matchedLength && U_strnicmp(text, entry->name, static_cast<std::size_t>(length)) == 0) {
      matchedLength = length;
      found = entry;
    }
  }
  if (!found)
    return nullptr;
  // The tables reach options through the const accessors; the option set
  // itself belongs to args and may be changed.
  return const_cast<C_OptionBase *>(&found->accessor(*args.options()));
}
