#include "EngineWriter.h"

#include "benchfile/BenchmarkFile.h"
#include "common/CodePage.h"
#include "common/Direct3DOptions.h"
#include "common/FileIo.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"

namespace vexo {

std::string Build_System_Fields(const SystemDescription& description, std::size_t* replaced) {
    std::string fields;
    for (const SystemField& system : kSystemFields)
        fields += benchfile::field(system.key, description.*system.member, replaced);
    return fields;
}

std::string Build_Task_Fields(const std::vector<std::string>& titles, std::size_t* replaced) {
    std::string fields;
    for (const std::string& title : titles)
        fields += benchfile::field("Task", title, replaced);
    return fields;
}

EngineWriter::EngineWriter(SystemInfo& info, TaskTitleSource& tasks, WriteFile write)
    : m_info(info)
    , m_tasks(tasks)
    , m_write(write ? std::move(write) : WriteFile(saveFile)) {}

Status EngineWriter::Save_Benchmark_File(const std::string& path, const RunRecords& run) {
    return m_write(path, benchfile::benchmarkFileBytes(payload(run)));
}

std::string EngineWriter::payload(const RunRecords& run) {
    const Selections& options = run.options;
    const std::array<std::string, 3> captions = direct3DCaptions(
        options.ScreenResolution, options.ScreenColorDepth, options.TextureQuality);
    // The system is probed before the task list is taken, once for all the records.
    const SystemDescription description = m_info.describe();
    const std::vector<std::string> titles = m_tasks.applicationTaskTitles();
    // Every character changed is told: those the code page lacks, and the bars and
    // semicolons that would end a name or a field early.
    std::size_t replaced = 0;
    std::string payload;
    const int n = static_cast<int>(run.repetitions.size());
    for (int k = 1; k <= n; ++k) {
        payload +=
            benchfile::recordOpening(n == 1 ? run.name : repetitionName(run.name, k, n), &replaced);
        payload += Build_System_Fields(description, &replaced);
        payload += Build_Task_Fields(titles, &replaced);
        payload += benchfile::Build_Score_Fields(run.repetitions[static_cast<std::size_t>(k - 1)],
                                                 captions, &replaced);
        payload += benchfile::kRecordTerminator;
    }
    m_substituted = replaced + vexo::substitutedCharacters(payload);
    return payload;
}

} // namespace vexo
