// The composition root of vexogauge: creates the platform services and the windows, and
// connects them. Each window exists at most once, made on first use.
//
//   vexogauge                      the splash, then the benchmarking wizard
//   vexogauge --browser [FILE...]  straight to the result browser, with the files imported
//   vexogauge --help | --version   a text on standard output, no window
#include "browser/ui/ResultWindow.h"
#include "common/AppState.h"
#include "common/ProblemReport.h"
#include "common/Text.h"
#include "engine/EngineWriter.h"
#include "engine/RunSession.h"
#include "help/ui/HelpWindow.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxSecondsClock.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/ProgramLaunch.h"
#include "platform/linux/SessionPlatform.h"
#include "platform/linux/SessionWindowSystem.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/linux/XkbKeyboardLocks.h"
#include "platform/qt/InstallationFiles.h"
#include "platform/qt/QtPlatform.h"
#include "sysinfo/SystemInfo.h"
#include "sysinfo/SystemPage.h"
#include "taskman/TaskTitles.h"
#include "taskman/ui/AtmWindow.h"
#include "tunnel/ui/QtTunnelStage.h"
#include "wizard/ExitQuestion.h"
#include "wizard/SystemLoader.h"
#include "wizard/Wizard.h"
#include "wizard/ui/AboutBox.h"
#include "wizard/ui/SplashWindow.h"
#include "wizard/ui/WizardWindow.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

