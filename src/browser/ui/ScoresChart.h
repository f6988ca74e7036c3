#pragma once

#include "browser/ResultBrowser.h"
#include "browser/ScoreBars.h"

#include <QWidget>
#include <optional>

namespace vexo {

// One bar per record for a score column of the Scores list, in the list's order, labelled
// "#. name", so that scores can be compared by eye. The records of a repeated run make one bar
// at their median with a whisker from their lowest to their highest value. With a baseline
// record chosen (the context menu's "Use as baseline"), every bar also says its percentage of
// the baseline's score. What a bar says stands whole in a column of its own beside the bars,
// wrapped onto more lines where the chart is narrow (the bars give way down to a minimum), and
// as its tool tip.
class ScoresChart final : public QWidget {
public:
    explicit ScoresChart(const ResultBrowser& browser, QWidget* parent = nullptr);

    // A column of the Scores list (3 to 10).
    void setColumn(std::size_t column);
    std::size_t column() const { return m_column; }
    // The browser's rows changed.
    void refresh();

    // The record of a Scores list row as it is now, and the baseline (nothing: none).
    std::optional<BaselineRecord> recordOf(std::optional<std::size_t> row) const;
    void setBaseline(std::optional<BaselineRecord> record);
    const std::optional<BaselineRecord>& baseline() const { return m_baseline; }
    // The bars as last worked out (on a new column, baseline or refresh).
    const std::vector<ScoreBar>& bars() const { return m_bars; }
    // The bar drawn at a point, if any.
    std::optional<std::size_t> barAt(QPoint point) const;
    // The rectangle of a bar's row (label, bar and text).
    QRect barRow(std::size_t bar) const;
    // Where a bar's text stands, and where the bars, their whiskers and the baseline's line
    // are drawn: never over a text.
    QRect textRect(std::size_t bar) const;
    QRect barArea() const;
    // What the chart shows: the score column, and the baseline's record when one is chosen.
    QString caption() const;

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
    void workOutBars();
    // The bars, their texts or the caption changed: the layout, the scroll area and assistive
    // tools follow.
    void changed();

    const ResultBrowser& m_browser;
    std::size_t m_column = 3;
    std::optional<BaselineRecord> m_baseline;
    std::vector<ScoreBar> m_bars;
    std::size_t m_duplicates = 0; // records the bars leave out as a run given again
    mutable Shape m_shape;
};

// What a bar says beside it: its score, the range of a repeated run, its percentage.
QString scoreBarText(const ScoreBar& bar);

// The chart's context menu, for the chart and for the Scores list: "Use as baseline" for the
// record of the row under the pointer (disabled without one), "Clear baseline" (disabled
// without a baseline). The record is named when the menu opens, so rows that change while it
// is open cannot turn the choice onto another record.
void showBaselineMenu(ScoresChart& chart, QWidget* parent, QPoint globalPosition,
                      std::optional<std::size_t> row);

} // namespace vexo
