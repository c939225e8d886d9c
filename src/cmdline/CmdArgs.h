// The argument set of a run and the process-wide current argument set.
#pragma once

#include "cmdline/Options.h"
#include "cmdline/Product.h"
#include "foundation/Ref.h"

#include <string>
#include <vector>

class C_OrphanHandler;

class C_CmdArgs : public U_Ref {
public:
  // Builds the product from the word (a valid one becomes the current
  // product). With a valid product the set gets an option set with its
  // defaults and the words; otherwise it has neither.
  C_CmdArgs(const char *productWord, int count, const char *const *words);
  // Copies the product (the current product stays as it is), the words and
  // the read state, and gives the copy its own copy of the option set.
  C_CmdArgs(const C_CmdArgs &other);
  C_CmdArgs &operator=(const C_CmdArgs &) = delete;
  ~C_CmdArgs() override = default;

  const C_Product &product() const { return m_product; }
  // Null when the product is not valid.
  C_Options *options() const { return m_options.pointer(); }
  const std::vector<std::string> &words() const { return m_words; }

  // Appends count words (none when count is below 1).
  void addWords(int count, const char *const *words);

  // Reads the option words of the run into the options, once; later calls do
  // nothing. The sources, from first to last read: the words after the
  // "options" line of the product's configuration file, the rc file, the
  // command-line words; settings files named by "via" and "list" are read
  // where they are named. Later words prevail. Every word that is not an
  // option goes to the handler. The product must be valid. Configuration
  // errors that the error options make fatal, and the failures of the
  // temporary-directory search and the file translation, pass to the caller;
  // then the sources count as not read.
  void parseSources(C_OrphanHandler &handler);
  // Whether parseSources has read all sources.
  bool sourcesRead() const { return m_sourcesRead; }

  // Whether the argument set's "debug" option holds the word.
  static bool hasDebugFlag(const U_RefPtr<C_CmdArgs> &args, const char *word);

private:
  C_Product m_product;
  std::vector<std::string> m_words;
  U_RefPtr<C_Options> m_options;
  bool m_sourcesRead = false;
};

// Makes a copy of the argument set the current one.
void C_setCurrentCmdArgs(const C_CmdArgs &args);
// The current argument set; null while none has been made current.
C_CmdArgs *C_currentCmdArgs();
