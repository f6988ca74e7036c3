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

// The titles as a task manager reads them (see readApplicationTasks).
class TaskManagerTitles final : public TaskTitleSource {
public:
    explicit TaskManagerTitles(TaskManager& taskManager)
        : m_taskManager(taskManager) {}
    std::vector<std::string> applicationTaskTitles() override;

private:
    TaskManager& m_taskManager;
};

// Loads a task manager without showing it, refreshes once more, reads the titles of the
// application list in order and unloads it again (which saves its settings).
std::vector<std::string> readApplicationTasks(TaskManager& taskManager);

} // namespace vexo
