#include "cli/RunCommand.h"

#include "benchfile/BenchmarkFile.h"
#include "cli/Json.h"
#include "common/AppState.h"
#include "support/FakeClock.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"
#include "support/TempFolder.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

std::optional<RunOptions> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::ostringstream err;
    auto options = parseRunOptions(args, err);
    if (error != nullptr)
        *error = err.str();
    return options;
}

TEST(RunOptions, EachBenchmarkOptionSetsItsGroupToo) {
    const auto options = parse({"--fpu", "--imaging"});
    ASSERT_TRUE(options);
    const Selections& s = options->selections;
    EXPECT_EQ(s.HardwareSelected, True);
    EXPECT_EQ(s.FPUSelected, True);
    EXPECT_EQ(s.SoftwareSelected, True);
    EXPECT_EQ(s.ImagingSelected, True);
    EXPECT_EQ(s.CPUSelected, False);
    EXPECT_EQ(s.Direct3DSelected, False);
    EXPECT_EQ(s.BusinessSelected, False);

    const auto all = parse({"--all"});
    ASSERT_TRUE(all);
    for (Flag flag : {all->selections.HardwareSelected, all->selections.SoftwareSelected,
                      all->selections.CPUSelected, all->selections.FPUSelected,
                      all->selections.Direct3DSelected, all->selections.SpreadsheetSelected,
                      all->selections.BusinessSelected, all->selections.ImagingSelected})
        EXPECT_EQ(flag, True);
}

TEST(RunOptions, NameIsCheckedUpFrontInBothSpellings) {
    const auto spaced = parse({"--cpu", "--name", "First Linux run"});
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->name, "First Linux run");
    const auto joined = parse({"--name=A:B;C is fine", "--business"});
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->name, "A:B;C is fine");

    std::string error;
    EXPECT_FALSE(parse({"--cpu", "--name", "a||bcdefg"}, &error));
    EXPECT_NE(error.find(shown::NameHasSequence), std::string::npos) << error;
    EXPECT_FALSE(parse({"--cpu", "--name=short"}, &error));
    EXPECT_NE(error.find(shown::NameTooShort), std::string::npos) << error;
}

