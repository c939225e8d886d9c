// The product configuration file: sections of positional values up to the
// "options" line, after which the file holds option words. Also the line
// reading and expansion that the rc and settings files share with it.
#pragma once

#include "foundation/EncodingKind.h"
#include "foundation/FileTranslator.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Size of the line buffers of the configuration, rc and settings files: a
// line is read and expanded into at most ConfigLineSize - 1 characters.
inline constexpr std::size_t ConfigLineSize = 1024;

// Kinds of the rows of a configuration section table.
enum ConfigRowKind : std::int32_t {
  crkEnd = -1,       // ends the table
  crkSection = 0,    // an ordinary section
  crkText = 1,       // one text
  crkNumber = 2,     // one number
  crkTextList = 3,   // a list of texts with a fixed number of entries
  crkNumberList = 4, // a list of numbers with a fixed number of entries
  crkOptions = 5,    // the section "options": option words follow it
};

// A product's section table is an array of these rows. A section row is followed by the
// value slots of its section; a row of kind crkEnd ends the table.
struct ConfigSectionTable {
  std::int32_t kind;
  const char *name;      // section rows: the section's name
  std::string *texts;    // text slots: the text, or the first of count entries
  std::int32_t *numbers; // number slots: the number, or the first of count entries
  std::int32_t count;    // entries of a list slot; 1 for a single value
};

// The section tables of the products. DUV's configuration file has the
// sections of LYRPP's and is read with its table.
extern const ConfigSectionTable lyrppConfigSections[];
extern const ConfigSectionTable lyrConfigSections[];
extern const ConfigSectionTable kefConfigSections[];

// Reads one logical line of at most size - 1 characters into buffer. While
// the text ends with a backslash and a newline, the next line of the file (at
// most ConfigLineSize - 1 characters of it) takes the place of those two
// characters; the joined text is cut to size - 1 characters. A backslash and
// newline at the very end of the file are dropped, and so is a backslash that
// is the file's last byte. A NUL byte ends the text of its line: the rest of
// the line is passed over, its newline kept. Null at the end of the file;
// size must be at least 2.
char *readConfigLine(char *buffer, std::size_t size, std::FILE *file);

// The line expanded up to its end mark (its first newline when newlineEnds,
// else its end), at most ConfigLineSize - 1 characters:
// - with substitute: "$$" gives "$"; "${NAME}" and "$NAME" (letters, digits
//   and "_") give the value of that environment variable (in the internal
//   encoding), or nothing when it is unset; a "$" followed by neither gives nothing; a "${" without its "}"
//   is reported on standard output and the rest of the line is dropped;
// - with escapes: a backslash followed by n gives a newline, by t a tab, by
//   any other character that character.
std::string expandConfigText(const std::string &line, bool newlineEnds, bool substitute, bool escapes);
// The same expansion in place, on a NUL-terminated line in a buffer of size
// bytes; the result is cut to size - 1 characters.
void expandConfigLine(char *line, std::size_t size, bool newlineEnds, bool substitute, bool escapes);

// The section that a "#" line opens: the first section row whose name equals
// the beginning of the word after "#" (letters and digits), ASCII letter case
// ignored. Returns the first slot after that row and makes the list counter
// 0; continueReading becomes false for the "options" section and true for
// any other. An unknown section is reported on standard output and gives
// null, so that its values are passed over.
const ConfigSectionTable *findConfigSection(const char *line, const ConfigSectionTable *table,
                                            bool &continueReading);

// Stores a value line (as read, with its newline) into the current slot and
// moves the slot on; a full list moves on to the next slot. Numbers are read
// as a decimal int at the start of the line; a line without one, or with one
// that does not fit, leaves the slot as it was. Without a slot nothing
// happens; a slot that is no value slot reports the line on standard output
// and stays.
void storeConfigValue(const char *line, const ConfigSectionTable *&slot, bool substitute);

// Reads the sections of an open configuration file into the table's slots,
// up to and including the "options" line. Returns true when it stopped there,
// false at the end of the file.
bool readConfigSections(std::FILE *file, const ConfigSectionTable *table, bool substitute);

// Reads the product's configuration file productWord.cfg in the installation
// directory binDir (the raw value of the installation variable, in the
// encoding kind; null counts as empty) through a translator of that kind and
// temporary directory: its sections go into the table's slots. Returns the
// translator with the file open just after the "options" line (or at its
// end), so that the option words after it can be read on. When the file
// cannot be opened, says so on standard error and returns an empty handle.
QL_FileTranslatorPtr readProductConfigFile(QL_EncodingKind kind, const std::string &tempDir,
                                           const char *binDir, const std::string &productWord,
                                           const ConfigSectionTable *table, bool substitute);
