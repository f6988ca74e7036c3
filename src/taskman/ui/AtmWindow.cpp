#include "AtmWindow.h"

#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace vexo {

namespace {

const char* const kButtonCaptions[6] = {"Switch to ...", "End Task ...", "New Task ...",
                                        "Show Task ...", "New Task ...", "End Task ..."};

} // namespace

AtmWindow::AtmWindow(TaskManager::Services services, std::string appFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_model(services, appFolder)
    , m_appFolder(std::move(appFolder)) {
    setWindowTitle(toQt(TaskManager::WindowTitle));
    fitToScreen(*this, {460, 420}, {360, 300});
    m_taskPicture = loadPicture(m_appFolder + "data/TSImage.dat");
    m_processPicture = loadPicture(m_appFolder + "data/PSImage.dat");

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildTab(TaskManager::ApplicationList, {0, 2, 5}, QString()),
                   QStringLiteral("Task Manager"));
    m_tabs->addTab(buildTab(TaskManager::ProcessList, {1, 3, 4}, toQt(TaskManager::Warning)),
                   QStringLiteral("Advanced ..."));
    setCentralWidget(m_tabs);
    buildMenus();

    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText); // may name the display, which is outside text
    m_status->setToolTip(toQt(TaskManager::StatusHint));
    statusBar()->addWidget(m_status, 1);
    m_notice = new QLabel(this);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setToolTip(QStringLiteral("This desktop shows the windows of its Wayland programs "
                                        "to no other program"));
    m_notice->hide();
    statusBar()->addWidget(m_notice);
    m_maker = new QLabel(toQt(TaskManager::MakerName), this);
    statusBar()->addPermanentWidget(m_maker);
    // Never so narrow that the hint in the status bar is cut (the rest: the bar's margins,
    // the gap between its panels and the size grip).
    m_status->setText(toQt(TaskManager::StatusHint));
    setMinimumWidth(
        std::max(minimumWidth(), m_status->sizeHint().width() + m_maker->sizeHint().width() + 48));

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, [this] {
        // No rebuild under any of the program's modal boxes.
        if (QApplication::activeModalWidget() == nullptr)
            run([this] { m_model.App_Timer_Timer(); });
    });

    m_closeWatch = new QTimer(this);
    m_closeWatch->setObjectName(QStringLiteral("CloseWatch"));
    connect(m_closeWatch, &QTimer::timeout, this, [this] {
        if (QApplication::activeModalWidget() == nullptr)
            run([this] { m_model.checkClosing(); });
    });

    // The window's own handle, so that it never lists itself: read at every refresh, since
    // the native window is made anew when the window is opened again.
    m_model.setOwnWindows([this](WindowId window) { return isOwnWindow(window); });
    m_model.onClose = [this] { close(); };
}

bool AtmWindow::isOwnWindow(WindowId window) const {
    const WId native = internalWinId();
    if ((native != 0 && static_cast<WindowId>(native) == window) || isHelperWindow(window))
        return true;
    // Its menus and their submenus are windows of their own while they are open, as is a tool
    // tip (of any of the program's windows: none is a task).
    const QWidget* widget = QWidget::find(static_cast<WId>(window));
    if (widget == nullptr || widget->windowType() == Qt::ToolTip)
        return widget != nullptr;
    for (; widget != nullptr; widget = widget->parentWidget())
        if (widget == this)
            return true;
    return false;
}

void AtmWindow::showFor(QWidget* opener) {
    // Owned by the window it was opened from, so that it stays above that window. Taking
    // another owner makes its native window anew, hidden.
    if (parentWidget() != opener)
        setParent(opener, windowFlags() | Qt::Window);
    if (!isVisible())
        load();
    show();
    // Said after the window is shown: the toolkit clears it when it maps a plain window.
    setOwnerWindow(*this, opener);
    raise();
    activateWindow();
}

void AtmWindow::load() {
    run([this] { m_model.Form_Load(); });
}

