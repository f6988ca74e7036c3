#include "TaskTitles.h"

namespace vexo {

std::vector<std::string> readApplicationTasks(TaskManager& taskManager) {
    taskManager.Form_Load();
    taskManager.Update_AppList();
    std::vector<std::string> titles;
    for (const TaskRow& row : taskManager.list(TaskManager::ApplicationList).rows)
        titles.push_back(row.title);
    taskManager.Form_QueryUnload();
    return titles;
}

std::vector<std::string> TaskManagerTitles::applicationTaskTitles() {
    return readApplicationTasks(m_taskManager);
}

} // namespace vexo
