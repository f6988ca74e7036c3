#pragma once

#include <string>
#include <string_view>

namespace vexo {

// Line break inside message texts and multi-line captions: a single carriage return.
inline constexpr char CR = '\r';

// The last component of a path. Only '/' separates folders: a backslash is an ordinary
// character of a file name.
std::string Strip_Path(std::string_view path);

// Compares texts character by character as a list view sorts them: letters without regard to
// case, everything else by its code ("10" before "9"). Negative, zero or positive.
int compareText(std::string_view a, std::string_view b);

// A number with a fixed count of decimals and a point before them, whatever the locale
// ("98.0", not "98,0"): the program's pages and terminal texts are English.
std::string decimalText(double value, int decimals);

// The text with each carriage return (and CR LF pair) turned into '\n', for terminals.
std::string crToNewline(std::string_view text);

// Outside text (window titles, record names, file names, values read from files) made safe to
// write to a terminal: nothing in it can move the cursor, retitle or clear the terminal, or
// break the line. Valid UTF-8 printable text is unchanged; control characters are shown as
// `cat -v` shows them: C0 controls (tab and line ends included) as ^@ to ^_, DEL as ^?, C1
// controls (U+0080 to U+009F) as M-^@ to M-^_; every byte that is not part of valid UTF-8
// (a bare 0x9B, a cut sequence, an overlong form, a surrogate) as \xHH.
std::string terminalText(std::string_view utf8OrBytes);

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when there is none.
std::size_t validSequence(std::string_view text);
// Whether the text is well-formed UTF-8.
bool validUtf8(std::string_view text);

// The entity that stands for c in HTML text and attribute values (&, <, > and "), or null
// where c stands for itself.
const char* htmlEntity(char c);

} // namespace vexo
