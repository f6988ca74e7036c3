#pragma once

#include "platform/FileDialogs.h"
#include "platform/MemorySettingsStore.h"
#include "platform/SettingsStore.h"
#include "platform/WindowSystem.h"
#include "support/RunRecorder.h"
#include "taskman/TaskManager.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <ranges>
#include <string>
#include <type_traits>
#include <vector>

namespace vexo::test {

// A desktop of windows in stacking order (top first), recording every request made of them.
class FakeWindowSystem final : public WindowSystem {
public:
    struct Window {
        WindowId id;
        std::string title;
        std::uint32_t style;
        WindowOwner owner{};
    };

    WindowId open(std::string title, std::uint32_t style = WindowStyle::Visible) {
        windows.insert(windows.begin(), {m_nextId, std::move(title), style});
        return m_nextId++;
    }
    void close(WindowId id) {
        std::erase_if(windows, [id](auto& w) { return w.id == id; });
    }
    Window* find(WindowId id) {
        const auto at = std::ranges::find(windows, id, &Window::id);
        return at != windows.end() ? &*at : nullptr;
    }

    std::string unavailableReason() const override { return reason; }
    std::string listedNotice() const override { return notice; }
    std::vector<WindowId> topLevelWindows() override {
        const auto ids = windows | std::views::transform(&Window::id);
        return {ids.begin(), ids.end()};
    }
    std::string windowText(WindowId id) override { return find(id) ? find(id)->title : ""; }
    std::uint32_t windowStyle(WindowId id) override { return find(id) ? find(id)->style : 0; }
    WindowOwner windowOwner(WindowId id) override {
        return find(id) ? find(id)->owner : WindowOwner{};
    }
    void restore(WindowId id) override { record("restore ", id); }
    void raiseAndShow(WindowId id) override { record("raise ", id); }
    bool requestClose(WindowId id) override {
        record("close ", id);
        return find(id) != nullptr;
    }
    void holdOthers() override { held = true; }
    void releaseOthers() override { held = false; }

    std::vector<Window> windows;
    std::string notice;
    std::vector<std::string> requests;
    // Requests made while the other programs were not held.
    int requestsUnheld = 0;
    bool held = false;
    std::string reason;

private:
    void record(const char* what, WindowId id) {
        requests.push_back(what + std::to_string(id));
        requestsUnheld += held ? 0 : 1;
    }

    WindowId m_nextId = 101;
};

using MemorySettings = MemorySettingsStore;

class FakeFileDialogs final : public FileDialogs, public ProgramStarter {
public:
    std::optional<std::string> openFile(const FileDialogRequest& request) override {
        return next(request);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override {
        return next(request);
    }
    bool startProgram(const std::string& path) override {
        started.push_back(path);
        return startWorks;
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<FileDialogRequest> requests;
    std::vector<std::string> started;
    bool startWorks = true;

private:
    // The next scripted answer; cancelled once they are used up.
    std::optional<std::string> next(const FileDialogRequest& request) {
        requests.push_back(request);
        std::optional<std::string> answer;
        if (!answers.empty())
            answer = answers.front(), answers.pop_front();
        return answer;
    }
};

// The services a task manager needs: the given window system and message pump, scripted boxes
// and file dialogs, settings in memory.
template <class Windows = FakeWindowSystem, class Pump = CountingPump>
struct TaskServices {
    Windows windows;
    MemorySettingsStore settings;
    EventLog log;
    ScriptedDialogs dialogs{log};
    FakeFileDialogs files;
    Pump pump = makePump();

    TaskManager::Services services() { return {windows, settings, dialogs, files, files, pump}; }

private:
    Pump makePump() {
        if constexpr (std::is_constructible_v<Pump, EventLog&>)
            return Pump(log);
        else
            return Pump();
    }
};

// The row of the list with that title, counted from 1; 0 when none.
inline int rowOf(const TaskManager& atm, int list, const std::string& title) {
    const auto& rows = atm.list(list).rows;
    const auto at = std::ranges::find(rows, title, &TaskRow::title);
    return at == rows.end() ? 0 : static_cast<int>(at - rows.begin()) + 1;
}

} // namespace vexo::test
