#include "Style.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace artwork {

QFont font(double pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QImage canvas(int width, int height, QColor fill) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void antialias(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
}

void drawFace(QPainter& painter, const QRectF& rect, bool pressed, QColor accent) {
    const QRectF face = rect.adjusted(1, pressed ? 2 : 1, -1, pressed ? 0 : -1);
    const double radius = face.height() / 2;
    if (!pressed) {
        // A soft drop shadow under a raised face.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 90));
        painter.drawRoundedRect(face.translated(0, 1.5), radius, radius);
    }
    QLinearGradient light(face.topLeft(), face.bottomLeft());
    light.setColorAt(0, pressed ? palette::deep : palette::slate);
    light.setColorAt(1, pressed ? palette::night : palette::steel);
    painter.setBrush(light);
    QColor rim = accent;
    rim.setAlpha(pressed ? 255 : 150);
    painter.setPen(QPen(rim, pressed ? 1.6 : 1.2));
    painter.drawRoundedRect(face, radius, radius);
    if (!pressed) {
        // Highlight along the upper edge.
        painter.setPen(QPen(QColor(255, 255, 255, 50), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(face.left() + radius, face.top() + 1.5),
                         QPointF(face.right() - radius, face.top() + 1.5));
    }
}

QRectF glyphBadge(QPainter& painter, const QRectF& face, bool pressed, QColor accent) {
    const double size = face.height() - 8;
    const QRectF badge(face.left() + 4, face.top() + 4 + (pressed ? 1 : 0), size, size);
    QRadialGradient glow(badge.center(), size / 2);
    glow.setColorAt(0, pressed ? accent.lighter(130) : accent);
    glow.setColorAt(1, accent.darker(pressed ? 170 : 140));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(badge);
    return badge.adjusted(size * 0.2, size * 0.2, -size * 0.2, -size * 0.2);
}

namespace {

QPainterPath arrow(const QRectF& b, bool right) {
    QPainterPath path;
    const double midY = b.center().y();
    const double shaftTop = b.top() + b.height() * 0.38;
    const double shaftBottom = b.top() + b.height() * 0.62;
    const double headX = b.left() + b.width() * 0.5;
    path.moveTo(b.left(), shaftTop);
    path.lineTo(headX, shaftTop);
    path.lineTo(headX, b.top());
    path.lineTo(b.right(), midY);
    path.lineTo(headX, b.bottom());
    path.lineTo(headX, shaftBottom);
    path.lineTo(b.left(), shaftBottom);
    path.closeSubpath();
    if (!right) {
        QTransform mirror;
        mirror.translate(b.center().x() * 2, 0);
        mirror.scale(-1, 1);
        path = mirror.map(path);
    }
    return path;
}

} // namespace

void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, QColor color) {
    painter.save();
    const double unit = std::min(box.width(), box.height());
    const QRectF b(box.center().x() - unit / 2, box.center().y() - unit / 2, unit, unit);
    QPen pen(color, std::max(1.2, unit * 0.13), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::ArrowRight:
    case Glyph::ArrowLeft:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(arrow(b, glyph == Glyph::ArrowRight));
        break;
    case Glyph::Tasks: {
        // Three stacked window bars.
        for (int i = 0; i < 3; ++i) {
            const double y = b.top() + unit * (0.12 + i * 0.32);
            painter.drawLine(QPointF(b.left() + unit * 0.1, y + unit * 0.1),
                             QPointF(b.right() - unit * 0.1, y + unit * 0.1));
        }
        break;
    }
    case Glyph::Diagnostics: {
        // A pulse line.
        QPainterPath pulse;
        pulse.moveTo(b.left(), b.center().y());
        pulse.lineTo(b.left() + unit * 0.3, b.center().y());
        pulse.lineTo(b.left() + unit * 0.45, b.top() + unit * 0.1);
        pulse.lineTo(b.left() + unit * 0.6, b.bottom() - unit * 0.1);
        pulse.lineTo(b.left() + unit * 0.72, b.center().y());
        pulse.lineTo(b.right(), b.center().y());
        painter.drawPath(pulse);
        break;
    }
    case Glyph::SystemInfo: {
        // A chip with pins.
        const QRectF chip = b.adjusted(unit * 0.22, unit * 0.22, -unit * 0.22, -unit * 0.22);
        painter.drawRect(chip);
        QPen thin = pen;
        thin.setWidthF(pen.widthF() * 0.7);
        painter.setPen(thin);
        for (int i = 0; i < 3; ++i) {
            const double t = chip.left() + chip.width() * (0.2 + i * 0.3);
            painter.drawLine(QPointF(t, b.top()), QPointF(t, chip.top()));
            painter.drawLine(QPointF(t, chip.bottom()), QPointF(t, b.bottom()));
            const double s = chip.top() + chip.height() * (0.2 + i * 0.3);
            painter.drawLine(QPointF(b.left(), s), QPointF(chip.left(), s));
            painter.drawLine(QPointF(chip.right(), s), QPointF(b.right(), s));
        }
        break;
    }
    case Glyph::Help: {
        painter.setFont(font(unit * 1.05, true));
        painter.drawText(b.adjusted(0, -unit * 0.08, 0, 0), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glyph::Close:
        painter.drawLine(b.topLeft() + QPointF(unit * 0.15, unit * 0.15),
                         b.bottomRight() - QPointF(unit * 0.15, unit * 0.15));
        painter.drawLine(b.topRight() + QPointF(-unit * 0.15, unit * 0.15),
                         b.bottomLeft() + QPointF(unit * 0.15, -unit * 0.15));
        break;
    case Glyph::Check: {
        QPainterPath tick;
        tick.moveTo(b.left() + unit * 0.12, b.top() + unit * 0.55);
        tick.lineTo(b.left() + unit * 0.4, b.top() + unit * 0.82);
        tick.lineTo(b.right() - unit * 0.1, b.top() + unit * 0.2);
        painter.drawPath(tick);
        break;
    }
    }
    painter.restore();
}

void drawDial(QPainter& painter, const QPointF& centre, double radius, double fraction,
              bool withTicks) {
    painter.save();
    // The dial sweeps 240 degrees, from lower left over the top to lower right.
    constexpr double startDegrees = 210;
    constexpr double sweepDegrees = -240;
    const QRectF circle(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2);

    QRadialGradient face(centre, radius);
    face.setColorAt(0, palette::steel);
    face.setColorAt(1, palette::night);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawEllipse(circle);

    const double ring = radius * 0.12;
    const QRectF arcRect = circle.adjusted(ring, ring, -ring, -ring);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette::slate, ring * 0.9, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(arcRect, static_cast<int>(startDegrees * 16),
                    static_cast<int>(sweepDegrees * 16));
    QConicalGradient heat(centre, startDegrees);
    // The conical gradient runs counter-clockwise from the start; the dial runs clockwise, so
    // its colours are laid out from the far end back: cyan at the start, coral at the end.
    heat.setColorAt(0, palette::cyan);
    heat.setColorAt(1.0 / 3, palette::coral);
    heat.setColorAt(2.0 / 3, palette::amber);
    heat.setColorAt(1, palette::cyan);
    painter.setPen(QPen(QBrush(heat), ring * 0.9, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(arcRect, static_cast<int>(startDegrees * 16),
                    static_cast<int>(sweepDegrees * fraction * 16));

    if (withTicks) {
        painter.setPen(QPen(palette::frost, std::max(1.0, radius * 0.025)));
        for (int i = 0; i <= 12; ++i) {
            const double degrees = startDegrees + sweepDegrees * i / 12.0;
            const double a = degrees * M_PI / 180;
            const double outer = radius - ring * 2.2;
            const double inner = outer - (i % 3 == 0 ? radius * 0.14 : radius * 0.07);
            painter.drawLine(
                QPointF(centre.x() + std::cos(a) * inner, centre.y() - std::sin(a) * inner),
                QPointF(centre.x() + std::cos(a) * outer, centre.y() - std::sin(a) * outer));
        }
    }

    const double needleDegrees = startDegrees + sweepDegrees * fraction;
    const double a = needleDegrees * M_PI / 180;
    const QPointF tip(centre.x() + std::cos(a) * radius * 0.72,
                      centre.y() - std::sin(a) * radius * 0.72);
    painter.setPen(QPen(palette::amber, std::max(1.5, radius * 0.06), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, tip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::frost);
    painter.drawEllipse(centre, radius * 0.09, radius * 0.09);
    painter.restore();
}

} // namespace artwork
