#include "Pictures.h"

#include "Style.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace artwork {

namespace {

using namespace palette;

QImage background() {
    QImage image = canvas(640, 480);
    QPainter p(&image);
    antialias(p);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, deep);
    sky.setColorAt(1, night);
    p.fillRect(image.rect(), sky);

    // A faint grid, like graph paper behind the measurements.
    p.setPen(QPen(QColor(255, 255, 255, 10), 1));
    for (int x = 0; x < 640; x += 32)
        p.drawLine(x, 64, x, 440);
    for (int y = 64; y < 440; y += 32)
        p.drawLine(0, y, 640, y);

    // Header band with its accent rule, footer band.
    QLinearGradient header(0, 0, 640, 0);
    header.setColorAt(0, steel);
    header.setColorAt(1, deep);
    p.fillRect(QRect(0, 0, 640, 64), header);
    p.fillRect(QRect(0, 64, 640, 2), cyan);
    p.fillRect(QRect(0, 440, 640, 40), QColor(0, 0, 0, 70));
    p.fillRect(QRect(0, 440, 640, 1), QColor(cyan.red(), cyan.green(), cyan.blue(), 80));

    // A large, faint dial in the lower right corner.
    p.setOpacity(0.10);
    drawDial(p, QPointF(560, 380), 150, 0.7, true);
    p.setOpacity(1);

    // Small logo mark in the header.
    drawDial(p, QPointF(608, 32), 22, 0.75, false);
    return image;
}

// A framed illustration panel, the common base of the page pictures.
void panel(QPainter& p, const QRectF& r) {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, steel);
    fill.setColorAt(1, night);
    p.setPen(QPen(QColor(cyan.red(), cyan.green(), cyan.blue(), 120), 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
}

QImage direct3DPicture() {
    QImage image = canvas(160, 200);
    QPainter p(&image);
    antialias(p);
    panel(p, image.rect());
    // Rings of a tube receding towards a bright vanishing point.
    const QPointF vanish(92, 86);
    for (int i = 9; i >= 0; --i) {
        const double t = i / 9.0;
        const double w = 20 + 120 * t * t;
        const double h = 16 + 110 * t * t;
        const QPointF c(80 + (vanish.x() - 80) * (1 - t), 100 + (vanish.y() - 100) * (1 - t));
        QColor ring = i % 2 == 0 ? cyan : amber;
        ring.setAlphaF(0.25 + 0.75 * t);
        p.setPen(QPen(ring, 1 + 2.5 * t));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, w / 2, h / 2);
    }
    QRadialGradient glow(vanish, 18);
    glow.setColorAt(0, frost);
    glow.setColorAt(1, Qt::transparent);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(vanish, 18, 18);
    p.setPen(frost);
    p.setFont(font(13, true));
    p.drawText(QRectF(0, 168, 160, 24), Qt::AlignCenter, QStringLiteral("3D TUNNEL"));
    return image;
}

QImage runPicture() {
    QImage image = canvas(160, 200);
    QPainter p(&image);
    antialias(p);
    panel(p, image.rect());
    drawDial(p, QPointF(80, 92), 62, 0.82);
    p.setPen(frost);
    p.setFont(font(13, true));
    p.drawText(QRectF(0, 168, 160, 24), Qt::AlignCenter, QStringLiteral("MEASURING"));
    return image;
}

QImage numeral(int n) {
    QImage image = canvas(36, 36);
    QPainter p(&image);
    antialias(p);
    QRadialGradient fill(QPointF(14, 12), 22);
    fill.setColorAt(0, cyan.lighter(120));
    fill.setColorAt(1, cyan.darker(150));
    p.setPen(QPen(frost, 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 2, 32, 32));
    p.setPen(night);
    p.setFont(font(20, true));
    p.drawText(QRectF(0, 0, 36, 36), Qt::AlignCenter, QString::number(n));
    return image;
}

QImage button(Glyph glyph, bool pressed, QColor accent = cyan) {
    QImage image = canvas(104, 30);
    QPainter p(&image);
    antialias(p);
    const QRectF face(0, 0, 104, 30);
    drawFace(p, face, pressed, accent);
    const QRectF inner = glyphBadge(p, face.adjusted(1, 1, -1, -1), pressed, accent);
    drawGlyph(p, glyph, inner, night);
    return image;
}

