#include "ScoresChart.h"

#include "ScoresChartAccessible.h"
#include "benchfile/Comparison.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace vexo {

namespace {
constexpr int kRowHeight = 20;
constexpr int kHeader = 26;
constexpr int kLabelWidth = 180;

} // namespace

ScoresChart::ScoresChart(const ResultBrowser& browser, QWidget* parent)
    : QWidget(parent)
    , m_browser(browser) {
    setObjectName(QStringLiteral("ScoresChart"));
    setAutoFillBackground(true);
    installScoresChartAccessibility();
    workOutBars();
}

void ScoresChart::setColumn(std::size_t column) {
    if (column < 3 || column > 10 || column == m_column)
        return;
    m_column = column;
    workOutBars();
    update();
}

void ScoresChart::refresh() {
    workOutBars();
    // A baseline whose record was removed (or renumbered into another) ends.
    if (m_baseline && std::none_of(m_bars.begin(), m_bars.end(),
                                   [](const ScoreBar& b) { return b.isBaseline; })) {
        m_baseline.reset();
        workOutBars();
    }
    updateGeometry();
    resize(width(), sizeHint().height());
    update();
}

std::optional<BaselineRecord> ScoresChart::recordOf(std::optional<std::size_t> row) const {
    if (!row || *row >= m_browser.rowCount())
        return std::nullopt;
    return m_browser.recordAt(BrowserMode::Scores, *row);
}

void ScoresChart::setBaseline(std::optional<BaselineRecord> record) {
    m_baseline = std::move(record);
    workOutBars();
    update();
}

void ScoresChart::workOutBars() {
    m_bars = scoreBars(m_browser, m_column, m_baseline ? &*m_baseline : nullptr);
    m_duplicates = duplicateRecords(m_browser);
}

QRect ScoresChart::barRow(std::size_t bar) const {
    return {0, kHeader + static_cast<int>(bar) * kRowHeight, width(), kRowHeight};
}

std::optional<std::size_t> ScoresChart::barAt(QPoint point) const {
    if (point.y() < kHeader)
        return std::nullopt;
    const auto bar = static_cast<std::size_t>((point.y() - kHeader) / kRowHeight);
    if (bar >= bars().size())
        return std::nullopt;
    return bar;
}

QSize ScoresChart::sizeHint() const {
    return {400, kHeader + static_cast<int>(bars().size()) * kRowHeight + 8};
}

