#include "TasksCommand.h"

#include "common/Text.h"
#include "taskman/TaskManager.h"

#include <algorithm>
#include <iostream>

namespace vexo {

int printTasks(TaskManager& taskManager, bool all, std::ostream& out, std::ostream& err) {
    taskManager.Form_Load();
    const TaskList& list =
        taskManager.list(all ? TaskManager::ProcessList : TaskManager::ApplicationList);
    if (taskManager.statusText() != TaskManager::StatusHint) {
        err << "vexogauge-cli tasks: " << taskManager.statusText() << '\n';
        return 1;
    }
    // On standard error, so the list on standard output stays a list.
    if (const std::string notice = taskManager.noticeText(); !notice.empty())
        err << "vexogauge-cli tasks: " << notice << '\n';
    std::size_t width = 9; // "Thread Id"
    for (const TaskRow& row : list.rows)
        width = std::max(width, row.handle.size());
    out << "Thread Id" << std::string(width - 9 + 2, ' ')
        << (all ? "System Process" : "Application Task") << '\n';
    for (const TaskRow& row : list.rows)
        out << row.handle << std::string(width - row.handle.size() + 2, ' ')
            << terminalText(row.title) << '\n';
    return 0;
}

} // namespace vexo
