#include "browser/ResultBrowser.h"

#include "benchfile/BenchmarkFile.h"
#include "platform/MemorySettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/Records.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "wizard/ExitQuestion.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using test::completeRecord;
using test::TempFolder;
using Cells = std::vector<std::string>;
constexpr BrowserMode kPlatform = BrowserMode::Platform, kTasks = BrowserMode::Tasks,
                      kScores = BrowserMode::Scores;

std::string record(const std::string& name, const std::string& cpu, int tasks = 1) {
    std::string text = ">>:" + name + "||BMCPUh=" + cpu + ":;";
    for (int i = 1; i <= tasks; ++i)
        text += "Task=task " + std::to_string(i) + ":;";
    return text + "CPUT=104:;OSMajr=6:;OSClass=Debian:;:;";
}

// A message box as "title|style|text".
std::string said(const test::ScriptedDialogs::Message& box) {
    return box.title + "|" + std::to_string(box.style) + "|" + box.text;
}

struct BrowserRig {
    BrowserRig() { browser.Form_Load(); }

    std::string file(const std::string& name, const std::string& payload) {
        EXPECT_TRUE(benchfile::saveBenchmarkFile(folder.path(name), payload));
        return folder.path(name);
    }
    // Runs the browser's command with path as the file dialog's answer.
    template <class Command>
    auto given(const std::string& path, Command command) {
        files.answers.push_back(path);
        return (browser.*command)();
    }
    void load(const std::string& path) { given(path, &ResultBrowser::LoadMenu_Click); }
    void import(const std::string& path) { given(path, &ResultBrowser::ImportMenu_Click); }
    bool saveAs(const std::string& path) {
        return given(path, &ResultBrowser::Save_Benchmark_Menu) ==
               ResultBrowser::SaveOutcome::Saved;
    }
    Cells column(BrowserMode list, std::size_t column) const {
        Cells cells;
        for (std::size_t row = 0; row < browser.rowCount(); ++row)
            cells.push_back(browser.cell(list, row, column));
        return cells;
    }
    Cells titles() const {
        Cells out;
        for (const auto& m : dialogs.messages)
            out.push_back(m.title);
        return out;
    }
    // The window title after "... Result Browser - ".
    std::string named() const {
        const std::string prefix = "VexoGAUGE 2002 Edition Result Browser - ";
        EXPECT_EQ(browser.windowTitle().rfind(prefix, 0), 0u) << browser.windowTitle();
        return browser.windowTitle().substr(prefix.size());
    }

    TempFolder folder;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    ResultBrowser browser{{dialogs, files}, "/home/ann/runs/"};
};

TEST(BrowserLists, ColumnsAndCellsHoldTheRecordsTextsWithTheOsNameBeforeItsVersion) {
    BrowserRig rig;
    Cells titles;
    for (const BrowserMode list : {kScores, kPlatform, kTasks})
        for (const BrowserColumn& column : rig.browser.columns(list))
            titles.push_back(column.title);
    ASSERT_EQ(titles.size(), 11u + 17u + 3u + 38u);
    EXPECT_EQ((Cells{titles[0], titles[7], titles[9], titles[21], titles[22], titles.back()}),
              (Cells{"#", "Direct3D HAL", "Bussiness", "Vitual Memory", "OS Name", ""}));

    // A record with forty tasks gets two more task columns.
    rig.load(rig.file("Mixed.VGF", record("Run A", "950", 2) + record("Busy", "1", 40)));
    EXPECT_EQ(rig.column(kPlatform, 1), (Cells{"mixed.vgf", "mixed.vgf"}));
    EXPECT_EQ(rig.column(kPlatform, 2), (Cells{"Run A", "Busy"}));
    const auto row = [&](BrowserMode list, std::size_t columns, Cells cells = {}) {
        for (std::size_t column = 0; column < columns; ++column)
            cells.push_back(rig.browser.cell(list, 0, column));
        return cells;
    };
    EXPECT_EQ(row(kPlatform, 13),
              (Cells{"1", "mixed.vgf", "Run A", "104", "", "", "", "", "", "", "", "Debian", "6"}));
    EXPECT_EQ(row(kScores, 5), (Cells{"1", "mixed.vgf", "Run A", "950", ""}));
    EXPECT_EQ(row(kTasks, 6), (Cells{"1", "mixed.vgf", "Run A", "task 1", "task 2", ""}));
    ASSERT_EQ(rig.browser.columns(kTasks).size(), 43u);
    EXPECT_EQ(rig.browser.cell(kTasks, 1, 42), "task 40");
    // The title and the message keep the capitals of the name as chosen.
    EXPECT_EQ(rig.named(), "Mixed.VGF");
    EXPECT_EQ(said(rig.dialogs.messages.back()),
              "Success|64|Your File Has Been Successfully Loaded: Mixed.VGF");
}

