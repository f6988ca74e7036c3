// The window service against real X servers: one run by openbox and one without any window
// manager. ./test.sh starts both and names them in VEXO_X11_DISPLAY_WM and
// VEXO_X11_DISPLAY_BARE.
#include "platform/linux/XcbWindowSystem.h"

#include "platform/MemorySettingsStore.h"
#include "platform/linux/XkbKeyboardLocks.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/X11Client.h"
#include "taskman/TaskManager.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>
// Last: Xlib defines macros that clash with names above.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace vexo {
namespace {

using test::TestClient;

bool useDisplay(const char* variable) {
    const char* display = std::getenv(variable);
    if (display == nullptr || *display == '\0')
        return false;
    setenv("DISPLAY", display, 1);
    return true;
}

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

std::ptrdiff_t position(const std::vector<WindowId>& windows, WindowId window) {
    const auto at = std::find(windows.begin(), windows.end(), window);
    return at == windows.end() ? -1 : at - windows.begin();
}

// A task manager on the real display, with scripted boxes.
struct AtmOnDisplay {
    XcbWindowSystem service;
    MemorySettingsStore settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    TaskManager atm{{service, settings, dialogs, files, files, pump}, "/tmp/"};

    // The row of the application list with that title, counted from 1; 0 when none.
    int rowOf(const std::string& title) const {
        const auto& rows = atm.list(TaskManager::ApplicationList).rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].title == title)
                return static_cast<int>(i) + 1;
        return 0;
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

class WithWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        if (!useDisplay("VEXO_X11_DISPLAY_WM"))
            GTEST_SKIP() << "VEXO_X11_DISPLAY_WM names no X server with a window manager";
    }
};

class WithoutWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        if (!useDisplay("VEXO_X11_DISPLAY_BARE"))
            GTEST_SKIP() << "VEXO_X11_DISPLAY_BARE names no X server";
    }
};

TEST_F(WithWindowManager, ListsWindowsWithTitlesAndStatesInStackingOrder) {
    TestClient client;
    ASSERT_TRUE(client.ok());
    XcbWindowSystem service;
    ASSERT_EQ(service.unavailableReason(), "");
    ASSERT_TRUE(service.windowManagerRunning());

    const xcb_window_t lower = client.create("Vexo lower", true);
    ASSERT_TRUE(eventually([&] { return client.viewable(lower); }));
    const xcb_window_t upper = client.create("Vexo upper \xE2\x80\x93 dash", true);
    const xcb_window_t hidden = client.create("Vexo hidden", false);
    const xcb_window_t small = client.create("Vexo minimised", true);
    ASSERT_TRUE(eventually([&] { return client.viewable(upper) && client.viewable(small); }));
    client.minimise(small);
    ASSERT_TRUE(eventually([&] { return client.iconic(small); }));

    const std::vector<WindowId> windows = service.topLevelWindows();
    for (const xcb_window_t window : {lower, upper, hidden, small})
        EXPECT_GE(position(windows, window), 0) << window;
    EXPECT_LT(position(windows, upper), position(windows, lower));

    EXPECT_EQ(service.windowText(upper), "Vexo upper \xE2\x80\x93 dash");
    EXPECT_EQ(service.windowText(hidden), "Vexo hidden");
    EXPECT_EQ(service.windowStyle(lower), WindowStyle::Visible);
    EXPECT_EQ(service.windowStyle(hidden), 0u);
    EXPECT_EQ(service.windowStyle(small), WindowStyle::Visible | WindowStyle::Minimised);

    // An old-style Latin-1 title is read as such.
    client.setLatin1Name(hidden, "Caf\xE9");
    EXPECT_TRUE(eventually([&] { return service.windowText(hidden) == "Caf\xC3\xA9"; }))
        << service.windowText(hidden);
    // A vanished window answers like one without title or style.
    client.destroy(lower);
    EXPECT_TRUE(eventually([&] { return service.windowText(lower).empty(); }));
    EXPECT_EQ(service.windowStyle(lower), 0u);
    for (const xcb_window_t window : {upper, hidden, small})
        client.destroy(window);
}

TEST_F(WithWindowManager, SwitchingToAMinimisedWindowRestoresAndActivatesIt) {
    TestClient client;
    XcbWindowSystem service;
    const xcb_window_t small = client.create("Vexo to restore", true);
    ASSERT_TRUE(eventually([&] { return client.viewable(small); }));
    client.minimise(small);
    ASSERT_TRUE(eventually([&] { return client.iconic(small); }));
    ASSERT_FALSE(client.viewable(small));

    service.restore(small);
    service.raiseAndShow(small);
    EXPECT_TRUE(eventually([&] { return client.viewable(small); }));
    EXPECT_TRUE(eventually([&] { return client.activeWindow() == small; }));
    client.destroy(small);
}

