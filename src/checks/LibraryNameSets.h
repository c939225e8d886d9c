// The process-wide sets of names of the C and C++ languages and their
// standard libraries. Each set is empty until buildLibraryNameSets fills it at
// start-up and does not change afterwards. Members are in byte order.
#pragma once

#include <set>
#include <string>

using LibraryNameSet = std::set<std::string>;

// Empties each set and fills it with its names; a second call leaves the same
// members.
void buildLibraryNameSets();

const LibraryNameSet &cStandardHeaders();     // the standard C headers
const LibraryNameSet &cLibraryNames();        // the standard C library's functions, va_ macros and type
const LibraryNameSet &cppStandardHeaders();   // the standard C++ headers together with the C headers
const LibraryNameSet &predefinedMacroNames(); // predefined macros and the operator "defined"
const LibraryNameSet &cKeywords();            // the keywords of C
const LibraryNameSet &cppKeywords();          // the keywords of C++
const LibraryNameSet &cppLibraryNames();     // the standard C++ library's functions, objects and manipulators
const LibraryNameSet &cLibraryMacroNames();  // the standard C library's macros and constants
const LibraryNameSet &standardObjectNames(); // the standard stream objects, errno and nothrow
// Library functions in the record file's encoded form: name(return type,parameter types)
const LibraryNameSet &cLibrarySignatures();
const LibraryNameSet &directiveNames(); // the preprocessor directive names
