// The composition root of vexogauge: creates the platform services and the windows, and
// connects them. Each window exists at most once, made on first use. The wizard and the help
// viewer join here as they are built; until then the program opens the result browser.
//
//   vexogauge [--browser] [FILE...]   the result browser, with the benchmark files imported
#include "browser/ui/ResultWindow.h"
#include "common/AppState.h"
#include "help/ui/HelpWindow.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/qt/QtPlatform.h"
#include "taskman/ui/AtmWindow.h"
#include "wizard/ExitQuestion.h"
#include "wizard/ui/AboutBox.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <memory>

namespace {

// The windows and the services they share, created lazily.
class Program {
public:
    explicit Program(vexo::Folders folders)
        : m_folders(std::move(folders))
        , m_dialogs([this] { return QApplication::activeWindow(); }) {}

    vexo::ResultWindow& result() {
        if (!m_result) {
            m_result = std::make_unique<vexo::ResultWindow>(
                vexo::ResultBrowser::Services{m_dialogs, m_dialogs}, m_folders.AppFolder,
                m_folders.ResultsFolder);
            vexo::ResultBrowser& browser = m_result->model();
            browser.onAtm = [this] { showAtm(m_result.get()); };
            browser.onAbout = [this] { showAbout(m_result.get()); };
            browser.onNew = [this] { notYet("The benchmarking wizard"); };
            browser.onContents = [this] { showHelp(m_result.get()); };
            m_result->confirmExit = [this] { return confirmExit(); };
        }
        return *m_result;
    }

    void showAtm(QWidget* owner) {
        if (!m_atm) {
            m_atm = std::make_unique<vexo::AtmWindow>(
                vexo::TaskManager::Services{m_windows, m_settings, m_dialogs, m_dialogs, m_programs,
                                            m_pump},
                m_folders.AppFolder, owner);
            m_atm->setWindowFlag(Qt::Window);
            m_atm->model().onAbout = [this] { showAbout(m_atm.get()); };
        }
        // Each showing is a fresh load, as the window's settings are restored on load.
        if (!m_atm->isVisible())
            m_atm->load();
        m_atm->show();
        m_atm->raise();
        m_atm->activateWindow();
    }

    // Help minimises the window it was opened from; closing help brings back the wizard when
    // it is visible, else the result browser.
    void showHelp(QWidget* opener) {
        opener->showMinimized();
        if (m_help.isNull()) {
            m_help = new vexo::HelpWindow(m_helpTopic, m_folders.AppFolder);
            m_help->restoreMainWindow = [this] {
                if (vexo::HelpViewer::windowToRestore(false) ==
                    vexo::HelpViewer::MainWindow::ResultBrowser)
                    result().showNormal();
            };
            m_help->onAbout = [this] { showAbout(m_help.data()); };
        }
        m_help->show();
        m_help->raise();
        m_help->activateWindow();
    }

    void showAbout(QWidget* owner) {
        if (m_about.isNull())
            m_about = new vexo::AboutBox(m_folders.AppFolder, owner);
        m_about->show();
        m_about->raise();
    }

private:
    bool confirmExit() {
        if (!vexo::Confirm_Exit(m_dialogs, m_settings, m_state.selections))
            return false;
        // The program ends at once: no other window's close handling runs.
        QCoreApplication::exit(0);
        return true;
    }

    void notYet(const char* what) {
        m_dialogs.messageBox(std::string(what) + " is not part of this build yet.",
                             vexo::MsgStyle::Information, "");
    }

    vexo::Folders m_folders;
    vexo::AppState m_state;
    vexo::XcbWindowSystem m_windows;
    vexo::QtSettingsStore m_settings;
    vexo::QtProgramStarter m_programs;
    vexo::QtMessagePump m_pump;
    vexo::QtDialogs m_dialogs;
    std::unique_ptr<vexo::ResultWindow> m_result;
    std::unique_ptr<vexo::AtmWindow> m_atm;
    QPointer<vexo::AboutBox> m_about;
    QPointer<vexo::HelpWindow> m_help;
    std::int16_t m_helpTopic = 0; // kept while the help window comes and goes
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VexoGAUGE 2002"));
    QApplication::setQuitOnLastWindowClosed(false);
    vexo::Folders folders;
    folders.AppFolder = vexo::appFolder();
    folders.ResultsFolder = vexo::resultsFolder(folders.AppFolder);
    QApplication::setWindowIcon(QIcon(vexo::toQt(folders.AppFolder + "icons/vexogauge.png")));

    Program program(folders);
    vexo::ResultWindow& result = program.result();
    result.show();
    QStringList files = QApplication::arguments().mid(1);
    files.removeAll(QStringLiteral("--browser"));
    result.run([&] {
        for (const QString& file : files)
            result.model().Import_Saved_Benchmark(file.toStdString());
        result.model().Update_ToolBars();
    });
    return QApplication::exec();
}
