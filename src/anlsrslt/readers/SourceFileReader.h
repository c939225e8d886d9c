// Reading the record file of each input file, the source log and the
// listeners called at the end of the run.
#pragma once

#include <cstdint>

class QL_Filename;
class SymbolTable;

// Sets up the source log of the run; there is no log yet.
void initSourceLog();
// Flushes the source log; there is no log yet.
void closeSourceLog();

// Makes the model's source record of the file numbered from 1 of total and
// tells the per-source listeners. Gives 2 while no listener is registered,
// which is always so for now.
int addSourceFile(std::int32_t number, std::int32_t total, const QL_Filename &file);

// Reads the record file of the file in the output directory: the file's last
// path component with ".met" added. Throws P_FileOpenException with the
// record file's identity when it cannot be opened. No record handler is
// registered yet, so the lines are read and passed over.
int readMetricFile(const QL_Filename &outputDirectory, const QL_Filename &file, SymbolTable &symbols);

// Calls the end-of-run listeners in registration order; none is registered yet.
void notifyRunEndListeners(SymbolTable &symbols);
