#include "SplashWindow.h"

#include "platform/qt/QtPlatform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace vexo {

SplashWindow::SplashWindow(const std::string& appFolder)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("VexoGAUGE 2002"));
    setFixedSize(480, 300);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("VexoLogo"));
    logo->setGeometry(rect());
    logo->setScaledContents(true);
    logo->setPixmap(loadPicture(appFolder + "data/LGOImage.dat"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

} // namespace vexo
