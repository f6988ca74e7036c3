#pragma once

#include <string>
#include <string_view>

namespace vexo {

// Line break inside message texts and multi-line captions: a single carriage return.
inline constexpr char CR = '\r';

// The last component of a path; both '/' and '\\' separate components.
std::string Strip_Path(std::string_view path);

// The text with each carriage return (and CR LF pair) turned into '\n', for terminals.
std::string crToNewline(std::string_view text);

} // namespace vexo
