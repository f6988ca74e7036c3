#include "cli/FileCommands.h"

#include "benchfile/BenchmarkFile.h"
#include "cli/Json.h"
#include "support/Records.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace vexo {
namespace {

using json::Json;
using test::completeRecord;
using test::TempFolder;

struct Output {
    int status;
    std::string out, err;
    Json json() const { return Json::parse(out); }
    bool says(const std::string& text) const {
        return out.find(text) != std::string::npos || err.find(text) != std::string::npos;
    }
};

template <class Command>
Output call(Command command, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

// merge without a terminal to ask, or with the answer given.
Output merge(const std::vector<std::string>& args, const char* answer = nullptr) {
    std::istringstream in(answer ? answer : "");
    return call([&](auto& a, auto& out,
                    auto& err) { return mergeCommand(a, out, err, answer ? &in : nullptr); },
                args);
}

// Files of the tests: small (one score and a task), full (every key), bad (a wrong header).
struct Files {
    Files() { TempFolder::write(bad, "VEXOGAUGE 2002 SAVE BENCHMARK V1.0\r\n"); }
    std::string make(const std::string& name, const std::string& payload) {
        EXPECT_TRUE(benchfile::saveBenchmarkFile(folder.path(name), payload));
        return folder.path(name);
    }
    TempFolder folder;
    std::string small = make("Small.vgf", ">>:Small run||BMCPUh=5:;Task=x \"y\":;:;");
    std::string full = make("full.vgf", completeRecord("Full, \"quoted\""));
    std::string cut = make("cut.vgf", ">>:Kept run||BMCPUh=7:;:;>>:Cut run||BMCP");
    std::string bad = folder.path("bad.vgf");
};

TEST(DumpCommand, JsonHoldsTheFilesAndRecordsAsReadWithTypes) {
    Files files;
    const Output result = call(dumpCommand, {"--json", files.small});
    const Json dump = result.json();
    EXPECT_TRUE(result.status == 0 && dump["schema"] == json::kSchemaVersion);
    EXPECT_EQ(dump["files"][0], Json::parse(R"({"path": ")" + files.small + R"(",
                  "outcome": "loaded", "loaded": true, "message": ")" +
                                            benchfile::loadedMessage(files.small) + R"(",
                  "reason": null, "records_read": 1, "first_records_lost": false})"));
    const Json& record = dump["records"][0];
    EXPECT_EQ(Json::array({record["row"], record["file"], record["name"], record["tasks"],
                           record["scores"]["cpu_cache_fsb"], record["scores"]["cpu_ram_chipset"],
                           record["system"]["cpu_type"]}),
              Json::parse(R"([1, "small.vgf", "Small run", ["x \"y\""], 5, null, null])"));
    // A value typed as its key says; a text that is not is kept as it is.
    BenchmarkRecord typed;
    typed.scores[5] = "12abc", typed.system[2] = "True";
    const Json typedJson = json::record(typed);
    EXPECT_EQ(Json::array({typedJson["scores"]["spreadsheet"], typedJson["system"]["cpu_mmx"]}),
              Json::parse(R"(["12abc", true])"));

    // A value a record lacks is null, its name included; so is a benchmark that did not run
    // (a score of 0, settings or not).
    BenchmarkRecord notRun;
    for (std::size_t i = 0; i < kScoreFields.size(); ++i)
        notRun.scores[i] = i == 4 ? "0(640x480@16 Bit /w Low textures)" : "0";
    for (const BenchmarkRecord& lacking : {BenchmarkRecord{}, notRun}) {
        const Json json = json::record(lacking);
        EXPECT_TRUE(!lacking.name && json["name"].is_null()) << json;
        for (const ScoreField& score : kScoreFields)
            EXPECT_TRUE(json["scores"][std::string(score.name)].is_null()) << score.name;
        for (const SystemField& value : kSystemFields)
            EXPECT_TRUE(json["system"][std::string(value.name)].is_null()) << value.name;
    }
}

// A file that does not load fails the command; its entry says why, a damaged one without the
// message box an invalid one shows.
TEST(DumpAndReportCommands, AFileThatDoesNotLoadIsReportedAndFailsTheCommand) {
    Files files;
    const std::string damaged = "damaged: it ends before its last record is complete";
    const struct {
        const char* outcome;
        std::string path, message, reason;
    } rows[] = {{"invalid_header", files.bad, benchfile::invalidFileMessage(),
                 "not a benchmark file (its header is wrong)"},
                {"damaged", files.cut, damaged, damaged}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.outcome);
        const Output result = call(dumpCommand, {"--json", files.small, row.path});
        const Json entry = result.json()["files"][1];
        EXPECT_EQ(Json::array({result.status, entry["outcome"], entry["message"], entry["reason"]}),
                  Json::array({1, row.outcome, row.message, row.reason}));
    }
    const Output text = call(dumpCommand, {files.full, files.folder.path("none.vgf")});
    EXPECT_TRUE(text.status == 1 && text.says("none.vgf: cannot be opened") &&
                text.says("#1  full.vgf  Full, \"quoted\""))
        << text.out;
    EXPECT_EQ(call(dumpCommand, {"--json"}).status, 2);