QImage option(bool selected) {
    QImage image = canvas(20, 20);
    QPainter p(&image);
    antialias(p);
    p.setPen(QPen(selected ? cyan : mist, 1.6));
    p.setBrush(deep);
    p.drawEllipse(QRectF(2, 2, 16, 16));
    if (selected) {
        QRadialGradient dot(QPointF(9, 9), 6);
        dot.setColorAt(0, frost);
        dot.setColorAt(1, cyan);
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(QRectF(6, 6, 8, 8));
    }
    return image;
}

QImage checkBox(bool checked) {
    QImage image = canvas(20, 20);
    QPainter p(&image);
    antialias(p);
    p.setPen(QPen(checked ? cyan : mist, 1.6));
    p.setBrush(checked ? QBrush(cyan.darker(170)) : QBrush(deep));
    p.drawRoundedRect(QRectF(2, 2, 16, 16), 4, 4);
    if (checked)
        drawGlyph(p, Glyph::Check, QRectF(4, 4, 12, 12), frost);
    return image;
}

// The pointing hand. Its hot spot, the tip of the index finger, is stored with the picture.
QImage handCursor() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    antialias(p);
    QPainterPath hand;
    hand.moveTo(10, 2);
    hand.cubicTo(12.5, 2, 13, 3, 13, 5);
    hand.lineTo(13, 13);
    hand.cubicTo(14, 12, 16.5, 12, 17, 14);
    hand.cubicTo(18, 13, 20.5, 13, 21, 15);
    hand.cubicTo(22, 14.2, 25, 14.5, 25, 17);
    hand.lineTo(25, 23);
    hand.cubicTo(25, 27, 22.5, 30, 19, 30);
    hand.lineTo(14, 30);
    hand.cubicTo(11, 30, 9.5, 28.5, 8, 26);
    hand.lineTo(3.5, 18.5);
    hand.cubicTo(2.5, 16.5, 5, 15, 6.5, 16.5);
    hand.lineTo(7, 17.5);
    hand.lineTo(7, 5);
    hand.cubicTo(7, 3, 8, 2, 10, 2);
    hand.closeSubpath();
    p.setPen(QPen(night, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(frost);
    p.drawPath(hand);
    p.setPen(QPen(mist, 1));
    p.drawLine(QPointF(13, 13.5), QPointF(13, 19));
    p.drawLine(QPointF(17, 14.5), QPointF(17, 19));
    p.drawLine(QPointF(21, 15.5), QPointF(21, 19));
    p.end();
    image.setText(QStringLiteral("HotSpotX"), QStringLiteral("10"));
    image.setText(QStringLiteral("HotSpotY"), QStringLiteral("2"));
    return image;
}

QImage softwareChoice() {
    QImage image = canvas(120, 120);
    QPainter p(&image);
    antialias(p);
    panel(p, image.rect());
    // An application window with a chart in it.
    const QRectF window(18, 22, 84, 70);
    p.setPen(QPen(frost, 1.5));
    p.setBrush(night);
    p.drawRoundedRect(window, 5, 5);
    p.fillRect(QRectF(19, 23, 82, 12), steel);
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? coral : i == 1 ? amber : mint);
        p.drawEllipse(QPointF(26 + i * 8, 29), 2.5, 2.5);
    }
    const double bars[] = {0.35, 0.6, 0.45, 0.85, 0.7};
    for (int i = 0; i < 5; ++i) {
        const double h = 44 * bars[i];
        p.setBrush(i % 2 == 0 ? cyan : amber);
        p.drawRect(QRectF(28 + i * 14, 86 - h, 9, h));
    }
    p.setPen(frost);
    p.setFont(font(11, true));
    p.drawText(QRectF(0, 96, 120, 20), Qt::AlignCenter, QStringLiteral("SOFTWARE"));
    return image;
}

