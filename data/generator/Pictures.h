#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace artwork {

struct Picture {
    QString file; // relative to the installation folder, e.g. "data/BKImage.dat"
    std::function<QImage()> draw;
};

// Every picture and texture of the installation, in a stable order.
std::vector<Picture> allPictures();

// The tunnel texture at the given edge length; tileable, with finer detail when larger.
QImage tunnelTexture(int size);

// The application icon.
QImage applicationIcon(int size);

} // namespace artwork
