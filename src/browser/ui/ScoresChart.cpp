#include "ScoresChart.h"

#include "ScoresChartAccessible.h"
#include "platform/qt/QtPlatform.h"
#include "results/Comparison.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace vexo {

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 8;
constexpr int kLabelWidth = 180; // the most a label takes; it wraps within
constexpr int kLeastBarSpace = 60;
constexpr int kUnbounded = 1 << 20;

// The height of a text wrapped at a width.
int wrappedHeight(const QFontMetrics& metrics, int width, const QString& text) {
    return metrics.boundingRect(QRect(0, 0, std::max(1, width), kUnbounded), Qt::TextWordWrap, text)
        .height();
}

QFont boldOf(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

ScoresChart::ScoresChart(const ResultBrowser& browser, QWidget* parent)
    : QWidget(parent)
    , m_browser(browser) {
    setObjectName(QStringLiteral("ScoresChart"));
    setAutoFillBackground(true);
    // Taller where it is narrower: its texts wrap.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    installScoresChartAccessibility();
    workOutBars();
}

void ScoresChart::setColumn(std::size_t column) {
    if (column < 3 || column > 10 || column == m_column)
        return;
    m_column = column;
    workOutBars();
    changed();
}

void ScoresChart::refresh() {
    workOutBars();
    // A baseline whose record was removed (or renumbered into another) ends.
    if (m_baseline && std::none_of(m_bars.begin(), m_bars.end(),
                                   [](const ScoreBar& b) { return b.isBaseline; })) {
        m_baseline.reset();
        workOutBars();
    }
    changed();
}

std::optional<BaselineRecord> ScoresChart::recordOf(std::optional<std::size_t> row) const {
    if (!row || *row >= m_browser.rowCount())
        return std::nullopt;
    return m_browser.recordAt(BrowserMode::Scores, *row);
}

void ScoresChart::setBaseline(std::optional<BaselineRecord> record) {
    m_baseline = std::move(record);
    workOutBars();
    changed();
}

void ScoresChart::workOutBars() {
    m_bars = scoreBars(m_browser, m_column, m_baseline ? &*m_baseline : nullptr);
    m_duplicates = duplicateRecords(m_browser);
    m_shape.width = -1;
}

void ScoresChart::changed() {
    m_shape.width = -1;
    updateGeometry();
    update();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleTableModelChangeEvent rows(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&rows);
}

QString ScoresChart::caption() const {
    QString text = QString::fromStdString(m_browser.columns(BrowserMode::Scores)[m_column].title);
    const auto base = std::find_if(m_bars.begin(), m_bars.end(),
                                   [](const ScoreBar& bar) { return bar.isBaseline; });
    if (m_bars.empty())
        text += QStringLiteral(": no records");
    else if (base != m_bars.end())
        text += QStringLiteral(", as a percentage of ") + QString::fromStdString(base->label);
    if (m_duplicates > 0)
        text +=
            QStringLiteral("; ") + QString::fromStdString(comparison::duplicatesText(m_duplicates));
    return text;
}

ScoresChart::Shape ScoresChart::shapeFor(int width) const {
    const QFontMetrics metrics(font());
    Shape s;
    s.width = width;
    s.header = wrappedHeight(QFontMetrics(boldOf(font())), width - 2 * kMargin, caption()) + 10;
    int widestLabel = 0;
    int widestText = 0;
    for (const ScoreBar& bar : m_bars) {
        widestLabel =
            std::max(widestLabel, metrics.horizontalAdvance(QString::fromStdString(bar.label)) + 2);
        widestText = std::max(widestText, metrics.horizontalAdvance(scoreBarText(bar)) + 2);
    }
    s.labelWidth = std::min({widestLabel, kLabelWidth, std::max(60, width / 4)});
    s.barLeft = kMargin + s.labelWidth + kGap;
    // The texts take what they need; where the chart is too narrow for them beside bars of
    // the least width, they wrap, though never narrower than a few words.
    const int room = width - s.barLeft - kLeastBarSpace - kGap - kMargin;
    s.textWidth = std::min(widestText, std::max(room, 12 * metrics.averageCharWidth()));
    s.barSpace = std::max(20, width - s.barLeft - kGap - s.textWidth - kMargin);
    s.textLeft = s.barLeft + s.barSpace + kGap;
    s.barHeight = metrics.height();
    const int leastRow = metrics.height() + 6;
    s.rowTops.push_back(s.header);
    for (const ScoreBar& bar : m_bars) {
        const int label =
            wrappedHeight(metrics, s.labelWidth, QString::fromStdString(bar.label)) + 4;
        const int text = wrappedHeight(metrics, s.textWidth, scoreBarText(bar)) + 4;
        s.rowTops.push_back(s.rowTops.back() + std::max({leastRow, label, text}));
    }
    return s;
}

const ScoresChart::Shape& ScoresChart::shape() const {
    if (m_shape.width != width())
        m_shape = shapeFor(width());
    return m_shape;
}

QRect ScoresChart::barRow(std::size_t bar) const {
    const std::vector<int>& tops = shape().rowTops;
    if (bar + 1 >= tops.size())
        return {};
    return {0, tops[bar], width(), tops[bar + 1] - tops[bar]};
}

QRect ScoresChart::textRect(std::size_t bar) const {
    const QRect row = barRow(bar);
    return {shape().textLeft, row.top(), shape().textWidth, row.height()};
}

QRect ScoresChart::barArea() const {
    const Shape& s = shape();
    return {s.barLeft, s.rowTops.front(), s.barSpace + 1, s.rowTops.back() - s.rowTops.front()};
}

std::optional<std::size_t> ScoresChart::barAt(QPoint point) const {
    const std::vector<int>& tops = shape().rowTops;
    const auto after = std::upper_bound(tops.begin(), tops.end(), point.y());
    if (after == tops.begin() || after == tops.end())
        return std::nullopt;
    return static_cast<std::size_t>(after - tops.begin() - 1);
}

int ScoresChart::heightForWidth(int width) const {
    return (width == this->width() ? shape() : shapeFor(width)).rowTops.back() + 8;
}

QSize ScoresChart::sizeHint() const {
    return {400, heightForWidth(width() > 0 ? width() : 400)};
}

QSize ScoresChart::minimumSizeHint() const {
    // A label, a short bar and a text of a few words side by side.
    const int least =
        kMargin + 60 + kGap + 20 + kGap + 12 * QFontMetrics(font()).averageCharWidth() + kMargin;
    return {least, heightForWidth(std::max(width(), least))};
}

void ScoresChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (heightForWidth(width()) != height())
        updateGeometry();
}