TEST_F(WithWindowManager, ShowingAHiddenWindowMapsIt) {
    TestClient client;
    XcbWindowSystem service;
    const xcb_window_t hidden = client.create("Vexo to show", false);
    ASSERT_FALSE(client.viewable(hidden));
    service.raiseAndShow(hidden);
    EXPECT_TRUE(eventually([&] { return client.viewable(hidden); }));
    EXPECT_EQ(service.windowStyle(hidden), WindowStyle::Visible);
    client.destroy(hidden);
}

TEST_F(WithWindowManager, CloseIsOnlyARequestToTheWindow) {
    TestClient client;
    XcbWindowSystem service;
    const xcb_window_t polite = client.create("Vexo to close", true);
    const xcb_window_t stubborn = client.create("Vexo without delete", true, false);
    ASSERT_TRUE(eventually([&] { return client.viewable(polite) && client.viewable(stubborn); }));

    EXPECT_TRUE(service.requestClose(polite));
    EXPECT_TRUE(eventually([&] { return client.deleteRequested(polite); }));
    // The window stays until its program closes it.
    EXPECT_TRUE(client.viewable(polite));

    // A window that does not take part in the delete protocol is never killed instead.
    EXPECT_FALSE(service.requestClose(stubborn));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(client.ok());
    EXPECT_TRUE(client.viewable(stubborn));
    client.destroy(polite);
    client.destroy(stubborn);
}

TEST_F(WithWindowManager, RefreshingWhileWindowsComeAndGoNeverFails) {
    TestClient client;
    ASSERT_TRUE(client.ok());
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

    XcbWindowSystem service;
    MemorySettingsStore settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs(log);
    test::FakeFileDialogs files;
    test::CountingPump pump(log);
    TaskManager atm({service, settings, dialogs, files, files, pump}, "/tmp/");
    atm.Form_Load();
    int refreshes = 0;
    while (!done || refreshes < 20) {
        atm.Update_AppList();
        for (const TaskRow& row : atm.list(1).rows)
            ASSERT_FALSE(row.title.empty());
        ++refreshes;
    }
    churn.join();
    EXPECT_EQ(service.unavailableReason(), "");
    EXPECT_TRUE(client.ok());
}

TEST_F(WithWindowManager, EndTaskClosesTheNamedWindowWhileNewOnesAppearUnderTheQuestion) {
    TestClient client;
    ASSERT_TRUE(client.ok());
    AtmOnDisplay rig;
    TaskManager& atm = rig.atm;
    test::ScriptedDialogs& dialogs = rig.dialogs;
    atm.UpdHigh_Click();

    const xcb_window_t notes = client.create("Notes for Tuesday", true);
    ASSERT_TRUE(eventually([&] { return client.viewable(notes); }));
    atm.Form_Load();
    const int row = rig.rowOf("Notes for Tuesday");
    ASSERT_NE(row, 0);
    atm.select(0, row);

    // Under the question the desktop grows by the box itself and another program's window,
    // and the High speed timer fires several times.
    xcb_window_t box = XCB_NONE;
    xcb_window_t viewer = XCB_NONE;
    dialogs.whileBoxOpen = [&] {
        box = client.create("Warning!", true);
        viewer = client.create("Build log viewer", true);
        eventually([&] { return client.viewable(viewer) && client.viewable(box); });
        for (int tick = 0; tick < 5; ++tick) {
            atm.App_Timer_Timer();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        client.destroy(box);
    };
    dialogs.messageAnswer = MsgAnswer::Yes;
    atm.CommandButton_Click(5);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Are you sure you want to end the process: Notes for Tuesday.\r"
              "This may cause system hanging or unpredictable results!");
    EXPECT_TRUE(eventually([&] { return client.deleteRequested(notes); }));
    // The client does as asked; the other program's window stays open.
    client.destroy(notes);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(client.deleteRequested(viewer));
    EXPECT_TRUE(client.viewable(viewer));
    EXPECT_TRUE(eventually([&] {
        atm.RefreshMenu_Click();
        const auto& rows = atm.list(0).rows;
        const bool notesListed = std::any_of(rows.begin(), rows.end(), [](const TaskRow& r) {
            return r.title == "Notes for Tuesday";
        });
        const bool viewerListed = std::any_of(rows.begin(), rows.end(), [](const TaskRow& r) {
            return r.title == "Build log viewer";
        });
        return !notesListed && viewerListed;
    }));
    client.destroy(viewer);
}

