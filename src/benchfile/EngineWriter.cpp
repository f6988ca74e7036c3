#include "EngineWriter.h"

#include "common/CodePage.h"
#include "common/SystemDescription.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"

namespace vexo::benchfile {

std::string Build_System_Fields(SystemInfo& info, std::size_t* replaced) {
    const SystemDescription description = info.describe();
    std::string fields;
    for (const SystemField& system : kSystemFields)
        fields += field(system.key, description.*system.member, replaced);
    return fields;
}

std::string Build_Task_Fields(TaskTitleSource& tasks, std::size_t* replaced) {
    std::string fields;
    for (const std::string& title : tasks.applicationTaskTitles())
        fields += field("Task", title, replaced);
    return fields;
}

EngineWriter::EngineWriter(const AppState& state, SystemInfo& info, TaskTitleSource& tasks,
                           Captions captions)
    : m_state(state)
    , m_info(info)
    , m_tasks(tasks)
    , m_captions(std::move(captions)) {}

bool EngineWriter::Save_Benchmark_File(const std::string& path) {
    const Status saved = saveBenchmarkFile(path, record());
    m_lastError = saved.message();
    return static_cast<bool>(saved);
}

std::string EngineWriter::record() {
    const Selections& options = m_state.selections;
    const std::array<std::string, 3> captions =
        m_captions ? m_captions()
                   : direct3DCaptions(options.ScreenResolution, options.ScreenColorDepth,
                                      options.TextureQuality);
    // The system is probed before the task list is taken.
    // Every character changed is told: those the code page lacks, and the bars and
    // semicolons that would end a name or a field early.
    std::size_t replaced = 0;
    std::string record = recordOpening(m_state.run.BenchmarkName, &replaced);
    record += Build_System_Fields(m_info, &replaced);
    record += Build_Task_Fields(m_tasks, &replaced);
    record += Build_Score_Fields(m_state.scores, captions, &replaced);
    record += kRecordTerminator;
    m_substituted = replaced + vexo::substitutedCharacters(record);
    return record;
}

} // namespace vexo::benchfile
