#pragma once

#include "taskman/TaskManager.h"
#include "taskman/TaskTitles.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QListWidget;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QTreeWidget;

namespace vexo {

// The Advanced Task Manager window: renders the task manager's lists, check marks and status,
// and hands every click, key and timer tick to it.
class AtmWindow final : public QMainWindow {
public:
    AtmWindow(TaskManager::Services services, std::string appFolder, QWidget* parent = nullptr);

    TaskManager& model() { return m_model; }
    // Whether the window is this one's native window as it now stands, or one of its menus.
    bool isOwnWindow(WindowId window) const;
    // Loads the lists (the window's load step); showing the window is the caller's choice.
    void load();
    // Shows the window owned by the opener (loading it first when it was not shown).
    void showFor(QWidget* opener);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildTab(int list, const std::array<int, 3>& buttons, const QString& warning);
    // Runs a command of the model, then shows what changed.
    template <class Command>
    void run(Command&& command);
    void sync();
    void fillLists();

    TaskManager m_model;
    std::string m_appFolder;
    std::uint64_t m_shownRevision = ~0ULL;
    QTabWidget* m_tabs = nullptr;
    std::array<QStackedWidget*, 2> m_views{};
    std::array<QTreeWidget*, 2> m_reports{};
    std::array<QListWidget*, 2> m_icons{};
    std::array<QAction*, 6> m_checkActions{};
    QLabel* m_status = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_maker = nullptr;
    QTimer* m_timer = nullptr;
    QTimer* m_closeWatch = nullptr; // while a window End Task asked to close is awaited
    QPixmap m_taskPicture;
    QPixmap m_processPicture;
    bool m_filling = false;
};

// The application tasks a run records, read by a task manager of its own. The program's task
// manager window (created on first use, so possibly none yet) and the toolkit's hidden helper
// windows are never among them.
class RecordedTasks final : public TaskTitleSource {
public:
    RecordedTasks(TaskManager::Services services, std::string appFolder,
                  const std::unique_ptr<AtmWindow>& window);
    std::vector<std::string> applicationTaskTitles() override;

private:
    TaskManager m_reader;
};

} // namespace vexo
