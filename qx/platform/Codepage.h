// Code page 1252 <-> UTF-8, for the boundaries where text leaves the process as Unicode
// (a terminal, a toolkit).
#pragma once

#include <string>
#include <string_view>

namespace qx::platform {
// Every byte maps to one code point; the five bytes that code page 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
std::string Cp1252ToUtf8(std::string_view text);
// Code points without a 1252 byte become '?'; malformed UTF-8 bytes become '?'.
std::string Utf8ToCp1252(std::string_view text);
}  // namespace qx::platform
