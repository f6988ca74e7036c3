#include "browser/ResultBrowser.h"

#include "benchfile/BenchmarkFile.h"
#include "browser/ScoreBars.h"
#include "platform/MemorySettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "wizard/ExitQuestion.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using test::TempFolder;

std::string record(const std::string& name, const std::string& cpu, int tasks = 1) {
    std::string text = ">>:" + name + "||BMCPUh=" + cpu + ":;";
    for (int i = 1; i <= tasks; ++i)
        text += "Task=task " + std::to_string(i) + ":;";
    return text + "CPUT=104:;OSMajr=6:;OSClass=Debian:;:;";
}

struct BrowserRig {
    BrowserRig() { browser.Form_Load(); }

    std::string file(const std::string& name, const std::string& payload) {
        const std::string path = folder.path(name);
        EXPECT_TRUE(benchfile::saveBenchmarkFile(path, payload));
        return path;
    }
    void load(const std::string& path) {
        files.answers.push_back(path);
        browser.LoadMenu_Click();
    }
    void import(const std::string& path) {
        files.answers.push_back(path);
        browser.ImportMenu_Click();
    }
    std::vector<std::string> column(BrowserMode list, std::size_t column) const {
        std::vector<std::string> cells;
        for (std::size_t row = 0; row < browser.rowCount(); ++row)
            cells.push_back(browser.cell(list, row, column));
        return cells;
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& m : dialogs.messages)
            out.push_back(m.title);
        return out;
    }

    TempFolder folder;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    ResultBrowser browser{{dialogs, files}, "/home/ann/runs/"};
};

using Cells = std::vector<std::string>;

TEST(BrowserLists, ColumnsTitlesAndWidthsOfTheThreeLists) {
    BrowserRig rig;
    const auto scores = rig.browser.columns(BrowserMode::Scores);
    ASSERT_EQ(scores.size(), 11u);
    EXPECT_EQ(scores[0].title, "#");
    EXPECT_EQ(scores[0].widthTwips, 360);
    EXPECT_EQ(scores[7].title, "Direct3D HAL");
    EXPECT_EQ(scores[7].widthTwips, 3000);
    EXPECT_EQ(scores[9].title, "Bussiness");
    const auto platform = rig.browser.columns(BrowserMode::Platform);
    ASSERT_EQ(platform.size(), 17u);
    EXPECT_EQ(platform[10].title, "Vitual Memory");
    EXPECT_EQ(platform[11].title, "OS Name");
    const auto tasks = rig.browser.columns(BrowserMode::Tasks);
    ASSERT_EQ(tasks.size(), 3u + 38u);
    EXPECT_EQ(tasks[3].title, "");
    EXPECT_EQ(tasks[40].widthTwips, 1440);
}

TEST(BrowserLists, CellsHoldTheRecordsTextsWithTheOsNameBeforeItsVersion) {
    BrowserRig rig;
    rig.load(rig.file("Mixed.VGF", record("Run A", "950", 2)));
    EXPECT_EQ(rig.browser.cell(BrowserMode::Platform, 0, 0), "1");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Platform, 0, 1), "mixed.vgf");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Platform, 0, 2), "Run A");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Platform, 0, 3), "104");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Platform, 0, 11), "Debian");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Platform, 0, 12), "6");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Scores, 0, 3), "950");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Scores, 0, 4), "");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Tasks, 0, 4), "task 2");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Tasks, 0, 5), "");
    // The title and the message keep the capitals of the name as chosen.
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Mixed.VGF");
    EXPECT_EQ(rig.dialogs.messages.back().text,
              "Your File Has Been Successfully Loaded: Mixed.VGF");
}

TEST(BrowserLists, ARecordWithFortyTasksGetsTwoMoreColumns) {
    BrowserRig rig;
    rig.load(rig.file("many.vgf", record("Busy", "1", 40)));
    ASSERT_EQ(rig.browser.columns(BrowserMode::Tasks).size(), 43u);
    EXPECT_EQ(rig.browser.cell(BrowserMode::Tasks, 0, 3), "task 1");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Tasks, 0, 40), "task 38");
    EXPECT_EQ(rig.browser.cell(BrowserMode::Tasks, 0, 42), "task 40");
}