QWidget* AtmWindow::buildTab(int list, const std::array<int, 3>& buttons, const QString& warning) {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    auto* report = new QTreeWidget(page);
    report->setColumnCount(2);
    report->setHeaderLabels({list == TaskManager::ApplicationList
                                 ? QStringLiteral("Application Task")
                                 : QStringLiteral("System Process"),
                             QStringLiteral("Thread Id")});
    report->setRootIsDecorated(false);
    report->setUniformRowHeights(true);
    report->header()->setSectionsClickable(true);
    report->header()->setStretchLastSection(false);
    report->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    report->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    report->setIconSize(QSize(16, 16));

    auto* icons = new QListWidget(page);
    icons->setViewMode(QListView::IconMode);
    icons->setIconSize(QSize(32, 32));
    icons->setGridSize(QSize(110, 72));
    icons->setResizeMode(QListView::Adjust);
    icons->setMovement(QListView::Static);
    icons->setWordWrap(true);

    // Either view is the list of the tab, by the name of its first column.
    report->setAccessibleName(report->headerItem()->text(0));
    icons->setAccessibleName(report->headerItem()->text(0));

    auto* views = new QStackedWidget(page);
    views->addWidget(icons);
    views->addWidget(report);
    layout->addWidget(views, 1);
    m_views[list] = views;
    m_reports[list] = report;
    m_icons[list] = icons;

    connect(report, &QTreeWidget::itemSelectionChanged, this, [this, list, report] {
        if (m_filling)
            return;
        const QModelIndex current = report->currentIndex();
        run([&] {
            m_model.select(list, current.isValid() && report->currentItem()->isSelected()
                                     ? current.row() + 1
                                     : 0);
        });
    });
    connect(icons, &QListWidget::itemSelectionChanged, this, [this, list, icons] {
        if (m_filling)
            return;
        const int row = icons->currentRow();
        run([&] {
            m_model.select(list, row >= 0 && icons->currentItem()->isSelected() ? row + 1 : 0);
        });
    });
    connect(report, &QTreeWidget::itemDoubleClicked, this,
            [this] { run([this] { m_model.taskViewDoubleClick(); }); });
    connect(icons, &QListWidget::itemDoubleClicked, this,
            [this] { run([this] { m_model.taskViewDoubleClick(); }); });
    connect(report->header(), &QHeaderView::sectionClicked, this,
            [this, list](int column) { run([&] { m_model.ColumnClick(list, column); }); });

    if (!warning.isEmpty()) {
        auto* label = new QLabel(warning, page);
        label->setObjectName(QStringLiteral("Label1"));
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    for (const int index : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(kButtonCaptions[index]), page);
        button->setObjectName(QStringLiteral("CommandButton%1").arg(index));
        connect(button, &QPushButton::clicked, this,
                [this, index] { run([&] { m_model.CommandButton_Click(index); }); });
        row->addWidget(button);
    }
    layout->addLayout(row);
    return page;
}

