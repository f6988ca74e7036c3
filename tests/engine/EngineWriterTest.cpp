// The engine's writer: what a run's file holds.
#include "engine/EngineWriter.h"

#include "benchfile/BenchmarkFile.h"
#include "common/AppState.h"
#include "common/CodePage.h"
#include "support/FakeSystem.h"
#include "support/Records.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "sysinfo/SystemInfo.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using namespace benchfile;
using test::TempFolder;
using Outcome = ImportResult::Outcome;

struct WriterRig {
    WriterRig() {
        state.run.BenchmarkName = "Writer test \xC3\xA9t\xC3\xA9 |";
        state.scores = {1111, 2222, 333, 444, 57, 66, 77, 88};
        state.selections.ScreenResolution = 2;
        state.selections.ScreenColorDepth = 2;
        state.selections.TextureQuality = 2;
        tasks.titles = {"Editor \xE2\x86\x92 notes", "Mail: inbox:;2", "Caf\xC3\xA9 = open"};
    }
    // Saves to name in the folder and reads the file back.
    BenchmarkRecord saveAndRead(const std::string& name) {
        const Status saved = save(folder.path(name));
        EXPECT_TRUE(saved) << saved.message();
        BenchmarkDatabase database;
        const ImportResult result = Import_Saved_Benchmark(folder.path(name), database);
        EXPECT_EQ(result.outcome, Outcome::Loaded) << result.detail;
        return database.empty() ? BenchmarkRecord{} : database.records()[0];
    }
    Status save(const std::string& path) {
        const std::vector<ScoreSet> runs{state.scores};
        return writer.Save_Benchmark_File(path, {state.run.BenchmarkName, runs, state.selections});
    }
    test::FakeMachine machine;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};
    test::FixedTasks tasks;
    AppState state;
    EngineWriter writer{info, tasks};
    TempFolder folder;
};

TEST(Writers, EngineOrderIsSystemTasksScoresAndBothWritersGiveTheSameRecord) {
    WriterRig rig;
    BenchmarkDatabase first;
    first.addRecord("") = rig.saveAndRead("last benchmark.vgf");
    const std::string bytes = TempFolder::read(rig.folder.path("last benchmark.vgf"));
    ASSERT_TRUE(bytes.substr(0, 34) == BenchmarkHeader && bytes.substr(bytes.size() - 2) == "\r\n");
    const std::string plain =
        fromFileBytes(Decode_Data(std::string_view(bytes).substr(34, bytes.size() - 36)).text);
    // Every system value, then the tasks, then the scores; separators inside texts are escaped.
    EXPECT_EQ(plain,
              ">>:Writer test \xC3\xA9t\xC3\xA9 ?||CPUT=104:;CPUS=733:;CPUMMX=True:;CPUFPU=True:;"
              "MEMLoad=37:;MEMTot=3072:;MEMFree=1536:;MEMVirt=7:;OSMajr=6:;OSMinr=1:;"
              "OSClass=Debian GNU/Linux 12 (bookworm):;OSBuild=76:;GRA_Dev=Mesa Test Adapter:;"
              "GRA_Mem=32:;Task=Editor ? notes:;Task=Mail: inbox:?2:;Task=Caf\xC3\xA9 = open:;"
              "BMCPUh=1111:;BMCPUl=2222:;BMFPUh=333:;BMFPUl=444:;"
              "BMDR3D=57(1024x768@32 Bit /w High textures):;BMSSA=66:;BMBSA=77:;BMISA=88:;:;");
    // The browser's writer saves what the engine's wrote as the same record.
    BenchmarkDatabase second;
    ASSERT_TRUE(
        importBytes(benchmarkFileBytes(exportPayload(inOrder(first))), "last benchmark.vgf", second)
            .loaded());
    EXPECT_EQ(second.records().at(0), first.records()[0]);
}

TEST(Writers, CountTheCharactersStoredAsTheSubstituteAndKeepTheYWithDiaeresis) {
    WriterRig rig;
    rig.state.run.BenchmarkName = "Tokyo \xE6\x9D\xB1\xE4\xBA\xAC run?"; // a real '?' is kept
    rig.tasks.titles = {"Tab\there", "\xF0\x9F\x98\x80 smile", "Mail:;inbox"};
    ASSERT_TRUE(rig.save(rig.folder.path("a.vgf")));
    EXPECT_EQ(rig.writer.substitutedCharacters(), 5u); // the ';' of ":;" too

    // ÿ is the byte 255 in a file; it is as much a character as any other.
    rig.state.run.BenchmarkName = "Test run with \xC3\xBF";
    rig.tasks.titles = {"\xC3\xBF first", "Caf\xC3\xA9 \xE2\x82\xAC"};
    rig.machine.graphics.answer.description = "Adapter \xC3\xBF";
    const BenchmarkRecord record = rig.saveAndRead("y.vgf");
    EXPECT_EQ(rig.writer.substitutedCharacters(), 0u);
    EXPECT_TRUE(record.name == "Test run with \xC3\xBF" && record.tasks == rig.tasks.titles);
    EXPECT_EQ(record.system[systemKeyIndex("GRA_Dev")], "Adapter \xC3\xBF");
    EXPECT_EQ(record.scores[scoreKeyIndex("BMISA")], "88");
}

} // namespace
} // namespace vexo
