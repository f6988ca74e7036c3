#pragma once

// The house style of every picture: one palette, one font family, one way of drawing faces,
// glyphs and dials.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace artwork {

namespace palette {
inline const QColor night{0x0B, 0x15, 0x26};
inline const QColor deep{0x12, 0x22, 0x3A};
inline const QColor steel{0x1E, 0x34, 0x55};
inline const QColor slate{0x2C, 0x48, 0x70};
inline const QColor mist{0x7F, 0x93, 0xAD};
inline const QColor frost{0xE6, 0xF0, 0xF8};
inline const QColor cyan{0x22, 0xC7, 0xE4};
inline const QColor amber{0xFF, 0x9A, 0x3C};
inline const QColor mint{0x3D, 0xDC, 0x84};
inline const QColor coral{0xFF, 0x5E, 0x62};
} // namespace palette

// The font every picture writes with; DejaVu Sans is installed on every Debian system.
QFont font(double pixelSize, bool bold = false);

QImage canvas(int width, int height, QColor fill = Qt::transparent);
void antialias(QPainter& painter);

// A button face: rounded, softly lit from above; pressed faces are darker and sunk by a pixel.
void drawFace(QPainter& painter, const QRectF& rect, bool pressed, QColor accent = palette::cyan);

// A round badge holding a glyph, drawn at the left end of a button face.
QRectF glyphBadge(QPainter& painter, const QRectF& face, bool pressed, QColor accent);

// Glyphs, drawn into the given box with the pen colour given.
enum class Glyph { ArrowRight, ArrowLeft, Tasks, Diagnostics, SystemInfo, Help, Close, Check };
void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, QColor color);

// A gauge dial: arc with ticks and a needle at the given fraction (0-1) of its sweep.
void drawDial(QPainter& painter, const QPointF& centre, double radius, double fraction,
              bool withTicks = true);

} // namespace artwork
