#include "cli/FileCommands.h"

#include "benchfile/BenchmarkFile.h"
#include "cli/Json.h"
#include "support/TempFolder.h"

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

TEST(DumpCommand, JsonHoldsTheFilesAndRecordsAsReadWithTypes) {
    Files files;
    const Output result = call(dumpCommand, {"--json", files.small});
    EXPECT_EQ(result.status, 0);
    const json::Json dump = json::Json::parse(result.out);
    EXPECT_EQ(dump["schema"], 1);
    EXPECT_EQ(dump["files"][0],
              json::Json::parse(R"({"path": ")" + files.small + R"(", "outcome": "loaded",
                  "loaded": true, "message": "Your File Has Been Successfully Loaded: Small.vgf",
                  "reason": null, "records_read": 1, "first_records_lost": false})"));
    const json::Json& record = dump["records"][0];
    EXPECT_EQ(record["row"], 1);
    EXPECT_EQ(record["file"], "small.vgf");
    EXPECT_EQ(record["name"], "Small run");
    EXPECT_EQ(record["scores"]["cpu_cache_fsb"], 5);
    EXPECT_TRUE(record["scores"]["cpu_ram_chipset"].is_null());
    EXPECT_EQ(record["tasks"], json::Json::array({"x \"y\""}));
    EXPECT_TRUE(record["system"]["cpu_type"].is_null());

    // Each value typed as its key says; a text that is not is kept as it is.
    BenchmarkRecord typed;
    typed.scores[4] = "57(1024x768@32 Bit /w High textures)";
    typed.scores[5] = "12abc";
    typed.system[2] = "True";
    typed.system[5] = "2048";
    typed.system[10] = "Debian";
    const json::Json values = json::record(typed);
    EXPECT_EQ(values["scores"]["direct3d"],
              json::Json::parse(R"({"frames_per_second": 57, "resolution": "1024x768",
                  "depth_bits": 32, "texture": "High"})"));
    EXPECT_EQ(values["scores"]["spreadsheet"], "12abc");
    EXPECT_EQ(values["system"]["cpu_mmx"], true);
    EXPECT_EQ(values["system"]["memory_total_mb"], 2048);
    EXPECT_EQ(values["system"]["os_name"], "Debian");
}

TEST(DumpCommand, AFileThatDoesNotLoadIsReportedAndFailsTheCommand) {
    Files files;
    const Output result = call(dumpCommand, {"--json", files.small, files.bad});
    EXPECT_EQ(result.status, 1);
    const json::Json bad = json::Json::parse(result.out)["files"][1];
    EXPECT_EQ(bad["outcome"], "invalid_header");
    EXPECT_EQ(bad["message"], benchfile::invalidFileMessage());
    EXPECT_EQ(bad["reason"], "not a benchmark file (its header is wrong)");
    // A damaged file shows no message box; its entry says why all the same.
    const std::string cut = files.folder.path("cut.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(cut, ">>:Cut||BMCPUh=5:;BMCP"));
    const Output damaged = call(dumpCommand, {"--json", cut});
    EXPECT_EQ(damaged.status, 1);
    const std::string why = "damaged: it ends before its last record is complete";
    const json::Json cutFile = json::Json::parse(damaged.out)["files"][0];
    EXPECT_EQ(cutFile["outcome"], "damaged");
    EXPECT_EQ(cutFile["message"], why);
    EXPECT_EQ(cutFile["reason"], why);
    EXPECT_EQ(cutFile["records_read"], 1);
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
    const json::Json compared = json::Json::parse(json.out);
    EXPECT_EQ(compared["groups"], json::Json::parse(R"([{"name": "Laptop", "records": 3},
                                                        {"name": "Desktop", "records": 2}])"));
    const json::Json& cpu = compared["scores"][0];
    EXPECT_EQ(cpu["key"], "BMCPUh");
    EXPECT_EQ(cpu["unit"], "VexoGAUGEs");
    EXPECT_EQ(cpu["groups"][0]["median"], 110.0);
    EXPECT_EQ(cpu["groups"][0]["ratio"], 1.0);
    EXPECT_EQ(cpu["groups"][1]["median"], 220.0);
    EXPECT_EQ(cpu["groups"][0]["interval"], nullptr);
    EXPECT_EQ(cpu["groups"][1]["interval"], nullptr); // 2 runs: not tested
    EXPECT_EQ(cpu["groups"][1]["different"], nullptr);
    // 3 runs against 3: the interval from the lowest to the highest ratio, at 90 % only.
    const std::string c = folder.path("c.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(
        c, ">>:Server||BMCPUh=300:;:;>>:Server||BMCPUh=330:;:;>>:Server||BMCPUh=310:;:;"));
    const json::Json three = json::Json::parse(call(compareCommand, {"--json", a, c}).out);
    const json::Json& server = three["scores"][0]["groups"][1];
    EXPECT_DOUBLE_EQ(server["interval"]["low"].get<double>(), 300.0 / 120);
    EXPECT_DOUBLE_EQ(server["interval"]["high"].get<double>(), 330.0 / 100);
    EXPECT_NEAR(server["interval"]["confidence"].get<double>(), 0.9, 1e-12);
    EXPECT_EQ(server["different"], nullptr);

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
                               "so it may have been cut short and lost its first records; 2 "
                               "record(s) read, records before them lost\n");
}

