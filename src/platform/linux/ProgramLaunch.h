#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vexo {

// Starts a program, by name on the search path or by path, with its arguments, in a session of
// its own, and does not wait for it to end. It counts as started unless it could not be run or
// ended with a failure (an exit status other than 0, or a signal) within `grace`: a terminal
// that cannot open a window on this display exits at once, and is then worth replacing by
// another. `whileWaiting` runs every few milliseconds meanwhile (the window keeps painting). A
// program still running after `grace` is reaped when it ends, never waited for.
bool startWatched(const std::string& program, const std::vector<std::string>& arguments,
                  std::chrono::milliseconds grace, const std::function<void()>& whileWaiting);

} // namespace vexo
