// The products that the module serves with the option names that each accepts,
// the product of an argument set and the process-wide current product.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class C_CmdArgs;
class C_OptionBase;
class C_Options;
struct ConfigSectionTable;

// One name of an option: its option's member in an option set.
struct OptionNameEntry {
  const char *name; // all in lower case
  const C_OptionBase &(*accessor)(const C_Options &options);
};

// The constant description of one product.
struct ProductRecord {
  std::int32_t id;                          // 0 marks the terminating record
  const char *name;                         // product name in capitals: "LYR"
  const char *binVariable;                  // installation directory: "LYRBIN"
  const char *helpFilesVariable;            // "LYRHELPFILES"
  const char *configName;                   // base name of the configuration file: "lyr"
  const ConfigSectionTable *configSections; // the sections of the configuration file
  const char *rcName;                       // rc-file name is "." rcName "rc"
  const char *outPathVariable;              // "LYROUTPATH"
  const char *productWord;                  // the lower-case product word once more
  const char *tempFilesVariable;            // "LYRTEMPFILES"
  // Every name the product accepts: its options' own names and its short
  // aliases, in ascending byte order.
  const OptionNameEntry *optionNames;
  std::int32_t optionNameCount;
  // The options that the settings listing shows, under their own names, in
  // ascending byte order.
  const OptionNameEntry *canonicalNames;
  std::int32_t canonicalNameCount;
};

// The four products and a terminating record; a product's index here is its
// product index everywhere.
extern const ProductRecord ProductTable[5];

// The index of the product that a word names (at most its first 9 characters
// count, "+" reads as "P", letter case ignored), or -1.
std::int32_t lookupProduct(const char *word);

// A product word with its product index (-1 when it names no product).
class C_Product {
public:
  // Building a valid product makes a copy of it the current product.
  explicit C_Product(const char *word);
  C_Product(const C_Product &) = default;
  C_Product &operator=(const C_Product &) = default;

  const std::string &name() const { return m_name; }
  std::int32_t index() const { return m_index; }
  bool isValid() const { return m_index != -1; }

private:
  std::string m_name;
  std::int32_t m_index;
};

// The option of the argument set whose name in the table is the longest prefix
// of the text, ASCII letter case ignored; matchedLength receives that name's
// length (0 when there is none, and then the result is null).
C_OptionBase *findOptionByPrefix(C_CmdArgs &args, const char *text, std::int32_t &matchedLength,
                                 const OptionNameEntry *table, std::int32_t count);

using C_ProductPtr = std::shared_ptr<C_Product>;

// The current product: a copy of the last valid product built from a word;
// null before the first one.
C_Product *C_currentProduct();
// The current product where one must exist: a failed check (thrown) when none
// has been built yet.
const C_Product &C_requireCurrentProduct();
