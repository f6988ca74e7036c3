#include "ResultWindow.h"

#include "browser/ui/BrowserTableModel.h"
#include "browser/ui/ScoresChart.h"
#include "platform/qt/AccessibleControls.h"
#include "platform/qt/QtPlatform.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace vexo {

namespace {

struct HelpOption {
    const char* text;
    const char* description;
};

constexpr std::array<HelpOption, 9> kHelpOptions{{
    {"Compare Platform Specifications",
     "This will allow you to compare the actual systems the benchmarks were performed on. (F2)"},
    {"Compare Platform Tasks",
     "The mode will allow you to compare what applications were running on the system when it "
     "was benchmarked. (F3)"},
    {"Compare Benchmark Scores",
     "This mode will allow you to check and compare the scores returned buy the specific "
     "benchmark(s). (F4)"},
    {"New Comparision", "(ctrl-n)"},
    {"Open Old Comparision", "(ctrl-l)"},
    {"Save Comparision", "(ctrl-s)"},
    {"Print Current Data", "(ctrl-p)"},
    {"Import Benchmark(s)", "(ctrl-i)"},
    {"Remove Benchmarks", "(ctrl-d)"},
}};

// Gives a wrapped text at least the height its lines take at its present width.
void fitWrappedHeight(QLabel& label) {
    const int needed = label.heightForWidth(label.width());
    if (needed > 0 && needed != label.minimumHeight())
        label.setMinimumHeight(needed);
}

// A wrapped text whose lines stay whole however narrow the window makes it.
class WrappedText final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fitWrappedHeight(*this);
    }
};

} // namespace

ResultWindow::ResultWindow(ResultBrowser::Services services, KeyboardLocks& locks,
                           std::string appFolder, std::string dialogFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_shownFirst(services.dialogs, *this)
    , m_model({m_shownFirst, services.files}, std::move(dialogFolder))
    , m_locks(locks)
    , m_appFolder(std::move(appFolder))
    , m_hand(handCursor(m_appFolder)) {
    setObjectName(QStringLiteral("Result"));
    fitToScreen(*this, {1000, 640}, {640, 420});
    // Load_Picture_Data: the window picture, the ten toolbar pictures and the three option
    // pictures (11 third, 12 highlighted, 13 plain).
    m_pictures[0] = loadPicture(m_appFolder + "data/RBImage.dat");
    for (int i = 1; i <= 10; ++i)
        m_pictures[static_cast<std::size_t>(i)] =
            loadPicture(m_appFolder + "data/R" + std::to_string(i) + "Image.dat");
    m_pictures[11] = loadPicture(m_appFolder + "data/HLImage.dat");
    m_pictures[12] = loadPicture(m_appFolder + "data/HRImage.dat");
    m_pictures[13] = loadPicture(m_appFolder + "data/HMImage.dat");

    buildMenus();
    buildToolBar();

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(6, 6, 0, 0);
    auto* left = new QVBoxLayout();
    left->addWidget(buildTitleArea());
    m_frames = new QStackedWidget(central);
    for (const BrowserMode list : {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores})
        m_frames->addWidget(buildList(list));
    left->addWidget(m_frames, 1);
    columns->addLayout(left, 1);
    columns->addWidget(buildHelpPanel());
    setCentralWidget(central);
    buildStatusBar();

    run([this] { m_model.Form_Load(); });
}

ResultWindow::~ResultWindow() = default;

QAction* ResultWindow::addMenuItem(QMenu* menu, const char* caption, const QKeySequence& key,
                                   std::function<void()> command) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, command] { run(command); });
    return action;
}