TEST(BrowserLoading, LoadAsksNothingWhenEmptyCancelChangesNothingAndYesSavesFirst) {
    BrowserRig rig;
    rig.load(rig.file("first.vgf", record("First", "1")));
    EXPECT_EQ(rig.titles(), (Cells{"Success"}));
    const FileDialogRequest& request = rig.files.requests.at(0);
    EXPECT_EQ(request.title + "|" + std::to_string(request.flags) + "|" + request.filter + "|" +
                  request.initialFolder,
              "Load Saved Benchmark File ...|528388|VexoGAUGE 2002 Benchmark Files "
              "(*.vgf)|*.vgf|/home/ann/runs/");

    rig.dialogs.messageAnswer = MsgAnswer::Cancel;
    rig.browser.LoadMenu_Click();
    EXPECT_TRUE(rig.files.requests.size() == 1u && rig.browser.rowCount() == 1u); // no dialog
    EXPECT_EQ(rig.named(), "first.vgf");
    EXPECT_EQ(said(rig.dialogs.messages.back()),
              "Save Changes?|51|Do you want to save changes made to this benchmark database?\r"
              "Click 'Yes' to save your changes, 'No' to ignore them or 'cancel' to not load a "
              "database.");

    // Yes saves first, and keeps everything when the save is cancelled.
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.files.answers = {std::nullopt, rig.folder.path("saved.vgf")};
    EXPECT_FALSE(rig.browser.Check_Clear_Current_Data() || rig.browser.rowCount() != 1u);
    EXPECT_TRUE(rig.browser.Check_Clear_Current_Data() && rig.browser.rowCount() == 0u);
    BenchmarkDatabase back;
    EXPECT_TRUE(benchfile::Import_Saved_Benchmark(rig.folder.path("saved.vgf"), back).loaded() &&
                back.size() == 1u);
}

TEST(BrowserLoading, CommandsAndTitleFollowTheDatabaseFromARunsImportToItsClose) {
    BrowserRig rig;
    const std::string path = rig.file("last benchmark.vgf", record("A", "1") + record("B", "2"));
    rig.browser.Import_Saved_Benchmark(path);
    rig.browser.Import_Saved_Benchmark(path); // the same file twice numbers onwards
    EXPECT_EQ(rig.column(kPlatform, 0), (Cells{"1", "2", "3", "4"}));
    EXPECT_EQ(rig.titles(), (Cells{"Success", "Success"}));
    EXPECT_EQ(rig.named(), "last benchmark.vgf");
    EXPECT_TRUE(rig.browser.states().removeButton && rig.browser.states().options[5]);

    // Saved hidden: no word; visible: "Save Complete"; failed: said, title and file kept.
    const std::string saved = rig.folder.path("Playlist.vgf");
    EXPECT_TRUE(rig.saveAs(rig.folder.path("quiet.vgf")));
    EXPECT_EQ(rig.dialogs.messages.size(), 2u);
    rig.browser.setVisible(true);
    EXPECT_TRUE(rig.saveAs(saved));
    EXPECT_EQ(rig.files.requests.back().title + std::to_string(rig.files.requests.back().flags),
              "Save As ... Playlist524294");
    EXPECT_EQ(rig.dialogs.messages.back().text, "Save Complete: Playlist.vgf");
    EXPECT_FALSE(rig.saveAs(rig.folder.path("no folder/x.vgf")));
    EXPECT_EQ(rig.dialogs.messages.back().title + "|" + rig.browser.currentFile() + "|" +
                  rig.named(),
              "Save Failed|" + saved + "|Playlist.vgf");
    BrowserRig again;
    again.load(saved);
    EXPECT_EQ(again.column(kPlatform, 0), (Cells{"1", "2", "3", "4"}));
    EXPECT_EQ(again.column(kScores, 2), (Cells{"A", "B", "A", "B"}));

    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.browser.CloseMenu_Click();
    EXPECT_TRUE(rig.browser.rowCount() == 0u && rig.named() == "Untitled");
    const CommandStates& off = rig.browser.states();
    EXPECT_FALSE(off.saveButton || off.removeButton || off.saveMenu || off.removeMenu ||
                 off.options[5] || off.options[8]);
    // An empty database saves an empty playlist.
    EXPECT_TRUE(rig.saveAs(saved));
    EXPECT_EQ(TempFolder::read(saved), std::string(benchfile::BenchmarkHeader) + "\r\n");
}