void ScoresChart::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    const auto columns = m_browser.columns(BrowserMode::Scores);
    const std::vector<ScoreBar>& shown = bars();
    double largest = 0;
    const ScoreBar* base = nullptr;
    for (const ScoreBar& bar : shown) {
        largest = std::max(largest, bar.summary.highest);
        if (bar.isBaseline)
            base = &bar;
    }

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().text().color());
    QString title = QString::fromStdString(columns[m_column].title);
    if (shown.empty())
        title += QStringLiteral(": no records");
    else if (base != nullptr)
        title += QStringLiteral(", as a percentage of ") + QString::fromStdString(base->label);
    if (m_duplicates > 0)
        title +=
            QStringLiteral("; ") + QString::fromStdString(comparison::duplicatesText(m_duplicates));
    painter.drawText(QRect(8, 4, width() - 16, kHeader - 6), Qt::AlignVCenter | Qt::AlignLeft,
                     QFontMetrics(bold).elidedText(title, Qt::ElideRight, width() - 16));
    painter.setFont(font());

    const QFontMetrics metrics(font());
    const int barLeft = kLabelWidth + 16;
    const int textWidth = metrics.horizontalAdvance(
        QStringLiteral("0000000 (0000000 to 0000000), 000.0 % (baseline)"));
    const int barSpace = std::max(40, width() - barLeft - std::min(textWidth, width() / 3) - 12);
    auto x = [&](double value) {
        return barLeft +
               (largest > 0 ? static_cast<int>(std::lround(barSpace * value / largest)) : 0);
    };
    // Only the rows in the area to paint are drawn, however many records there are.
    const int first = std::max(0, (event->rect().top() - kHeader) / kRowHeight);
    const int last = std::min(static_cast<int>(shown.size()) - 1,
                              (event->rect().bottom() - kHeader) / kRowHeight + 1);
    const QColor whisker = palette().text().color();
    for (int i = first; i <= last; ++i) {
        const ScoreBar& bar = shown[static_cast<std::size_t>(i)];
        const int y = kHeader + i * kRowHeight;
        painter.setPen(palette().text().color());
        painter.drawText(
            QRect(8, y, kLabelWidth, kRowHeight), Qt::AlignVCenter | Qt::AlignRight,
            metrics.elidedText(QString::fromStdString(bar.label), Qt::ElideRight, kLabelWidth));
        const double value = bar.summary.median;
        const int end = x(value);
        QLinearGradient fill(barLeft, 0, barLeft + barSpace, 0);
        fill.setColorAt(0, QColor(0x22, 0xC7, 0xE4));
        fill.setColorAt(1, QColor(0xFF, 0x9A, 0x3C));
        const QRect rect(barLeft, y + 3, std::max(end - barLeft, value > 0 ? 2 : 0),
                         kRowHeight - 6);
        painter.fillRect(rect, fill);
        if (bar.isBaseline) {
            painter.setPen(QPen(whisker, 1, Qt::DashLine));
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        int textLeft = end + 6;
        if (bar.rows.size() > 1 && bar.summary.count > 1) {
            const int low = x(bar.summary.lowest);
            const int high = x(bar.summary.highest);
            const int middle = y + kRowHeight / 2;
            painter.setPen(QPen(whisker, 1));
            painter.drawLine(low, middle, high, middle);
            painter.drawLine(low, middle - 4, low, middle + 4);
            painter.drawLine(high, middle - 4, high, middle + 4);
            textLeft = std::max(textLeft, high + 6);
        }
        painter.setPen(palette().text().color());
        painter.drawText(QRect(textLeft, y, std::max(0, width() - textLeft - 4), kRowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft,
                         metrics.elidedText(scoreBarText(bar), Qt::ElideRight,
                                            std::max(0, width() - textLeft - 4)));
    }
    // The baseline's score, 100 %, as a line across every bar.
    if (base != nullptr && base->summary.median > 0) {
        painter.setPen(QPen(QColor(0xC0, 0x30, 0x30), 1, Qt::DotLine));
        const int at = x(base->summary.median);
        painter.drawLine(at, kHeader, at, kHeader + static_cast<int>(shown.size()) * kRowHeight);
    }
}

QSize ScoresChart::minimumSizeHint() const {
    return {kLabelWidth + 80, sizeHint().height()};
}

QString scoreBarText(const ScoreBar& bar) {
    if (bar.summary.count == 0)
        return bar.leftOut.empty()
                   ? QStringLiteral("no score")
                   : QStringLiteral("no score: ") + QString::fromStdString(bar.leftOut);
    QString text = QString::fromStdString(bar.summary.medianText);
    if (bar.rows.size() > 1)
        text += QStringLiteral(" (%1 to %2)")
                    .arg(QString::fromStdString(bar.summary.lowestText))
                    .arg(QString::fromStdString(bar.summary.highestText));
    if (bar.percent)
        text += QStringLiteral(", %1 %").arg(*bar.percent, 0, 'f', 1);
    if (bar.test)
        text += QStringLiteral("; ") + QString::fromStdString(comparison::verdictText(*bar.test));
    if (bar.isBaseline)
        text += QStringLiteral(" (baseline)");
    if (!bar.leftOut.empty())
        text += QStringLiteral("; ") + QString::fromStdString(bar.leftOut);
    return text;
}

void ScoresChart::contextMenuEvent(QContextMenuEvent* event) {
    std::optional<std::size_t> row;
    if (const auto bar = barAt(event->pos()))
        row = bars()[*bar].rows.front();
    showBaselineMenu(*this, this, event->globalPos(), row);
}

void showBaselineMenu(ScoresChart& chart, QWidget* parent, QPoint globalPosition,
                      std::optional<std::size_t> row) {
    const std::optional<BaselineRecord> record = chart.recordOf(row);
    QMenu menu(parent);
    QAction* use = menu.addAction(QStringLiteral("Use as baseline"));
    QAction* clear = menu.addAction(QStringLiteral("Clear baseline"));
    use->setEnabled(record.has_value());
    clear->setEnabled(chart.baseline().has_value());
    QPointer<ScoresChart> alive(&chart);
    QAction* chosen = menu.exec(globalPosition);
    if (alive.isNull() || chosen == nullptr)
        return;
    if (chosen == use)
        alive->setBaseline(record);
    else if (chosen == clear)
        alive->setBaseline(std::nullopt);
    alive->refresh();
}

} // namespace vexo
