#pragma once

#include "taskman/TaskManager.h"

#include <string>
#include <vector>

namespace vexo {

// The running application tasks, as a benchmark record stores them.
class TaskTitleSource {
public:
    virtual ~TaskTitleSource() = default;
    virtual std::vector<std::string> applicationTaskTitles() = 0;
};

// Loads a task manager without showing it, refreshes once more, reads the titles of the
// application list in order and unloads it again (which saves its settings).
std::vector<std::string> readApplicationTasks(TaskManager& taskManager);

} // namespace vexo