void ResultWindow::buildMenus() {
    ResultBrowser& m = m_model;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addMenuItem(file, "&New", QKeySequence(Qt::CTRL | Qt::Key_N), [&m] { m.newMenuClick(); });
    file->addSeparator();
    m_saveMenu = addMenuItem(file, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S),
                             [&m] { m.Save_Benchmark_Menu(); });
    m_exportMenu = addMenuItem(file, "Export Report ...", QKeySequence(Qt::CTRL | Qt::Key_E),
                               [&m] { m.exportReport(); });
    file->addSeparator();
    addMenuItem(file, "&Load", QKeySequence(Qt::CTRL | Qt::Key_L), [&m] { m.LoadMenu_Click(); });
    addMenuItem(file, "&Close", QKeySequence(Qt::CTRL | Qt::Key_X), [&m] { m.CloseMenu_Click(); });
    file->addSeparator();
    m_printerSetupMenu =
        addMenuItem(file, "Printer Se&tup", QKeySequence(Qt::CTRL | Qt::Key_T), [] {});
    m_printMenu = addMenuItem(file, "&Print", QKeySequence(Qt::CTRL | Qt::Key_P), [] {});
    file->addSeparator();
    addMenuItem(file, "&Exit", QKeySequence(Qt::CTRL | Qt::Key_Z), [] {});

    QMenu* benchmark = menuBar()->addMenu(QStringLiteral("&Benchmark"));
    addMenuItem(benchmark, "&Import", QKeySequence(Qt::CTRL | Qt::Key_I),
                [&m] { m.ImportMenu_Click(); });
    m_removeMenu = addMenuItem(benchmark, "&Remove", QKeySequence(Qt::CTRL | Qt::Key_D),
                               [&m] { m.Remove_Benchmark_Menu(); });
    benchmark->addSeparator();
    m_refreshMenu = addMenuItem(benchmark, "&Refresh", QKeySequence(Qt::Key_F5), [] {});

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_modeMenu[0] = addMenuItem(view, "&Platform Comparision", QKeySequence(Qt::Key_F2),
                                [&m] { m.pressMode(BrowserMode::Platform); });
    m_modeMenu[1] = addMenuItem(view, "&Task Comparision", QKeySequence(Qt::Key_F3),
                                [&m] { m.pressMode(BrowserMode::Tasks); });
    m_modeMenu[2] = addMenuItem(view, "&Score Comparisions", QKeySequence(Qt::Key_F4),
                                [&m] { m.pressMode(BrowserMode::Scores); });
    for (QAction* action : m_modeMenu)
        action->setCheckable(true);
    view->addSeparator();
    addMenuItem(view, "ATM (Advanced Task Manager)", QKeySequence(Qt::Key_F6),
                [&m] { m.atmViewClick(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addMenuItem(help, "&Contents", QKeySequence(Qt::CTRL | Qt::Key_C),
                [&m] { m.contentsMenuClick(); });
    help->addSeparator();
    addMenuItem(help, "&About", QKeySequence(Qt::CTRL | Qt::Key_B), [&m] { m.AboutMenu_Click(); });
}

void ResultWindow::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    ResultBrowser& m = m_model;
    auto button = [&](const char* name, int picture, std::function<void()> command) {
        QAction* action = bar->addAction(QIcon(m_pictures[static_cast<std::size_t>(picture)]),
                                         QString::fromLatin1(name));
        action->setObjectName(QStringLiteral("Button%1").arg(QString::fromLatin1(name)));
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        return action;
    };
    button("New", 1, [&m] { m.newMenuClick(); });
    m_saveButton = button("Save", 2, [&m] { m.Save_Benchmark_Menu(); });
    button("Open", 3, [&m] { m.LoadMenu_Click(); });
    bar->addSeparator();
    m_printButton = button("Print", 4, [] {});
    bar->addSeparator();
    button("Import", 5, [&m] { m.ImportMenu_Click(); });
    m_removeButton = button("Remove", 6, [&m] { m.Remove_Benchmark_Menu(); });
    bar->addSeparator();
    button("Help", 7, [&m] { m.contentsMenuClick(); });
    bar->addSeparator();
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const char* names[] = {"Platform", "Tasks", "Scores"};
    for (int i = 0; i < 3; ++i) {
        const auto mode = static_cast<BrowserMode>(i);
        m_modeButtons[static_cast<std::size_t>(i)] =
            button(names[i], 8 + i, [&m, mode] { m.pressMode(mode); });
        m_modeButtons[static_cast<std::size_t>(i)]->setCheckable(true);
        group->addAction(m_modeButtons[static_cast<std::size_t>(i)]);
    }
}

QWidget* ResultWindow::buildTitleArea() {
    auto* area = new QWidget(this);
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* picture = new QLabel(area);
    picture->setObjectName(QStringLiteral("TitleImage"));
    picture->setPixmap(m_pictures[0]);
    layout->addWidget(picture, 0, 0, 2, 1);
    // The title, description and status can name files and records: outside text.
    m_title = new QLabel(area);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setObjectName(QStringLiteral("TitleText0"));
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    m_title->setFont(big);
    layout->addWidget(m_title, 0, 1);
    m_description = new WrappedText(area);
    m_description->setObjectName(QStringLiteral("TitleText1"));
    m_description->setTextFormat(Qt::PlainText);
    m_description->setWordWrap(true);
    layout->addWidget(m_description, 1, 1);
    auto* rule = new QFrame(area);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    return area;
}

QWidget* ResultWindow::buildList(BrowserMode list) {
    const auto i = static_cast<std::size_t>(list);
    auto* table = new QTableView(this);
    table->setObjectName(list == BrowserMode::Platform ? QStringLiteral("ComputerInfo")
                         : list == BrowserMode::Tasks  ? QStringLiteral("TaskInfo")
                                                       : QStringLiteral("ScoreInfo"));
    table->setAccessibleName(list == BrowserMode::Platform ? QStringLiteral("Computers")
                             : list == BrowserMode::Tasks  ? QStringLiteral("Tasks")
                                                           : QStringLiteral("Scores"));
    auto* model = new BrowserTableModel(m_model, list, this);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setHighlightSections(false);
    m_tables[i] = model;
    m_views[i] = table;

    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, list](const QModelIndex& current) {
                if (!m_syncing)
                    run([&] { m_model.select(list, current.isValid() ? current.row() : -1); });
            });
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this, list](int column) {
                run([&] {
                    m_model.ColumnClick(list, static_cast<std::size_t>(column));
                    if (list == BrowserMode::Scores)
                        m_model.setChartColumn(static_cast<std::size_t>(column));
                });
            });

    if (list != BrowserMode::Scores)
        return table;
    // Scores: the list, and below it the chart of the chosen score column.
    connect(
        table->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
        [this](const QModelIndex& current) {
            if (current.isValid())
                run([&] { m_model.setChartColumn(static_cast<std::size_t>(current.column())); });
        });
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table);
    m_chart = new ScoresChart(m_model, splitter);
    m_chart->onMenu = [this](QPoint at, std::optional<std::size_t> row) {
        baselineMenu(m_chart, at, row);
    };
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    auto menuAt = [this, table](QPoint at, const QModelIndex& index) {
        baselineMenu(table, table->viewport()->mapToGlobal(at),
                     index.isValid() ? std::optional<std::size_t>(index.row()) : std::nullopt);
    };
    connect(table, &QWidget::customContextMenuRequested, this,
            [table, menuAt](QPoint at) { menuAt(at, table->indexAt(at)); });
    // Shift+F10, as the Menu key does, opens the menu of the current row beside it.
    auto* menuKey = new QAction(table);
    menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table->addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [table, menuAt] {
        const QModelIndex current = table->currentIndex();
        menuAt(current.isValid() ? table->visualRect(current).center()
                                 : table->viewport()->rect().center(),
               current);
    });
    auto* scroll = new QScrollArea(splitter);
    scroll->setWidget(m_chart);
    scroll->setWidgetResizable(true);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({300, 200});
    return splitter;
}