TEST(BrowserLoading, ImportingTheSameFileTwiceNumbersOnwards) {
    BrowserRig rig;
    const std::string path = rig.file("same.vgf", record("Same", "5"));
    rig.import(path);
    rig.import(path);
    EXPECT_EQ(rig.column(BrowserMode::Platform, 0), (Cells{"1", "2"}));
    EXPECT_EQ(rig.column(BrowserMode::Scores, 2), (Cells{"Same", "Same"}));
}

TEST(BrowserLoading, LoadAsksNothingWhenEmptyAndCancelChangesNothing) {
    BrowserRig rig;
    rig.load(rig.file("first.vgf", record("First", "1")));
    EXPECT_EQ(rig.titles(), (Cells{"Success"}));
    ASSERT_EQ(rig.files.requests.size(), 1u);
    EXPECT_EQ(rig.files.requests[0].title, "Load Saved Benchmark File ...");
    EXPECT_EQ(rig.files.requests[0].flags, 528388u);
    EXPECT_EQ(rig.files.requests[0].filter, "VexoGAUGE 2002 Benchmark Files (*.vgf)|*.vgf");
    EXPECT_EQ(rig.files.requests[0].initialFolder, "/home/ann/runs/");

    const std::string titleBefore = rig.browser.windowTitle();
    rig.dialogs.messageAnswer = MsgAnswer::Cancel;
    rig.browser.LoadMenu_Click();
    EXPECT_EQ(rig.files.requests.size(), 1u); // no dialog opened
    EXPECT_EQ(rig.browser.rowCount(), 1u);
    EXPECT_EQ(rig.browser.windowTitle(), titleBefore);
    const auto& ask = rig.dialogs.messages.back();
    EXPECT_EQ(ask.title, "Save Changes?");
    EXPECT_EQ(ask.style, 51);
    EXPECT_EQ(ask.text, "Do you want to save changes made to this benchmark database?\rClick 'Yes' "
                        "to save your changes, 'No' to ignore them or 'cancel' to not load a "
                        "database.");
}

TEST(BrowserLoading, CloseWithNoEmptiesTheListsAndTheTitle) {
    BrowserRig rig;
    rig.load(rig.file("kept.vgf", record("Kept", "1")));
    EXPECT_TRUE(rig.browser.states().saveButton);
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.browser.CloseMenu_Click();
    EXPECT_EQ(rig.browser.rowCount(), 0u);
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Untitled");
    EXPECT_FALSE(rig.browser.states().saveButton);
    EXPECT_FALSE(rig.browser.states().removeMenu);
    EXPECT_FALSE(rig.browser.states().options[5]);
    EXPECT_FALSE(rig.browser.states().options[8]);
}

TEST(BrowserLoading, YesSavesFirstAndKeepsEverythingWhenTheSaveIsCancelled) {
    BrowserRig rig;
    rig.load(rig.file("one.vgf", record("One", "1")));
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.files.answers.push_back(std::nullopt); // the save dialog is cancelled
    EXPECT_FALSE(rig.browser.Check_Clear_Current_Data());
    EXPECT_EQ(rig.browser.rowCount(), 1u);

    const std::string saved = rig.folder.path("saved.vgf");
    rig.files.answers.push_back(saved);
    EXPECT_TRUE(rig.browser.Check_Clear_Current_Data());
    EXPECT_EQ(rig.browser.rowCount(), 0u);
    BenchmarkDatabase back;
    EXPECT_EQ(benchfile::Import_Saved_Benchmark(saved, back).recordsAdded, 1u);
}

