#pragma once

#include "platform/FileDialogs.h"
#include "platform/MemorySettingsStore.h"
#include "platform/SettingsStore.h"
#include "platform/WindowSystem.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <string>
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
        const WindowId id = m_nextId++;
        windows.insert(windows.begin(), {id, std::move(title), style});
        return id;
    }
    void close(WindowId id) {
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                                     [id](const Window& w) { return w.id == id; }),
                      windows.end());
    }
    Window* find(WindowId id) {
        for (Window& w : windows)
            if (w.id == id)
                return &w;
        return nullptr;
    }

    std::string unavailableReason() const override { return reason; }
    std::string listedNotice() const override { return notice; }
    std::vector<WindowId> topLevelWindows() override {
        std::vector<WindowId> ids;
        for (const Window& w : windows)
            ids.push_back(w.id);
        return ids;
    }
    std::string windowText(WindowId id) override {
        const Window* w = find(id);
        return w != nullptr ? w->title : std::string();
    }
    std::uint32_t windowStyle(WindowId id) override {
        const Window* w = find(id);
        return w != nullptr ? w->style : 0;
    }
    WindowOwner windowOwner(WindowId id) override {
        const Window* w = find(id);
        return w != nullptr ? w->owner : WindowOwner{};
    }
    void restore(WindowId id) override { record("restore ", id); }
    void raiseAndShow(WindowId id) override { record("raise ", id); }
    bool requestClose(WindowId id) override {
        record("close ", id);
        return find(id) != nullptr && !refusesClose(id);
    }
    void holdOthers() override { held = true; }
    void releaseOthers() override { held = false; }
    bool refusesClose(WindowId id) const {
        return std::find(withoutPoliteClose.begin(), withoutPoliteClose.end(), id) !=
               withoutPoliteClose.end();
    }

    std::vector<Window> windows;
    std::string notice;
    std::vector<std::string> requests;
    // Requests made while the other programs were not held.
    int requestsUnheld = 0;
    bool held = false;
    std::string reason;
    // Windows that take no close request (no delete protocol).
    std::vector<WindowId> withoutPoliteClose;

private:
    void record(const char* what, WindowId id) {
        requests.push_back(what + std::to_string(id));
        if (!held)
            ++requestsUnheld;
    }

    WindowId m_nextId = 101;
};

using MemorySettings = MemorySettingsStore;

class FakeFileDialogs final : public FileDialogs, public ProgramStarter {
public:
    std::optional<std::string> openFile(const FileDialogRequest& request) override {
        requests.push_back(request);
        return next();
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override {
        requests.push_back(request);
        return next();
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
    std::optional<std::string> next() {
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace vexo::test
