// Queries on the type texts of defines that denote arrays: "[" dimension ","
// element type "]", for instance "[10,ni]" or "[3,[4,ni]]"; a dimension
// written as a text beginning with '0' or '?' means an array without one.
#pragma once

#include <cstdint>

// Whether the type is an array type (it begins with '['). An empty (or null)
// type, or an array type of fewer than five characters, is a failed
// assertion that ends the process.
bool P_isTypeArray(const char *type);
// Whether the array type has no dimension. The type must be an array type.
bool P_isUndimArray(const char *type);
// The interned element type: the text after the first ',' up to the last ']'
// (the start or the end of the text where there is none); empty when the last
// ']' stands before the first ','. The type must be an array type.
const char *P_typeArrayElement(const char *type);
// The outer dimension: the number at the start of the text after the '['; 0
// when it is negative or none. The type must be an array type with a
// dimension.
std::uint32_t P_typeArrayDimension(const char *type);
