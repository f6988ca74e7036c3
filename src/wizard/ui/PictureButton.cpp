#include "PictureButton.h"

#include "wizard/ui/Captions.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace vexo {

namespace {
constexpr int kCaptionGap = 4;
} // namespace

PictureButton::PictureButton(QWidget* parent, std::function<void()> down, std::function<void()> up)
    : QWidget(parent)
    , m_down(std::move(down))
    , m_up(std::move(up)) {}

void PictureButton::setPicture(const QPixmap& picture) {
    m_picture = picture;
    noteCaptionArea();
    update();
}

void PictureButton::setCaption(const std::string& caption) {
    m_caption = withAccessKey(caption);
    setAccessibleName(spokenCaption(caption));
    update();
}

QRect PictureButton::iconArea() const {
    const int side = m_picture.isNull() ? height() : scaledHeight();
    return {0, (height() - side) / 2, side, side};
}

QRect PictureButton::captionArea() const {
    const int left = iconArea().right() + 1 + kCaptionGap;
    return {left, 0, std::max(0, width() - left - endCapWidth()), height()};
}

int PictureButton::widthFor(int h) const {
    const int side = m_picture.isNull() ? h : std::min(h, m_picture.height());
    const int endCap = m_picture.isNull() ? 0 : m_picture.height() / 2 * side / m_picture.height();
    QTextDocument caption;
    caption.setDefaultFont(font());
    caption.setDocumentMargin(0);
    caption.setHtml(captionHtml());
    return side + kCaptionGap + static_cast<int>(std::ceil(caption.idealWidth())) + endCap;
}

QString PictureButton::captionHtml() const {
    return QStringLiteral("<span style=\"color:#e6f0f8;\">%1</span>").arg(m_caption);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_picture.isNull())
        drawPicture(painter);
    QTextDocument caption;
    caption.setDefaultFont(font());
    caption.setDocumentMargin(0);
    caption.setHtml(captionHtml());
    const QRect area = captionArea();
    const QSizeF size = caption.size();
    painter.translate(area.left(), area.top() + (area.height() - size.height()) / 2);
    caption.drawContents(&painter, QRectF(QPointF(0, 0), QSizeF(area.width(), size.height())));
}

void PictureButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    noteCaptionArea();
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_down)
        m_down();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    // The action runs on every release, wherever the pointer is let go.
    if (event->button() == Qt::LeftButton && m_up)
        m_up();
}

void PictureButton::noteCaptionArea() {
    setProperty("captionArea", captionArea());
}

int PictureButton::scaledHeight() const {
    return std::min(height(), m_picture.height());
}

double PictureButton::scale() const {
    return static_cast<double>(scaledHeight()) / m_picture.height();
}

int PictureButton::endCapWidth() const {
    return m_picture.isNull() ? 0 : static_cast<int>(m_picture.height() / 2 * scale());
}

void PictureButton::drawPicture(QPainter& painter) const {
    const int sourceHeight = m_picture.height();
    const int leftSource = std::min(sourceHeight, m_picture.width() / 2);
    const int rightSource = std::min(sourceHeight / 2, m_picture.width() - leftSource);
    const QRect icon = iconArea();
    const int top = icon.top();
    const int h = icon.height();
    const int leftWidth = static_cast<int>(leftSource * scale());
    const int rightWidth = endCapWidth();
    painter.drawPixmap(QRect(0, top, leftWidth, h), m_picture,
                       QRect(0, 0, leftSource, sourceHeight));
    painter.drawPixmap(
        QRect(leftWidth, top, width() - leftWidth - rightWidth, h), m_picture,
        QRect(leftSource, 0, m_picture.width() - leftSource - rightSource, sourceHeight));
    painter.drawPixmap(QRect(width() - rightWidth, top, rightWidth, h), m_picture,
                       QRect(m_picture.width() - rightSource, 0, rightSource, sourceHeight));
}

} // namespace vexo
