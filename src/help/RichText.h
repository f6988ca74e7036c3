#pragma once

#include <string>
#include <string_view>

namespace vexo {

// Reads the rich-text format our help documents are written in and gives the document as HTML
// for a text browser: paragraphs with their alignment, line breaks and tabs; bold, italic and
// underlined text, font sizes and colours from the colour table; Windows-1252 (\'hh) and Unicode
// (\uN) characters and the escaped \{ \} \\. Font tables, style sheets, document information
// and \* destinations are skipped, and anything else is ignored without harm. Reading is linear
// in the text's size, whatever it holds: unbalanced braces, deep nesting, long control words.
std::string richTextToHtml(std::string_view rtf);

} // namespace vexo