// The window of a row closes and another program's window is given its id: (a) before End Task
// on the row that the count-only refresh kept, (b) while its question is open. Yes sends the
// newcomer nothing.
TEST_F(WithWindowManager, EndTaskNeverClosesAWindowThatTookTheRowsId) {
    for (const bool underTheQuestion : {false, true}) {
        SCOPED_TRACE(underTheQuestion ? "under the question" : "kept row");
        auto first = std::make_unique<TestClient>();
        ASSERT_TRUE(first->ok());
        AtmOnDisplay rig;
        const xcb_window_t notes = first->create("Notes for Tuesday", true);
        ASSERT_TRUE(eventually([&] { return first->viewable(notes); }));
        rig.atm.Form_Load();
        const int row = rig.rowOf("Notes for Tuesday");
        ASSERT_NE(row, 0);
        rig.atm.select(0, row);

        std::vector<std::unique_ptr<TestClient>> held;
        std::unique_ptr<TestClient> second;
        xcb_window_t newcomer = XCB_NONE;
        const auto replace = [&] {
            first.reset(); // its program ends
            ASSERT_TRUE(eventually([&] { return rig.service.windowText(notes).empty(); }));
            second = clientTakingId(notes, held);
            ASSERT_NE(second, nullptr);
            newcomer = second->create("Newcomer with unsaved work", true);
            ASSERT_EQ(newcomer, notes);
            ASSERT_TRUE(eventually([&] { return second->viewable(newcomer); }));
        };
        if (underTheQuestion) {
            rig.dialogs.whileBoxOpen = [&] {
                rig.dialogs.whileBoxOpen = nullptr;
                replace();
            };
        } else {
            replace();
            rig.atm.RefreshMenu_Click(); // as many titled windows as before: the row stays
            ASSERT_EQ(rig.rowOf("Notes for Tuesday"), row);
        }
        rig.dialogs.messageAnswer = MsgAnswer::Yes;
        rig.atm.CommandButton_Click(5);
        ASSERT_NE(second, nullptr);

        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(second->deleteRequested(newcomer));
        EXPECT_TRUE(second->viewable(newcomer));
        ASSERT_EQ(rig.dialogs.messages.size(), 2u);
        EXPECT_EQ(rig.dialogs.messages[1].text,
                  "The window \"Notes for Tuesday\" in that row has changed or closed since the "
                  "list was made, so nothing was done to it. The lists are made anew.");
        EXPECT_EQ(rig.rowOf("Notes for Tuesday"), 0);
        EXPECT_NE(rig.rowOf("Newcomer with unsaved work"), 0);
        second->destroy(newcomer);
    }
}

TEST_F(WithWindowManager, EndTaskOnAWindowWithoutDeleteSaysSoAndLeavesItsProgramRunning) {
    TestClient client;
    ASSERT_TRUE(client.ok());
    AtmOnDisplay rig;
    TaskManager& atm = rig.atm;
    test::ScriptedDialogs& dialogs = rig.dialogs;

    const xcb_window_t stubborn = client.create("Vexo stubborn viewer", true, false);
    ASSERT_TRUE(eventually([&] { return client.viewable(stubborn); }));
    atm.Form_Load();
    const int row = rig.rowOf("Vexo stubborn viewer");
    ASSERT_NE(row, 0);
    atm.select(0, row);
    dialogs.messageAnswer = MsgAnswer::Yes;
    atm.CommandButton_Click(5);

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "The window \"Vexo stubborn viewer\" could not be closed: "
                                        "it does not accept a request to close.");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(client.ok());
    EXPECT_TRUE(client.viewable(stubborn));
    client.destroy(stubborn);
}