bool ScoresChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<std::size_t> bar = barAt(help->pos());
        if (bar) {
            const ScoreBar& shown = m_bars[*bar];
            QToolTip::showText(help->globalPos(),
                               plainToolTip(QString::fromStdString(shown.label) +
                                            QStringLiteral(": ") + scoreBarText(shown)),
                               this, barRow(*bar));
        } else if (help->pos().y() < shape().header) {
            QToolTip::showText(help->globalPos(), plainToolTip(caption()), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (event->type() == QEvent::FontChange)
        changed();
    return QWidget::event(event);
}

void ScoresChart::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    const Shape& s = shape();
    const std::vector<ScoreBar>& shown = bars();
    double largest = 0;
    const ScoreBar* base = nullptr;
    for (const ScoreBar& bar : shown) {
        largest = std::max(largest, bar.summary.highest);
        if (bar.isBaseline)
            base = &bar;
    }

    painter.setFont(boldOf(font()));
    painter.setPen(palette().text().color());
    painter.drawText(QRect(kMargin, 4, width() - 2 * kMargin, s.header - 6),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, caption());
    painter.setFont(font());

    auto x = [&](double value) {
        return s.barLeft +
               (largest > 0 ? static_cast<int>(std::lround(s.barSpace * value / largest)) : 0);
    };
    // Only the rows in the area to paint are drawn, however many records there are.
    const QColor ink = palette().text().color();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QRect row = barRow(i);
        if (!row.intersects(event->rect()))
            continue;
        const ScoreBar& bar = shown[i];
        painter.setPen(ink);
        painter.drawText(QRect(kMargin, row.top(), s.labelWidth, row.height()),
                         Qt::AlignVCenter | Qt::AlignRight | Qt::TextWordWrap,
                         QString::fromStdString(bar.label));
        const double value = bar.summary.median;
        const int end = x(value);
        const int middle = row.center().y();
        QLinearGradient fill(s.barLeft, 0, s.barLeft + s.barSpace, 0);
        fill.setColorAt(0, QColor(0x22, 0xC7, 0xE4));
        fill.setColorAt(1, QColor(0xFF, 0x9A, 0x3C));
        const QRect rect(s.barLeft, middle - s.barHeight / 2,
                         std::max(end - s.barLeft, value > 0 ? 2 : 0), s.barHeight);
        painter.fillRect(rect, fill);
        if (bar.isBaseline) {
            painter.setPen(QPen(ink, 1, Qt::DashLine));
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        if (bar.rows.size() > 1 && bar.summary.count > 1) {
            const int low = x(bar.summary.lowest);
            const int high = x(bar.summary.highest);
            painter.setPen(QPen(ink, 1));
            painter.drawLine(low, middle, high, middle);
            painter.drawLine(low, middle - 4, low, middle + 4);
            painter.drawLine(high, middle - 4, high, middle + 4);
        }
        painter.setPen(ink);
        painter.drawText(textRect(i), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
                         scoreBarText(bar));
    }
    // The baseline's score, 100 %, as a line across every bar (the texts stand beside them).
    if (base != nullptr && base->summary.median > 0) {
        painter.setPen(QPen(QColor(0xC0, 0x30, 0x30), 1, Qt::DotLine));
        const int at = x(base->summary.median);
        painter.drawLine(at, s.rowTops.front(), at, s.rowTops.back());
    }
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
    // A number and its per cent sign stay on one line where the text wraps.
    return text.replace(QStringLiteral(" %"), QStringLiteral("\u00A0%"));
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
