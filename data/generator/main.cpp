// Draws every installation picture of the program into a folder, and on request a contact sheet
// showing all of them at once:
//   vexo-artwork OUTPUT_FOLDER [--contact-sheet FILE.png]
#include "Pictures.h"
#include "Style.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

namespace {

QImage contactSheet(const std::vector<artwork::Picture>& pictures,
                    const std::vector<QImage>& images) {
    constexpr int columns = 6;
    constexpr int cellWidth = 200;
    constexpr int cellHeight = 170;
    const int rows = (static_cast<int>(pictures.size()) + columns - 1) / columns;
    QImage sheet = artwork::canvas(columns * cellWidth, rows * cellHeight + 40, QColor(40, 44, 52));
    QPainter p(&sheet);
    artwork::antialias(p);
    p.setPen(artwork::palette::frost);
    p.setFont(artwork::font(16, true));
    p.drawText(QRect(0, 0, sheet.width(), 40), Qt::AlignCenter,
               QStringLiteral("VexoGAUGE 2002 installation pictures"));
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int col = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        const QRect cell(col * cellWidth + 10, row * cellHeight + 45, cellWidth - 20, 130);
        // A checkerboard shows where a picture is transparent.
        for (int y = cell.top(); y < cell.bottom(); y += 10)
            for (int x = cell.left(); x < cell.right(); x += 10)
                p.fillRect(QRect(x, y, 10, 10).intersected(cell),
                           ((x - cell.left()) / 10 + (y - cell.top()) / 10) % 2
                               ? QColor(90, 90, 90)
                               : QColor(120, 120, 120));
        const QImage& image = images[i];
        QSize fitted = image.size();
        if (fitted.width() > cell.width() || fitted.height() > cell.height())
            fitted.scale(cell.size(), Qt::KeepAspectRatio);
        else if (fitted.width() * 2 <= cell.width() && fitted.height() * 2 <= cell.height())
            fitted *= 2; // small pictures doubled so their detail shows
        const QRect target(cell.center().x() - fitted.width() / 2,
                           cell.center().y() - fitted.height() / 2, fitted.width(),
                           fitted.height());
        p.drawImage(target, image);
        p.setPen(artwork::palette::frost);
        p.setFont(artwork::font(11));
        p.drawText(QRect(cell.left(), cell.bottom() + 2, cell.width(), 18), Qt::AlignCenter,
                   QFileInfo(pictures[i].file).fileName() +
                       QStringLiteral("  %1x%2").arg(image.width()).arg(image.height()));
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs fonts but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--contact-sheet"))) {
        std::fprintf(stderr, "usage: vexo-artwork OUTPUT_FOLDER [--contact-sheet FILE.png]\n");
        return 2;
    }
    const QDir out(args[1]);
    const std::vector<artwork::Picture> pictures = artwork::allPictures();
    std::vector<QImage> images;
    images.reserve(pictures.size());
    for (const artwork::Picture& picture : pictures) {
        images.push_back(picture.draw());
        const QString path = out.filePath(picture.file);
        if (!QDir().mkpath(QFileInfo(path).path()) || !images.back().save(path, "PNG")) {
            std::fprintf(stderr, "vexo-artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (args.size() == 4 && !contactSheet(pictures, images).save(args[3], "PNG")) {
        std::fprintf(stderr, "vexo-artwork: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}
