#include "cli/RunCommand.h"

#include "benchfile/BenchmarkFile.h"
#include "cli/Json.h"
#include "support/FakeClock.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"
#include "support/TempFolder.h"
#include "sysinfo/SystemInfo.h"

#include <array>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo {
namespace {

std::optional<RunOptions> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::ostringstream err;
    auto options = parseRunOptions(args, err);
    if (error != nullptr)
        *error = err.str();
    return options;
}

// The chosen flags (hardware, software, CPU, FPU, Direct3D, spreadsheet, business, imaging),
// the Direct3D resolution, depth and texture, the name and the repeat count.
std::string described(const std::vector<std::string>& args) {
    const auto options = parse(args);
    if (!options)
        return "refused";
    const Selections& s = options->selections;
    std::string text;
    for (Flag flag :
         {s.HardwareSelected, s.SoftwareSelected, s.CPUSelected, s.FPUSelected, s.Direct3DSelected,
          s.SpreadsheetSelected, s.BusinessSelected, s.ImagingSelected})
        text += flag == True ? '1' : '0';
    return text + " " + std::to_string(s.ScreenResolution) + std::to_string(s.ScreenColorDepth) +
           std::to_string(s.TextureQuality) + " " + options->name.value_or("-") + " x" +
           std::to_string(options->repeat);
}

// Each benchmark option sets its group too; values come in both spellings, Direct3D settings
// by caption or by number.
TEST(RunOptions, EachBenchmarkOptionSetsItsGroupTooAndValuesComeInBothSpellings) {
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--fpu", "--imaging", "--name", "First Linux run"}, "11010001 000 First Linux run x1"},
        {{"--all", "--name=A:B;C is fine", "--repeat=20"}, "11111111 000 A:B;C is fine x20"},
        {{"--fpu", "--repeat", "2"}, "10010000 000 - x2"},
        {{"--d3d", "--resolution", "1280x1024", "--depth=24", "--texture", "2"},
         "10001000 312 - x1"},
        {{"--d3d", "--resolution", "3", "--texture", "High"}, "10001000 302 - x1"},
    };
    for (const auto& [args, expected] : rows)
        EXPECT_EQ(described(args), expected) << args[0] << " " << args[1];
}

TEST(RunOptions, MistakesAreRefusedWithAReason) {
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--cpu", "--gpu"}, "unknown option --gpu"},
        {{"--cpu", "--name", "a||bcdefg"}, shown::NameHasSequence},
        {{"--cpu", "--name", "a||\x1b[2Jbcdefg"}, "the name \"a||^[[2Jbcdefg\" is refused"},
        {{"--cpu", "--name=short"}, shown::NameTooShort},
        {{"--d3d", "--resolution", "1280x960"}, "640x480, 800x600, 1024x768, 1280x1024, 1600x1200"},
        {{"--d3d", "--depth", "8"}, "8"},
        {{"--fpu", "--repeat", "1"},
         "vexogauge-cli run: --repeat 1 is not a number from 2 to 20\n"},
        {{"--fpu", "--repeat", "21"}, "--repeat 21 is not a number from 2 to 20\n"},
    };
    for (const auto& [args, reason] : rows) {
        SCOPED_TRACE(reason);
        std::string error;
        EXPECT_FALSE(parse(args, &error));
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
}

struct CliRun {
    int status = 0;
    std::string out, err, savedFile, json; // json: what run --json printed
    std::string savedPath;                 // the path printed alone
};

// A run with a clock of the given readings a second (102: 100 iterations a second counted).
CliRun runWithInput(const std::vector<std::string>& args, const std::string& input,
                    bool inputIsTerminal = true, int readingsPerSecond = 102) {
    const auto options = parse(args);
    EXPECT_TRUE(options);
    test::TempFolder results;
    const Folders folders{"/nonexistent/", results.folder().string() + "/", {}, {}};
    test::FakeClock clock(0, readingsPerSecond);
    test::FakeMachine m;
    test::FixedTasks tasks;
    std::istringstream in(input);
    std::ostringstream out, err, json, path;
    const int status =
        runBenchmarks(*options, folders, {clock, {m.processor, m.memory, m.os, m.graphics}, tasks},
                      {in, out, err, false, inputIsTerminal, options->json ? &json : nullptr,
                       options->json ? nullptr : &path});
    return {status,     out.str(),
            err.str(),  test::TempFolder::read(results.path("last benchmark.vgf")),
            json.str(), path.str()};
}

// The records of a file the run wrote; none when it does not read whole.
BenchmarkDatabase readBack(const std::string& path) {
    BenchmarkDatabase database;
    const auto result = benchfile::Import_Saved_Benchmark(path, database);
    EXPECT_EQ(result.outcome, benchfile::ImportResult::Outcome::Loaded) << result.detail;
    return database;
}

using Texts = std::vector<std::string>;