QWidget* ResultWindow::buildHelpPanel() {
    // The options scroll when the window is too short to show them all at once.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("HlpWizzScroll"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* panel = new QFrame(scroll);
    panel->setObjectName(QStringLiteral("HlpWizzFrame"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFixedWidth(240);
    scroll->setFixedWidth(240 + scroll->verticalScrollBar()->sizeHint().width());
    auto* layout = new QVBoxLayout(panel);
    auto* heading = new QLabel(QStringLiteral("VexoGAUGE 2002 Result Browser"), panel);
    heading->setWordWrap(true);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(QStringLiteral("What do you want to do today?"), panel));
    for (int option = 0; option < 9; ++option) {
        const auto o = static_cast<std::size_t>(option);
        auto change = [this, option] { run([&] { m_model.Change_Options(option); }); };
        auto* row = new QGridLayout();
        auto* picture = new ClickableLabel(QString(), change, panel);
        picture->setObjectName(QStringLiteral("HlpOptImage%1").arg(option));
        picture->setCursor(m_hand);
        picture->setFixedSize(18, 18);
        auto* text = new ClickableLabel(QString::fromLatin1(kHelpOptions[o].text), change, panel);
        text->setObjectName(QStringLiteral("HlpOptText%1").arg(option));
        text->setWordWrap(true);
        text->setCursor(m_hand);
        text->setStyleSheet(QStringLiteral("QLabel { color: palette(link); } "
                                           "QLabel:disabled { color: palette(mid); }"));
        text->becomeKeyboardLink();
        makeAccessibleDecoration(picture);
        auto* hint = new QLabel(QString::fromLatin1(kHelpOptions[o].description), panel);
        hint->setWordWrap(true);
        QFont small = hint->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        hint->setFont(small);
        row->addWidget(picture, 0, 0, Qt::AlignTop);
        row->addWidget(text, 0, 1);
        row->addWidget(hint, 1, 1);
        row->setColumnStretch(1, 1);
        layout->addLayout(row);
        m_optionPictures[o] = picture;
        m_optionTexts[o] = text;
    }
    layout->addStretch(1);
    scroll->setWidget(panel);
    return scroll;
}

void ResultWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    m_statusLabel = new QLabel(QStringLiteral("Status: Idle"), bar);
    m_statusLabel->setTextFormat(Qt::PlainText);
    bar->addWidget(m_statusLabel, 1);
    // The lock panels keep their width when empty, so the bar does not shift as keys change.
    auto lockPanel = [bar](const char* name, const char* caption) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setAlignment(Qt::AlignCenter);
        panel->setMinimumWidth(
            panel->fontMetrics().horizontalAdvance(QString::fromLatin1(caption)) + 8);
        bar->addPermanentWidget(panel);
        return panel;
    };
    m_numLock = lockPanel("NumLockPanel", "NUM");
    m_capsLock = lockPanel("CapsLockPanel", "CAPS");
    m_clock = new QLabel(bar);
    m_date = new QLabel(bar);
    bar->addPermanentWidget(m_clock);
    bar->addPermanentWidget(m_date);
    bar->addPermanentWidget(new QLabel(QStringLiteral("Kestrovia VexoGAUGE 2002"), bar));
    tick();
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("StatusClock"));
    connect(timer, &QTimer::timeout, this, [this] { tick(); });
    timer->start(1000);
}

