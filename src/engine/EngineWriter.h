#pragma once

#include "common/Status.h"
#include "common/SystemDescription.h"
#include "engine/HandOff.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

class SystemInfo;
class TaskTitleSource;

// The engine's other two field groups: the system as described, and the running application
// tasks. replaced, when given, counts the characters changed as benchfile::field() does.
std::string Build_System_Fields(const SystemDescription& description,
                                std::size_t* replaced = nullptr);
std::string Build_Task_Fields(const std::vector<std::string>& titles,
                              std::size_t* replaced = nullptr);

// The engine's writer: one record per repetition of a run (the run's name, or "NAME (run K of
// N)" for a repeated run), each with the system as probed now, the running application tasks
// and the scores with the Direct3D settings.
class EngineWriter final : public BenchmarkSaver {
public:
    // Writes a file's bytes whole, or says why not; by default by the program's one rule for
    // saves.
    using WriteFile = std::function<Status(const std::string& path, std::string_view bytes)>;

    EngineWriter(SystemInfo& info, TaskTitleSource& tasks, WriteFile write = {});
    Status Save_Benchmark_File(const std::string& path, const RunRecords& run) override;
    // Characters of the last records built that were written as the substitute.
    std::size_t substitutedCharacters() const override { return m_substituted; }

private:
    // The run's records as plain text (the payload of its file), the system probed now; counts
    // the characters written as the substitute.
    std::string payload(const RunRecords& run);

    SystemInfo& m_info;
    TaskTitleSource& m_tasks;
    WriteFile m_write;
    std::size_t m_substituted = 0;
};

} // namespace vexo