TEST(BrowserLoading, CommandsAndTitleFollowTheDatabaseFromARunsImportToTheLastRemoval) {
    BrowserRig rig;
    rig.browser.Import_Saved_Benchmark(rig.file("last benchmark.vgf", record("Run", "1")));
    EXPECT_EQ(rig.browser.rowCount(), 1u);
    EXPECT_EQ(rig.titles(), (Cells{"Success"}));
    EXPECT_EQ(rig.browser.windowTitle(),
              "VexoGAUGE 2002 Edition Result Browser - last benchmark.vgf");
    EXPECT_TRUE(rig.browser.states().removeButton);
    EXPECT_TRUE(rig.browser.states().options[5]);
    EXPECT_EQ(rig.browser.cell(BrowserMode::Scores, 0, 1), "last benchmark.vgf");

    // A Save under another name names that file.
    const std::string other = rig.folder.path("Other Name.vgf");
    rig.files.answers.push_back(other);
    EXPECT_TRUE(rig.browser.Save_Benchmark_Menu());
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Other Name.vgf");

    rig.browser.select(BrowserMode::Platform, 0);
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.browser.Remove_Benchmark_Menu();
    EXPECT_EQ(rig.browser.rowCount(), 0u);
    EXPECT_FALSE(rig.browser.states().removeButton);
    EXPECT_FALSE(rig.browser.states().saveMenu);
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Untitled");
}

TEST(BrowserLoading, SeveralFilesAtOnceGiveOneSummary) {
    BrowserRig rig;
    std::vector<std::string> paths;
    for (int i = 1; i <= 12; ++i) {
        std::string name = "f";
        name += std::to_string(i);
        paths.push_back(rig.file(name + ".vgf", record("R", "1")));
    }
    rig.browser.importFiles(paths);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Success");
    EXPECT_NE(rig.dialogs.messages[0].text.find("f10.vgf\rand 2 more"), std::string::npos);
    EXPECT_EQ(rig.browser.rowCount(), 12u);
    EXPECT_TRUE(rig.browser.states().removeButton);
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - f12.vgf");

    BrowserRig mixed;
    mixed.browser.importFiles({mixed.file("good.vgf", record("G", "1")),
                               mixed.file("cut.vgf", ">>:One||BMCPUh=1:;:;>>:Two||BM"),
                               mixed.folder.path("gone.vgf")});
    ASSERT_EQ(mixed.dialogs.messages.size(), 1u);
    const auto& box = mixed.dialogs.messages[0];
    EXPECT_EQ(box.title, "Load Failed");
    EXPECT_EQ(box.text.rfind("1 of 3 benchmark files were loaded whole.\rgood.vgf\r\rNot read "
                             "whole:\rcut.vgf: ",
                             0),
              0u)
        << box.text;
    EXPECT_EQ(mixed.browser.rowCount(), 3u);
    EXPECT_EQ(mixed.browser.statusText(), "Not read whole: 2 of 3 files");
}

TEST(BrowserSaving, ThreeRecordsSavedAndLoadedBackAreNumbered1To3) {
    BrowserRig rig;
    rig.load(rig.file("three.vgf", record("A", "1") + record("B", "2") + record("C", "3")));
    rig.browser.setVisible(true);
    const std::string saved = rig.folder.path("Playlist.vgf");
    rig.files.answers.push_back(saved);
    EXPECT_TRUE(rig.browser.Save_Benchmark_Menu());
    const auto& request = rig.files.requests.back();
    EXPECT_EQ(request.title, "Save As ... Playlist");
    EXPECT_EQ(request.flags, 524294u);
    EXPECT_EQ(rig.dialogs.messages.back().text, "Save Complete: Playlist.vgf");
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Playlist.vgf");

    BrowserRig again;
    again.load(saved);
    EXPECT_EQ(again.column(BrowserMode::Platform, 0), (Cells{"1", "2", "3"}));
    EXPECT_EQ(again.column(BrowserMode::Platform, 2), (Cells{"A", "B", "C"}));
    EXPECT_EQ(again.column(BrowserMode::Scores, 3), (Cells{"1", "2", "3"}));
}

