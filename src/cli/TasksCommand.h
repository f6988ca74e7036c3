#pragma once

#include <iosfwd>

namespace vexo {

class TaskManager;

// Prints the application tasks (or with all the system processes) with their handles.
// Returns the exit status: 1 when no window system can be reached.
int printTasks(TaskManager& taskManager, bool all, std::ostream& out, std::ostream& err);

} // namespace vexo
