#include "cli/FileCommands.h"

#include "benchfile/BenchmarkFile.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vexo {
namespace {

using test::TempFolder;

struct Output {
    int status;
    std::string out, err;
};

template <class Command>
Output call(Command command, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

std::string completeRecord(const std::string& name, const std::string& task) {
    std::string record = ">>:" + name + "||";
    for (const char* key :
         {"BMCPUh", "BMCPUl", "BMFPUh",  "BMFPUl",  "BMDR3D",  "BMSSA",  "BMBSA",   "BMISA",
          "CPUT",   "CPUS",   "CPUMMX",  "CPUFPU",  "MEMLoad", "MEMTot", "MEMFree", "MEMVirt",
          "OSMajr", "OSMinr", "OSClass", "OSBuild", "GRA_Dev", "GRA_Mem"})
        record += std::string(key) + "=1:;";
    return record + "Task=" + task + ":;:;";
}

struct Files {
    Files() {
        EXPECT_TRUE(
            benchfile::saveBenchmarkFile(small, ">>:Small run||BMCPUh=5:;Task=x \"y\":;:;"));
        EXPECT_TRUE(
            benchfile::saveBenchmarkFile(full, completeRecord("Full, \"quoted\"", "Editor")));
        TempFolder::write(bad, "VEXOGAUGE 2002 SAVE BENCHMARK V1.0\r\n");
    }
    TempFolder folder;
    std::string small = folder.path("Small.vgf");
    std::string full = folder.path("full.vgf");
    std::string bad = folder.path("bad.vgf");
};

TEST(DumpCommand, JsonHoldsTheFilesAndRecordsAsRead) {
    Files files;
    const Output result = call(dumpCommand, {"--json", files.small});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "{\"files\": [{\"path\": \"" + files.small +
                  "\", \"loaded\": true, \"message\": \"Your File Has Been "
                  "Successfully Loaded: Small.vgf\", \"reason\": null}], \"records\": "
                  "[{\"row\": 1, "
                  "\"file\": \"small.vgf\", \"name\": \"Small run\", \"scores\": "
                  "{\"BMCPUh\": \"5\"}, \"tasks\": [\"x \\\"y\\\"\"], \"system\": {}}]}\n");
}

TEST(DumpCommand, AFileThatDoesNotLoadIsReportedAndFailsTheCommand) {
    Files files;
    const Output result = call(dumpCommand, {"--json", files.small, files.bad});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(
        result.out.find("\"loaded\": false, \"message\": \"Not valid save benchmark file:\\r"),
        std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"reason\": \"not a benchmark file (its header is wrong)\"}"),
              std::string::npos)
        << result.out;
    // A damaged file shows no message box; its entry says why all the same.
    const std::string cut = files.folder.path("cut.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(cut, ">>:Cut||BMCPUh=5:;BMCP"));
    const Output damaged = call(dumpCommand, {"--json", cut});
    EXPECT_EQ(damaged.status, 1);
    const std::string why = "damaged: it ends before its last record is complete";
    EXPECT_NE(damaged.out.find("\"loaded\": false, \"message\": \"" + why + "\", \"reason\": \"" +
                               why + "\"}"),
              std::string::npos)
        << damaged.out;
    const Output text = call(dumpCommand, {files.full, files.folder.path("none.vgf")});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find("none.vgf: cannot be opened"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("#1  full.vgf  Full, \"quoted\""), std::string::npos) << text.out;
    EXPECT_EQ(call(dumpCommand, {"--json"}).status, 2);
}

TEST(ReportCommand, ADamagedFileGivesItsReadableRecordsAndIsNamed) {
    TempFolder folder;
    const std::string good = folder.path("good.vgf");
    const std::string cut = folder.path("cut.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(good, ">>:Good run||BMCPUh=5:;:;"));
    EXPECT_TRUE(benchfile::saveBenchmarkFile(cut, ">>:Kept run||BMCPUh=7:;:;>>:Cut run||BMCP"));
    const std::string page = folder.path("page.html");
    const auto report = [&](const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = reportCommand(args, out, err, "now");
        return Output{status, out.str(), err.str()};
    };
    const Output damaged = report({"-o", page, good, cut});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("cut.vgf: damaged"), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.out.find("Wrote a report of 3 record(s) from 2 file(s)"), std::string::npos)
        << damaged.out;
    const std::string html = TempFolder::read(page);
    EXPECT_NE(html.find("<p class=\"damaged\">Not read whole: cut.vgf: damaged"),
              std::string::npos);
    EXPECT_NE(html.find("Kept run"), std::string::npos);
    // Nothing readable at all: nothing is written.
    const Output none = report({"-o", folder.path("none.html"), folder.path("gone.vgf")});
    EXPECT_EQ(none.status, 1);
    EXPECT_FALSE(std::ifstream(folder.path("none.html")).good());
}

TEST(CompareCommand, GroupsRepeatedRunsAndComparesMediansWithTheFirstGroup) {
    TempFolder folder;
    const std::string a = folder.path("a.vgf");
    const std::string b = folder.path("b.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(a,
                                             ">>:Laptop (run 1 of 3)||BMCPUh=100:;BMISA=50:;:;"
                                             ">>:Laptop (run 2 of 3)||BMCPUh=120:;BMISA=52:;:;"
                                             ">>:Laptop (run 3 of 3)||BMCPUh=110:;BMISA=54:;:;"));
    EXPECT_TRUE(benchfile::saveBenchmarkFile(
        b, ">>:Desktop (run 1 of 2)||BMCPUh=200:;BMISA=53:;:;"
           ">>:Desktop (run 2 of 2)||BMCPUh=240:;BMISA=55:;BMDR3D=0:;:;"));
    const Output text = call(compareCommand, {a, b});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "Groups (the first is the baseline):\n"
                        "  1. Laptop: 3 record(s)\n"
                        "  2. Desktop: 2 record(s)\n"
                        "\n"
                        "CPU/Cache/FSB (BMCPUh)\n"
                        "  1. median 110 (100 to 120, spread 18.2 %)\n"
                        "  2. median 220 (200 to 240, spread 18.2 %), 200.0 % of the baseline; "
                        "cannot be tested: 2 runs against 3 (3 each are needed)\n"
                        "\n"
                        "Imaging (BMISA)\n"
                        "  1. median 52 (50 to 54, spread 7.7 %)\n"
                        "  2. median 54 (53 to 55, spread 3.7 %), 103.8 % of the baseline; "
                        "cannot be tested: 2 runs against 3 (3 each are needed)\n");

    const Output json = call(compareCommand, {"--json", a, b});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("{\"groups\": [{\"name\": \"Laptop\", \"records\": 3}, "
                            "{\"name\": \"Desktop\", \"records\": 2}], \"scores\": [{\"key\": "
                            "\"BMCPUh\", \"label\": \"CPU/Cache/FSB\", \"groups\": [{\"count\": 3, "
                            "\"median\": 110.0, \"lowest\": 100.0, \"highest\": 120.0, "
                            "\"spread\": 0.1818, \"ratio\": 1.0000, \"interval\": null, "
                            "\"different\": null}, "
                            "{\"count\": 2, \"median\": 220.0"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"ratio\": 1.0385, \"interval\": null, \"different\": null}]}]}\n"),
              std::string::npos)
        << json.out;

    const Output missing = call(compareCommand, {a, folder.path("none.vgf")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.vgf: cannot be opened"), std::string::npos) << missing.err;
    EXPECT_NE(missing.out.find("1. Laptop: 3 record(s)"), std::string::npos);
    EXPECT_EQ(call(compareCommand, {"--json"}).status, 2);
}

TEST(CheckCommand, SaysWhetherEachFileIsValidAndComplete) {
    Files files;
    const Output result = call(checkCommand, {files.full, files.small, files.bad});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find(files.full + ": valid and complete, 1 record(s)\n"),
              std::string::npos);
    EXPECT_NE(result.out.find(files.small + ": valid but incomplete; record 1 lacks BMCPUl, "),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(files.bad + ": not a benchmark file"), std::string::npos);
    EXPECT_EQ(call(checkCommand, {files.full}).status, 0);

    // Three whole records; the end cut off takes the line end and the first record.
    const std::string three = files.folder.path("three.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(
        three, completeRecord("One", "a") + completeRecord("Two", "b") + completeRecord("3", "c")));
    const std::string bytes = TempFolder::read(three);
    TempFolder::write(three, bytes.substr(0, bytes.size() - completeRecord("One", "a").size()));
    const Output cut = call(checkCommand, {three});
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out, three + ": damaged: it lacks the line end every benchmark file ends with, "
                               "so it was cut short and its first records may be lost; 2 "
                               "record(s) read, records before them lost\n");
}

