// The "DEFINE" records of a record file: the parser of a line, the handler
// that files each define into the template table and then the symbol table,
// and the DEFINE listener lists.
//
// A record line is "<DEFINE>" followed by blank-separated fields: the
// encoded name, the file, the line, the inclusion letter ('I' for an included
// file), the kind code ("DC", "DF", ...), the name-space code ("TG", "OF",
// ...), the scope letter, the linkage letter, the type and the flag letters.
// Registering any DEFINE listener switches on the reading of these records.
#pragma once

#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/Symbol.h"
#include "anlsrslt/readers/SourceFileReader.h"

#include <cstdint>
#include <string>

class SymbolTable;

// Called with the symbol a define was filed into and the define.
using P_DefineListener = void (*)(P_Symbol *symbol, P_Define *define);
// Called with a define the template table kept to itself, or a "DX" define.
using P_TemplateDefineListener = void (*)(P_Define *define);

// The symbol table that the handler files defines into; the record-file
// reader sets it before each file and before the end-of-run listeners.
void setSymbolTableContext(SymbolTable *symbols);
// The symbol table last set; null before the first.
SymbolTable *symbolTableContext();

// The symbol of the name (interned, marked) in the current translation unit
// of that table: what the DEFINE handler filed from the record file being
// read, before the line that asks. Null when there is none, or no table.
P_Symbol *P_findRecordSymbol(const char *name);

// Parses one whole "DEFINE" line (tag included). Everything up to the type
// must be there and readable: the line a number from 0 that fits 32 bits,
// the kind code two characters beginning with 'D', the name-space code two
// characters. Otherwise the line gives an unset handle and no define. The
// flag word may be missing; anything after it is not read.
DefinePtr readDefineLine(const std::string &line);

// The record handler of tag "DEFINE". A line that gives no define is skipped;
// with the debug word "show-symbol-errors" that is reported on standard
// output with the record file and line number. While no DEFINE listener of
// any list is registered the define is dropped. Otherwise the template table
// files it and gives the defines for the symbol table; each of those is filed
// there and its result code calls the listeners of that code; then, when the
// template table gave none or the define is a "DX", the template-define
// listeners get the define.
void handleDefineRecord(const std::string &line);

// Adds a function to the DEFINE end-of-run list (once), switches on DEFINE
// reading and makes notifyDefineRunEndListeners an end-of-run listener.
void registerDefineRunEndListener(P_RunEndListener listener);
// Add a listener (once) for result code 0 (a new symbol), 2 (a declaration
// joined the program-wide symbol) or 4 (a definition), and switch on DEFINE
// reading.
void registerNewSymbolListener(P_DefineListener listener);
void registerExistingSymbolListener(P_DefineListener listener);
void registerDefinitionListener(P_DefineListener listener);
// Appends a template-define listener, also when it is there already (it is
// then called once per registration), and switches on DEFINE reading.
void registerTemplateDefineListener(P_TemplateDefineListener listener);

// Calls the DEFINE end-of-run list in registration order.
void notifyDefineRunEndListeners();
// Calls the listeners of the result code with the symbol and the define:
// codes 0, 2 and 4 (asserting that the symbol is set); other codes call none.
void notifyDefineListeners(const U_RefPtr<P_Symbol> &symbol, const DefinePtr &define, std::uint32_t code);
// Calls every template-define listener with the define.
void notifyTemplateDefineListeners(const DefinePtr &define);

// The linkage of a linkage letter: 'I' internal (0), 'X' external (1), 'N'
// none (2), '-' 3; any other letter internal.
std::uint8_t linkageFromLetter(char letter);