TEST(BrowserLoading, SeveralFilesAtOnceGiveOneSummary) {
    BrowserRig rig;
    std::vector<std::string> paths;
    for (int i = 1; i <= 12; ++i)
        paths.push_back(
            rig.file(std::string(1, 'f') + std::to_string(i) + ".vgf", record("R", "1")));
    rig.browser.importFiles(paths);
    EXPECT_EQ(rig.titles(), (Cells{"Success"}));
    EXPECT_NE(rig.dialogs.messages[0].text.find("f10.vgf\rand 2 more"), std::string::npos);
    EXPECT_TRUE(rig.browser.rowCount() == 12u && rig.named() == "f12.vgf");

    BrowserRig mixed;
    mixed.browser.importFiles({mixed.file("good.vgf", record("G", "1")),
                               mixed.file("cut.vgf", ">>:One||BMCPUh=1:;:;>>:Two||BM"),
                               mixed.folder.path("gone.vgf")});
    EXPECT_EQ(said(mixed.dialogs.messages.at(0))
                  .rfind("Not Read Whole|48|1 of 3 benchmark files were loaded whole.\rgood.vgf\r\r"
                         "Not read whole:\rcut.vgf: ",
                         0),
              0u)
        << mixed.dialogs.messages[0].text;
    EXPECT_TRUE(mixed.browser.rowCount() == 3u &&
                mixed.browser.statusText() == "Not read whole: 2 of 3 files");
}

