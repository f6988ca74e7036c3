// The window service against real X servers: one run by openbox and one without any window
// manager. ./test.sh starts both and names them in VEXO_X11_DISPLAY_WM and
// VEXO_X11_DISPLAY_BARE.
#include "platform/linux/XcbWindowSystem.h"

#include "support/FakeDesktop.h"
#include "support/X11Client.h"
#include "taskman/TaskManager.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace vexo {
namespace {

using test::TestClient;

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return condition();
}

const auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };

std::ptrdiff_t position(const std::vector<WindowId>& windows, WindowId window) {
    const auto at = std::find(windows.begin(), windows.end(), window);
    return at == windows.end() ? -1 : at - windows.begin();
}

// A task manager on the real display, with scripted boxes.
struct AtmOnDisplay : test::TaskServices<XcbWindowSystem> {
    TaskManager atm{services(), "/tmp/"};

    int rowOf(const std::string& title) const { return test::rowOf(atm, 0, title); }
    // Selects the window's row of the application list and answers End Task's question Yes.
    void endTask(const std::string& title) {
        ASSERT_NE(rowOf(title), 0) << title;
        atm.select(0, rowOf(title));
        dialogs.messageAnswer = MsgAnswer::Yes;
        atm.CommandButton_Click(5);
    }
};

// A client whose first window takes the id of a window whose client has gone: the server hands
// a new client the lowest free id range, so clients are opened (and kept, so that they hold
// the ranges below) until one is given that window's range.
std::unique_ptr<TestClient> clientTakingId(xcb_window_t id,
                                           std::vector<std::unique_ptr<TestClient>>& held) {
    for (int i = 0; i < 64; ++i) {
        auto client = std::make_unique<TestClient>();
        if (client->ok() && client->makesId(id))
            return client;
        held.push_back(std::move(client));
    }
    return nullptr;
}

// A client on the display with (or without) a window manager, which is also the service's.
class OnX11 : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        const char* variable = managed() ? "VEXO_X11_DISPLAY_WM" : "VEXO_X11_DISPLAY_BARE";
        const char* display = std::getenv(variable);
        if (display == nullptr || *display == '\0')
            GTEST_SKIP() << variable << " names no X server";
        setenv("DISPLAY", display, 1);
        client = std::make_unique<TestClient>();
        ASSERT_TRUE(client->ok());
    }
    virtual bool managed() const { return GetParam(); }
    std::unique_ptr<TestClient> client;
};
struct WithWindowManager : OnX11 {
    bool managed() const override { return true; }
};

// The window manager's stacking list, or the root's children without one.
TEST_P(OnX11, ListsWindowsWithTitlesAndStatesInStackingOrderAndActsOnThem) {
    XcbWindowSystem service;
    ASSERT_EQ(service.unavailableReason(), "");
    ASSERT_EQ(service.windowManagerRunning(), managed());
    const xcb_window_t lower = client->create("Vexo lower", true);
    ASSERT_TRUE(eventually([&] { return client->viewable(lower); }));
    const xcb_window_t upper = client->create("Vexo upper \xE2\x80\x93 dash", true);
    const xcb_window_t hidden = client->create("Vexo hidden", false);
    const xcb_window_t other = client->create("Vexo other", true);
    ASSERT_TRUE(eventually([&] { return client->viewable(upper) && client->viewable(other); }));

    const std::vector<WindowId> windows = service.topLevelWindows();
    EXPECT_GE(std::min(position(windows, hidden), position(windows, lower)), 0);
    EXPECT_LT(position(windows, upper), position(windows, lower));
    EXPECT_EQ(service.windowText(upper), "Vexo upper \xE2\x80\x93 dash");
    EXPECT_EQ(service.windowStyle(lower), WindowStyle::Visible);
    EXPECT_EQ(service.windowStyle(hidden), 0u);
    // An old-style Latin-1 title is read as such.
    client->setLatin1Name(hidden, "Caf\xE9");
    EXPECT_TRUE(eventually([&] { return service.windowText(hidden) == "Caf\xC3\xA9"; }))
        << service.windowText(hidden);
    // A vanished window answers like one without title or style.
    client->destroy(lower);
    EXPECT_TRUE(eventually([&] { return service.windowText(lower).empty(); }));
    EXPECT_EQ(service.windowStyle(lower), 0u);

    service.raiseAndShow(hidden);
    EXPECT_TRUE(eventually([&] { return client->viewable(hidden); }));
    EXPECT_EQ(service.windowStyle(hidden), WindowStyle::Visible);
    service.requestClose(upper);
    EXPECT_TRUE(eventually([&] { return client->deleteRequested(upper); }));
    if (managed()) { // switching to a minimised window restores and activates it
        client->minimise(other);
        ASSERT_TRUE(eventually([&] {
            return service.windowStyle(other) == (WindowStyle::Visible | WindowStyle::Minimised);
        }));
        service.restore(other);
        service.raiseAndShow(other);
        EXPECT_TRUE(eventually([&] { return client->activeWindow() == other; }));
        EXPECT_TRUE(client->viewable(other));
    } else { // stacked directly
        EXPECT_LT(position(windows, hidden), position(windows, upper));
        service.raiseAndShow(upper);
        EXPECT_TRUE(eventually([&] { return position(service.topLevelWindows(), upper) == 0; }));
    }
}
INSTANTIATE_TEST_SUITE_P(Displays, OnX11, ::testing::Values(true, false), [](const auto& display) {
    return display.param ? "WithWindowManager" : "WithoutWindowManager";
});

