#include "TaskManager.h"

#include "common/Text.h"

#include <algorithm>
#include <charconv>

namespace vexo {

namespace {

constexpr const char* kSection = "ATM";
constexpr std::array<const char*, 6> kCheckKeys{"ViewMode1",   "ViewMode2",   "UpdateMode1",
                                                "UpdateMode2", "UpdateMode3", "UpdateMode4"};
constexpr std::array<bool, 6> kCheckDefaults{false, true, false, false, false, false};
constexpr std::array<int, 4> kSpeedIntervals{500, 1000, 4000, 0};

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return out;
}

} // namespace

bool parseTruth(const std::string& text, bool defaultValue) {
    const std::string value = lowered(text);
    if (value == "true")
        return true;
    if (value == "false")
        return false;
    long long number = 0;
    const auto result = std::from_chars(value.data(), value.data() + value.size(), number);
    if (result.ec == std::errc() && result.ptr == value.data() + value.size() && !value.empty())
        return number != 0;
    return defaultValue;
}

TaskManager::TaskManager(Services services, std::string appFolder)
    : m_services(services)
    , m_appFolder(std::move(appFolder)) {}

void TaskManager::Form_Load() {
    m_lists = {};
    m_closing.clear();
    changed();
    Load_ATM_Settings();
    Update_AppList();
}

void TaskManager::Form_QueryUnload() {
    Save_ATM_Settings();
}

std::string TaskManager::Strip_At_Nul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string TaskManager::listedTitle(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    // Characters are counted by their first bytes, so a character is never split; a stray
    // continuation byte counts with the character before it.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            ++characters > MaxTitleCharacters)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

bool TaskManager::TaskWindow(WindowId window) {
    // Every window has all the bits of an empty mask: no need to ask the window system.
    if (m_taskStyleMask == 0)
        return true;
    return (m_services.windows.windowStyle(window) & m_taskStyleMask) == m_taskStyleMask;
}

std::string TaskManager::titleOf(WindowId window) {
    return listedTitle(m_services.windows.windowText(window));
}

void TaskManager::Update_AppList() {
    WindowSystem& windows = m_services.windows;

    // Change check: only the number of titled windows is compared. The titles are read all
    // at once: it runs as often as twice a second.
    std::vector<WindowId> others = windows.topLevelWindows();
    std::erase_if(others, [this](WindowId window) { return isOwnWindow(window); });
    m_taskStyleMask = 0;
    const std::vector<std::string> titles = windows.windowTexts(others);
    std::size_t titled = 0;
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (TaskWindow(others[i]) && !listedTitle(titles[i]).empty())
            ++titled;
    }
    if (titled != m_lists[ProcessList].rows.size())
        rebuild();
}

void TaskManager::rebuild() {
    WindowSystem& windows = m_services.windows;
    for (TaskList& list : m_lists) {
        list.rows.clear();
        list.selected = 0;
        list.arrangement = 0;
    }
    // One walk: each window's title is read once (all at once), and only a titled window is
    // asked for its style and owner.
    std::vector<WindowId> others = windows.topLevelWindows();
    std::erase_if(others, [this](WindowId window) { return isOwnWindow(window); });
    const std::vector<std::string> titles = windows.windowTexts(others);
    for (std::size_t i = 0; i < others.size(); ++i) {
        const WindowId window = others[i];
        std::string title = listedTitle(titles[i]);
        if (title.empty())
            continue;
        const std::string handle = std::to_string(window);
        // Kept with the rows; an action compares them with the window it finds.
        const WindowOwner owner = windows.windowOwner(window);
        m_taskStyleMask = WindowStyle::Visible;
        if (TaskWindow(window))
            m_lists[ApplicationList].rows.push_back({title, handle, 1, owner});
        m_taskStyleMask = 0;
        m_lists[ProcessList].rows.push_back({std::move(title), handle, 2, owner});
    }
    for (TaskList& list : m_lists)
        list.arrangement = 1;
    changed();
}

void TaskManager::App_Timer_Timer() {
    // A rebuild under an open question would move its answer onto another row.
    if (boxOpen())
        return;
    const int selectedTask = m_lists[ApplicationList].selected;
    const int selectedProcess = m_lists[ProcessList].selected;
    Update_AppList();
    // After a rebuild the same row numbers may hold other windows; a number past the end of
    // the new list selects nothing.
    select(ApplicationList, selectedTask);
    select(ProcessList, selectedProcess);
}

