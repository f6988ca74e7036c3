#include "cli/TasksCommand.h"

#include "support/FakeDesktop.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

// A title can hold anything a program puts there; none of it reaches the terminal raw.
TEST(TasksCommand, TitlesReachTheTerminalWithTheirControlsShown) {
    test::TaskServices<> rig;
    TaskManager atm(rig.services(), "/tmp/");
    rig.windows.open("\x1B]0;owned\x07\x1B[2J\rEditor \xC3\xA9\x9B");
    std::ostringstream out, err;
    EXPECT_EQ(printTasks(atm, false, out, err), 0);
    EXPECT_EQ(out.str(), "Thread Id  Application Task\n"
                         "101        ^[]0;owned^G^[[2J^MEditor \xC3\xA9\\x9B\n");
}

} // namespace
} // namespace vexo
