#include "cli/TasksCommand.h"

#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "taskman/TaskManager.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

// A title can hold anything a program puts there; none of it reaches the terminal raw.
TEST(TasksCommand, TitlesReachTheTerminalWithTheirControlsShown) {
    test::FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    TaskManager atm({desktop, settings, dialogs, files, files, pump}, "/tmp/");
    const WindowId id = desktop.open("\x1B]0;owned\x07\x1B[2J\rEditor \xC3\xA9\x9B");

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(printTasks(atm, false, out, err), 0);
    EXPECT_EQ(out.str(), "Thread Id  Application Task\n" + std::to_string(id) +
                             "        ^[]0;owned^G^[[2J^MEditor \xC3\xA9\\x9B\n");
}

} // namespace
} // namespace vexo
