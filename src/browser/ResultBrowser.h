#pragma once

#include "benchfile/BenchmarkDatabase.h"
#include "benchfile/BenchmarkFile.h"
#include "browser/ScoreBars.h"
#include "common/Status.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

enum class BrowserMode { Platform = 0, Tasks = 1, Scores = 2 };

struct BrowserColumn {
    std::string title;
    int widthTwips;
};

// What the commands of the window may do now.
struct CommandStates {
    bool saveButton = false;
    bool removeButton = false;
    bool printButton = false; // always off
    bool saveMenu = false;
    bool removeMenu = false;
    bool printMenu = false;
    bool refreshMenu = false;      // always off
    bool printerSetupMenu = false; // always off
    bool exportMenu = false;       // a report of no records would say nothing
    std::array<bool, 9> options{true, true, true, true, true, true, true, true, true};
};

// The result browser's behaviour: a database of benchmark runs shown in three comparison lists
// (Platform, Tasks, Scores), each in its own order, with the commands that load, import, save,
// close, remove, sort and switch between them.
class ResultBrowser final {
public:
    static constexpr std::size_t kTaskColumns = 38;
    // Pictures of the help options: the third picture, the highlighted one, the plain one.
    static constexpr int ThirdPicture = 11;
    static constexpr int HighlightedPicture = 12;
    static constexpr int PlainPicture = 13;

    struct Services {
        Dialogs& dialogs;
        FileDialogs& files;
    };

    // dialogFolder: where the open and save dialogs start (the folder runs are saved in).
    ResultBrowser(Services services, std::string dialogFolder);

    void Form_Load();

    // The lists. Rows are counted from 0 in the list's own order; column 0 is "#".
    std::vector<BrowserColumn> columns(BrowserMode list) const;
    std::size_t rowCount() const { return m_database.size(); }
    std::string cell(BrowserMode list, std::size_t row, std::size_t column) const;
    // A record's cell in a column of a list, wherever the record stands.
    static std::string cellOf(BrowserMode list, const BenchmarkRecord& record, std::size_t column);
    const BenchmarkRecord& recordAt(BrowserMode list, std::size_t row) const;
    // The selected row of a list, or -1.
    int selectedRow(BrowserMode list) const;
    void select(BrowserMode list, int row);

    // Modes.
    void pressMode(BrowserMode mode);
    void Switch_Frames();
    BrowserMode mode() const { return m_mode; }
    const std::string& titleText() const { return m_titleText; }
    const std::string& descriptionText() const { return m_descriptionText; }
    int optionPicture(int option) const { return m_optionPictures.at(option); }

    // Sorting (Platform and Scores lists only).
    void ColumnClick(BrowserMode list, std::size_t column);
    void Reset_Sorting();
    // The column a list's rows now stand sorted by, if any; rows added after a sort end it.
    std::optional<std::size_t> sortedColumn(BrowserMode list) const {
        return m_sortedColumn[index(list)];
    }
    bool sortedDescending(BrowserMode list) const { return m_descending[index(list)]; }

    // Commands.
    void Load_Benchmark_Menu();
    void LoadMenu_Click();
    void ImportMenu_Click() { Load_Benchmark_Menu(); }
    void CloseMenu_Click();
    bool Check_Clear_Current_Data();
    void Clear_All_Fields();
    void Update_ToolBars();
    // What Save did: wrote the file, was cancelled in its dialog, or failed and said why.
    enum class SaveOutcome { Saved, Cancelled, Failed };
    SaveOutcome Save_Benchmark_Menu();
    void Remove_Benchmark_Menu();
    void Change_Options(int index);
    void newMenuClick() { call(onNew); }
    void contentsMenuClick() { call(onContents); }
    void atmViewClick() { call(onAtm); }
    void AboutMenu_Click() { call(onAbout); }

    // Adds a saved run's records (the engine's import) as Import does: a file read whole
    // becomes the current one, and the title and the commands follow.
    void Import_Saved_Benchmark(const std::string& path);
    // Adds the records of files named at once (the command line): one file as above; several
    // with one message of what was loaded whole and what was not.
    void importFiles(const std::vector<std::string>& paths);
    // Writes the database in the Platform list's order; reports success when the window shows,
    // and a failure always.
    Status Export_Saved_Benchmark(const std::string& path);