TEST(MergeCommand, SavesAllRecordsAsOneFileOrNothingAtAll) {
    Files files;
    const std::string out = files.folder.path("merged.vgf");
    const Output merged = call(mergeCommand, {out, files.full, files.small, files.full});
    EXPECT_EQ(merged.status, 0) << merged.err;
    const Output dump = call(dumpCommand, {"--json", out});
    EXPECT_EQ(dump.status, 0);
    EXPECT_NE(
        dump.out.find("\"row\": 3, \"file\": \"merged.vgf\", \"name\": \"Full, \\\"quoted\\\"\""),
        std::string::npos)
        << dump.out;

    const std::string refused = files.folder.path("refused.vgf");
    const Output failed = call(mergeCommand, {refused, files.full, files.bad});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("nothing was written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(refused));
}

TEST(MergeCommand, KeepsEveryTaskAndInventsNoValue) {
    Files files;
    const std::string in = files.folder.path("in.vgf");
    EXPECT_TRUE(
        benchfile::saveBenchmarkFile(in, ">>:Run||BMCPUh=5:;Task=Above:;Task= :;Task=Browser:;:;"));
    const std::string out = files.folder.path("out.vgf");
    ASSERT_EQ(call(mergeCommand, {out, in}).status, 0);
    const Output dump = call(dumpCommand, {"--json", out});
    EXPECT_NE(dump.out.find("\"scores\": {\"BMCPUh\": \"5\"}, \"tasks\": [\"Above\", \" \", "
                            "\"Browser\"], \"system\": {}"),
              std::string::npos)
        << dump.out;
    EXPECT_EQ(call(checkCommand, {out}).status, 1); // still incomplete, as the original
}

TEST(ExportCommand, CsvQuotesAsRfc4180AndGivesEveryTaskAColumn) {
    Files files;
    const Output csv = call(exportCommand, {"--csv", files.full, files.small});
    EXPECT_EQ(csv.status, 0);
    const std::string header = "File,Row,Name,BMCPUh,BMCPUl,BMFPUh,BMFPUl,BMDR3D,BMSSA,BMBSA,BMISA,"
                               "CPUT,CPUS,CPUMMX,CPUFPU,MEMLoad,MEMTot,MEMFree,MEMVirt,OSMajr,"
                               "OSMinr,OSClass,OSBuild,GRA_Dev,GRA_Mem,Task 1\r\n";
    EXPECT_EQ(csv.out.substr(0, header.size()), header);
    EXPECT_NE(csv.out.find("full.vgf,1,\"Full, \"\"quoted\"\"\",1,1,"), std::string::npos)
        << csv.out;
    EXPECT_NE(csv.out.find("small.vgf,2,Small run,5,,,,,,,,,,,,,,,,,,,,,,\"x \"\"y\"\"\"\r\n"),
              std::string::npos)
        << csv.out;

    const Output json = call(exportCommand, {"--json", files.small});
    EXPECT_NE(json.out.find("\"BMCPUh\": \"5\", \"BMCPUl\": null"), std::string::npos) << json.out;
    EXPECT_EQ(call(exportCommand, {"--xml", files.small}).status, 2);
    EXPECT_EQ(call(exportCommand, {"--csv", files.bad}).status, 1);
}

TEST(CsvField, QuotesOnlyWhatNeedsItAndKeepsFormulasText) {
    const std::pair<const char*, const char*> cells[] = {
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"a=b", "a=b"},
    };
    for (const auto& [text, cell] : cells)
        EXPECT_EQ(csvField(text), cell) << text;
}

TEST(JsonOutput, StaysValidForAFileNameThatIsNotUtf8) {
    Files files;
    const std::string odd = files.folder.path("caf\xE9 \xFF.vgf");
    std::filesystem::copy_file(files.small, odd);
    for (const char* command : {"dump", "export"}) {
        SCOPED_TRACE(command);
        const Output json = std::string(command) == "dump" ? call(dumpCommand, {"--json", odd})
                                                           : call(exportCommand, {"--json", odd});
        EXPECT_EQ(json.status, 0);
        EXPECT_NE(json.out.find("caf\\ufffd \\ufffd.vgf"), std::string::npos) << json.out;
        EXPECT_EQ(json.out.find('\xE9'), std::string::npos);
        EXPECT_NE(json.err.find("not UTF-8"), std::string::npos);
    }
}

} // namespace
} // namespace vexo