// What a run prints and writes: its status, a part of standard error and parts of standard
// output, a part starting with '!' being absent; with no parts, nothing may be printed.
void expectRun(const char* name, const Texts& args, const std::string& input, int status,
               const std::string& err, const Texts& out, bool saved, bool terminal = true,
               int readingsPerSecond = 102) {
    SCOPED_TRACE(name);
    const CliRun run = runWithInput(args, input, terminal, readingsPerSecond);
    EXPECT_EQ(run.status, status);
    EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
    for (const std::string& part : out) {
        const bool absent = part[0] == '!';
        EXPECT_EQ(run.out.find(part.substr(absent ? 1 : 0)) == std::string::npos, absent)
            << part << "\n"
            << run.out;
    }
    EXPECT_TRUE(!out.empty() || run.out.empty()) << run.out;
    EXPECT_EQ(run.savedFile.rfind(std::string(benchfile::BenchmarkHeader), 0),
              saved ? 0u : std::string::npos);
}

TEST(RunCommand, PrintsAndSavesWhatItMeasured) {
    expectRun("a name asked until acceptable", {"--fpu"}, "short\nFirst Linux run\n", 0,
              shown::NameTooShort,
              {"Benchmark Name?", "Benchmark: First Linux run\n",
               "Your system throttling took: 3 tries to stabilize.\n",
               "FPU(SPFP): ", "FPU(Integer): ", "!CPU/Cache/FSB: ",
               "last benchmark.vgf and read back "
               "whole.\n",
               "!Success", "!Benchmark Discription", "!Click the next button"},
              true);
    expectRun("input ended while asking", {"--imaging"}, "tiny\n", 1, "standard input ended",
              {"Benchmark Name?", "!Imaging: "}, false);
    expectRun("a name from an input that is not a terminal, read before the run", {"--business"},
              "short\nFrom a pipe run\n", 0, shown::NameTooShort,
              {"Benchmark: From a pipe run\n", "!Benchmark Name?"}, true, false);
    expectRun("characters a file cannot hold",
              {"--spreadsheet", "--name", "Run in \xE6\x9D\xB1\xE4\xBA\xAC"}, "", 0,
              "vexogauge-cli run: 2 character(s) of the name or the task titles cannot be held "
              "by a benchmark file and were stored as \"?\"\n",
              {std::string(shown::SavedWithSubstitutes) + "\n"}, true);
    const Texts slow{"--spreadsheet", "--name", "Slow machine run"};
    expectRun("nothing measured", slow, "", 1,
              "vexogauge-cli run: nothing was measured; no file was written\n"
              "Spreadsheet: no score (nothing was counted)\n",
              {"!Status: Benchmark Complete"}, false, true, 3);
    expectRun("a name with control characters, shown visibly",
              {"--business", "--name", "Fast\x1b[31mclock\x1b]0;PWNED\x07 run"}, "", 0, "",
              {"Benchmark: Fast^[[31mclock^[]0;PWNED^G run\n"}, true);
    expectRun("a benchmark without a score",
              {"--spreadsheet", "--business", "--name", "Slow machine run"}, "", 1,
              "vexogauge-cli run: a chosen benchmark produced no score\n",
              {"Business: 31 VexoGAUGEs\nSpreadsheet: no score (nothing was counted)\n"}, true,
              true, 3);
}

// What would make the end of a run fail is found before it: nothing is run or written.
TEST(RunCommand, ChecksThatCanFailDoSoBeforeTheRun) {
    expectRun("Direct3D without a tunnel", {"--d3d", "--name", "No display run"}, "", 1,
              "(--d3d) cannot run: this build has no OpenGL tunnel; nothing was run\n", {}, false,
              false);
    expectRun("a missing output folder", {"--cpu", "--name", "Missing", "--out", "/missing/x.vgf"},
              "", 1,
              "Cannot save /missing/x.vgf: no new file can be made in the folder /missing (No "
              "such file or directory); nothing was run\n",
              {}, false, false);
    test::TempFolder folder;
    const std::string kept = folder.path("kept.vgf");
    test::TempFolder::write(kept, "earlier runs");
    ::chmod(kept.c_str(), 0444);
    expectRun("a read-only output", {"--cpu", "--name", "Read-only", "--out", kept}, "", 1,
              "Cannot save " + kept +
                  ": it is read-only (mode 444), and a save does not replace "
                  "a file you may not write; nothing was run\n",
              {}, false, false);
    EXPECT_EQ(test::TempFolder::read(kept), "earlier runs");
    expectRun("no name and an input that is not a terminal", {"--cpu"}, "", 2,
              "vexogauge-cli run: no name for the run (standard input is not a terminal and gave "
              "no acceptable name): give one with --name; nothing was run\n",
              {}, false, false);
}

// A descriptor named as the output (a pipe here, as "| wc -c" gives) is written through, and
// the run is read back from the bytes written; the saved path is said alone where it was asked
// for.
TEST(RunCommand, WritesThroughADescriptorItWasGiven) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const CliRun run = runWithInput({"--business", "--name", "Through a pipe", "--out",
                                     "/proc/self/fd/" + std::to_string(ends[1])},
                                    "");
    ::close(ends[1]);
    std::string bytes(65536, '\0');
    bytes.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, ::read(ends[0], bytes.data(), bytes.size()))));
    ::close(ends[0]);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(bytes.rfind(std::string(benchfile::BenchmarkHeader), 0), 0u);
    EXPECT_NE(run.out.find("Saved to /proc/self/fd/"), std::string::npos) << run.out;
    EXPECT_EQ(run.savedPath, "/proc/self/fd/" + std::to_string(ends[1]) + "\n");
}