    // The report of a damaged file gives its readable records and names it.
    const std::string page = files.folder.path("page.html");
    const auto report = [](const auto& args, auto& out, auto& err) {
        return reportCommand(args, out, err, "now");
    };
    const Output reported = call(report, {"-o", page, files.small, files.cut, files.small});
    EXPECT_TRUE(reported.status == 1 && reported.says("cut.vgf: damaged") &&
                reported.says("Wrote a report of 4 record(s) from 3 file(s) to " + page +
                              "; 1 file(s) not read whole; 1 duplicate record(s) left out"))
        << reported.out << reported.err;
    EXPECT_NE(TempFolder::read(page).find("Not read whole: cut.vgf: damaged"), std::string::npos);
}

TEST(CompareCommand, GroupsRepeatedRunsAndComparesMediansWithTheFirstGroup) {
    Files files;
    const std::string a = files.make("a.vgf", ">>:Laptop (run 1 of 3)||BMCPUh=100:;BMISA=50:;:;"
                                              ">>:Laptop (run 2 of 3)||BMCPUh=120:;BMISA=52:;:;"
                                              ">>:Laptop (run 3 of 3)||BMCPUh=110:;BMISA=54:;:;");
    const std::string b = files.make("b.vgf", ">>:Desktop (run 1 of 2)||BMCPUh=200:;BMISA=53:;:;"
                                              ">>:Desktop (run 2 of 2)||BMCPUh=240:;BMISA=55:;:;");
    const Output text = call(compareCommand, {a, b});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "Groups (the first is the baseline):\n  1. Laptop: 3 record(s)\n  2. Desk"
              "top: 2 record(s)\n\nCPU/Cache/FSB (cpu_cache_fsb)\n  1. median 110 (100 to 120,"
              " spread 18.2 %)\n  2. median 220 (200 to 240, spread 18.2 %), 200.0 % of"
              " the baseline; cannot be tested: 2 runs against 3 (3 each are needed)\n"
              "\nImaging (imaging)\n  1. median 52 (50 to 54, spread 7.7 %)\n  2. median "
              "54 (53 to 55, spread 3.7 %), 103.8 % of the baseline; cannot be tested: "
              "2 runs against 3 (3 each are needed)\n");

    // The same file twice, and a copy of a record in another file, count once.
    const std::string copy =
        files.make("copy.vgf", ">>:Laptop (run 2 of 3)||BMCPUh=120:;BMISA=52:;:;");
    const Output twice = call(compareCommand, {a, b, a, copy});
    EXPECT_EQ(twice.out, std::string(text.out).insert(text.out.find("\n\n") + 1,
                                                      "4 duplicate record(s) left out: a run "
                                                      "given more than once counts once\n"));
    EXPECT_EQ(call(compareCommand, {"--json", a, a}).json()["duplicates_left_out"], 3);
    EXPECT_TRUE(call(compareCommand, {files.small, files.full}).says("40.0 % of the baseline"));

    const Output missing = call(compareCommand, {a, files.folder.path("none.vgf")});
    EXPECT_TRUE(missing.status == 1 && missing.says("none.vgf: cannot be opened") &&
                missing.says("1. Laptop: 3 record(s)"))
        << missing.err;
    EXPECT_EQ(call(compareCommand, {"--json"}).status, 2);
}