void ResultWindow::tick() {
    const QDateTime now = QDateTime::currentDateTime();
    m_clock->setText(now.toString(QStringLiteral("HH:mm")));
    m_date->setText(now.toString(QStringLiteral("yyyy-MM-dd")));
    // A lock whose state cannot be read is shown as off.
    const LockKeys locks = m_locks.lockKeys().value_or(LockKeys{});
    m_numLock->setText(locks.numLock ? QStringLiteral("NUM") : QString());
    m_capsLock->setText(locks.capsLock ? QStringLiteral("CAPS") : QString());
}

void ResultWindow::run(const std::function<void()>& command) {
    command();
    sync();
}

int ResultWindow::ShownFirst::messageBox(const std::string& text, int style,
                                         const std::string& title) {
    m_window.sync();
    return m_dialogs.messageBox(text, style, title);
}

std::optional<std::string> ResultWindow::ShownFirst::inputBox(const std::string& prompt,
                                                              const std::string& title,
                                                              const std::string& defaultText,
                                                              int leftTwips, int topTwips) {
    m_window.sync();
    return m_dialogs.inputBox(prompt, title, defaultText, leftTwips, topTwips);
}

void ResultWindow::baselineMenu(QWidget* parent, QPoint globalPosition,
                                std::optional<std::size_t> row) {
    // The record is named when the menu opens, so rows that change while it is open cannot
    // turn the choice onto another record.
    const std::optional<BenchmarkRecord> record = m_model.scoresRecord(row);
    QMenu menu(parent);
    QAction* use = menu.addAction(QStringLiteral("Use as baseline"));
    QAction* clear = menu.addAction(QStringLiteral("Clear baseline"));
    use->setEnabled(record.has_value());
    clear->setEnabled(m_model.baseline().has_value());
    const QPointer<ResultWindow> alive(this);
    QAction* chosen = menu.exec(globalPosition);
    if (alive.isNull() || chosen == nullptr)
        return;
    run([&] { m_model.setBaseline(chosen == use ? record : std::nullopt); });
}