TEST(RunOptions, Direct3DOptionsByCaptionOrNumber) {
    const auto options =
        parse({"--d3d", "--resolution", "1280x1024", "--depth=24", "--texture", "High"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->selections.HardwareSelected, True);
    EXPECT_EQ(options->selections.Direct3DSelected, True);
    EXPECT_EQ(options->selections.ScreenResolution, 3);
    EXPECT_EQ(options->selections.ScreenColorDepth, 1);
    EXPECT_EQ(options->selections.TextureQuality, 2);
    const auto numbers = parse({"--d3d", "--resolution", "0", "--depth", "2", "--texture", "1"});
    ASSERT_TRUE(numbers);
    EXPECT_EQ(numbers->selections.ScreenColorDepth, 2);
    EXPECT_EQ(numbers->selections.TextureQuality, 1);

    std::string error;
    EXPECT_FALSE(parse({"--d3d", "--resolution", "1280x960"}, &error));
    EXPECT_NE(error.find("640x480, 800x600, 1024x768, 1280x1024, 1600x1200"), std::string::npos)
        << error;
    EXPECT_FALSE(parse({"--d3d", "--depth", "8"}, &error));
}

TEST(RunOptions, MistakesAreRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(parse({}, &error));
    EXPECT_NE(error.find("choose at least one benchmark (--cpu, --fpu, --d3d,"), std::string::npos)
        << error;
    EXPECT_FALSE(parse({"--cpu", "--gpu"}, &error));
    EXPECT_NE(error.find("unknown option --gpu"), std::string::npos);
    EXPECT_FALSE(parse({"--cpu", "--name"}, &error));
    EXPECT_NE(error.find("--name needs a value"), std::string::npos);
}

TEST(RunOptions, RepeatTakesACountFrom2To20) {
    EXPECT_EQ(parse({"--fpu"})->repeat, 1);
    EXPECT_EQ(parse({"--fpu", "--repeat", "2"})->repeat, 2);
    EXPECT_EQ(parse({"--fpu", "--repeat=20"})->repeat, 20);
    for (const char* count : {"1", "21", "0", "-3", "3x", "", "two"}) {
        std::string error;
        EXPECT_FALSE(parse({"--fpu", "--repeat", count}, &error)) << count;
        EXPECT_EQ(error, std::string("vexogauge-cli run: --repeat ") + count +
                             " is not a number from 2 to 20\n");
    }
}

class FixedTasks final : public TaskTitleSource {
public:
    std::vector<std::string> applicationTaskTitles() override { return {"Editor", "Terminal"}; }
};

struct CliRun {
    int status = 0;
    std::string out, err;
    std::string savedFile;
    std::string json; // what run --json printed
};

// A run with a clock of the given readings a second (102: 100 iterations a second counted).
CliRun runWithInput(const std::vector<std::string>& args, const std::string& input,
                    bool inputIsTerminal = true, int readingsPerSecond = 102) {
    const auto options = parse(args);
    EXPECT_TRUE(options);
    test::TempFolder results;
    Folders folders;
    folders.AppFolder = "/nonexistent/";
    folders.ResultsFolder = results.folder().string() + "/";
    test::FakeClock clock(0, readingsPerSecond);
    test::FakeMachine machine;
    const SystemQueries system{machine.processor, machine.memory, machine.os, machine.graphics};
    FixedTasks tasks;
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    std::ostringstream json;
    CliRun result;
    result.status =
        runBenchmarks(*options, folders, {clock, system, tasks},
                      {in, out, err, false, inputIsTerminal, options->json ? &json : nullptr});
    result.json = json.str();
    result.out = out.str();
    result.err = err.str();
    result.savedFile = test::TempFolder::read(results.path("last benchmark.vgf"));
    return result;
}

// The records of a file the run wrote; none when it does not read whole.
BenchmarkDatabase readBack(const std::string& path) {
    BenchmarkDatabase database;
    const auto result = benchfile::Import_Saved_Benchmark(path, database);
    EXPECT_EQ(result.outcome, benchfile::ImportResult::Outcome::Loaded) << result.detail;
    return result.outcome == benchfile::ImportResult::Outcome::Loaded ? database
                                                                      : BenchmarkDatabase{};
}

TEST(RunCommand, AsksForTheNameUntilItIsAcceptableAndPrintsTheScoreCard) {
    const CliRun run = runWithInput({"--fpu"}, "short\nFirst Linux run\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find(shown::NameTooShort), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Benchmark Name?"), std::string::npos);
    EXPECT_NE(run.out.find("Benchmark: First Linux run\n"), std::string::npos);
    EXPECT_NE(run.out.find("Your system throttling took: 3 tries to stabilize.\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("FPU(SPFP): "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("FPU(Integer): "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("CPU/Cache/FSB: "), std::string::npos);
    // Each line of the run page is printed once, when it changes.
    const std::string progress = "Benchmark Progress: Phase 3 of 3\n";
    const auto first = run.out.find(progress);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(run.out.find(progress, first + 1), std::string::npos);
    // Saved to the results folder and imported, as the result browser would.
    EXPECT_EQ(run.savedFile.rfind(std::string(benchfile::BenchmarkHeader), 0), 0u);
    EXPECT_NE(run.out.find("Success: Your File Has Been Successfully Loaded: last benchmark.vgf"),
              std::string::npos)
        << run.out;
}

TEST(RunCommand, EndOfInputWhileAskingIsAnErrorNotALoop) {
    const CliRun run = runWithInput({"--imaging"}, "tiny\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("standard input ended"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Imaging: "), std::string::npos);
}

TEST(RunCommand, OutWritesTheChosenFile) {
    test::TempFolder folder;
    const std::string path = folder.path("First.vgf");
    const CliRun run = runWithInput({"--business", "--name", "Business only", "--out", path}, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.savedFile.empty());
    EXPECT_NE(run.out.find("Successfully Loaded: First.vgf"), std::string::npos);
    const BenchmarkDatabase database = readBack(path);
    ASSERT_FALSE(database.empty());
    const BenchmarkRecord& record = database.records().at(0);
    EXPECT_EQ(record.name, "Business only");
    EXPECT_EQ(record.tasks, (std::vector<std::string>{"Editor", "Terminal"}));
    EXPECT_EQ(record.system[0], "104");
    EXPECT_NE(record.scores[6].value_or("0"), "0");
    EXPECT_EQ(record.scores[4], "0");
}

TEST(RunCommand, ANameWithYDiaeresisIsSavedReadBackAndSucceeds) {
    test::TempFolder folder;
    const std::string path = folder.path("y.vgf");
    const CliRun run =
        runWithInput({"--imaging", "--name", "Test run with \xC3\xBF", "--out", path}, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Success: Your File Has Been Successfully Loaded: y.vgf"),
              std::string::npos)
        << run.out;
    const BenchmarkDatabase database = readBack(path);
    ASSERT_FALSE(database.empty());
    EXPECT_EQ(database.records().at(0).name, "Test run with \xC3\xBF");
}

TEST(RunCommand, CharactersAFileCannotHoldAreSaidOnStandardError) {
    const CliRun run =
        runWithInput({"--spreadsheet", "--name", "Run in \xE6\x9D\xB1\xE4\xBA\xAC"}, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "vexogauge-cli run: 2 character(s) of the name or the task titles cannot be "
                       "held by a benchmark file and were stored as \"?\"\n");
    EXPECT_NE(run.out.find(std::string(shown::SavedWithSubstitutes) + "\n"), std::string::npos)
        << run.out;
}

TEST(RunCommand, RepeatedRunsAreSavedAsOneRecordEachAndSummarised) {
    test::TempFolder folder;
    const std::string path = folder.path("r.vgf");
    const CliRun run = runWithInput(
        {"--fpu", "--spreadsheet", "--repeat", "3", "--name", "Repeat check run", "--out", path},
        "");
    EXPECT_EQ(run.status, 0) << run.err;
    // Throttled once, then three times the chosen phases.
    const auto throttles = [&] {
        std::size_t count = 0;
        for (std::size_t at = run.out.find(shown::ThrottleStatus); at != std::string::npos;
             at = run.out.find(shown::ThrottleStatus, at + 1))
            ++count;
        return count;
    }();
    EXPECT_EQ(throttles, 1u) << run.out;
    for (const char* line :
         {"Repetition 1 of 3 (about ", "Repetition 2 of 3 (about ", "Repetition 3 of 3 (about "})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    EXPECT_NE(run.out.find("Successfully Loaded: r.vgf"), std::string::npos);
    EXPECT_NE(run.out.find("Benchmark: Repeat check run, 3 runs\n"), std::string::npos);
    EXPECT_NE(run.out.find("Score                  Median       Lowest      Highest   Spread  "
                           "Interval of the median\n"
                           "FPU(SPFP)        "),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nSpreadsheet      "), std::string::npos);
    EXPECT_EQ(run.out.find("\nCPU/Cache/FSB    "), std::string::npos); // not chosen
    EXPECT_NE(run.out.find("Score card of the medians:\nFPU(SPFP): "), std::string::npos);

    const BenchmarkDatabase database = readBack(path);
    ASSERT_FALSE(database.empty());
    ASSERT_EQ(database.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const BenchmarkRecord& record = database.records()[k];
        EXPECT_EQ(record.name, "Repeat check run (run " + std::to_string(k + 1) + " of 3)");
        EXPECT_NE(record.scores[2].value_or("0"), "0");
        EXPECT_NE(record.scores[5].value_or("0"), "0");
        EXPECT_EQ(record.scores[0], "0");
        EXPECT_EQ(record.scores[4], "0");
        EXPECT_EQ(record.tasks, (std::vector<std::string>{"Editor", "Terminal"}));
        EXPECT_EQ(record.system[0], "104");
    }
}

TEST(RepetitionTable, GivesMedianRangeAndSpreadOfEachChosenScore) {
    std::vector<ScoreSet> runs(3);
    runs[0].BMFPUh = 100;
    runs[1].BMFPUh = 110;
    runs[2].BMFPUh = 90;
    runs[0].BMFPUl = 7;
    runs[1].BMFPUl = 8;
    runs[2].BMFPUl = 8;
    runs[1].BMISA = 5; // not chosen: left out
    const auto options = parse({"--fpu"});
    ASSERT_TRUE(options);
    EXPECT_EQ(
        repetitionTable(runs, options->selections),
        "Score                  Median       Lowest      Highest   Spread  Interval of the median\n"
        "FPU(SPFP)                 100           90          110    20.0%  -10.0 to +10.0 % (75.0 "
        "%)\n"
        "FPU(Integer)                8            7            8    12.5%  -12.5 to +0.0 % (75.0 "
        "%)\n");
    std::vector<ScoreSet> two(2);
    two[0].BMFPUh = 3;
    two[1].BMFPUh = 4;
    EXPECT_EQ(medianScores(two).BMFPUh, 4); // 3.5 rounds away from zero
    EXPECT_NE(repetitionTable(two, options->selections).find("28.6%  untested: 2 run(s)\n"),
              std::string::npos);
    EXPECT_EQ(medianScores(runs).BMFPUl, 8);
}

// What would make the end of a run fail is found before it: one line, nothing run or written.
TEST(RunCommand, ChecksThatCanFailDoSoBeforeTheRun) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string said;
    };
    const std::vector<Case> cases{
        {"Direct3D without a tunnel",
         {"--d3d", "--name", "No display run"},
         1,
         "vexogauge-cli run: the Direct3D benchmark (--d3d) cannot run: this build has no OpenGL "
         "tunnel; nothing was run\n"},
        {"a missing output folder",
         {"--cpu", "--name", "Missing folder", "--out", "/missing/x.vgf"},
         1,
         "vexogauge-cli run: the run could not be saved to /missing/x.vgf: the folder /missing "
         "does not exist; nothing was run\n"},
        {"no name and an input that is not a terminal",
         {"--cpu"},
         2,
         "vexogauge-cli run: no name for the run (standard input is not a terminal and gave no "
         "acceptable name): give one with --name; nothing was run\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runWithInput(c.args, "", false);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.said);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.savedFile, "");
    }
}

TEST(RunCommand, ANameFromAnInputThatIsNotATerminalIsReadBeforeTheRun) {
    const CliRun run = runWithInput({"--business"}, "short\nFrom a pipe run\n", false);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(shown::NameTooShort), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Benchmark Name?"), std::string::npos);
    EXPECT_NE(run.out.find("Benchmark: From a pipe run\n"), std::string::npos);
}

// A benchmark without a score is listed with its reason and fails the run; a run without any
// score writes nothing.
TEST(RunCommand, BenchmarksWithoutAScoreAreListedAndFailTheRun) {
    const CliRun none = runWithInput({"--spreadsheet", "--name", "Slow machine run"}, "", true, 3);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "vexogauge-cli run: nothing was measured; no file was written\n"
                        "Spreadsheet: no score (nothing was counted)\n");
    EXPECT_EQ(none.savedFile, "");

    const CliRun some =
        runWithInput({"--spreadsheet", "--business", "--name", "Slow machine run"}, "", true, 3);
    EXPECT_EQ(some.status, 1);
    EXPECT_NE(some.out.find("Business: 31 VexoGAUGEs\nSpreadsheet: no score (nothing was "
                            "counted)\n"),
              std::string::npos)
        << some.out;
    EXPECT_EQ(some.err, "vexogauge-cli run: a chosen benchmark produced no score\n");
    EXPECT_FALSE(some.savedFile.empty());
}

