#include "ScoresChart.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cctype>

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
}

double ScoresChart::leadingNumber(const std::string& text) {
    double value = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

QString ScoresChart::barLabel(std::size_t row) const {
    return QStringLiteral("%1. %2")
        .arg(row + 1)
        .arg(QString::fromStdString(m_browser.cell(BrowserMode::Scores, row, 2)));
}

void ScoresChart::setColumn(std::size_t column) {
    if (column < 3 || column > 10 || column == m_column)
        return;
    m_column = column;
    update();
}

void ScoresChart::refresh() {
    updateGeometry();
    resize(width(), sizeHint().height());
    update();
}

QSize ScoresChart::sizeHint() const {
    return {400, kHeader + static_cast<int>(m_browser.rowCount()) * kRowHeight + 8};
}

void ScoresChart::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    const auto columns = m_browser.columns(BrowserMode::Scores);
    const std::size_t rows = m_browser.rowCount();
    double largest = 0;
    for (std::size_t row = 0; row < rows; ++row)
        largest =
            std::max(largest, leadingNumber(m_browser.cell(BrowserMode::Scores, row, m_column)));

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().text().color());
    painter.drawText(QRect(8, 4, width() - 16, kHeader - 6), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromStdString(columns[m_column].title) +
                         (rows == 0 ? QStringLiteral(": no records") : QString()));
    painter.setFont(font());

    // Only the rows in the area to paint are drawn, however many records there are.
    const int first = std::max(0, (event->rect().top() - kHeader) / kRowHeight);
    const int last =
        std::min(static_cast<int>(rows) - 1, (event->rect().bottom() - kHeader) / kRowHeight + 1);
    const int barLeft = kLabelWidth + 16;
    const int barSpace = std::max(40, width() - barLeft - 90);
    const QFontMetrics metrics(font());
    for (int row = first; row <= last; ++row) {
        const int y = kHeader + row * kRowHeight;
        const auto r = static_cast<std::size_t>(row);
        const QString name = barLabel(r);
        const std::string text = m_browser.cell(BrowserMode::Scores, r, m_column);
        const double value = leadingNumber(text);
        painter.setPen(palette().text().color());
        painter.drawText(QRect(8, y, kLabelWidth, kRowHeight), Qt::AlignVCenter | Qt::AlignRight,
                         metrics.elidedText(name, Qt::ElideRight, kLabelWidth));
        const int length = largest > 0 ? static_cast<int>(barSpace * value / largest) : 0;
        QLinearGradient fill(barLeft, 0, barLeft + barSpace, 0);
        fill.setColorAt(0, QColor(0x22, 0xC7, 0xE4));
        fill.setColorAt(1, QColor(0xFF, 0x9A, 0x3C));
        painter.fillRect(QRect(barLeft, y + 3, std::max(length, value > 0 ? 2 : 0), kRowHeight - 6),
                         fill);
        painter.drawText(QRect(barLeft + length + 6, y, 90, kRowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft,
                         QString::number(static_cast<qlonglong>(value)));
    }
}

} // namespace vexo
