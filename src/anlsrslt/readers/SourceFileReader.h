// The frame of reading one input file: the per-source step with its debug
// log, the record-file reader that hands each record line to the handlers of
// its tag, and the listeners called once at the end of the run.
//
// Every list here is walked in registration order and holds each function
// once: registering a function again changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class P_Source;
class QL_Filename;
class SymbolTable;

using P_SourceListener = void (*)(const P_Source *source);
using P_SourceCallback = void (*)();
using P_RecordHandler = void (*)(const std::string &line);
using P_RunEndListener = void (*)();

// Adds a per-source listener; addSourceFile calls it for every input file.
void registerSourceListener(P_SourceListener listener);

// A list of callbacks without arguments beside the per-source listeners,
// called by notifySourceCallbacks alone.
void registerSourceCallback(P_SourceCallback callback);
void notifySourceCallbacks();

// Switches the source log on when the debug words hold "log" and a value
// "log-file=" followed by a path (the first such value names the file, which
// is emptied). When that file cannot be opened the log stays off, silently.
void initSourceLog();
// Closes the source log when it is open.
void closeSourceLog();

// The per-source step for input file number (from 1) of count: writes the
// log line "File: <number>/<count> Name: <name>" when the log is on, then
// gives the file's P_Source to every per-source listener (which the run keeps
// until it ends). Gives 0 when listeners were called, 2 when none is
// registered.
int addSourceFile(std::uint32_t number, std::uint32_t count, const QL_Filename &file);

// Adds the handler to those of the tag (the text between "<" and ">",
// compared byte for byte).
void registerRecordHandler(const char *tag, P_RecordHandler handler);

// Reads the record file of the file in the output directory (the file's last
// path component with ".met" added), also when no handler is registered:
// makes the symbol table the DEFINE handler's, empties its translation-unit
// map and hands each record line, in file order, to every handler of its tag;
// a tag without handlers is passed over. Gives 0. Throws P_FileOpenException
// with the record file's identity, before anything else, when it cannot be
// opened.
int readMetricFile(const QL_Filename &outputDirectory, const QL_Filename &file, SymbolTable &symbols);

// The record file being read and the line number in it of the record being
// handled (counting every line from 1); empty and 0 outside readMetricFile.
const std::string &P_currentRecordFile();
std::size_t P_currentRecordLine();
// Writes "<record file>:<line>: malformed <tag> record skipped" on standard
// output: the debug report of a record line that a handler could not read.
void P_reportSkippedRecord(const char *tag);

// Adds an end-of-run listener.
void registerRunEndListener(P_RunEndListener listener);
// Whether the function is an end-of-run listener.
bool isRunEndListener(P_RunEndListener listener);

// Makes the symbol table the DEFINE handler's and calls every end-of-run
// listener, in registration order, except that the DEFINE end-of-run
// listeners always come last: the module's own end-of-run checks run before
// the name checker and the include-placement check, whatever the order in
// which they registered.
void notifyRunEndListeners(SymbolTable &symbols);