namespace {

// A tool counts as started once it has run for a second without failing: a terminal that
// cannot open its window on this display ends at once, and the next one is tried. The window
// keeps painting meanwhile, under a busy pointer, and takes no input.
bool startCommand(const std::string& program, const std::vector<std::string>& arguments) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const bool started = vexo::startWatched(program, arguments, std::chrono::seconds(1), [] {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    QApplication::restoreOverrideCursor();
    return started;
}

// Problems told in a message box of one style and title.
class BoxProblems final : public vexo::ProblemReport {
public:
    BoxProblems(vexo::Dialogs& dialogs, int style, std::string title)
        : m_dialogs(dialogs)
        , m_style(style)
        , m_title(std::move(title)) {}
    void reportProblem(const std::string& text) override {
        m_dialogs.messageBox(text, m_style, m_title);
    }

private:
    vexo::Dialogs& m_dialogs;
    int m_style;
    std::string m_title;
};

class Program {
public:
    explicit Program(vexo::Folders folders)
        : m_dialogs([this] { return boxOwner(); })
        , m_loader(startCommand, vexo::kWebAddress) {
        m_state.folders = std::move(folders);
        // The Direct3D options are read at start, whichever window comes first: the exit
        // question writes them back from either main window.
        m_wizard = std::make_unique<vexo::Wizard>(m_state, m_settings);
        if (const vexo::Status loaded = m_wizard->Load_DX_Settings(); !loaded)
            std::fprintf(stderr, "VexoGAUGE: %s\n", loaded.message().c_str());
        // The compositor's news of its windows is read as it comes, so it never piles up.
        if (const int fd = m_windows.nativeEventFd(); fd >= 0) {
            m_nativeNews = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            QObject::connect(m_nativeNews.get(), &QSocketNotifier::activated, [this] {
                m_windows.readNativeEvents();
                // A compositor that went away leaves the socket readable for ever.
                if (m_windows.nativeEventFd() < 0)
                    m_nativeNews->setEnabled(false);
            });
        }
    }

    // The splash shows while the wizard loads hidden behind it; four seconds after the wizard
    // has loaded, the wizard takes its place.
    void start() {
        m_splash = std::make_unique<vexo::SplashWindow>(m_state.folders.AppFolder);
        QApplication::processEvents();
        m_splash->show();
        QApplication::processEvents();
        wizardWindow();
        // Told on standard error at once, on screen once the splash (which stays above other
        // windows) has made way for the wizard.
        const std::optional<std::string> problems = takeInstallationProblems();
        QTimer::singleShot(4000, [this, problems] {
            wizardWindow().show();
            m_splash.reset();
            showInstallationProblems(problems);
        });
    }

    vexo::ResultWindow& result() {
        if (!m_result) {
            m_result = std::make_unique<vexo::ResultWindow>(
                vexo::ResultBrowser::Services{m_dialogs, m_dialogs}, m_locks,
                m_state.folders.AppFolder, m_state.folders.ResultsFolder);
            vexo::ResultBrowser& browser = m_result->model();
            browser.onAtm = [this] { showAtm(m_result.get()); };
            browser.onAbout = [this] { showAbout(&wizardWindow()); };
            browser.onContents = [this] { showHelp(m_result.get()); };
            browser.onNew = [this] {
                vexo::WizardWindow& window = wizardWindow();
                window.run([this] {
                    m_wizard->setCurrentPage(vexo::Wizard::Page::MainMenu);
                    m_wizard->Change_Page();
                });
                window.show();
                m_result->hide();
            };
            m_result->confirmExit = [this] { return confirmExit(); };
        }
        return *m_result;
    }

    // Says in one box, and on standard error, what the windows made so far found wrong with
    // the installation files; each file is named once.
    void reportInstallationProblems() { showInstallationProblems(takeInstallationProblems()); }

private:
    static std::optional<std::string> takeInstallationProblems() {
        std::optional<std::string> message = vexo::installation::takeProblemsMessage();
        if (message)
            std::cerr << "vexogauge: " << vexo::crToNewline(*message) << std::endl;
        return message;
    }
    void showInstallationProblems(const std::optional<std::string>& message) {
        if (message)
            m_dialogs.messageBox(*message, vexo::MsgStyle::Exclamation, vexo::kApplicationTitle);
    }

    // A box belongs to the active window; when none is (a window that was active has just
    // gone), to the visible main window, so that no box stands alone on the screen.
    QWidget* boxOwner() const {
        if (QWidget* active = QApplication::activeWindow())
            return active;
        if (m_wizardWindow && m_wizardWindow->isVisible())
            return m_wizardWindow.get();
        if (m_result && m_result->isVisible())
            return m_result.get();
        return nullptr;
    }

    vexo::WizardWindow& wizardWindow() {
        if (!m_wizardWindow) {
            m_wizardWindow =
                std::make_unique<vexo::WizardWindow>(*m_wizard, m_state.folders.AppFolder);
            connectWizard();
            vexo::WizardElements& e = m_wizard->elements();
            m_wizard->Clear_Selections();
            m_wizard->Set_Credits_Text();
            m_wizard->setCurrentPage(vexo::Wizard::Page::Welcome);
            m_wizard->Change_Page();
            vexo::SystemInfo info(m_queries, m_systemProblems);
            const vexo::SystemPageTexts page = vexo::Show_System_Info(info);
            e.FrameText[50].caption = page.labels;
            e.FrameText[51].caption = page.values;
            m_wizardWindow->setRunState(&m_state.run);
            m_wizardWindow->sync();
            m_wizardWindow->confirmExit = [this] { return confirmExit(); };
        }
        return *m_wizardWindow;
    }

    void connectWizard() {
        vexo::WizardCommands& c = m_wizard->commands;
        c.showResultBrowser = [this] {
            result().show();
            m_wizardWindow->hide();
            reportInstallationProblems();
        };
        c.loadInResultBrowser = [this] {
            result().run([this] { m_result->model().Load_Benchmark_Menu(); });
        };
        c.openHomepage = [this] { vexo::showLaunchFailure(m_dialogs, m_loader.Open_Homepage()); };
        c.showTaskManager = [this] { showAtm(m_wizardWindow.get()); };
        c.runDirectXDiagnostics = [this] {
            vexo::showLaunchFailure(m_dialogs, m_loader.Run_DXDiag());
        };
        c.runSystemInformation = [this] {
            vexo::showLaunchFailure(m_dialogs, m_loader.Run_MSInfo());
        };
        c.showHelp = [this] { showHelp(m_wizardWindow.get()); };
        // The page is shown as it now stands before the run takes over the thread.
        c.yield = [this] {
            m_wizardWindow->sync();
            m_pump.yield();
        };
        c.runBenchmark = [this] { runBenchmark(); };
    }

    // A run of the chosen benchmarks, shown on the wizard's run page; it ends in the result
    // browser's database.
    void runBenchmark() {
        m_wizardWindow->sync(); // disabled, with the hourglass, for the whole run
        // The window cannot answer the desktop's pings while a measurement runs.
        const auto window = static_cast<vexo::WindowId>(m_wizardWindow->winId());
        m_windows.x11().setPingAnswered(window, false);
        vexo::SystemInfo info(m_queries, m_systemProblems);
        vexo::RecordedTasks titles(
            {m_windows, m_settings, m_dialogs, m_dialogs, m_programs, m_pump},
            m_state.folders.AppFolder, m_atm);
        vexo::EngineWriter writer(info, titles);
        // Every box of the run (the name, a skipped phase, the save) belongs to the wizard and
        // stands at its offset from the wizard, whichever window was active last: after the
        // tunnel's window has gone, none is.
        vexo::QtDialogs runDialogs([this] { return m_wizardWindow.get(); });
        BoxProblems runProblems(runDialogs, vexo::MsgStyle::Exclamation, vexo::kApplicationTitle);
        vexo::QtTunnelStage tunnel(m_state, m_clock);
        vexo::ResultBrowser& browser = result().model();
        vexo::RunSession session(
            m_state, {m_clock, m_pump, runDialogs, *m_wizard, runProblems},
            {&tunnel,
             &writer,
             [&browser](const std::string& path) { browser.Import_Saved_Benchmark(path); },
             {}});
        const vexo::RunReport report = session.run();
        m_windows.x11().setPingAnswered(window, true);
        // A saved run was imported into the browser: its window shows the new record.
        if (report.outcome == vexo::RunOutcome::Saved)
            m_result->run([] {});
    }

    void showAtm(QWidget* owner) {
        if (!m_atm) {
            m_atm = std::make_unique<vexo::AtmWindow>(
                vexo::TaskManager::Services{m_windows, m_settings, m_dialogs, m_dialogs, m_programs,
                                            m_pump},
                m_state.folders.AppFolder, owner);
            m_atm->setWindowFlag(Qt::Window);
            m_atm->model().onAbout = [this] { showAbout(&wizardWindow()); };
        }
        m_atm->showFor(owner);
        reportInstallationProblems();
    }

    // Help minimises the window it was opened from; closing help brings back the wizard when
    // it is visible, else the result browser.
    void showHelp(QWidget* opener) {
        // The window comes back as it was: a maximised one stays maximised.
        (opener == m_wizardWindow.get() ? m_wizardState : m_resultState) =
            vexo::minimiseKeepingState(*opener);
        if (m_help.isNull()) {
            m_help = new vexo::HelpWindow(m_helpTopic, m_state.folders.AppFolder);
            m_help->restoreMainWindow = [this] {
                const bool wizardVisible = m_wizardWindow && m_wizardWindow->isVisible();
                if (vexo::HelpViewer::windowToRestore(wizardVisible) ==
                    vexo::HelpViewer::MainWindow::Wizard)
                    vexo::restoreWindowState(*m_wizardWindow, m_wizardState);
                else
                    vexo::restoreWindowState(result(), m_resultState);
            };
            m_help->onAbout = [this] { showAbout(m_help.data()); };
        }
        m_help->show();
        m_help->raise();
        m_help->activateWindow();
        reportInstallationProblems();
    }

    void showAbout(QWidget* owner) {
        if (m_about.isNull())
            m_about = new vexo::AboutBox(m_state.folders.AppFolder, owner);
        m_about->show();
        m_about->raise();
        reportInstallationProblems();
    }

    bool confirmExit() {
        if (!vexo::Confirm_Exit(m_dialogs, m_settings, m_state.selections))
            return false;
        // The program ends at once, also in the middle of a run: leaving the event loop would
        // let the run go on without a window. The Direct3D options were saved by the question.
        vexo::endProgram();
    }

    vexo::AppState m_state;
    vexo::SessionWindowSystem m_windows;
    std::unique_ptr<QSocketNotifier> m_nativeNews;
    vexo::XkbKeyboardLocks m_locks;
    vexo::IniSettingsStore m_settings{vexo::settingsFolder()};
    vexo::QtProgramStarter m_programs;
    vexo::QtMessagePump m_pump;
    vexo::LinuxSecondsClock m_clock;
    vexo::LinuxProcessor m_processor;
    vexo::LinuxMemory m_memory;
    vexo::LinuxOs m_os;
    vexo::LinuxGraphics m_graphics;
    vexo::SystemQueries m_queries{m_processor, m_memory, m_os, m_graphics};
    vexo::QtDialogs m_dialogs;
    // A value of the system description that could not be read.
    BoxProblems m_systemProblems{m_dialogs, vexo::MsgStyle::OkOnly, ""};
    vexo::SystemLoader m_loader;
    std::unique_ptr<vexo::SplashWindow> m_splash;
    std::unique_ptr<vexo::Wizard> m_wizard;
    std::unique_ptr<vexo::WizardWindow> m_wizardWindow;
    std::unique_ptr<vexo::ResultWindow> m_result;
    std::unique_ptr<vexo::AtmWindow> m_atm;
    QPointer<vexo::AboutBox> m_about;
    QPointer<vexo::HelpWindow> m_help;
    std::int16_t m_helpTopic = 0; // kept while the help window comes and goes
    // The states the main windows had when help minimised them.
    Qt::WindowStates m_wizardState;
    Qt::WindowStates m_resultState;
};

constexpr const char* kUsage = R"(Usage: vexogauge [--browser] [FILE...]

Starts the benchmarking wizard of VexoGAUGE 2002: choose the benchmarks, prepare the machine
with the Advanced Task Manager, run them and store the run in a benchmark file.

  --browser      open the result browser instead of the wizard
  FILE...        benchmark files (*.vgf) to import into the result browser; opens it
  --             ends the options: what follows is a file even if it starts with '-'
  --help         show this text and exit
  --version      show the version and exit

The standard options of Qt programs (-display, -platform, -style ...) are understood too.
Benchmarks can also be run without a window: see vexogauge-cli --help.
)";

// What the command line asks for beyond the wizard: the result browser with these files.
struct Request {
    bool browser = false;
    QStringList files;
};

// Reads the arguments that Qt left; nullopt (after saying why) for an option we do not know.
std::optional<Request> readArguments(const QStringList& arguments) {
    Request request;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument == QStringLiteral("--browser")) {
            request.browser = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.startsWith(u'-')) {
            std::cerr << "vexogauge: unknown option '" << argument.toStdString() << "'\n"
                      << "Try 'vexogauge --help' for more information.\n";
            return std::nullopt;
        } else {
            request.browser = true;
            request.files.push_back(argument);
        }
    }
    return request;
}