// Throttled once, then three times the chosen phases (each line of the run page printed once,
// when it changes), then the summary; each run is one record of the chosen file, whose name
// holds the character 0xFF of the file's encoding. The JSON gives each chosen score's
// statistics as the terminal's table does.
TEST(RunCommand, RepeatedRunsAreSavedToTheChosenFileAsOneRecordEachAndSummarised) {
    test::TempFolder folder;
    const std::string path = folder.path("r.vgf");
    const CliRun run = runWithInput({"--business", "--spreadsheet", "--repeat", "3", "--name",
                                     "Repeat \xC3\xBF run", "--out", path, "--json"},
                                    "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.savedFile.empty());
    EXPECT_EQ(run.out.find(shown::ThrottleStatus, run.out.find(shown::ThrottleStatus) + 1),
              std::string::npos);
    // The phases are numbered across the three runs: the throttling, then twice three.
    for (const char* line :
         {"Repetition 3 of 3 (about ", "Benchmark: Repeat \xC3\xBF run, 3 runs\n",
          "Benchmark Progress: Phase 1 of 7\n", "Benchmark Progress: Phase 4 of 7\n",
          "Benchmark Progress: Phase 7 of 7\n", "r.vgf and read back whole.\n",
          "\nSpreadsheet      ", "Score card of the medians:\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    const std::size_t last = run.out.find("Progress: Phase 7 of 7\n");
    EXPECT_EQ(run.out.find("Progress: Phase 7 of 7\n", last + 1), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\nCPU/Cache/FSB    "), std::string::npos); // not chosen
    const BenchmarkDatabase database = readBack(path);
    ASSERT_EQ(database.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const BenchmarkRecord& r = database.records()[k];
        EXPECT_EQ(r.name, "Repeat \xC3\xBF run (run " + std::to_string(k + 1) + " of 3)");
        EXPECT_EQ(r.tasks, (std::vector<std::string>{"Editor", "Terminal"}));
        EXPECT_TRUE(r.system[0] == "104" && r.scores[4] == "0" && r.scores[6].value_or("0") != "0");
    }
    const json::Json document = json::Json::parse(run.json);
    EXPECT_TRUE(document["saved"] == true && document["missing"].empty() &&
                document["records"].size() == 3u &&
                document["records"][2] == json::record(database.records()[2]));
    const json::Json& repeated = document["repeated"];
    EXPECT_EQ(repeated["runs"], 3);
    ASSERT_EQ(repeated["scores"].size(), 2u);
    const json::Json& business = repeated["scores"][1];
    EXPECT_TRUE(business["score"] == "business" && business["count"] == 3 &&
                business["median"].is_number() && business["spread"].is_number() &&
                business["interval"]["confidence"] == 0.75)
        << business;
}

TEST(RepetitionTable, GivesMedianRangeAndSpreadOfEachChosenScore) {
    std::vector<ScoreSet> runs(3);
    for (std::size_t k = 0; k < 3; ++k) {
        runs[k].BMFPUh = std::array{100, 110, 90}[k];
        runs[k].BMFPUl = std::array{7, 8, 8}[k];
        runs[k].BMISA = 5; // not chosen: left out
    }
    const auto options = parse({"--fpu"});
    ASSERT_TRUE(options);
    EXPECT_EQ(
        repetitionTable(runs, options->selections),
        R"(Score                  Median       Lowest      Highest   Spread  Interval of the median
FPU(SPFP)                 100           90          110    20.0%  -10.0 to +10.0 % (75.0 %)
FPU(Integer)                8            7            8    12.5%  -12.5 to +0.0 % (75.0 %)
)");
    std::vector<ScoreSet> two(2);
    two[0].BMFPUh = 3, two[1].BMFPUh = 4;
    EXPECT_EQ(medianScores(two).BMFPUh, 4); // 3.5 rounds away from zero
    EXPECT_NE(repetitionTable(two, options->selections).find("28.6%  untested: 2 run(s)\n"),
              std::string::npos);
}

TEST(RunCommand, JsonOfARunThatMeasuredNothingSaysWhatGaveNoScore) {
    const CliRun none =
        runWithInput({"--spreadsheet", "--name", "Slow machine run", "--json"}, "", true, 3);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(json::Json::parse(none.json),
              json::Json::parse(R"({"schema": 2, "command": "run", "units": {"score":
                  "VexoGAUGEs", "direct3d": "frames per second"}, "saved": false, "file": null,
                  "records": [], "missing": [{"score": "spreadsheet",
                  "reason": "nothing was counted"}]})"));
}

} // namespace
} // namespace vexo
