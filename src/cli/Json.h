#pragma once

#include <string>
#include <string_view>

namespace vexo {

// A JSON string literal for UTF-8 text. Bytes that are not UTF-8 (a file name may hold any)
// are written as U+FFFD, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// Whether the text is well-formed UTF-8.
bool validUtf8(std::string_view text);

} // namespace vexo
