#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <optional>

namespace vexo {

// The welcome page's two links in its contact text: the maker's e-mail address and web address.
extern const std::array<QString, 2> kContactLinks;

// The contact text as rich text laid out at `width`, with its links (href "0" and "1") in the
// link colour, each underlined where `underlined` says: the e-mail address a blank after the
// first paragraph's last word, the web address in the middle of the second line's gap of blanks.
// Without `underlined`, or without a line break and a gap, the text as it stands, blanks and all.
QString contactHtml(const QString& text, const QFont& font, int width,
                    const std::optional<std::array<bool, 2>>& underlined);

} // namespace vexo