TEST(MergeCommand, SavesAllRecordsAsOneFileOrNothingAtAll) {
    Files files;
    const std::string out = files.folder.path("merged.vgf");
    const Output merged = call(mergeCommand, {out, files.full, files.small, files.full});
    EXPECT_EQ(merged.status, 0) << merged.err;
    const Output dump = call(dumpCommand, {"--json", out});
    EXPECT_EQ(dump.status, 0);
    const json::Json third = json::Json::parse(dump.out)["records"][2];
    EXPECT_EQ(third["row"], 3);
    EXPECT_EQ(third["file"], "merged.vgf");
    EXPECT_EQ(third["name"], "Full, \"quoted\"");

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
    const json::Json record =
        json::Json::parse(call(dumpCommand, {"--json", out}).out)["records"][0];
    EXPECT_EQ(record["tasks"], json::Json::array({"Above", " ", "Browser"}));
    EXPECT_EQ(record["scores"]["cpu_cache_fsb"], 5);
    EXPECT_EQ(record["scores"].size(), 8u);
    for (const auto& [key, value] : record["system"].items())
        EXPECT_TRUE(value.is_null()) << key;
    EXPECT_EQ(call(checkCommand, {out}).status, 1); // still incomplete, as the original
}

TEST(ExportCommand, CsvQuotesAsRfc4180WithTheSameColumnsForEveryFile) {
    Files files;
    const Output csv = call(exportCommand, {"--csv", files.full, files.small});
    EXPECT_EQ(csv.status, 0);
    const std::string header = "File,Row,Name,BMCPUh,BMCPUl,BMFPUh,BMFPUl,BMDR3D,BMSSA,BMBSA,BMISA,"
                               "CPUT,CPUS,CPUMMX,CPUFPU,MEMLoad,MEMTot,MEMFree,MEMVirt,OSMajr,"
                               "OSMinr,OSClass,OSBuild,GRA_Dev,GRA_Mem,Tasks\r\n";
    EXPECT_EQ(csv.out.substr(0, header.size()), header);
    const std::string many = files.folder.path("many.vgf");
    EXPECT_TRUE(benchfile::saveBenchmarkFile(many, ">>:Busy||Task=a:;Task=b:;Task=c:;:;"));
    const Output busy = call(exportCommand, {"--csv", many});
    EXPECT_EQ(busy.out.substr(0, header.size()), header);
    EXPECT_NE(busy.out.find(",\"a\nb\nc\"\r\n"), std::string::npos) << busy.out;
    EXPECT_NE(csv.out.find("full.vgf,1,\"Full, \"\"quoted\"\"\",1,1,"), std::string::npos)
        << csv.out;
    EXPECT_NE(csv.out.find("small.vgf,2,Small run,5,,,,,,,,,,,,,,,,,,,,,,\"x \"\"y\"\"\"\r\n"),
              std::string::npos)
        << csv.out;

    const json::Json exported = json::Json::parse(call(exportCommand, {"--json", files.small}).out);
    EXPECT_EQ(exported["command"], "export");
    EXPECT_EQ(exported["records"][0]["scores"]["cpu_cache_fsb"], 5);
    EXPECT_TRUE(exported["records"][0]["scores"]["cpu_ram_chipset"].is_null());
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
        EXPECT_NE(json.out.find("caf\xEF\xBF\xBD \xEF\xBF\xBD.vgf"), std::string::npos) << json.out;
        EXPECT_TRUE(json::Json::accept(json.out));
        EXPECT_EQ(json.out.find('\xE9'), std::string::npos);
        EXPECT_NE(json.err.find("not UTF-8"), std::string::npos);
    }
}

} // namespace
} // namespace vexo
