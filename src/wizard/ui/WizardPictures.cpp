#include "WizardPictures.h"

#include "wizard/ui/WizardDesign.h"

#include <QPainter>
#include <algorithm>

namespace vexo {

QPixmap pageBackground(const QPixmap& background, QSize size, int bandBottom, int footerTop,
                       double fit) {
    using namespace design;
    // The picture's parts at the design's size: the title band with its line, the middle, the
    // footer band.
    const double scale = static_cast<double>(background.width()) / kWidth;
    auto part = [&](int top, int bottom) {
        return QRect(0, qRound(top * scale), background.width(), qRound((bottom - top) * scale));
    };
    const QRect band = part(0, kBandLineTop), line = part(kBandLineTop, kBandBottom),
                middle = part(kBandBottom, kFooterBandTop), footer = part(kFooterBandTop, kHeight);
    const int middleHeight = qRound((kFooterBandTop - kBandBottom) * fit);
    const int width = size.width();
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int lineTop = bandBottom - qRound((kBandBottom - kBandLineTop) * fit);
    painter.drawPixmap(QRect(0, 0, width, lineTop), background, band);
    painter.drawPixmap(QRect(0, lineTop, width, bandBottom - lineTop), background, line);
    // Four cells of the middle's grid, from a line of it where the picture shows nothing else.
    const int middleTop = std::max(bandBottom, footerTop - middleHeight);
    if (middleTop > bandBottom) {
        const QPixmap grid = background.copy(part(96, 96 + 4 * 32))
                                 .scaled(width, qRound(4 * 32 * fit), Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        painter.drawTiledPixmap(QRect(0, bandBottom, width, middleTop - bandBottom), grid);
    }
    painter.drawPixmap(QRect(0, middleTop, width, footerTop - middleTop), background, middle);
    painter.drawPixmap(QRect(0, footerTop, width, size.height() - footerTop), background, footer);
    return picture;
}

QPixmap finishedRunPicture(const QPixmap& running) {
    if (running.isNull())
        return running;
    QImage image = running.toImage();
    const QRect band(0, image.height() - 32, image.width(), 24);
    QPainter p(&image);
    p.fillRect(band, image.pixelColor(band.left() + 4, band.top() - 4));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(QColor(0x9d, 0xf0, 0x7c));
    p.drawText(band, Qt::AlignCenter, QStringLiteral("COMPLETE"));
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace vexo