// How many arguments an option of Qt's own takes after it (0 or 1), or -1 for one Qt does not
// know. Qt reads "-platform" and "--platform" alike, and "-style=NAME" with its value.
int qtOptionValues(std::string_view option) {
    if (option.substr(0, 2) == "--")
        option.remove_prefix(1);
    for (const std::string_view flag :
         {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"}) {
        if (option == flag)
            return 0;
    }
    for (const std::string_view withValue :
         {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
          "-qwindowicon", "-qwindowtitle", "-display", "-geometry", "-title", "-name", "-style",
          "-stylesheet", "-session", "-qmljsdebugger"}) {
        if (option == withValue)
            return 1;
        if (option.substr(0, withValue.size()) == withValue &&
            option.substr(withValue.size(), 1) == "=")
            return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    // Answered before anything needs a display, so that a wrong command line is told as such
    // also where no display can be opened.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "vexogauge (VexoGAUGE 2002) " VEXO_VERSION "\n";
            return 0;
        }
        if (argument.size() < 2 || argument.front() != '-' || argument == "--browser")
            continue;
        const int values = qtOptionValues(argument);
        if (values < 0) {
            std::cerr << "vexogauge: unknown option '" << argument << "'\n"
                      << "Try 'vexogauge --help' for more information.\n";
            return 2;
        }
        i += values;
    }
    vexo::SessionPlatformChoice platform;
    QApplication app(argc, argv);
    platform.applicationMade();
    const std::optional<Request> request = readArguments(QApplication::arguments().mid(1));
    if (!request)
        return 2;
    QApplication::setApplicationName(QStringLiteral("VexoGAUGE 2002"));
    QGuiApplication::setDesktopFileName(QStringLiteral(VEXO_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    vexo::Folders folders;
    folders.AppFolder = vexo::appFolder();
    folders.ResultsFolder = vexo::resultsFolder(folders.AppFolder);
    folders.WindowsFolder = "/usr/bin/";
    folders.SystemFolder = "/usr/bin/";
    // Installed, the icon theme holds the program's icon; the build tree has its own copy.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(VEXO_APP_ID),
                         QIcon(vexo::loadPicture(folders.AppFolder + "icons/vexogauge.png"))));

    Program program(folders);
    if (request->browser) {
        vexo::ResultWindow& result = program.result();
        result.show();
        program.reportInstallationProblems();
        result.run([&] {
            std::vector<std::string> files;
            for (const QString& file : request->files)
                files.push_back(file.toStdString());
            result.model().importFiles(files);
        });
    } else {
        program.start();
    }
    return QApplication::exec();
}
