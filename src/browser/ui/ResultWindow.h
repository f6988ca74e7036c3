#pragma once

#include "browser/ResultBrowser.h"
#include "platform/KeyboardLocks.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QStackedWidget;
class QTableView;

namespace vexo {

class BrowserTableModel;
class ScoresChart;

// The result browser window: renders the browser's lists, title, commands and help options, and
// hands every menu, key, toolbar and option click to it.
class ResultWindow final : public QMainWindow {
public:
    // `locks` tells the state of the lock keys for the status bar; it must outlive the window.
    ResultWindow(ResultBrowser::Services services, KeyboardLocks& locks, std::string appFolder,
                 std::string dialogFolder, QWidget* parent = nullptr);
    ~ResultWindow() override;

    ResultBrowser& model() { return m_model; }
    // Asked when the window is to close: true ends the program.
    std::function<bool()> confirmExit;
    // Runs a command of the browser, then shows what changed.
    void run(const std::function<void()>& command);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QAction* addMenuItem(QMenu* menu, const char* caption, const QKeySequence& key,
                         std::function<void()> command);
    void buildMenus();
    void buildToolBar();
    QWidget* buildTitleArea();
    QWidget* buildList(BrowserMode list);
    QWidget* buildHelpPanel();
    void buildStatusBar();
    // The clock, the date and the lock keys as they stand now.
    void tick();
    void sync();
    // The chart's context menu, for the chart and for the Scores list: "Use as baseline" for the
    // record of a Scores list row (disabled without one), "Clear baseline" (disabled without a
    // baseline).
    void baselineMenu(QWidget* parent, QPoint globalPosition, std::optional<std::size_t> row);

    // The dialogs of the browser's commands: the window shows what a command has done so far
    // before each of its boxes, so that a box ("Success") stands over the window it speaks of.
    class ShownFirst final : public Dialogs {
    public:
        ShownFirst(Dialogs& dialogs, ResultWindow& window)
            : m_dialogs(dialogs)
            , m_window(window) {}
        int messageBox(const std::string& text, int style, const std::string& title) override;
        std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText, int leftTwips,
                                            int topTwips) override;

    private:
        Dialogs& m_dialogs;
        ResultWindow& m_window;
    };

    ShownFirst m_shownFirst;
    ResultBrowser m_model;
    KeyboardLocks& m_locks;
    std::string m_appFolder;
    std::uint64_t m_shownRevision = ~0ULL;
    std::uint64_t m_shownChartRevision = ~0ULL;
    QCursor m_hand;
    std::array<QPixmap, 14> m_pictures; // by picture number, 1 to 13
    std::array<BrowserTableModel*, 3> m_tables{};
    std::array<QTableView*, 3> m_views{};
    ScoresChart* m_chart = nullptr;
    QStackedWidget* m_frames = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_description = nullptr;
    std::array<QLabel*, 9> m_optionPictures{};
    std::array<QLabel*, 9> m_optionTexts{};
    std::array<QAction*, 3> m_modeButtons{};
    std::array<QAction*, 3> m_modeMenu{};
    QAction* m_saveButton = nullptr;
    QAction* m_removeButton = nullptr;
    QAction* m_printButton = nullptr;
    QAction* m_saveMenu = nullptr;
    QAction* m_exportMenu = nullptr;
    QAction* m_removeMenu = nullptr;
    QAction* m_printMenu = nullptr;
    QAction* m_refreshMenu = nullptr;
    QAction* m_printerSetupMenu = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_numLock = nullptr;
    QLabel* m_capsLock = nullptr;
    QLabel* m_clock = nullptr;
    QLabel* m_date = nullptr;
    bool m_syncing = false;
};

} // namespace vexo