TEST(RunCommand, JsonSaysWhatWasSavedAndWhatGaveNoScore) {
    const CliRun saved = runWithInput({"--business", "--name", "Json run one", "--json"}, "");
    EXPECT_EQ(saved.status, 0) << saved.err;
    const json::Json document = json::Json::parse(saved.json);
    EXPECT_EQ(document["command"], "run");
    EXPECT_EQ(document["saved"], true);
    EXPECT_TRUE(document["missing"].empty());
    ASSERT_EQ(document["records"].size(), 1u);
    EXPECT_EQ(document["records"][0]["name"], "Json run one");
    EXPECT_TRUE(document["records"][0]["scores"]["business"].is_number());

    const CliRun none =
        runWithInput({"--spreadsheet", "--name", "Slow machine run", "--json"}, "", true, 3);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(json::Json::parse(none.json),
              json::Json::parse(R"({"schema": 1, "command": "run", "units": {"score":
                  "VexoGAUGEs", "direct3d": "frames per second"}, "saved": false, "file": null,
                  "records": [], "missing": [{"score": "spreadsheet",
                  "reason": "nothing was counted"}]})"));
}

TEST(RunCommand, AGivenNameIsNotAskedFor) {
    const CliRun run = runWithInput({"--spreadsheet", "--name", "Given on the line"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("Benchmark Name?"), std::string::npos);
    EXPECT_NE(run.out.find("Benchmark: Given on the line\n"), std::string::npos);
}

} // namespace
} // namespace vexo