QImage hardwareChoice() {
    QImage image = canvas(120, 120);
    QPainter p(&image);
    antialias(p);
    panel(p, image.rect());
    QLinearGradient die(40, 30, 80, 78);
    die.setColorAt(0, slate);
    die.setColorAt(1, night);
    p.setPen(QPen(cyan, 1.5));
    p.setBrush(die);
    p.drawRoundedRect(QRectF(36, 26, 48, 48), 4, 4);
    p.setPen(QPen(frost, 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const double t = 42 + i * 9;
        p.drawLine(QPointF(t, 16), QPointF(t, 24));
        p.drawLine(QPointF(t, 76), QPointF(t, 84));
        p.drawLine(QPointF(26, t - 10), QPointF(34, t - 10));
        p.drawLine(QPointF(86, t - 10), QPointF(94, t - 10));
    }
    drawDial(p, QPointF(60, 50), 16, 0.9, false);
    p.setPen(frost);
    p.setFont(font(11, true));
    p.drawText(QRectF(0, 96, 120, 20), Qt::AlignCenter, QStringLiteral("HARDWARE"));
    return image;
}

QImage closeButton(bool pressed) {
    QImage image = canvas(24, 24);
    QPainter p(&image);
    antialias(p);
    p.setPen(QPen(pressed ? coral.lighter(120) : coral, 1.4));
    p.setBrush(pressed ? coral.darker(180) : steel);
    p.drawEllipse(QRectF(2, 2 + (pressed ? 1 : 0), 20, 20));
    drawGlyph(p, Glyph::Close, QRectF(7, 7 + (pressed ? 1 : 0), 10, 10), frost);
    return image;
}

enum class Mark { Done, NotSelected, Pending };

QImage groupMark(Mark mark) {
    QImage image = canvas(24, 24);
    QPainter p(&image);
    antialias(p);
    const QRectF disc(2, 2, 20, 20);
    switch (mark) {
    case Mark::Done:
        p.setPen(Qt::NoPen);
        p.setBrush(mint);
        p.drawEllipse(disc);
        drawGlyph(p, Glyph::Check, QRectF(6, 6, 12, 12), night);
        break;
    case Mark::NotSelected:
        p.setPen(QPen(mist, 1.5));
        p.setBrush(deep);
        p.drawEllipse(disc);
        p.setPen(QPen(mist, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        break;
    case Mark::Pending:
        p.setPen(QPen(cyan, 1.8));
        p.setBrush(deep);
        p.drawEllipse(disc);
        p.setPen(QPen(amber, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(12, 6.5));
        p.drawLine(QPointF(12, 12), QPointF(16, 14));
        break;
    }
    return image;
}

QImage optionArrow(bool right) {
    QImage image = canvas(22, 22);
    QPainter p(&image);
    antialias(p);
    p.setPen(QPen(cyan, 1.3));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(1, 1, 20, 20), 5, 5);
    QPainterPath chevron;
    if (right) {
        chevron.moveTo(9, 6);
        chevron.lineTo(15, 11);
        chevron.lineTo(9, 16);
    } else {
        chevron.moveTo(13, 6);
        chevron.lineTo(7, 11);
        chevron.lineTo(13, 16);
    }
    p.setPen(QPen(frost, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
    return image;
}

void wordmark(QPainter& p, const QRectF& box, double size) {
    p.setFont(font(size, true));
    const QString vexo = QStringLiteral("Vexo");
    const QString gauge = QStringLiteral("GAUGE");
    const QFontMetricsF metrics(p.font());
    const double width = metrics.horizontalAdvance(vexo) + metrics.horizontalAdvance(gauge);
    const double x = box.left() + (box.width() - width) / 2;
    const double y = box.top() + (box.height() + metrics.capHeight()) / 2;
    p.setPen(frost);
    p.drawText(QPointF(x, y), vexo);
    p.setPen(cyan);
    p.drawText(QPointF(x + metrics.horizontalAdvance(vexo), y), gauge);
}

QImage splashLogo() {
    QImage image = canvas(480, 300);
    QPainter p(&image);
    antialias(p);
    QLinearGradient fill(0, 0, 480, 300);
    fill.setColorAt(0, steel);
    fill.setColorAt(0.6, deep);
    fill.setColorAt(1, night);
    p.fillRect(image.rect(), fill);
    p.setPen(QPen(QColor(255, 255, 255, 12), 1));
    for (int x = -300; x < 480; x += 18)
        p.drawLine(x, 300, x + 300, 0);
    drawDial(p, QPointF(120, 140), 92, 0.78);
    wordmark(p, QRectF(220, 70, 250, 60), 36);
    p.setPen(amber);
    p.setFont(font(22, true));
    p.drawText(QRectF(220, 126, 250, 30), Qt::AlignCenter, QStringLiteral("2002 Edition"));
    p.setPen(mist);
    p.setFont(font(12));
    p.drawText(QRectF(220, 160, 250, 20), Qt::AlignCenter,
               QStringLiteral("Synthetic Benchmarking Suite for Linux"));
    p.fillRect(QRectF(0, 258, 480, 2), cyan);
    p.setPen(frost);
    p.setFont(font(12, true));
    p.drawText(QRectF(16, 264, 300, 30), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("KESTROVIA"));
    p.setPen(mist);
    p.setFont(font(11));
    p.drawText(QRectF(160, 264, 304, 30), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("Loading ..."));
    return image;
}

QImage credits() {
    QImage image = canvas(360, 140);
    QPainter p(&image);
    antialias(p);
    QLinearGradient fill(0, 0, 360, 140);
    fill.setColorAt(0, steel);
    fill.setColorAt(1, night);
    p.fillRect(image.rect(), fill);
    drawDial(p, QPointF(62, 70), 48, 0.7);
    wordmark(p, QRectF(120, 18, 230, 40), 26);
    p.setPen(amber);
    p.setFont(font(14, true));
    p.drawText(QRectF(120, 56, 230, 22), Qt::AlignCenter, QStringLiteral("2002 Edition"));
    p.setPen(mist);
    p.setFont(font(11));
    p.drawText(QRectF(120, 84, 230, 40), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Designed and built by the Kestrovia benchmarking team"));
    p.fillRect(QRectF(0, 136, 360, 4), cyan);
    return image;
}

QImage taskRow(bool application) {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    antialias(p);
    if (application) {
        p.setPen(QPen(cyan, 1.5));
        p.setBrush(deep);
        p.drawRoundedRect(QRectF(3, 5, 26, 22), 3, 3);
        p.fillRect(QRectF(4, 6, 24, 6), slate);
        p.setPen(Qt::NoPen);
        p.setBrush(amber);
        p.drawEllipse(QPointF(24, 9), 1.6, 1.6);
        p.setBrush(mist);
        p.drawRect(QRectF(7, 15, 18, 2));
        p.drawRect(QRectF(7, 20, 12, 2));
    } else {
        // A cog for a system process.
        QPainterPath cog;
        const QPointF c(16, 16);
        for (int i = 0; i < 16; ++i) {
            const double a = i * M_PI / 8;
            const double r = i % 2 == 0 ? 13 : 10;
            const double a2 = (i + 1) * M_PI / 8;
            const QPointF p1(c.x() + std::cos(a) * r, c.y() + std::sin(a) * r);
            const QPointF p2(c.x() + std::cos(a2) * r, c.y() + std::sin(a2) * r);
            if (i == 0)
                cog.moveTo(p1);
            else
                cog.lineTo(p1);
            cog.lineTo(p2);
        }
        cog.closeSubpath();
        cog.addEllipse(c, 4.5, 4.5);
        p.setPen(QPen(night, 1));
        p.setBrush(mist);
        p.drawPath(cog);
    }
    return image;
}

QImage resultPicture() {
    QImage image = canvas(64, 64);
    QPainter p(&image);
    antialias(p);
    panel(p, image.rect());
    const double left[] = {0.55, 0.8, 0.4};
    const double right[] = {0.7, 0.6, 0.9};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(cyan);
        p.drawRect(QRectF(10 + i * 16, 54 - 40 * left[i], 6, 40 * left[i]));
        p.setBrush(amber);
        p.drawRect(QRectF(17 + i * 16, 54 - 40 * right[i], 6, 40 * right[i]));
    }
    return image;
}

enum class Tool { New, Save, Open, Print, Import, Remove, Help, Platform, Tasks, Scores };

QImage toolbarIcon(Tool tool) {
    QImage image = canvas(24, 24);
    QPainter p(&image);
    antialias(p);
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 5, 5);
    QPen pen(frost, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (tool) {
    case Tool::New:
        p.drawPolyline(QPolygonF({{8, 5}, {14, 5}, {17, 8}, {17, 19}, {7, 19}, {7, 5}}));
        p.setPen(QPen(amber, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 10), QPointF(12, 16));
        p.drawLine(QPointF(9, 13), QPointF(15, 13));
        break;
    case Tool::Save:
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
        p.setBrush(frost);
        p.drawRect(QRectF(8, 5, 8, 4));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(cyan, 1.6));
        p.drawRect(QRectF(8, 12, 8, 5));
        break;
    case Tool::Open:
        p.drawPolyline(QPolygonF({{4, 18}, {4, 6}, {9, 6}, {11, 8}, {18, 8}, {18, 11}}));
        p.setPen(QPen(amber, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(QPolygonF({{4, 18}, {7, 11}, {21, 11}, {18, 18}}));
        break;
    case Tool::Print:
        p.drawRect(QRectF(8, 4, 8, 5));
        p.drawRoundedRect(QRectF(4, 9, 16, 8), 2, 2);
        p.setPen(QPen(cyan, 1.6));
        p.drawRect(QRectF(8, 14, 8, 6));
        break;
    case Tool::Import:
        p.drawPolyline(QPolygonF({{4, 14}, {4, 19}, {20, 19}, {20, 14}}));
        p.setPen(QPen(amber, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(12, 4), QPointF(12, 15));
        p.drawPolyline(QPolygonF({{8, 11}, {12, 15}, {16, 11}}));
        break;
    case Tool::Remove:
        p.drawPolyline(QPolygonF({{7, 8}, {8, 20}, {16, 20}, {17, 8}}));
        p.drawLine(QPointF(5, 7), QPointF(19, 7));
        p.drawLine(QPointF(10, 4.5), QPointF(14, 4.5));
        p.setPen(QPen(coral, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.5, 11), QPointF(10.5, 17));
        p.drawLine(QPointF(13.5, 11), QPointF(13.5, 17));
        break;
    case Tool::Help:
        drawGlyph(p, Glyph::Help, QRectF(4, 4, 16, 16), frost);
        break;
    case Tool::Platform:
        drawGlyph(p, Glyph::SystemInfo, QRectF(4, 4, 16, 16), frost);
        break;
    case Tool::Tasks:
        drawGlyph(p, Glyph::Tasks, QRectF(4, 4, 16, 16), frost);
        break;
    case Tool::Scores:
        p.setPen(Qt::NoPen);
        p.setBrush(cyan);
        p.drawRect(QRectF(5, 12, 3, 7));
        p.setBrush(amber);
        p.drawRect(QRectF(10.5, 7, 3, 12));
        p.setBrush(mint);
        p.drawRect(QRectF(16, 10, 3, 9));
        break;
    }
    return image;
}

enum class Marker { Third, Highlighted, Plain };

QImage optionMarker(Marker marker) {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    antialias(p);
    switch (marker) {
    case Marker::Highlighted:
        p.setPen(Qt::NoPen);
        p.setBrush(amber);
        p.drawPolygon(QPolygonF({{4, 3}, {13, 8}, {4, 13}}));
        break;
    case Marker::Plain:
        p.setPen(QPen(mist, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{6, 4}, {10, 8}, {6, 12}}));
        break;
    case Marker::Third:
        p.setPen(Qt::NoPen);
        p.setBrush(cyan);
        p.drawRoundedRect(QRectF(4, 4, 8, 8), 2, 2);
        break;
    }
    return image;
}

QImage helpBanner() {
    QImage image = canvas(200, 64);
    QPainter p(&image);
    antialias(p);
    QLinearGradient fill(0, 0, 200, 0);
    fill.setColorAt(0, steel);
    fill.setColorAt(1, deep);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 0, 200, 64), 8, 8);
    // An open book.
    p.setPen(QPen(frost, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(slate);
    p.drawPolygon(QPolygonF({{12, 18}, {30, 14}, {30, 48}, {12, 52}}));
    p.drawPolygon(QPolygonF({{48, 18}, {30, 14}, {30, 48}, {48, 52}}));
    p.setPen(QPen(cyan, 1.2));
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(16, 25 + i * 7), QPointF(27, 23 + i * 7));
        p.drawLine(QPointF(33, 23 + i * 7), QPointF(44, 25 + i * 7));
    }
    p.setPen(frost);
    p.setFont(font(18, true));
    p.drawText(QRectF(58, 8, 140, 28), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Help"));
    p.setPen(mist);
    p.setFont(font(11));
    p.drawText(QRectF(58, 32, 140, 22), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Topics and guides"));
    return image;
}

} // namespace

std::vector<Picture> allPictures() {
    auto d = [](const QString& name) { return QStringLiteral("data/") + name; };
    std::vector<Picture> pictures{
        {d("BKImage.dat"), background},
        {d("GAImage.dat"), direct3DPicture},
        {d("N1Image.dat"), [] { return numeral(1); }},
        {d("N2Image.dat"), [] { return numeral(2); }},
        {d("N3Image.dat"), [] { return numeral(3); }},
        {d("CIImage.dat"), runPicture},
        {d("NUImage.dat"), [] { return button(Glyph::ArrowRight, false); }},
        {d("NDImage.dat"), [] { return button(Glyph::ArrowRight, true); }},
        {d("BUImage.dat"), [] { return button(Glyph::ArrowLeft, false); }},
        {d("BDImage.dat"), [] { return button(Glyph::ArrowLeft, true); }},
        {d("OSImage.dat"), [] { return option(true); }},
        {d("ONImage.dat"), [] { return option(false); }},
        {d("HAImage.dat"), handCursor},
        {d("HBImage.dat"), softwareChoice},
        {d("SBImage.dat"), hardwareChoice},
        {d("CSImage.dat"), [] { return checkBox(true); }},
        {d("CNImage.dat"), [] { return checkBox(false); }},
        {d("AUImage.dat"), [] { return button(Glyph::Tasks, false); }},
        {d("ADImage.dat"), [] { return button(Glyph::Tasks, true); }},
        {d("SUImage.dat"), [] { return button(Glyph::Diagnostics, false, palette::amber); }},
        {d("SDImage.dat"), [] { return button(Glyph::Diagnostics, true, palette::amber); }},
        {d("DUImage.dat"), [] { return button(Glyph::SystemInfo, false, palette::mint); }},
        {d("DDImage.dat"), [] { return button(Glyph::SystemInfo, true, palette::mint); }},
        {d("XUImage.dat"), [] { return closeButton(false); }},
        {d("XDImage.dat"), [] { return closeButton(true); }},
        {d("OKImage.dat"), [] { return groupMark(Mark::Done); }},
        {d("OHImage.dat"), [] { return groupMark(Mark::NotSelected); }},
        {d("O1Image.dat"), [] { return groupMark(Mark::Pending); }},
        {d("WUImage.dat"), [] { return button(Glyph::Help, false); }},
        {d("WDImage.dat"), [] { return button(Glyph::Help, true); }},
        {d("LFImage.dat"), [] { return optionArrow(false); }},
        {d("RTImage.dat"), [] { return optionArrow(true); }},
        {d("LGOImage.dat"), splashLogo},
        {d("CDImage.dat"), credits},
        {d("TSImage.dat"), [] { return taskRow(true); }},
        {d("PSImage.dat"), [] { return taskRow(false); }},
        {d("RBImage.dat"), resultPicture},
    };
    const Tool tools[] = {Tool::New,    Tool::Save, Tool::Open,     Tool::Print, Tool::Import,
                          Tool::Remove, Tool::Help, Tool::Platform, Tool::Tasks, Tool::Scores};
    for (int i = 0; i < 10; ++i) {
        const Tool tool = tools[i];
        pictures.push_back(
            {d(QStringLiteral("R%1Image.dat").arg(i + 1)), [tool] { return toolbarIcon(tool); }});
    }
    pictures.push_back({d("HLImage.dat"), [] { return optionMarker(Marker::Third); }});
    pictures.push_back({d("HRImage.dat"), [] { return optionMarker(Marker::Highlighted); }});
    pictures.push_back({d("HMImage.dat"), [] { return optionMarker(Marker::Plain); }});
    pictures.push_back({d("INImage.dat"), helpBanner});
    pictures.push_back({d("lowtex.ctf"), [] { return tunnelTexture(64); }});
    pictures.push_back({d("medtex.ctf"), [] { return tunnelTexture(256); }});
    pictures.push_back({d("hightex.ctf"), [] { return tunnelTexture(1024); }});
    pictures.push_back(
        {QStringLiteral("icons/vexogauge.png"), [] { return applicationIcon(256); }});
    // The desktop's menus and task bars pick the icon size nearest to what they show.
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        pictures.push_back({QStringLiteral("icons/hicolor/%1x%1/apps/vexogauge.png").arg(size),
                            [size] { return applicationIcon(size); }});
    }
    return pictures;
}

QImage applicationIcon(int size) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    antialias(p);
    const double s = size / 256.0;
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, steel);
    fill.setColorAt(1, night);
    p.setPen(QPen(cyan, 6 * s));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(8 * s, 8 * s, 240 * s, 240 * s), 48 * s, 48 * s);
    drawDial(p, QPointF(128 * s, 136 * s), 92 * s, 0.78);
    return image;
}

} // namespace artwork