TEST(BrowserSaving, HiddenWindowsSaveSilentlyAndFailuresAreSaid) {
    BrowserRig rig;
    rig.load(rig.file("x.vgf", record("X", "1")));
    const std::size_t before = rig.dialogs.messages.size();
    rig.files.answers.push_back(rig.folder.path("quiet.vgf"));
    EXPECT_TRUE(rig.browser.Save_Benchmark_Menu());
    EXPECT_EQ(rig.dialogs.messages.size(), before); // not visible: no "Save Complete"

    rig.browser.setVisible(true);
    rig.files.answers.push_back(rig.folder.path("no folder/x.vgf"));
    EXPECT_FALSE(rig.browser.Save_Benchmark_Menu());
    EXPECT_EQ(rig.dialogs.messages.back().title, "Save Failed");
}

TEST(BrowserLoading, AFileNotReadWholeKeepsItsRecordsSaysSoAndIsNotTakenAsCurrent) {
    BrowserRig rig;
    rig.load(rig.file("whole.vgf", record("A", "1")));
    ASSERT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - whole.vgf");
    EXPECT_EQ(rig.browser.statusText(), "");
    const std::size_t before = rig.dialogs.messages.size();

    rig.import(rig.file("cut.vgf", ">>:One||BMCPUh=1:;:;>>:Two||BMCPUh=2:;BMCPUl=3:;BMFP"));
    EXPECT_EQ(rig.browser.rowCount(), 3u);
    ASSERT_EQ(rig.dialogs.messages.size(), before + 1);
    const auto& box = rig.dialogs.messages.back();
    EXPECT_EQ(box.title, "Load Failed");
    EXPECT_EQ(box.style, 48);
    EXPECT_EQ(box.text.rfind("The benchmark file cut.vgf could not be read whole:\r", 0), 0u)
        << box.text;
    EXPECT_NE(box.text.find("2 benchmark record(s) were read and kept; the last one may be"),
              std::string::npos)
        << box.text;
    EXPECT_EQ(rig.browser.statusText(), "Not read whole: cut.vgf");
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - whole.vgf");

    // Loading a damaged file into an empty browser leaves it untitled.
    BrowserRig fresh;
    fresh.load(fresh.file("cut.vgf", ">>:One||BMCPUh=1:;:;>>:Two||BMCPUh=2:;BMFP"));
    EXPECT_EQ(fresh.browser.rowCount(), 2u);
    EXPECT_EQ(fresh.browser.currentFile(), "");
    EXPECT_EQ(fresh.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Untitled");

    // A file that is not there at all adds nothing, and says so too.
    BrowserRig missing;
    missing.load(missing.folder.path("gone.vgf"));
    ASSERT_EQ(missing.dialogs.messages.size(), 1u);
    EXPECT_NE(missing.dialogs.messages[0].text.find("Nothing was loaded."), std::string::npos);

    // A file that is not a benchmark file: the invalid-file box alone.
    BrowserRig invalid;
    TempFolder::write(invalid.folder.path("other.vgf"), "VEXOGAUGE 2002 SAVE BENCHMARK V1.0\r\n");
    invalid.load(invalid.folder.path("other.vgf"));
    ASSERT_EQ(invalid.dialogs.messages.size(), 1u);
    EXPECT_EQ(invalid.dialogs.messages[0].title, "Error: Invalid Benchmark File.");
    EXPECT_EQ(invalid.dialogs.messages[0].style, 16);
    EXPECT_EQ(invalid.dialogs.messages[0].text, benchfile::invalidFileMessage());
    EXPECT_EQ(invalid.browser.rowCount(), 0u);
    EXPECT_EQ(missing.browser.currentFile(), "");
    // A later whole file clears the status.
    missing.import(missing.file("fine.vgf", record("F", "4")));
    EXPECT_EQ(missing.browser.statusText(), "");
}

TEST(BrowserSaving, AFailedSaveKeepsTheTitleAndCurrentFile) {
    BrowserRig rig;
    const std::string first = rig.file("first.vgf", record("A", "1"));
    rig.load(first);
    rig.browser.setVisible(true);
    rig.files.answers.push_back(rig.folder.path("no folder/x.vgf"));
    EXPECT_FALSE(rig.browser.Save_Benchmark_Menu());
    EXPECT_EQ(rig.dialogs.messages.back().title, "Save Failed");
    EXPECT_EQ(rig.browser.currentFile(), first);
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - first.vgf");
}

TEST(BrowserSaving, AnEmptyDatabaseSavesAnEmptyPlaylist) {
    BrowserRig rig;
    const std::string saved = rig.folder.path("empty.vgf");
    rig.files.answers.push_back(saved);
    EXPECT_TRUE(rig.browser.Save_Benchmark_Menu());
    EXPECT_EQ(TempFolder::read(saved), std::string(benchfile::BenchmarkHeader) + "\r\n");
    BrowserRig again;
    again.load(saved);
    EXPECT_EQ(again.browser.rowCount(), 0u);
}

TEST(BrowserSorting, NumbersByValueTextAsTextDescendingOnEveryClick) {
    struct Row {
        const char* name;
        std::size_t column;
        Cells cells;
        Cells sorted;
    };
    const Row rows[] = {
        {"scores by value", 3, {"66", "950", "12127204"}, {"12127204", "950", "66"}},
        {"equal values keep their order", 3, {"80", "1200", "080"}, {"1200", "80", "080"}},
        {"then text, then empty", 3, {"7", "", "12abc", "100"}, {"100", "7", "12abc", ""}},
        {"Direct3D by its frames",
         7,
         {"9(640x480@16 Bit /w Low textures)", "57(1024x768@32 Bit /w High textures)"},
         {"57(1024x768@32 Bit /w High textures)", "9(640x480@16 Bit /w Low textures)"}},
        {"beyond 2^53 exactly",
         3,
         {"9007199254740993", "9007199254740992"},
         {"9007199254740993", "9007199254740992"}},
        {"names as text, a number as a number", 2, {"b", "10", "a", "9"}, {"10", "9", "b", "a"}},
    };
    const char* keys[] = {"BMCPUh", "BMCPUl", "BMFPUh", "BMFPUl", "BMDR3D"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BrowserRig rig;
        std::string payload;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            payload += ">>:";
            payload += row.column == 2 ? row.cells[i] : std::to_string(i);
            payload += "||";
            if (row.column > 2 && !row.cells[i].empty()) {
                payload += keys[row.column - 3];
                payload += "=";
                payload += row.cells[i];
                payload += ":;";
            }
            payload += ":;";
        }
        rig.load(rig.file("s.vgf", payload));
        rig.browser.ColumnClick(BrowserMode::Scores, row.column);
        EXPECT_EQ(rig.column(BrowserMode::Scores, row.column), row.sorted);
        rig.browser.ColumnClick(BrowserMode::Scores, row.column); // not a toggle
        EXPECT_EQ(rig.column(BrowserMode::Scores, row.column), row.sorted);
        EXPECT_TRUE(rig.browser.sortedDescending(BrowserMode::Scores));
        EXPECT_EQ(rig.column(BrowserMode::Platform, 0).front(), "1"); // other lists unchanged
    }
}

