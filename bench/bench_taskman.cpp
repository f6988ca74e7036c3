// The task manager on a crowded X display: 500 titled windows, one of them with a 1 MB title.
// Needs an X server in DISPLAY (the windows of other programs are real); the task manager's own
// window is drawn off screen. Measures the window opening with its lists, the End Task question
// appearing for the row with the long title, and one steady refresh at the High speed (every
// 500 ms), wall-clock time including the X server's work.
#include "platform/MemorySettingsStore.h"
#include "platform/linux/XcbWindowSystem.h"
#include "platform/qt/QtMessagePump.h"
#include "platform/qt/QtPlatform.h"
#include "taskman/ui/AtmWindow.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

using namespace vexo;
using Clock = std::chrono::steady_clock;

// Another program's windows: 499 short titles and one of 1 MB.
class Crowd {
public:
    Crowd() {
        m_connection = xcb_connect(nullptr, nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const auto intern = [this](const char* name) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                m_connection,
                xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)),
                                name),
                nullptr);
            const xcb_atom_t atom = reply != nullptr ? reply->atom : 0;
            std::free(reply);
            return atom;
        };
        const xcb_atom_t netName = intern("_NET_WM_NAME");
        const xcb_atom_t utf8 = intern("UTF8_STRING");
        for (int i = 0; i < 500; ++i) {
            const std::string title =
                i == 250 ? std::string(1 << 20, 'W') : "Crowd window " + std::to_string(i);
            const xcb_window_t window = xcb_generate_id(m_connection);
            xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root,
                              static_cast<std::int16_t>(i), static_cast<std::int16_t>(i), 50, 30, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
            xcb_generic_error_t* error = xcb_request_check(
                m_connection, xcb_change_property_checked(
                                  m_connection, XCB_PROP_MODE_REPLACE, window, netName, utf8, 8,
                                  static_cast<std::uint32_t>(title.size()), title.data()));
            if (error != nullptr)
                std::fprintf(stderr, "title %d: X error %d\n", i, error->error_code);
            std::free(error);
            xcb_map_window(m_connection, window);
            m_windows.push_back(window);
        }
        // A window manager maps them in its own time.
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (!allViewable() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~Crowd() { xcb_disconnect(m_connection); }
    bool ok() const { return xcb_connection_has_error(m_connection) == 0; }

private:
    bool allViewable() {
        for (const xcb_window_t window : m_windows) {
            xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
            const bool viewable = reply != nullptr && reply->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(reply);
            if (!viewable)
                return false;
        }
        return true;
    }

    xcb_connection_t* m_connection;
    std::vector<xcb_window_t> m_windows;
};

struct Rig {
    XcbWindowSystem windows;
    MemorySettingsStore settings;
    QtDialogs dialogs{[] { return static_cast<QWidget*>(nullptr); }};
    QtProgramStarter programs;
    QtMessagePump pump;
    TaskManager::Services services{windows, settings, dialogs, dialogs, programs, pump};
};

// From nothing to the shown window with both lists filled.
void BM_OpenWindow500(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        AtmWindow window(rig.services, "/nonexistent/");
        window.load();
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.model().list(1).rows.size());
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWindow500)->Unit(benchmark::kMillisecond)->Iterations(3);

// From the End Task click on the long-titled row until its question is on the screen.
void BM_EndTaskQuestionLongTitle(benchmark::State& state) {
    Rig rig;
    AtmWindow window(rig.services, "/nonexistent/");
    window.load();
    window.show();
    QApplication::processEvents();
    TaskManager& atm = window.model();
    const auto& rows = atm.list(TaskManager::ApplicationList).rows;
    int longRow = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].title.size() > 1000)
            longRow = static_cast<int>(i) + 1;
    }
    if (longRow == 0) {
        state.SkipWithError("the long-titled window is not listed");
        return;
    }
    for (auto _ : state) {
        atm.select(TaskManager::ApplicationList, longRow);
        Clock::time_point shown{};
        const Clock::time_point start = Clock::now();
        // Runs once the box has been shown and its loop turns; answers No.
        QTimer::singleShot(0, [&shown] {
            shown = Clock::now();
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                box->reject();
        });
        atm.CommandButton_Click(5);
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
}
BENCHMARK(BM_EndTaskQuestionLongTitle)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// CPU time used so far by the process with that id (the X server when VEXO_XSERVER_PID names
// it), in seconds; nullopt when it cannot be read.
std::optional<double> processSeconds(const char* pid) {
    if (pid == nullptr)
        return std::nullopt;
    std::ifstream stat(std::string("/proc/") + pid + "/stat");
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i >= 14)
            ticks += std::stod(field); // user and system time
    }
    return stat ? std::optional<double>(ticks / static_cast<double>(sysconf(_SC_CLK_TCK)))
                : std::nullopt;
}

double ownSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One periodic refresh on a steady desktop; at the High speed it runs twice a second, so
// core_percent is its share of a core: the program's CPU time, and the X server's when
// VEXO_XSERVER_PID names it (server_percent).
void BM_SteadyRefresh500(benchmark::State& state) {
    Rig rig;
    TaskManager atm(rig.services, "/nonexistent/");
    atm.Form_Load();
    atm.UpdHigh_Click();
    const char* server = std::getenv("VEXO_XSERVER_PID");
    const std::optional<double> serverBefore = processSeconds(server);
    const double ownBefore = ownSeconds();
    for (auto _ : state)
        atm.App_Timer_Timer();
    const auto refreshes = static_cast<double>(state.iterations());
    state.counters["core_percent"] = (ownSeconds() - ownBefore) / refreshes / 0.5 * 100.0;
    const std::optional<double> serverAfter = processSeconds(server);
    if (serverBefore && serverAfter)
        state.counters["server_percent"] = (*serverAfter - *serverBefore) / refreshes / 0.5 * 100.0;
}
BENCHMARK(BM_SteadyRefresh500)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "bench_taskman: needs an X server in DISPLAY\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Crowd crowd;
    if (!crowd.ok()) {
        std::fprintf(stderr, "bench_taskman: cannot connect to the X server\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
