// The composition root of vexogauge: creates the platform services and the windows, and
// connects them. The wizard, the result browser and the help viewer join here as they are
// built; for now the program opens the Advanced Task Manager.
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/qt/QtPlatform.h"
#include "taskman/ui/AtmWindow.h"
#include "wizard/ui/AboutBox.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VexoGAUGE 2002"));
    const std::string appFolder = vexo::appFolder();
    QApplication::setWindowIcon(QIcon(vexo::toQt(appFolder + "icons/vexogauge.png")));

    vexo::XcbWindowSystem windows;
    vexo::QtSettingsStore settings;
    vexo::QtProgramStarter programs;
    vexo::QtMessagePump pump;
    QPointer<QWidget> activeWindow;
    vexo::QtDialogs dialogs([&activeWindow] { return activeWindow.data(); });

    vexo::AtmWindow atm({windows, settings, dialogs, dialogs, programs, pump}, appFolder);
    activeWindow = &atm;
    QPointer<vexo::AboutBox> about;
    atm.model().onAbout = [&] {
        if (about.isNull())
            about = new vexo::AboutBox(appFolder, &atm);
        about->show();
        about->raise();
    };
    atm.load();
    atm.show();
    return QApplication::exec();
}