TEST(BrowserSorting, OnlyTheClickedListIsSortedUntilRowsAreAdded) {
    BrowserRig rig;
    rig.load(rig.file("s.vgf", record("a", "950") + record("b", "1200") + record("c", "80")));
    EXPECT_FALSE(rig.browser.sortedColumn(BrowserMode::Scores));
    rig.browser.ColumnClick(BrowserMode::Scores, 3);
    EXPECT_EQ(rig.browser.sortedColumn(BrowserMode::Scores), 3u);
    EXPECT_EQ(rig.column(BrowserMode::Platform, 2), (Cells{"a", "b", "c"}));
    EXPECT_FALSE(rig.browser.sortedColumn(BrowserMode::Platform));
    rig.browser.ColumnClick(BrowserMode::Tasks, 2);
    EXPECT_EQ(rig.column(BrowserMode::Tasks, 2), (Cells{"a", "b", "c"}));
    EXPECT_FALSE(rig.browser.sortedColumn(BrowserMode::Tasks));
    // Rows added later are appended, and the list no longer stands sorted.
    rig.import(rig.file("t.vgf", record("d", "999")));
    EXPECT_EQ(rig.column(BrowserMode::Scores, 3), (Cells{"1200", "950", "80", "999"}));
    EXPECT_FALSE(rig.browser.sortedColumn(BrowserMode::Scores));
}

