#include "ScoresChart.h"

#include "ScoresChartAccessible.h"
#include "platform/qt/QtPlatform.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
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
    m_shown = m_browser.chart();
}

void ScoresChart::refresh() {
    m_shown = m_browser.chart();
    changed();
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

ScoresChart::Shape ScoresChart::shapeFor(int width) const {
    const QFontMetrics metrics(font());
    Shape s;
    s.width = width;
    s.header = wrappedHeight(QFontMetrics(boldOf(font())), width - 2 * kMargin, caption()) + 10;
    int widestLabel = 0;
    int widestText = 0;
    for (const ScoreBar& bar : bars()) {
        widestLabel =
            std::max(widestLabel, metrics.horizontalAdvance(QString::fromStdString(bar.label)) + 2);
        widestText =
            std::max(widestText, metrics.horizontalAdvance(QString::fromStdString(bar.text)) + 2);
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
    for (const ScoreBar& bar : bars()) {
        const int label =
            wrappedHeight(metrics, s.labelWidth, QString::fromStdString(bar.label)) + 4;
        const int text = wrappedHeight(metrics, s.textWidth, QString::fromStdString(bar.text)) + 4;
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
            const ScoreBar& shown = bars()[*bar];
            QToolTip::showText(
                help->globalPos(),
                plainToolTip(QString::fromStdString(shown.label + ": " + shown.text)), this,
                barRow(*bar));
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
    const double largest = m_shown.largest;

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
        const double value = bar.median;
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
        if (bar.whisker) {
            const int low = x(bar.lowest);
            const int high = x(bar.highest);
            painter.setPen(QPen(ink, 1));
            painter.drawLine(low, middle, high, middle);
            painter.drawLine(low, middle - 4, low, middle + 4);
            painter.drawLine(high, middle - 4, high, middle + 4);
        }
        painter.setPen(ink);
        painter.drawText(textRect(i), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
                         QString::fromStdString(bar.text));
    }
    // The baseline's score, 100 %, as a line across every bar (the texts stand beside them).
    if (m_shown.baselineMedian) {
        painter.setPen(QPen(QColor(0xC0, 0x30, 0x30), 1, Qt::DotLine));
        const int at = x(*m_shown.baselineMedian);
        painter.drawLine(at, s.rowTops.front(), at, s.rowTops.back());
    }
}

void ScoresChart::contextMenuEvent(QContextMenuEvent* event) {
    std::optional<std::size_t> row;
    if (const auto bar = barAt(event->pos()))
        row = bars()[*bar].rows.front();
    if (onMenu)
        onMenu(event->globalPos(), row);
}

} // namespace vexo