void TaskManager::select(int list, int row) {
    TaskList& target = m_lists.at(list);
    const int wanted = row >= 1 && row <= static_cast<int>(target.rows.size()) ? row : 0;
    if (target.selected != wanted) {
        target.selected = wanted;
        changed();
    }
}

const TaskRow* TaskManager::selectedRow(int list) const {
    const TaskList& source = m_lists.at(list);
    if (source.selected < 1 || source.selected > static_cast<int>(source.rows.size()))
        return nullptr;
    return &source.rows[source.selected - 1];
}

std::optional<WindowId> TaskManager::selectedHandle(int list) const {
    const TaskRow* row = selectedRow(list);
    if (row == nullptr)
        return std::nullopt;
    WindowId handle = 0;
    const std::string& text = row->handle;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), handle);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return handle;
}

void TaskManager::CommandButton_Click(int index) {
    switch (index) {
    case 0:
        Switch_Click();
        break;
    case 1:
        endTask(ProcessList);
        break;
    case 2:
    case 4:
        New_Task();
        break;
    case 3:
        showWindow();
        break;
    case 5:
        endTask(ApplicationList);
        break;
    default:
        break;
    }
    m_services.pump.yield();
    Update_AppList();
}

void TaskManager::taskViewDoubleClick() {
    CommandButton_Click(0);
}

void TaskManager::Switch_Click() {
    const TaskRow* row = selectedRow(ApplicationList);
    const auto handle = selectedHandle(ApplicationList);
    if (row == nullptr || !handle)
        return;
    WindowSystem& windows = m_services.windows;
    actOnRow(TaskRow(*row), *handle, "Switch to ...", [&] {
        if ((windows.windowStyle(*handle) & WindowStyle::Minimised) != 0)
            windows.restore(*handle);
        windows.raiseAndShow(*handle);
    });
}

void TaskManager::showWindow() {
    const TaskRow* row = selectedRow(ProcessList);
    const auto handle = selectedHandle(ProcessList);
    if (row == nullptr || !handle)
        return;
    actOnRow(TaskRow(*row), *handle, "Show Task ...",
             [&] { m_services.windows.raiseAndShow(*handle); });
}

bool TaskManager::stillShows(const TaskRow& row, WindowId handle) {
    // A vanished window has no title; a window that took the id over has another title or
    // owner (or the same ones, and is then the same to the user too).
    return titleOf(handle) == row.title && m_services.windows.windowOwner(handle) == row.owner;
}

bool TaskManager::actOnRow(const TaskRow& row, WindowId handle, const std::string& boxTitle,
                           const std::function<void()>& request) {
    bool same = false;
    {
        const OthersHeld held(m_services.windows);
        same = stillShows(row, handle);
        if (same)
            request();
    }
    if (same)
        return true;
    ask("The window \"" + row.title +
            "\" in that row has changed or closed since the list was made, so nothing was done "
            "to it. The lists are made anew.",
        MsgStyle::Information, boxTitle);
    rebuild();
    return false;
}

int TaskManager::ask(const std::string& text, int style, const std::string& title) {
    ++m_boxesOpen;
    struct Closed {
        int& count;
        ~Closed() { --count; }
    } closed{m_boxesOpen};
    return m_services.dialogs.messageBox(text, style, title);
}

void TaskManager::endTask(int list) {
    // The window is the one named in the question, whatever the lists hold once it is answered:
    // the row is copied before the question is shown.
    const TaskRow* selected = selectedRow(list);
    const auto handle = selectedHandle(list);
    if (selected == nullptr || !handle)
        return;
    const TaskRow row = *selected;
    const std::string text = "Are you sure you want to end the process: " + row.title + "." + CR +
                             "This may cause system hanging or unpredictable results!";
    if (ask(text, MsgStyle::YesNo + MsgStyle::Question, "Warning!") != MsgAnswer::Yes)
        return;
    bool asked = false;
    if (!actOnRow(row, *handle, "End Task",
                  [&] { asked = m_services.windows.requestClose(*handle); }))
        return;
    if (asked) {
        m_closing.push_back({row, *handle});
        return;
    }
    // Closing it any other way would mean killing its program.
    ask("The window \"" + row.title +
            "\" could not be closed: it does not accept a request to close.",
        MsgStyle::Exclamation, "End Task");
}

void TaskManager::checkClosing() {
    if (boxOpen())
        return; // the lists are not made anew under a question
    bool gone = false;
    std::erase_if(m_closing, [&](Closing& awaited) {
        const bool closed = !stillShows(awaited.row, awaited.handle);
        gone = gone || closed;
        return closed || ++awaited.checks >= kClosingChecks;
    });
    // Listed anew even where another window came meanwhile and the number stayed.
    if (gone)
        rebuild();
}