// A file not read whole keeps its records, says so and is not taken as the current file.
TEST(BrowserLoading, EachFileThatIsNotReadWholeSaysWhyAndNeverSuccess) {
    const std::string cut =
        "Not Read Whole|48|The benchmark file cut.vgf could not be read whole:\r";
    const struct {
        const char* name;
        bool afterWholeFile;
        std::optional<std::string> payload; // none: no such file; "": a wrong header
        std::size_t rows;
        std::string said, then;
    } rows[] = {
        {"cut after a whole file", true, ">>:One||BMCPUh=1:;:;>>:Two||BMCPUh=2:;BMCPUl=3:;BMFP", 3,
         cut,
         "damaged: it ends before its last record is complete\r2 benchmark record(s) were "
         "read and kept."},
        {"cut into an empty browser", false, ">>:One||BMCPUh=1:;:;>>:Two||BMCPUh=2:;BMFP", 2, cut,
         "\r2 benchmark record(s) were read and kept."},
        {"its line end altered", false, std::nullopt, 1, cut,
         "damaged: 1 more line end follows its closing line end\r1 benchmark record(s) were read "
         "and kept."},
        {"missing", false, std::nullopt, 0, "Load Failed|48|", "Nothing was loaded."},
        {"not a benchmark file", false, "", 0,
         "Error: Invalid Benchmark File.|16|Not valid save benchmark file:\rThe file could have "
         "become corrupt, contact support@kestrovia.example if the problem persists",
         ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BrowserRig rig;
        if (row.afterWholeFile)
            rig.load(rig.file("whole.vgf", record("A", "1")));
        if (row.payload && row.payload->empty())
            TempFolder::write(rig.folder.path("cut.vgf"), "VEXOGAUGE 2002 SAVE BENCHMARK V1.0\r\n");
        else if (row.payload)
            rig.file("cut.vgf", *row.payload);
        else if (row.rows > 0) // a whole run, passed through a tool that added a line end
            TempFolder::write(rig.folder.path("cut.vgf"),
                              benchfile::benchmarkFileBytes(completeRecord("Run")) + "\r\n");
        const std::size_t before = rig.dialogs.messages.size();
        rig.import(rig.folder.path("cut.vgf"));
        EXPECT_EQ(rig.browser.rowCount(), row.rows);
        ASSERT_EQ(rig.dialogs.messages.size(), before + 1);
        const std::string box = said(rig.dialogs.messages.back());
        EXPECT_EQ(box.rfind(row.said, 0), 0u) << box;
        EXPECT_NE(box.find(row.then), std::string::npos) << box;
        EXPECT_EQ(rig.named(), row.afterWholeFile ? "whole.vgf" : "Untitled");
        EXPECT_EQ(rig.browser.statusText(), "Not read whole: cut.vgf");
        // A later whole file clears the status.
        rig.import(rig.file("fine.vgf", record("F", "4")));
        EXPECT_EQ(rig.browser.statusText(), "");
    }
}

TEST(BrowserSorting, NumbersByValueTextAsTextDescendingOnEveryClick) {
    const std::string high = "57(1024x768@32 Bit /w High textures)";
    const std::string low = "9(640x480@16 Bit /w Low textures)";
    const struct {
        const char* name;
        std::size_t column;
        Cells cells, sorted;
    } rows[] = {
        {"scores by value", 3, {"66", "950", "12127204"}, {"12127204", "950", "66"}},
        {"equal values keep their order", 3, {"80", "1200", "080"}, {"1200", "80", "080"}},
        {"then text, then empty", 3, {"7", "", "12abc", "100"}, {"100", "7", "12abc", ""}},
        {"Direct3D by its frames", 7, {low, high}, {high, low}},
        {"beyond 2^53", 3, {"9007199254740993", "9007199254740992"}, {}},
        {"names as text, a number as a number", 2, {"b", "10", "a", "9"}, {"10", "9", "b", "a"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BrowserRig rig;
        std::string payload;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            payload += ">>:" + (row.column == 2 ? row.cells[i] : std::to_string(i)) + "||";
            if (row.column > 2 && !row.cells[i].empty())
                payload += (row.column == 3 ? "BMCPUh=" : "BMDR3D=") + row.cells[i] + ":;";
            payload += ":;";
        }
        rig.load(rig.file("s.vgf", payload));
        for (int click = 0; click < 2; ++click) { // not a toggle
            rig.browser.ColumnClick(kScores, row.column);
            EXPECT_EQ(rig.column(kScores, row.column), row.sorted.empty() ? row.cells : row.sorted);
        }
        EXPECT_TRUE(rig.browser.sortedDescending(kScores));
        EXPECT_EQ(rig.column(kPlatform, 0).front(), "1"); // other lists unchanged
    }
}

TEST(BrowserRemoving, RecordTwoOfFourGoesFromAllListsInAnyModeAndOrder) {
    for (const BrowserMode mode : {kPlatform, kTasks, kScores}) {
        SCOPED_TRACE(static_cast<int>(mode));
        BrowserRig rig;
        rig.load(rig.file("four.vgf", record("one", "10") + record("two", "9") +
                                          record("three", "8") + record("four", "70")));
        rig.browser.ColumnClick(kScores, 3); // 70, 10, 9, 8
        rig.browser.pressMode(mode);
        rig.browser.Remove_Benchmark_Menu();
        EXPECT_EQ(rig.titles(), (Cells{"Success"}));       // nothing selected: not even asked
        rig.browser.select(mode, mode == kScores ? 2 : 1); // "two" in each list's order
        for (const int answer : {MsgAnswer::No, MsgAnswer::Yes}) { // No keeps all four
            rig.dialogs.messageAnswer = answer;
            rig.browser.Remove_Benchmark_Menu();
            EXPECT_EQ(rig.browser.rowCount(), answer == MsgAnswer::No ? 4u : 3u);
        }
        EXPECT_EQ(said(rig.dialogs.messages.back()),
                  "Confirm Remove?|4|Are you sure you want to remove: two");
        // Each list keeps its order, the sorted one its sort; the former 3 is now number 2.
        EXPECT_EQ(rig.column(kScores, 2), (Cells{"four", "one", "three"}));
        EXPECT_EQ(rig.column(kScores, 0), (Cells{"3", "1", "2"}));
        EXPECT_EQ(rig.column(kPlatform, 0), (Cells{"1", "2", "3"}));
        EXPECT_EQ(rig.column(kTasks, 2), (Cells{"one", "three", "four"}));
        EXPECT_EQ(rig.browser.sortedColumn(kScores), 3u);
    }
}

TEST(BrowserModes, OnlyTheClickedListIsSortedAndSwitchingModesKeepsOrderAndSelection) {
    BrowserRig rig;
    rig.load(rig.file("m.vgf", record("a", "950") + record("b", "1200") + record("c", "80")));
    EXPECT_FALSE(rig.browser.sortedColumn(kScores));
    rig.browser.ColumnClick(kScores, 3);
    rig.browser.select(kScores, 2);
    rig.browser.select(kPlatform, 1);
    EXPECT_TRUE(rig.browser.sortedColumn(kScores) == 3u && !rig.browser.sortedColumn(kPlatform));
    EXPECT_EQ(rig.browser.titleText(), "Platform Comparison Mode");
    rig.browser.pressMode(kScores);
    EXPECT_EQ(rig.browser.titleText() + "|" + rig.browser.descriptionText(),
              "Score Comparison Mode|This mode allows you to review your benchmark scores for "
              "each specific benchmark type.");
    rig.browser.Change_Options(1);
    EXPECT_EQ(rig.browser.mode(), kTasks);
    rig.browser.pressMode(kPlatform);
    EXPECT_EQ(rig.column(kScores, 3), (Cells{"1200", "950", "80"}));
    EXPECT_EQ(rig.column(kPlatform, 2), (Cells{"a", "b", "c"}));
    EXPECT_TRUE(rig.browser.selectedRow(kScores) == 2 && rig.browser.selectedRow(kPlatform) == 1);
    int news = 0;
    rig.browser.onNew = [&] { ++news; };
    rig.browser.Change_Options(3);
    EXPECT_EQ(news, 1);

    // Rows added later are appended, and the list no longer stands sorted.
    rig.import(rig.file("t.vgf", record("d", "999")));
    EXPECT_EQ(rig.column(kScores, 3), (Cells{"1200", "950", "80", "999"}));
    EXPECT_FALSE(rig.browser.sortedColumn(kScores));
    rig.browser.ColumnClick(kPlatform, 2);
    rig.browser.ColumnClick(kScores, 3);
    rig.browser.Reset_Sorting();
    EXPECT_EQ(rig.column(kPlatform, 0), (Cells{"4", "3", "2", "1"}));
    EXPECT_EQ(rig.column(kScores, 0), (Cells{"4", "3", "2", "1"}));
}

TEST(ExitQuestion, WritesTheThreeSettingsWhateverTheAnswer) {
    for (const int answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        BrowserRig rig;
        rig.dialogs.messageAnswer = answer;
        MemorySettingsStore settings;
        Selections selections;
        selections.ScreenResolution = 7, selections.ScreenColorDepth = 2;
        selections.TextureQuality = -1;
        EXPECT_EQ(Confirm_Exit(rig.dialogs, settings, selections), answer == MsgAnswer::Yes);
        std::string stored;
        for (const char* key : {"DXRez", "DXCol", "DXTex"})
            stored += settings.get(kSettingsApplication, "DXSetup", key, "") + " ";
        EXPECT_EQ(stored, "7 2 -1 ");
        const std::string box = said(rig.dialogs.messages.at(0));
        EXPECT_EQ(box.rfind("Close VexoGAUGE 2002 Edition?|36|Thank you for using VexoGAUGE 2002 "
                            "Edition, we hope you found VexoGAUGE and enjoyable",
                            0),
                  0u);
        EXPECT_NE(box.find("VexoGAUGE.\r\r"), std::string::npos);
        EXPECT_NE(box.find("\rVisit https://kestrovia.example/vexogauge for more infomation."),
                  std::string::npos);
    }
}

// The chart follows the Scores list's rows and chosen column, and its baseline record until
// that is removed; each bar says its score, range, percentage and verdict.
TEST(BrowserChart, FollowsTheScoresListAndTheBaselineRecordAndSaysWhatEachBarShows) {
    BrowserRig rig;
    rig.load(rig.file("runs.vgf", record("Laptop (run 1 of 3)", "100") + record("Desktop", "300") +
                                      record("Laptop (run 2 of 3)", "140") +
                                      record("Laptop (run 3 of 3)", "110") +
                                      record("Desktop", "300") + record("Empty", "") +
                                      record("Idle", "0")));
    const ScoresChartModel& chart = rig.browser.chart();
    const auto bars = [&] {
        Cells out;
        for (const ScoreBar& bar : rig.browser.chart().bars)
            out.push_back(bar.label + ": " + bar.text + (bar.whisker ? " |-|" : ""));
        return out;
    };
    const std::string twice = "; 1 duplicate record(s) left out: a run given more than once "
                              "counts once";
    EXPECT_EQ(chart.caption, "CPU / Cache / FSB" + twice);
    EXPECT_EQ(bars(), (Cells{"1. Laptop (3 runs): 110 (100 to 140) |-|", "2. Desktop: 300",
                             "6. Empty: no score", "7. Idle: no score: not run"}));

    // Any record of a repeated run names its bar as the baseline.
    rig.browser.setBaseline(rig.browser.scoresRecord(2));
    EXPECT_EQ(rig.browser.chart().caption,
              "CPU / Cache / FSB, as a percentage of 1. Laptop (3 runs)" + twice);
    EXPECT_EQ(bars()[0] + "|" + bars()[1],
              "1. Laptop (3 runs): 110 (100 to 140), 100.0\u00A0% (baseline) |-||2. Desktop: 300, "
              "272.7\u00A0%; cannot be tested: 1 run against 3 (3 each are needed)");
    rig.browser.setChartColumn(11);
    EXPECT_EQ(rig.browser.chartColumn(), 3u);
    rig.browser.setChartColumn(10);
    EXPECT_EQ(rig.browser.chart().caption.rfind("Imaging, as a percentage of", 0), 0u);
    EXPECT_EQ(bars()[0], "1. Laptop (3 runs): no score");
    rig.browser.setChartColumn(3);

    // The bars stand in the list's order; removing other records keeps the baseline, removing
    // its own ends it.
    rig.browser.ColumnClick(kScores, 3); // 300, 300, 140, 110, 100, 0, ""
    EXPECT_EQ(rig.browser.chart().bars[1].label + " " +
                  std::to_string(rig.browser.chart().bars[1].rows.front()),
              "3. Laptop (3 runs) 2");
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    for (const int row : {0, 1}) { // "Desktop", then "Laptop (run 2 of 3)"
        rig.browser.pressMode(kScores);
        rig.browser.select(kScores, row);
        rig.browser.Remove_Benchmark_Menu();
        EXPECT_EQ(rig.browser.baseline().has_value(), row == 0);
    }
    EXPECT_EQ(rig.browser.chart().caption, "CPU / Cache / FSB");
    EXPECT_EQ(bars()[0] + "|" + bars()[1],
              "3. Desktop: 300|2. Laptop (2 runs): 105 (100 to 110) |-|");
    BenchmarkRecord elsewhere = *rig.browser.scoresRecord(0); // alike, but from another file
    elsewhere.fileName = "other.vgf";
    rig.browser.setBaseline(elsewhere);
    EXPECT_FALSE(rig.browser.baseline());
}

// Export Report writes the Scores list against the chart's baseline, names the files not read
// whole, and says whether it was written; a report of no records is not offered.
TEST(BrowserReport, WritesTheListAgainstItsBaselineAndSaysWhetherItWasWritten) {
    BrowserRig rig;
    rig.load(rig.file("four.vgf", record("one", "10") + record("two", "9") + record("three", "8") +
                                      record("four", "70")));
    rig.import(rig.file("cut.vgf", ">>:kept||BMCPUh=7:;:;>>:cut||BMCP"));
    EXPECT_TRUE(rig.browser.states().exportMenu);
    rig.browser.setBaseline(rig.browser.scoresRecord(3));
    const std::string path = rig.folder.path("report.html");
    rig.files.answers = {path, rig.folder.path("no such folder/report.html"), std::nullopt};
    const std::size_t before = rig.dialogs.messages.size();
    for (int i = 0; i < 3; ++i)
        rig.browser.exportReport();
    const FileDialogRequest& request = rig.files.requests.back();
    EXPECT_EQ(request.title + "|" + request.filter + "|" + request.initialFileName + "|" +
                  std::to_string(request.flags),
              "Export Report ...|HTML Files (*.html)|*.html|benchmark report.html|524294");
    const std::string page = TempFolder::read(path);
    EXPECT_NE(page.find("percentages are of 4. four."), std::string::npos);
    EXPECT_NE(page.find("Not read whole: cut.vgf: damaged"), std::string::npos);
    ASSERT_EQ(rig.dialogs.messages.size(), before + 2); // the cancel says nothing
    EXPECT_EQ(said(rig.dialogs.messages[before]),
              "Export Report|64|The report was written to:\r" + path);
    EXPECT_EQ(said(rig.dialogs.messages[before + 1])
                  .rfind("Export Report|48|The report could not be written:\r", 0),
              0u);
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.browser.CloseMenu_Click();
    EXPECT_FALSE(rig.browser.states().exportMenu || rig.browser.baseline());
}

} // namespace
} // namespace vexo