TEST_F(WithWindowManager, RefreshingWhileWindowsComeAndGoNeverFails) {
    std::atomic<bool> done = false;
    std::thread churn([&] {
        TestClient other;
        for (int i = 0; i < 300; ++i) {
            const xcb_window_t window = other.create("Vexo churn " + std::to_string(i), i % 2 == 0);
            if (i % 3 == 0)
                other.minimise(window);
            other.destroy(window);
        }
        done = true;
    });
    AtmOnDisplay rig;
    rig.atm.Form_Load();
    for (int refreshes = 0; !done || refreshes < 20; ++refreshes) {
        rig.atm.Update_AppList();
        for (const TaskRow& row : rig.atm.list(1).rows)
            ASSERT_FALSE(row.title.empty());
    }
    churn.join();
    EXPECT_EQ(rig.windows.unavailableReason(), "");
}

// End Task answered Yes, in rows. "named": under the question the desktop grows by the box and
// another program's window and the High speed timer fires; only the named window is asked to
// close. "stubborn": a window outside the delete protocol is never killed instead. The row's
// window closes and another program's window takes its id, "kept row" before End Task (the
// count-only refresh keeps the row) or "under the question": the newcomer is sent nothing.
TEST_F(WithWindowManager, EndTaskClosesOnlyTheWindowItsQuestionNamed) {
    enum Row { Named, Stubborn, KeptRow, UnderTheQuestion };
    for (const auto& [name, row] : {std::pair{"named", Named},
                                    {"stubborn", Stubborn},
                                    {"kept row", KeptRow},
                                    {"under the question", UnderTheQuestion}}) {
        SCOPED_TRACE(name);
        auto first = std::make_unique<TestClient>();
        AtmOnDisplay rig;
        rig.atm.UpdHigh_Click();
        const xcb_window_t notes = first->create("Notes for Tuesday", true, row != Stubborn);
        ASSERT_TRUE(eventually([&] { return first->viewable(notes); }));
        rig.atm.Form_Load();

        std::vector<std::unique_ptr<TestClient>> held;
        std::unique_ptr<TestClient> second;
        xcb_window_t viewer = XCB_NONE;
        const auto replace = [&] {
            first.reset(); // its program ends
            ASSERT_TRUE(eventually([&] { return rig.windows.windowText(notes).empty(); }));
            second = clientTakingId(notes, held);
            ASSERT_NE(second, nullptr);
            ASSERT_EQ(second->create("Newcomer with unsaved work", true), notes);
            ASSERT_TRUE(eventually([&] { return second->viewable(notes); }));
        };
        if (row == Named)
            rig.dialogs.whileBoxOpen = [&] {
                const xcb_window_t box = client->create("Warning!", true);
                viewer = client->create("Build log viewer", true);
                eventually([&] { return client->viewable(viewer) && client->viewable(box); });
                for (int tick = 0; tick < 5; ++tick, settle())
                    rig.atm.App_Timer_Timer();
                EXPECT_EQ(rig.rowOf("Build log viewer"), 0); // the lists wait for the answer
                client->destroy(box);
            };
        else if (row == UnderTheQuestion)
            rig.dialogs.whileBoxOpen = [&] { second ? void() : replace(); };
        else if (row == KeptRow)
            replace(), rig.atm.App_Timer_Timer(); // as many titled windows: the row stays
        rig.endTask("Notes for Tuesday");
        settle();
        const auto& boxes = rig.dialogs.messages;
        ASSERT_EQ(boxes.size(), row == Named ? 1u : 2u);
        if (row == Named) {
            EXPECT_TRUE(eventually([&] { return first->deleteRequested(notes); }));
            EXPECT_TRUE(first->viewable(notes)); // until its program closes it
            first->destroy(notes);
            settle();
            EXPECT_TRUE(!client->deleteRequested(viewer) && client->viewable(viewer));
            EXPECT_TRUE(eventually([&] {
                rig.atm.RefreshMenu_Click();
                return rig.rowOf("Notes for Tuesday") == 0 && rig.rowOf("Build log viewer") != 0;
            }));
        } else if (row == Stubborn) {
            EXPECT_EQ(boxes[1].title + "|" + std::to_string(boxes[1].style) + "|" + boxes[1].text,
                      "End Task|48|The window \"Notes for Tuesday\" could not be closed: it does "
                      "not accept a request to close.");
            EXPECT_TRUE(first->ok() && first->viewable(notes));
        } else {
            ASSERT_NE(second, nullptr);
            EXPECT_TRUE(!second->deleteRequested(notes) && second->viewable(notes));
            EXPECT_NE(boxes[1].text.find("has changed or closed"), std::string::npos);
            EXPECT_EQ(rig.rowOf("Notes for Tuesday"), 0);
            EXPECT_NE(rig.rowOf("Newcomer with unsaved work"), 0);
        }
    }
}

TEST(NoDisplay, TheServiceSaysWhyItListsNothing) {
    const std::string previous = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    XcbWindowSystem service;
    EXPECT_NE(service.unavailableReason().find("DISPLAY is not set"), std::string::npos);
    EXPECT_TRUE(service.topLevelWindows().empty() && service.windowText(1).empty());
    service.raiseAndShow(1); // nothing to do, and no crash
    if (!previous.empty())
        setenv("DISPLAY", previous.c_str(), 1);
}

} // namespace
} // namespace vexo