// Texts that are not scores are named where the statistic stands; scores keep every digit.
TEST(CompareCommand, NamesWhatItLeftOutAndKeepsEveryDigit) {
    Files files;
    std::string runs;
    for (const char* cell : {"100", "-98", "102 ", "110", "120"})
        runs += ">>:Home||BMCPUh=" + std::string(cell) + ":;BMISA=n/a:;:;";
    runs += ">>:Big||BMCPUh=9223372036854775807:;:;>>:Big||BMCPUh=9223372036854775806:;:;";
    const std::string path = files.make("home.vgf", runs);
    const Output text = call(compareCommand, {path});
    for (const char* line :
         {"  1. median 110 (100 to 120, spread 18.2 %); 2 of 5 runs left out: not a whole "
          "number: -98; not a whole number: 102 \n",
          "  2. median 9223372036854775806.5 (9223372036854775806 to 9223372036854775807, ",
          // A reason that left out every run is said once.
          "Imaging (imaging)\n  1. no score: not a whole number: n/a\n  2. no score\n"})
        EXPECT_TRUE(text.says(line)) << line << "\n" << text.out;
    const Json groups = call(compareCommand, {"--json", path}).json()["scores"][0]["groups"];
    EXPECT_EQ(Json::array({groups[0]["left_out"], groups[0]["left_out_reason"], groups[1]["lowest"],
                           groups[1]["highest"], groups[1]["left_out_reason"]}),
              Json::parse(
                  R"([2, "2 of 5 runs left out: not a whole number: -98; not a whole number: 102 ",
                  9223372036854775806, 9223372036854775807, null])"));
}

TEST(CheckCommand, SaysWhetherEachFileIsValidAndComplete) {
    Files files;
    const Output result = call(checkCommand, {files.full, files.small, files.bad});
    EXPECT_TRUE(result.status == 1 &&
                result.says(files.full + ": valid and complete, 1 record(s)\n") &&
                result.says(files.small + ": valid but incomplete; record 1 lacks BMCPUl, ") &&
                result.says(files.bad + ": not a benchmark file"))
        << result.out;
    EXPECT_EQ(call(checkCommand, {files.full}).status, 0);

    // What many records lack is said once per set of keys, with a count and the first few.
    std::string lacking, keys;
    for (int i = 0; i < 1000; ++i)
        lacking += i == 1 ? ">>:Named||BMCPUh=1:;:;" : ">>:||:;";
    for (const auto& field : kScoreFields)
        keys += ", " + std::string(field.key);
    for (const auto& field : kSystemFields)
        keys += ", " + std::string(field.key);
    const std::string many = files.make("many.vgf", lacking);
    EXPECT_EQ(call(checkCommand, {many}).out,
              many + ": valid but incomplete; records 1, 3, 4 and 996 more lack " + keys.substr(2) +
                  "; record 2 lacks " + keys.substr(10) + "\n");

    // Three whole records; the end cut off takes the line end and the first record. Without
    // its line end alone, a file keeps every record.
    const std::string three = files.make(
        "three.vgf", completeRecord("One") + completeRecord("Two") + completeRecord("3"));
    const std::string bytes = TempFolder::read(three);
    const std::string noLineEnd = files.folder.path("no line end.vgf");
    TempFolder::write(noLineEnd, bytes.substr(0, bytes.size() - 2));
    TempFolder::write(three, bytes.substr(0, bytes.size() - completeRecord("One").size()));
    const Output cut = call(checkCommand, {three, noLineEnd});
    EXPECT_EQ(std::to_string(cut.status) + cut.out,
              "1" + three +
                  ": damaged: it lacks its closing line end; 2 characters before its first "
                  "record belong to no record; 2 record(s) read; if it was cut short, records "
                  "before them may be lost\n" +
                  noLineEnd +
                  ": damaged: it lacks its closing line end; 3 record(s) read; if it was cut "
                  "short, records before them may be lost\n");
}

TEST(MergeCommand, SavesAllRecordsAsOneFileOrNothingAtAll) {
    Files files;
    const std::string out = files.folder.path("merged.vgf");
    EXPECT_EQ(merge({out, files.full, files.small, files.full}).status, 0);
    const Output dump = call(dumpCommand, {"--json", out});
    EXPECT_EQ(dump.status, 0);
    const Json records = dump.json()["records"];
    EXPECT_EQ(Json::array(
                  {records[2]["row"], records[2]["file"], records[2]["name"], records[1]["tasks"]}),
              Json::parse(R"([3, "merged.vgf", "Full, \"quoted\"", ["x \"y\""]])"));
    EXPECT_EQ(call(checkCommand, {out}).status, 1); // still incomplete, as the original

    const std::string refused = files.folder.path("refused.vgf");
    const Output failed = merge({refused, files.full, files.bad});
    EXPECT_TRUE(failed.status == 1 && failed.says("nothing was written")) << failed.err;
    EXPECT_FALSE(std::filesystem::exists(refused));
}

