#pragma once

#include <string>

namespace vexo {

// Where the std-only core tells of a problem it has coped with (a benchmark skipped, a save
// that failed, a value it could not read): the program shows it its way, the desktop in a
// message box, the terminal on standard error. The core never shows anything itself.
// Texts may hold carriage returns (code 13) as line breaks.
class ProblemReport {
public:
    virtual ~ProblemReport() = default;
    virtual void reportProblem(const std::string& text) = 0;
};

} // namespace vexo