void AtmWindow::buildMenus() {
    auto add = [this](QMenu* menu, const char* caption, const QKeySequence& key, auto command) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, [this, command] { run([&] { command(); }); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "&Save Log File ...", QKeySequence(Qt::CTRL | Qt::Key_L), [] {});
    file->addSeparator();
    add(file, "&Exit ATM", QKeySequence(Qt::CTRL | Qt::Key_X),
        [this] { m_model.ExitMenu_Click(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    add(view, "&Refresh", QKeySequence(Qt::Key_F5), [this] { m_model.RefreshMenu_Click(); });
    QMenu* speed = view->addMenu(QStringLiteral("&Update Speed"));
    m_checkActions[2] =
        add(speed, "&High", QKeySequence(Qt::Key_F6), [this] { m_model.UpdHigh_Click(); });
    m_checkActions[3] =
        add(speed, "&Normal", QKeySequence(Qt::Key_F7), [this] { m_model.UpdNorm_Click(); });
    m_checkActions[4] =
        add(speed, "&Slow", QKeySequence(Qt::Key_F8), [this] { m_model.UpdSlow_Click(); });
    m_checkActions[5] =
        add(speed, "&Paused", QKeySequence(Qt::Key_F9), [this] { m_model.UpdNone_Click(); });
    view->addSeparator();
    m_checkActions[0] =
        add(view, "&Icons", QKeySequence(Qt::Key_F2), [this] { m_model.ViewIcon_Click(); });
    m_checkActions[1] =
        add(view, "&Report", QKeySequence(Qt::Key_F3), [this] { m_model.ViewReport_Click(); });
    for (QAction* action : m_checkActions)
        action->setCheckable(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, "&Contents", QKeySequence(Qt::Key_F1), [] {});
    help->addSeparator();
    add(help, "&About", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { m_model.AboutMenu_Click(); });
}

template <class Command>
void AtmWindow::run(Command&& command) {
    command();
    sync();
}

void AtmWindow::sync() {
    for (std::size_t i = 0; i < m_checkActions.size(); ++i)
        m_checkActions[i]->setChecked(m_model.checked(static_cast<AtmCheck>(i)));
    const int interval = m_model.timerInterval();
    if (interval <= 0) {
        m_timer->stop();
    } else if (!m_timer->isActive() || m_timer->interval() != interval) {
        m_timer->start(interval);
    }
    if (!m_model.closing())
        m_closeWatch->stop();
    else if (!m_closeWatch->isActive())
        m_closeWatch->start(250);
    m_status->setText(toQt(m_model.statusText()));
    const QString notice = toQt(m_model.noticeText());
    if (notice != m_notice->text()) {
        m_notice->setText(notice);
        m_notice->setVisible(!notice.isEmpty());
        // The notice is one line, never cut.
        if (!notice.isEmpty())
            setMinimumWidth(std::max(minimumWidth(), m_status->sizeHint().width() +
                                                         m_notice->sizeHint().width() +
                                                         m_maker->sizeHint().width() + 56));
    }
    if (m_model.revision() != m_shownRevision)
        fillLists();
}

void AtmWindow::fillLists() {
    m_filling = true;
    for (int list = 0; list < 2; ++list) {
        const TaskList& rows = m_model.list(list);
        const QIcon icon(list == TaskManager::ApplicationList ? m_taskPicture : m_processPicture);
        QTreeWidget* report = m_reports[list];
        QListWidget* icons = m_icons[list];
        // The items are kept and changed in place: a click that only selects leaves them as
        // they are, so the second click of a double-click finds the item it pressed, and a
        // rebuild changes what each row shows without a row left over from before.
        const int count = static_cast<int>(rows.rows.size());
        while (report->topLevelItemCount() > count)
            delete report->takeTopLevelItem(report->topLevelItemCount() - 1);
        while (icons->count() > count)
            delete icons->takeItem(icons->count() - 1);
        for (int i = 0; i < count; ++i) {
            const TaskRow& row = rows.rows[static_cast<std::size_t>(i)];
            const QString title = toQt(row.title);
            const QString handle = toQt(row.handle);
            QTreeWidgetItem* item = report->topLevelItem(i);
            if (item == nullptr) {
                item = new QTreeWidgetItem(report);
                item->setIcon(0, icon);
            }
            if (item->text(0) != title)
                item->setText(0, title);
            if (item->text(1) != handle)
                item->setText(1, handle);
            QListWidgetItem* tile = icons->item(i);
            if (tile == nullptr)
                tile = new QListWidgetItem(icon, QString(), icons);
            if (tile->text() != title) {
                tile->setText(title);
                tile->setToolTip(plainToolTip(title));
            }
        }
        QTreeWidgetItem* current =
            rows.selected > 0 ? report->topLevelItem(rows.selected - 1) : nullptr;
        if (current == nullptr) {
            report->clearSelection();
            icons->clearSelection();
        } else {
            if (report->currentItem() != current || !current->isSelected())
                report->setCurrentItem(current);
            if (icons->currentRow() != rows.selected - 1 ||
                !icons->item(rows.selected - 1)->isSelected())
                icons->setCurrentRow(rows.selected - 1);
        }
        m_views[list]->setCurrentIndex(rows.viewMode == 0 ? 0 : 1);
    }
    m_shownRevision = m_model.revision();
    m_filling = false;
}

void AtmWindow::closeEvent(QCloseEvent* event) {
    m_model.Form_QueryUnload();
    m_timer->stop();
    m_closeWatch->stop();
    event->accept();
}

RecordedTasks::RecordedTasks(TaskManager::Services services, std::string appFolder,
                             const std::unique_ptr<AtmWindow>& window)
    : m_reader(services, std::move(appFolder)) {
    m_reader.setOwnWindows([&window](WindowId id) {
        return isHelperWindow(id) || (window != nullptr && window->isOwnWindow(id));
    });
}

std::vector<std::string> RecordedTasks::applicationTaskTitles() {
    return readApplicationTasks(m_reader);
}

} // namespace vexo