// An existing file that is not among the files merged is replaced only when the person says
// so; a read-only one never.
TEST(MergeCommand, ReplacesAFileNotAmongItsInputsOnlyWhenTold) {
    Files files;
    const std::string home = files.make("home.vgf", ">>:Home||BMCPUh=1:;:;>>:Home 2||BMCPUh=2:;:;");
    const std::string before = TempFolder::read(home);
    const struct {
        const char* name;
        std::vector<std::string> args;
        const char* answer;
        int status;
        const char* said;
        bool replaced;
    } rows[] = {
        {"refused",
         {home, files.small},
         nullptr,
         1,
         "home.vgf exists and is not among the files merged: saving would replace its 2 "
         "record(s)\nvexogauge-cli merge: nothing was written; give --force",
         false},
        {"answered no", {home, files.small}, "n\n", 1, "record(s). Replace it? [y/N] ", false},
        {"among the inputs", {home, home, files.small}, nullptr, 0, "Saved 3 record(s)", true},
        {"answered yes", {home, files.small}, "y\n", 0, "Saved 1 record(s)", true},
        {"forced", {"--force", home, files.small}, nullptr, 0, "Saved 1 record(s)", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder::write(home, before);
        const Output result = merge(row.args, row.answer);
        EXPECT_TRUE(result.status == row.status && result.says(row.said))
            << result.out << result.err;
        EXPECT_EQ(TempFolder::read(home) != before, row.replaced);
    }
    ::chmod(home.c_str(), 0444);
    const Output readOnly = merge({"--force", home, files.small});
    EXPECT_TRUE(readOnly.status == 1 && readOnly.says(": it is read-only (mode 444)"))
        << readOnly.err;
}

TEST(ExportCommand, CsvQuotesAsRfc4180WithTheSameColumnsForEveryFile) {
    Files files;
    const std::string many = files.make("many.vgf", ">>:Busy||Task=a:;Task=b:;Task=c:;BMISA=0:;:;");
    const Output csv = call(exportCommand, {"--csv", files.full, files.small, many});
    EXPECT_EQ(csv.status, 0);
    // The key columns in the file's order (from its tables), then the tasks.
    EXPECT_EQ(csv.out.rfind("file,row,name,cpu_cache_fsb,cpu_ram_chipset,", 0), 0u);
    EXPECT_NE(csv.out.find(",graphics_adapter,graphics_memory_mb,tasks\r\n"), std::string::npos);
    for (const char* line : {"full.vgf,1,\"Full, \"\"quoted\"\"\",2,2,",
                             "small.vgf,2,Small run,5,,,,,,,,,,,,,,,,,,,,,,\"x \"\"y\"\"\"\r\n",
                             "many.vgf,3,Busy,,,,,,,,,,,,,,,,,,,,,,,\"a\nb\nc\"\r\n"})
        EXPECT_TRUE(csv.says(line)) << line << "\n" << csv.out;

    EXPECT_EQ(call(exportCommand, {"--xml", files.small}).status, 2);
    EXPECT_EQ(call(exportCommand, {"--csv", files.bad}).status, 1);
}

TEST(CsvField, QuotesOnlyWhatNeedsItAndKeepsFormulasText) {
    std::string cells; // each followed by '|'
    for (const char* text : {"plain", "a,b", "say \"hi\"", "two\nlines", "=HYPERLINK(\"x\",\"y\")",
                             "@SUM(A1)", "+1", "-1", "\tx", "\rx", "a=b"})
        cells += csvField(text) + "|";
    EXPECT_EQ(
        cells,
        "plain|\"a,b\"|\"say \"\"hi\"\"\"|\"two\nlines\"|\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"|"
        "'@SUM(A1)|'+1|'-1|'\tx|\"'\rx\"|a=b|");
}

TEST(JsonOutput, StaysValidForAFileNameThatIsNotUtf8) {
    Files files;
    const std::string odd = files.folder.path("caf\xE9 \xFF.vgf");
    std::filesystem::copy_file(files.small, odd);
    for (const auto command : {dumpCommand, exportCommand}) {
        const Output json = call(command, {"--json", odd});
        EXPECT_TRUE(json.status == 0 && Json::accept(json.out) && json.says("not UTF-8") &&
                    json.says("caf\xEF\xBF\xBD \xEF\xBF\xBD.vgf") &&
                    json.out.find('\xE9') == std::string::npos)
            << json.out;
    }
}

} // namespace
} // namespace vexo
