#pragma once

#include <string>
#include <string_view>

namespace vexo {

// Line break inside message texts and multi-line captions: a single carriage return.
inline constexpr char CR = '\r';

// The last component of a path; both '/' and '\\' separate components.
std::string Strip_Path(std::string_view path);

// Compares texts character by character as a list view sorts them: letters without regard to
// case, everything else by its code ("10" before "9"). Negative, zero or positive.
int compareText(std::string_view a, std::string_view b);

// The text with each carriage return (and CR LF pair) turned into '\n', for terminals.
std::string crToNewline(std::string_view text);

} // namespace vexo