TEST_F(WithWindowManager, PingsCanBeWithdrawnForARunAndOfferedAgain) {
    TestClient client;
    XcbWindowSystem service;
    const xcb_window_t window = client.create("Vexo busy", true);
    auto protocols = [&] {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        auto atomOf = [c](const char* name) {
            auto* reply = xcb_intern_atom_reply(
                c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                nullptr);
            const xcb_atom_t a = reply->atom;
            std::free(reply);
            return a;
        };
        const xcb_atom_t ping = atomOf("_NET_WM_PING");
        const xcb_atom_t del = atomOf("WM_DELETE_WINDOW");
        xcb_icccm_get_wm_protocols_reply_t reply{};
        std::string seen;
        if (xcb_icccm_get_wm_protocols_reply(
                c, xcb_icccm_get_wm_protocols(c, window, atomOf("WM_PROTOCOLS")), &reply,
                nullptr) != 0) {
            for (std::uint32_t i = 0; i < reply.atoms_len; ++i)
                seen += reply.atoms[i] == ping ? "ping " : reply.atoms[i] == del ? "delete " : "? ";
            xcb_icccm_get_wm_protocols_reply_wipe(&reply);
        }
        xcb_disconnect(c);
        return seen;
    };
    ASSERT_TRUE(eventually([&] { return service.windowText(window) == "Vexo busy"; }));
    service.setPingAnswered(window, true);
    EXPECT_TRUE(eventually([&] { return protocols() == "delete ping "; })) << protocols();
    service.setPingAnswered(window, false);
    EXPECT_TRUE(eventually([&] { return protocols() == "delete "; })) << protocols();
    client.destroy(window);
}

TEST_F(WithoutWindowManager, WalksTheRootsChildrenAndActsDirectly) {
    TestClient client;
    ASSERT_TRUE(client.ok());
    XcbWindowSystem service;
    ASSERT_FALSE(service.windowManagerRunning());
    const xcb_window_t first = client.create("Bare first", true);
    const xcb_window_t second = client.create("Bare second", true);
    const xcb_window_t hidden = client.create("Bare hidden", false);
    ASSERT_TRUE(eventually([&] { return client.viewable(second); }));

    const std::vector<WindowId> windows = service.topLevelWindows();
    EXPECT_LT(position(windows, hidden), position(windows, second));
    EXPECT_LT(position(windows, second), position(windows, first));
    EXPECT_EQ(service.windowStyle(hidden), 0u);
    EXPECT_EQ(service.windowText(second), "Bare second");

    service.raiseAndShow(hidden);
    EXPECT_TRUE(eventually([&] { return client.viewable(hidden); }));
    service.raiseAndShow(first);
    EXPECT_TRUE(eventually([&] { return position(service.topLevelWindows(), first) == 0; }));

    service.requestClose(second);
    EXPECT_TRUE(eventually([&] { return client.deleteRequested(second); }));
    for (const xcb_window_t window : {first, second, hidden})
        client.destroy(window);
}

TEST_F(WithoutWindowManager, TheLockKeysAreReadFromTheKeyboardExtension) {
    Display* keyboard = XOpenDisplay(nullptr);
    ASSERT_NE(keyboard, nullptr);
    // What a press of Caps Lock or Num Lock does: the server locks the modifier and lights
    // the indicator. Num Lock is the modifier the keymap binds to its key.
    const unsigned numMask = XkbKeysymToModifiers(keyboard, XStringToKeysym("Num_Lock"));
    ASSERT_NE(numMask, 0u);
    auto lock = [&](unsigned mask, bool on) {
        XkbLockModifiers(keyboard, XkbUseCoreKbd, mask, on ? mask : 0);
        XSync(keyboard, False);
    };
    XkbKeyboardLocks locks;
    struct Case {
        const char* name;
        bool num;
        bool caps;
    };
    for (const Case c : {Case{"none", false, false}, Case{"caps", false, true},
                         Case{"num", true, false}, Case{"both", true, true}}) {
        SCOPED_TRACE(c.name);
        lock(LockMask, c.caps);
        lock(numMask, c.num);
        std::optional<LockKeys> read;
        EXPECT_TRUE(eventually([&] {
            read = locks.lockKeys();
            return read && read->numLock == c.num && read->capsLock == c.caps;
        }));
    }
    lock(LockMask, false);
    lock(numMask, false);
    XCloseDisplay(keyboard);
}

TEST(NoDisplay, TheServiceSaysWhyItListsNothing) {
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved != nullptr ? saved : "";
    unsetenv("DISPLAY");
    XcbWindowSystem service;
    EXPECT_NE(service.unavailableReason().find("DISPLAY is not set"), std::string::npos);
    EXPECT_TRUE(service.topLevelWindows().empty());
    EXPECT_EQ(service.windowText(1), "");
    service.raiseAndShow(1); // nothing to do, and no crash
    EXPECT_FALSE(XkbKeyboardLocks().lockKeys());
    if (!previous.empty())
        setenv("DISPLAY", previous.c_str(), 1);
}

} // namespace
} // namespace vexo
