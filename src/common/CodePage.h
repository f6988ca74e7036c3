#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexo {

// Benchmark files hold one byte per character in Windows-1252; the program works in UTF-8.

// The character written in place of one a file cannot hold.
inline constexpr char kSubstitute = '?';

// UTF-8 to Windows-1252. Characters outside Windows-1252, codes below 31 and malformed UTF-8
// become the substitute, so every byte written is one the format can encode.
std::string toFileBytes(std::string_view utf8);

// How many characters toFileBytes replaces by the substitute.
std::size_t substitutedCharacters(std::string_view utf8);

// Appends a Unicode character in UTF-8.
void appendUtf8(std::string& out, char32_t c);

// The Unicode character of a Windows-1252 byte.
char32_t fromWindows1252(unsigned char byte);

// Windows-1252 to UTF-8. The five bytes Windows-1252 leaves undefined map to the control
// characters of the same code, as Windows does, so they survive a round trip.
std::string fromFileBytes(std::string_view bytes);

// ASCII and Latin-1 capitals to small letters, in UTF-8.
std::string lowerCase(std::string_view utf8);

} // namespace vexo