TEST(BrowserSorting, ResetSortingSortsByNumber) {
    BrowserRig rig;
    std::string payload;
    for (int i = 1; i <= 10; ++i)
        payload += record("run " + std::to_string(i), std::to_string(i * 3));
    rig.load(rig.file("ten.vgf", payload));
    rig.browser.ColumnClick(BrowserMode::Platform, 2);
    rig.browser.ColumnClick(BrowserMode::Scores, 3);
    rig.browser.Reset_Sorting();
    const Cells expected{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"};
    EXPECT_EQ(rig.column(BrowserMode::Platform, 0), expected);
    EXPECT_EQ(rig.column(BrowserMode::Scores, 0), expected);
}

TEST(BrowserRemoving, RecordTwoOfFourGoesFromAllListsInAnyModeAndOrder) {
    for (const BrowserMode mode :
         {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores}) {
        BrowserRig rig;
        rig.load(rig.file("four.vgf", record("one", "10") + record("two", "9") +
                                          record("three", "8") + record("four", "70")));
        rig.browser.ColumnClick(BrowserMode::Scores, 3); // 70, 10, 9, 8
        rig.browser.pressMode(mode);
        const int row = mode == BrowserMode::Scores ? 2 : 1; // "two" in each list's order
        rig.browser.select(mode, row);
        rig.dialogs.messageAnswer = MsgAnswer::Yes;
        rig.browser.Remove_Benchmark_Menu();
        const auto& ask = rig.dialogs.messages.back();
        EXPECT_EQ(ask.title, "Confirm Remove?");
        EXPECT_EQ(ask.style, 4);
        EXPECT_EQ(ask.text, "Are you sure you want to remove: two");
        ASSERT_EQ(rig.browser.rowCount(), 3u);
        for (const BrowserMode list :
             {BrowserMode::Platform, BrowserMode::Tasks, BrowserMode::Scores}) {
            Cells numbers = rig.column(list, 0);
            std::sort(numbers.begin(), numbers.end());
            EXPECT_EQ(numbers, (Cells{"1", "2", "3"}));
        }
        // The former record 3 is now number 2.
        for (std::size_t r = 0; r < 3; ++r) {
            if (rig.browser.cell(BrowserMode::Tasks, r, 2) == "three") {
                EXPECT_EQ(rig.browser.cell(BrowserMode::Tasks, r, 0), "2");
            }
        }
        // Each list keeps its order, the sorted one its sort.
        EXPECT_EQ(rig.column(BrowserMode::Scores, 2), (Cells{"four", "one", "three"}));
        EXPECT_EQ(rig.column(BrowserMode::Platform, 2), (Cells{"one", "three", "four"}));
        EXPECT_EQ(rig.browser.sortedColumn(BrowserMode::Scores), 3u);
        EXPECT_TRUE(rig.browser.states().saveButton);
    }
}

TEST(BrowserRemoving, NoOrNothingSelectedRemovesNothing) {
    BrowserRig rig;
    rig.load(rig.file("two.vgf", record("a", "1") + record("b", "2")));
    const std::size_t asked = rig.dialogs.messages.size();
    rig.browser.Remove_Benchmark_Menu();
    EXPECT_EQ(rig.dialogs.messages.size(), asked); // nothing selected: not even asked
    rig.browser.select(BrowserMode::Platform, 1);
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.browser.Remove_Benchmark_Menu();
    EXPECT_EQ(rig.browser.rowCount(), 2u);
}

TEST(BrowserModes, SwitchingModesKeepsOrderAndSelection) {
    BrowserRig rig;
    rig.load(rig.file("m.vgf", record("a", "1") + record("b", "3") + record("c", "2")));
    rig.browser.ColumnClick(BrowserMode::Scores, 3);
    rig.browser.select(BrowserMode::Scores, 2);
    rig.browser.select(BrowserMode::Platform, 1);
    EXPECT_EQ(rig.browser.titleText(), "Platform Comparison Mode");
    rig.browser.pressMode(BrowserMode::Scores);
    EXPECT_EQ(rig.browser.titleText(), "Score Comparison Mode");
    EXPECT_EQ(rig.browser.descriptionText(),
              "This mode allows you to review your benchmark scores for each specific benchmark "
              "type.");
    EXPECT_EQ(rig.browser.optionPicture(2), ResultBrowser::HighlightedPicture);
    EXPECT_EQ(rig.browser.optionPicture(0), ResultBrowser::PlainPicture);
    rig.browser.Change_Options(1);
    EXPECT_EQ(rig.browser.mode(), BrowserMode::Tasks);
    rig.browser.pressMode(BrowserMode::Platform);
    EXPECT_EQ(rig.column(BrowserMode::Scores, 3), (Cells{"3", "2", "1"}));
    EXPECT_EQ(rig.browser.selectedRow(BrowserMode::Scores), 2);
    EXPECT_EQ(rig.browser.selectedRow(BrowserMode::Platform), 1);
    EXPECT_EQ(rig.browser.optionPicture(7), ResultBrowser::ThirdPicture);
}

TEST(BrowserOptions, PrintDoesNothingAndTheOthersRunTheirCommands) {
    BrowserRig rig;
    int news = 0;
    rig.browser.onNew = [&] { ++news; };
    rig.browser.Change_Options(6);
    EXPECT_TRUE(rig.files.requests.empty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
    rig.browser.Change_Options(3);
    EXPECT_EQ(news, 1);
    rig.files.answers.push_back(std::nullopt);
    rig.browser.Change_Options(7);
    EXPECT_EQ(rig.files.requests.size(), 1u);
    EXPECT_EQ(rig.browser.windowTitle(), "VexoGAUGE 2002 Edition Result Browser - Untitled");
}

TEST(ExitQuestion, WritesTheThreeSettingsWhateverTheAnswer) {
    for (const int answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        test::EventLog log;
        test::ScriptedDialogs dialogs(log);
        dialogs.messageAnswer = answer;
        MemorySettingsStore settings;
        Selections selections;
        selections.ScreenResolution = 7;
        selections.ScreenColorDepth = 2;
        selections.TextureQuality = -1;
        EXPECT_EQ(Confirm_Exit(dialogs, settings, selections), answer == MsgAnswer::Yes);
        EXPECT_EQ(settings.get(kSettingsApplication, "DXSetup", "DXRez", ""), "7");
        EXPECT_EQ(settings.get(kSettingsApplication, "DXSetup", "DXCol", ""), "2");
        EXPECT_EQ(settings.get(kSettingsApplication, "DXSetup", "DXTex", ""), "-1");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].title, "Close VexoGAUGE 2002 Edition?");
        EXPECT_EQ(dialogs.messages[0].style, 36);
        EXPECT_EQ(dialogs.messages[0].text.rfind("Thank you for using VexoGAUGE 2002 Edition, we "
                                                 "hope you found VexoGAUGE and enjoyable",
                                                 0),
                  0u);
        EXPECT_NE(dialogs.messages[0].text.find("VexoGAUGE.\r\r"), std::string::npos);
        EXPECT_NE(dialogs.messages[0].text.find("\rVisit https://kestrovia.example/vexogauge for "
                                                "more infomation."),
                  std::string::npos);
    }
}

