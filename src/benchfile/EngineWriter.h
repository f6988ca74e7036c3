#pragma once

#include "benchfile/BenchmarkFile.h"
#include "common/AppState.h"
#include "engine/HandOff.h"

#include <array>
#include <functional>
#include <string>

namespace vexo {

class SystemInfo;
class TaskTitleSource;

namespace benchfile {

// The engine's other two field groups: the system as probed now, and the running application
// tasks. replaced, when given, counts as field() does.
std::string Build_System_Fields(SystemInfo& info, std::size_t* replaced = nullptr);
std::string Build_Task_Fields(TaskTitleSource& tasks, std::size_t* replaced = nullptr);

// The engine's writer: the run's name, the system as probed now, the running application
// tasks and the scores with the Direct3D settings.
class EngineWriter final : public BenchmarkSaver {
public:
    using Captions = std::function<std::array<std::string, 3>()>;
    EngineWriter(const AppState& state, SystemInfo& info, TaskTitleSource& tasks,
                 Captions captions);
    bool Save_Benchmark_File(const std::string& path) override;
    // The run's record as plain text (the payload of its file), the system probed now; counts
    // the characters written as the substitute.
    std::string record();
    // Characters of the last record saved that were written as the substitute.
    std::size_t substitutedCharacters() const override { return m_substituted; }
    const std::string& lastError() const { return m_lastError; }

private:
    const AppState& m_state;
    SystemInfo& m_info;
    TaskTitleSource& m_tasks;
    Captions m_captions;
    std::string m_lastError;
    std::size_t m_substituted = 0;
};

} // namespace benchfile
} // namespace vexo
