// A small reader of Windows-style ini files: "[section]" lines and
// "key=value" lines, ";" comment lines.
#pragma once

#include <cstddef>
#include <string>

// Longest value U_readIniValue gives; longer values are cut.
inline constexpr std::size_t U_iniValueMaxLength = 99;

// The value of key in section of the ini file at path: the first such key
// under a matching section, section and key compared ignoring ASCII letter
// case, the value with surrounding blanks removed and cut at
// U_iniValueMaxLength characters. "" when the file, the section or the key is
// missing.
std::string U_readIniValue(const std::string &path, const std::string &section, const std::string &key);
