#pragma once

#include "browser/ResultBrowser.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace vexo {

// The browser's Scores chart drawn: one bar per record or repeated run, labelled "#. name",
// with the repeated run's whisker and the baseline's line. What a bar says stands whole in a
// column of its own beside the bars, wrapped onto more lines where the chart is narrow (the
// bars give way down to a minimum), and as its tool tip.
class ScoresChart final : public QWidget {
public:
    explicit ScoresChart(const ResultBrowser& browser, QWidget* parent = nullptr);

    // The browser's chart changed.
    void refresh();

    // The bars as shown since the last refresh.
    const std::vector<ScoreBar>& bars() const { return m_shown.bars; }
    // The bar drawn at a point, if any.
    std::optional<std::size_t> barAt(QPoint point) const;
    // The rectangle of a bar's row (label, bar and text).
    QRect barRow(std::size_t bar) const;
    // Where a bar's text stands, and where the bars, their whiskers and the baseline's line
    // are drawn: never over a text.
    QRect textRect(std::size_t bar) const;
    QRect barArea() const;
    // What the chart shows: the score column, and the baseline's record when one is chosen.
    QString caption() const { return QString::fromStdString(m_shown.caption); }
    // Asked for the context menu at a point of the screen, with the first Scores list row of the
    // bar there (nothing: no bar).
    std::function<void(QPoint, std::optional<std::size_t>)> onMenu;

    QSize sizeHint() const override;
    // As tall as every bar at the chart's width: in a scroll area, the bars that do not fit
    // are scrolled to.
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Where each part stands at a width: the caption's height, the label, bar and text
    // columns, and the top of every row (a row is as tall as its wrapped label and text).
    struct Shape {
        int width = -1;
        int header = 0;
        int labelWidth = 0;
        int barLeft = 0;
        int barSpace = 0;
        int textLeft = 0;
        int textWidth = 0;
        int barHeight = 0;
        std::vector<int> rowTops; // one more than the bars: the last is the rows' bottom
    };
    Shape shapeFor(int width) const;
    // The shape at the present width, worked out again when the width or the bars change.
    const Shape& shape() const;
    // The bars, their texts or the caption changed: the layout, the scroll area and assistive
    // tools follow.
    void changed();

    const ResultBrowser& m_browser;
    ScoresChartModel m_shown;
    mutable Shape m_shape;
};

} // namespace vexo