TEST(ScoreBars, RepeatedRunsMakeOneBarAtTheirMedianAndTheBaselineGivesPercentages) {
    BrowserRig rig;
    rig.load(rig.file("runs.vgf", record("Laptop (run 1 of 3)", "100") + record("Desktop", "300") +
                                      record("Laptop (run 2 of 3)", "140") +
                                      record("Laptop (run 3 of 3)", "110") +
                                      record("Desktop", "330") + record("Empty", "")));
    std::vector<ScoreBar> bars = scoreBars(rig.browser, 3, nullptr);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0].label, "1. Laptop (3 runs)");
    EXPECT_EQ(bars[0].rows, (std::vector<std::size_t>{0, 2, 3}));
    EXPECT_EQ(bars[0].summary.median, 110);
    EXPECT_EQ(bars[0].summary.lowest, 100);
    EXPECT_EQ(bars[0].summary.highest, 140);
    // Two runs of one name without the suffix stay two bars, told apart by their numbers.
    EXPECT_EQ(bars[1].label, "2. Desktop");
    EXPECT_EQ(bars[2].label, "5. Desktop");
    EXPECT_EQ(bars[3].label, "6. Empty");
    EXPECT_EQ(bars[3].summary.count, 0u);
    for (const ScoreBar& bar : bars)
        EXPECT_FALSE(bar.percent.has_value());

    // Any record of the repeated run stands for its bar as the baseline.
    const BaselineRecord second = rig.browser.database().records()[2];
    bars = scoreBars(rig.browser, 3, &second);
    EXPECT_TRUE(bars[0].isBaseline);
    EXPECT_EQ(bars[0].percent, 100.0);
    ASSERT_TRUE(bars[1].percent);
    EXPECT_NEAR(*bars[1].percent, 300.0 / 110 * 100, 1e-9);
    EXPECT_FALSE(bars[3].percent.has_value()); // no score, no percentage
    // Against the three runs, one record cannot be tested.
    EXPECT_FALSE(bars[0].test);
    ASSERT_TRUE(bars[1].test);
    EXPECT_EQ(bars[1].test->outcome, comparison::RatioTest::Outcome::TooFewRuns);
    // Of two alike records, the one with the baseline's number; a record no longer in the
    // list gives no percentages.
    BaselineRecord desktop = rig.browser.database().records()[1];
    desktop.RowNumber = 5;
    ASSERT_TRUE(desktop.scores[0]);
    desktop.scores[0] = "330";
    bars = scoreBars(rig.browser, 3, &desktop);
    EXPECT_TRUE(bars[2].isBaseline);
    EXPECT_FALSE(bars[1].isBaseline);
    desktop.scores[0] = "331";
    bars = scoreBars(rig.browser, 3, &desktop);
    EXPECT_TRUE(std::none_of(bars.begin(), bars.end(), [](const ScoreBar& b) {
        return b.isBaseline || b.percent.has_value();
    }));
}

TEST(ScoreBars, BarsFollowTheListOrder) {
    BrowserRig rig;
    rig.load(rig.file("runs.vgf", record("Slow one", "66") + record("Fast one", "12127204") +
                                      record("Mid one", "950")));
    rig.browser.pressMode(BrowserMode::Scores);
    rig.browser.ColumnClick(BrowserMode::Scores, 3); // descending, by value
    const BaselineRecord slow = rig.browser.database().records()[0];
    const std::vector<ScoreBar> bars = scoreBars(rig.browser, 3, &slow);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].label, "2. Fast one");
    EXPECT_EQ(bars[1].label, "3. Mid one");
    EXPECT_TRUE(bars[2].isBaseline);
    EXPECT_DOUBLE_EQ(*bars[1].percent, 95000.0 / 66);
    EXPECT_FALSE(bars[0].test); // one record against one: no group is compared
}

} // namespace
} // namespace vexo