void TaskManager::New_Task() {
    FileDialogRequest request;
    request.maxFileNameLength = 256;
    request.title = "New Task ...";
    request.initialFolder = m_appFolder;
    request.flags = FileFlags::Explorer | FileFlags::FileMustExist | FileFlags::HideReadOnly;
    request.filter =
        "Executable Files (*.exe)|*.exe|TSR Executable (*.com)|*.com|All Files (*.*)|*.*";
    request.filterIndex = 1;
    ++m_boxesOpen;
    const std::optional<std::string> path = m_services.files.openFile(request);
    --m_boxesOpen;
    if (path)
        m_services.programs.startProgram(*path);
}

void TaskManager::ViewIcon_Click() {
    m_checks[static_cast<int>(AtmCheck::ViewIcons)] = true;
    m_checks[static_cast<int>(AtmCheck::ViewReport)] = false;
    Check_View_Status();
}

void TaskManager::ViewReport_Click() {
    m_checks[static_cast<int>(AtmCheck::ViewReport)] = true;
    m_checks[static_cast<int>(AtmCheck::ViewIcons)] = false;
    Check_View_Status();
}

void TaskManager::ExitMenu_Click() {
    Save_ATM_Settings();
    if (onClose)
        onClose();
}

void TaskManager::AboutMenu_Click() {
    if (onAbout)
        onAbout();
}

void TaskManager::ColumnClick(int list, int column) {
    TaskList& target = m_lists.at(list);
    const TaskRow* selected = selectedRow(list);
    const TaskRow selectedCopy = selected != nullptr ? *selected : TaskRow{};
    auto key = [column](const TaskRow& row) -> const std::string& {
        return column == 0 ? row.title : row.handle;
    };
    std::stable_sort(
        target.rows.begin(), target.rows.end(),
        [&](const TaskRow& a, const TaskRow& b) { return compareText(key(a), key(b)) > 0; });
    // The selection stays with its row.
    if (selected != nullptr) {
        const auto at = std::find(target.rows.begin(), target.rows.end(), selectedCopy);
        target.selected = static_cast<int>(at - target.rows.begin()) + 1;
    }
    changed();
}

void TaskManager::Load_ATM_Settings() {
    // A load starts with the timer stopped: with no speed checked it stays so.
    m_timerInterval = 0;
    for (std::size_t i = 0; i < kCheckKeys.size(); ++i) {
        const std::string stored = m_services.settings.get(
            kSettingsApplication, kSection, kCheckKeys[i], kCheckDefaults[i] ? "True" : "False");
        m_checks[i] = parseTruth(stored, kCheckDefaults[i]);
    }
    Check_Update_Status();
    Check_View_Status();
}

void TaskManager::Save_ATM_Settings() {
    for (std::size_t i = 0; i < kCheckKeys.size(); ++i)
        m_services.settings.save(kSettingsApplication, kSection, kCheckKeys[i],
                                 m_checks[i] ? "True" : "False");
}

void TaskManager::Clear_Update_Modes() {
    for (int i = static_cast<int>(AtmCheck::SpeedHigh);
         i <= static_cast<int>(AtmCheck::SpeedPaused); ++i)
        m_checks[i] = false;
}

void TaskManager::chooseSpeed(AtmCheck speed) {
    Clear_Update_Modes();
    m_checks[static_cast<int>(speed)] = true;
    Check_Update_Status();
}

void TaskManager::Check_Update_Status() {
    // Tested in order; should several be checked, the last one wins.
    for (int i = 0; i < 4; ++i) {
        if (m_checks[static_cast<int>(AtmCheck::SpeedHigh) + i])
            m_timerInterval = kSpeedIntervals[i];
    }
}

void TaskManager::Check_View_Status() {
    const int before = m_lists[0].viewMode;
    for (TaskList& list : m_lists) {
        if (checked(AtmCheck::ViewIcons))
            list.viewMode = 0;
        if (checked(AtmCheck::ViewReport))
            list.viewMode = 3;
    }
    if (m_lists[0].viewMode != before)
        changed();
}

std::string TaskManager::statusText() const {
    const std::string reason = m_services.windows.unavailableReason();
    return reason.empty() ? StatusHint : reason;
}

std::string TaskManager::noticeText() const {
    return m_services.windows.unavailableReason().empty() ? m_services.windows.listedNotice()
                                                          : std::string();
}

} // namespace vexo