void ResultWindow::sync() {
    m_syncing = true;
    setWindowTitle(toQt(m_model.windowTitle()));
    m_statusLabel->setText(m_model.statusText().empty()
                               ? QStringLiteral("Status: Idle")
                               : QStringLiteral("Status: ") + toQt(m_model.statusText()));
    const CommandStates& states = m_model.states();
    m_saveButton->setEnabled(states.saveButton);
    m_removeButton->setEnabled(states.removeButton);
    m_printButton->setEnabled(states.printButton);
    m_saveMenu->setEnabled(states.saveMenu);
    m_exportMenu->setEnabled(states.exportMenu);
    m_removeMenu->setEnabled(states.removeMenu);
    m_printMenu->setEnabled(states.printMenu);
    m_refreshMenu->setEnabled(states.refreshMenu);
    m_printerSetupMenu->setEnabled(states.printerSetupMenu);

    const auto mode = static_cast<std::size_t>(m_model.mode());
    for (std::size_t i = 0; i < 3; ++i) {
        m_modeButtons[i]->setChecked(i == mode);
        m_modeMenu[i]->setChecked(i == mode);
    }
    m_frames->setCurrentIndex(static_cast<int>(mode));
    m_title->setText(toQt(m_model.titleText()));
    m_description->setText(toQt(m_model.descriptionText()));
    fitWrappedHeight(*m_description);
    for (std::size_t option = 0; option < 9; ++option) {
        m_optionPictures[option]->setPixmap(
            m_pictures[static_cast<std::size_t>(m_model.optionPicture(static_cast<int>(option)))]);
        m_optionPictures[option]->setEnabled(states.options[option]);
        m_optionTexts[option]->setEnabled(states.options[option]);
    }

    if (m_model.revision() != m_shownRevision) {
        m_shownRevision = m_model.revision();
        for (std::size_t i = 0; i < 3; ++i) {
            const bool firstFill = m_tables[i]->columnCount() == 0 || m_tables[i]->rowCount() == 0;
            m_tables[i]->refresh();
            QTableView* view = m_views[i];
            if (firstFill || view->horizontalHeader()->count() != view->model()->columnCount()) {
                const auto columns = m_model.columns(static_cast<BrowserMode>(i));
                for (std::size_t c = 0; c < columns.size(); ++c)
                    view->setColumnWidth(static_cast<int>(c),
                                         columns[c].widthTwips * logicalDpiX() / 1440);
            }
            // The header marks the column the rows were last sorted by, in that direction.
            const auto list = static_cast<BrowserMode>(i);
            const std::optional<std::size_t> sorted = m_model.sortedColumn(list);
            QHeaderView* header = view->horizontalHeader();
            header->setSortIndicatorShown(sorted.has_value());
            if (sorted)
                header->setSortIndicator(static_cast<int>(*sorted), m_model.sortedDescending(list)
                                                                        ? Qt::DescendingOrder
                                                                        : Qt::AscendingOrder);
            const int selected = m_model.selectedRow(list);
            if (selected >= 0)
                view->selectRow(selected);
        }
    }
    if (m_model.chartRevision() != m_shownChartRevision) {
        m_shownChartRevision = m_model.chartRevision();
        m_chart->refresh();
    }
    m_syncing = false;
}

void ResultWindow::showEvent(QShowEvent* event) {
    m_model.setVisible(true);
    QMainWindow::showEvent(event);
}

void ResultWindow::hideEvent(QHideEvent* event) {
    m_model.setVisible(false);
    QMainWindow::hideEvent(event);
}

void ResultWindow::closeEvent(QCloseEvent* event) {
    // Closing asks the program's exit question; only Yes lets it go (and ends the program).
    if (confirmExit && confirmExit())
        event->accept();
    else
        event->ignore();
}

} // namespace vexo
