// The driver's receiver of the command-line words that are not options: it
// takes each of them as an input file.
#pragma once

#include "cmdline/OrphanHandler.h"
#include "foundation/FileIdentity.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// Collects the input files, each with the directory that holds its result
// files, distinct by canonical name and in the order first met.
class C_OrphanFileHandler : public C_OrphanHandler {
public:
  using FileMap = std::map<QL_Filename, std::string>;

  C_OrphanFileHandler() = default;
  C_OrphanFileHandler(const C_OrphanFileHandler &) = delete;
  C_OrphanFileHandler &operator=(const C_OrphanFileHandler &) = delete;
  ~C_OrphanFileHandler() override = default;

  // Names the word's file for the run and records it with the output
  // directory that holds at this point of the parse; a file already recorded
  // keeps its first directory and place.
  void handle(C_CmdArgs &args, const std::string &word) override;
  bool isEmpty() const override { return m_files.empty(); }

  // The number of distinct files.
  std::size_t count() const { return m_firstSeen.size(); }
  // The files in the order first met.
  const std::vector<FileMap::const_iterator> &firstSeen() const { return m_firstSeen; }

private:
  FileMap m_files;
  std::vector<FileMap::const_iterator> m_firstSeen;
};