    // The Scores chart below the Scores list: a column of the list (3 to 10) as bars, drawn
    // against a baseline record when one is chosen.
    std::size_t chartColumn() const { return m_chartColumn; }
    void setChartColumn(std::size_t column);
    // The record of a Scores list row as it is now, if there is one: what "Use as baseline"
    // takes when its menu opens, so that rows changing meanwhile cannot turn the choice onto
    // another record.
    std::optional<BenchmarkRecord> scoresRecord(std::optional<std::size_t> row) const;
    // The record the chart is drawn against, as it was when chosen (nothing: none). It is
    // found again by its contents, so that the choice follows the record when others are
    // removed, and ends, rather than moving to another record, when it is.
    void setBaseline(std::optional<BenchmarkRecord> record);
    const std::optional<BenchmarkRecord>& baseline() const { return m_baseline; }
    // The chart as the rows, the column and the baseline stand now.
    const ScoresChartModel& chart() const;
    // Grows whenever the chart may have changed.
    std::uint64_t chartRevision() const { return m_chartRevision; }
    // File, Export Report: the records in the Scores list's order, drawn against the chart's
    // baseline, as one HTML page that names the files not read whole.
    void exportReport();

    const std::string& windowTitle() const { return m_windowTitle; }
    const CommandStates& states() const { return m_states; }
    const std::string& currentFile() const { return m_currentFile; }
    // Why the last file was not read whole, for the status bar; empty when it was.
    const std::string& statusText() const { return m_statusText; }
    // The files read since the records were last emptied that were not read whole, each
    // "name: why and what was kept", as a report of the records says at its top.
    const std::vector<std::string>& filesNotReadWhole() const { return m_notReadWhole; }
    const BenchmarkDatabase& database() const { return m_database; }
    // Grows whenever the rows, their order or a selection changed.
    std::uint64_t revision() const { return m_revision; }

    // Told by the window, for the save message.
    void setVisible(bool visible) { m_visible = visible; }

    std::function<void()> onNew;
    std::function<void()> onContents;
    std::function<void()> onAtm;
    std::function<void()> onAbout;

private:
    // Appends a file's records and tells the user how it went.
    void importFile(const std::string& path);
    // Appends a file's records and keeps the status bar's note of it; tells nothing.
    benchfile::ImportResult readFile(const std::string& path);
    static std::size_t index(BrowserMode list) { return static_cast<std::size_t>(list); }
    static void call(const std::function<void()>& f) {
        if (f)
            f();
    }
    void sortBy(BrowserMode list, std::size_t column);
    FileDialogRequest benchmarkFileRequest(const char* title, unsigned flags) const;
    void recordsAppended(std::size_t before);
    void changed() {
        ++m_revision;
        ++m_chartRevision;
    }
    std::vector<const BenchmarkRecord*> scoresListRecords() const;
    // A baseline whose record is no longer among the records ends.
    void endBaselineIfGone();

    Services m_services;
    std::string m_dialogFolder;
    BenchmarkDatabase m_database;
    // The order of each list as indices into the database, and each list's selected record.
    std::array<std::vector<std::size_t>, 3> m_order;
    std::array<std::size_t, 3> m_selected;
    std::array<bool, 3> m_descending{};
    std::array<std::optional<std::size_t>, 3> m_sortedColumn{};
    BrowserMode m_mode = BrowserMode::Platform;
    std::string m_titleText;
    std::string m_descriptionText;
    std::array<int, 9> m_optionPictures{};
    std::string m_currentFile;
    std::string m_statusText;
    std::vector<std::string> m_notReadWhole;
    std::string m_windowTitle;
    CommandStates m_states;
    bool m_visible = false;
    std::size_t m_widestTasks = 0;
    std::uint64_t m_revision = 0;
    std::size_t m_chartColumn = 3;
    std::optional<BenchmarkRecord> m_baseline;
    std::uint64_t m_chartRevision = 0;
    mutable ScoresChartModel m_chart;
    mutable std::optional<std::uint64_t> m_chartBuiltAt;
};

} // namespace vexo
