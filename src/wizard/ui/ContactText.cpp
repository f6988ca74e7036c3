#include "ContactText.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace vexo {

const std::array<QString, 2> kContactLinks{QStringLiteral("support@kestrovia.example"),
                                           QStringLiteral("kestrovia.example")};

// Each address starts on a whole pixel, where its glyphs are drawn as crisply as those at a
// line's start: the blank before it is widened or narrowed to that pixel.
QString contactHtml(const QString& text, const QFont& font, int width,
                    const std::optional<std::array<bool, 2>>& underlined) {
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const qsizetype gapStart = lineEnd < 0 ? -1 : text.indexOf(QStringLiteral("  "), lineEnd);
    if (!underlined || gapStart < 0)
        return QStringLiteral("<span style=\"white-space:pre-wrap\">%1</span>")
            .arg(text.toHtmlEscaped());
    qsizetype gapEnd = gapStart;
    while (gapEnd < text.size() && text[gapEnd] == QLatin1Char(' '))
        ++gapEnd;
    // Where the first paragraph ends, laid out at the label's width.
    QTextLayout first(text.left(lineEnd), font);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WordWrap);
    first.setTextOption(wrap);
    first.beginLayout();
    QTextLine last;
    for (QTextLine line = first.createLine(); line.isValid(); line = first.createLine()) {
        line.setLineWidth(width);
        last = line;
    }
    first.endLayout();
    const qreal firstEnd = last.isValid() ? last.cursorToX(static_cast<int>(lineEnd)) : 0;
    const QFontMetricsF metrics(font);
    const int blank = QFontMetrics(font).horizontalAdvance(QLatin1Char(' '));
    const qreal gapLeft = metrics.horizontalAdvance(text.mid(lineEnd + 1, gapStart - lineEnd - 1));
    const qreal gapRight = metrics.horizontalAdvance(text.mid(lineEnd + 1, gapEnd - lineEnd - 1));
    // The web address, with a pixel to spare either side, centred in the gap less a blank at
    // each end.
    const int room = static_cast<int>(gapRight) - static_cast<int>(gapLeft) - 2 * blank;
    const int webWidth = QFontMetrics(font).horizontalAdvance(kContactLinks[1]) + 2;
    const int webLeft = static_cast<int>(gapLeft) + blank + std::max(0, (room - webWidth) / 2);
    // A blank widened or narrowed so that what follows it starts at `x`, but never narrower than
    // half a blank, where an address fills its room.
    auto blankTo = [&](qreal from, qreal x) {
        const qreal space = metrics.horizontalAdvance(QLatin1Char(' '));
        const qreal spacing = std::max(x - from, space / 2) - space;
        return QStringLiteral("<span style=\"word-spacing:%1px\"> </span>")
            .arg(spacing, 0, 'g', 17);
    };
    auto link = [&](std::size_t i) {
        return QStringLiteral("<a href=\"%1\" style=\"color:#ff9a3c; text-decoration:%2\">%3</a>")
            .arg(i)
            .arg((*underlined)[i] ? QStringLiteral("underline") : QStringLiteral("none"),
                 kContactLinks[i]);
    };
    return text.left(lineEnd).toHtmlEscaped() + blankTo(firstEnd, std::floor(firstEnd) + blank) +
           link(0) + QStringLiteral("<br>") +
           text.mid(lineEnd + 1, gapStart - lineEnd - 1).toHtmlEscaped() +
           blankTo(gapLeft, webLeft) + link(1) +
           blankTo(webLeft + metrics.horizontalAdvance(kContactLinks[1]), gapRight) +
           text.mid(gapEnd).toHtmlEscaped();
}

} // namespace vexo
