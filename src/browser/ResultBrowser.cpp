#include "ResultBrowser.h"

#include "benchfile/ImportNotice.h"
#include "common/FileIo.h"
#include "common/ScoreSet.h"
#include "common/SystemDescription.h"
#include "common/Text.h"
#include "report/Report.h"
#include "results/Comparison.h"

#include <algorithm>
#include <ctime>
#include <limits>

namespace vexo {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
constexpr const char* kTitlePrefix = "VexoGAUGE 2002 Edition Result Browser - ";
constexpr const char* kBenchmarkFilter = "VexoGAUGE 2002 Benchmark Files (*.vgf)|*.vgf";

// The three columns every list starts with, then a list's own.
std::vector<BrowserColumn> withCommonColumns(std::vector<BrowserColumn> own) {
    own.insert(own.begin(), {{"#", 360}, {"FILE NAME", 3000}, {"Discription", 3500}});
    return own;
}

const std::vector<BrowserColumn> kScoreColumns = withCommonColumns([] {
    std::vector<BrowserColumn> scores;
    for (const ScoreField& score : kScoreFields)
        scores.push_back({std::string(score.column), score.columnTwips});
    return scores;
}());

const std::vector<BrowserColumn> kPlatformColumns = withCommonColumns([] {
    std::vector<BrowserColumn> system;
    for (const std::size_t shown : kShownSystemOrder)
        system.push_back(
            {std::string(kSystemFields[shown].column), kSystemFields[shown].columnTwips});
    return system;
}());

struct ModeTexts {
    const char* title;
    const char* description;
};

constexpr std::array<ModeTexts, 3> kModeTexts{{
    {"Platform Comparison Mode",
     "At the time the benchmark was processed, your basic system setup and system infomation "
     "will be displayed for each benchmark."},
    {"Task Comparison Mode",
     "At the time the benchmark was processed, your basic tasks loaded were recorded for future "
     "references, you may now identify the tasks you had loaded."},
    {"Score Comparison Mode",
     "This mode allows you to review your benchmark scores for each specific benchmark type."},
}};

// A cell's place in a sort. A number (the rule of scores: a whole decimal that fits in 64 bits,
// a Direct3D cell's settings after it) ranks by value above any text, and text above an empty
// cell: a column of numbers ranks by value, and a column of text sorts as text.
struct SortKey {
    enum Kind { Empty, Text, Number } kind = Empty;
    std::string text; // a number: its digits without leading zeros, so length then digits order it
};

SortKey sortKey(std::string cell) {
    if (cell.empty())
        return {};
    if (!comparison::scoreValue(cell))
        return {SortKey::Text, std::move(cell)};
    std::size_t end = 0;
    while (end < cell.size() && cell[end] >= '0' && cell[end] <= '9')
        ++end;
    std::size_t start = 0;
    while (start + 1 < end && cell[start] == '0')
        ++start;
    return {SortKey::Number, cell.substr(start, end - start)};
}

int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (a.kind == SortKey::Number && a.text.size() != b.text.size())
        return a.text.size() < b.text.size() ? -1 : 1;
    return a.kind == SortKey::Number ? a.text.compare(b.text) : compareText(a.text, b.text);
}

} // namespace

ResultBrowser::ResultBrowser(Services services, std::string dialogFolder)
    : m_services(services)
    , m_dialogFolder(std::move(dialogFolder)) {
    m_selected.fill(kNone);
}

void ResultBrowser::Form_Load() {
    // The option pictures: the first highlighted, the others plain, the last two the third.
    m_optionPictures = {HighlightedPicture, PlainPicture, PlainPicture, PlainPicture, PlainPicture,
                        PlainPicture,       PlainPicture, ThirdPicture, ThirdPicture};
    Switch_Frames();
    Update_ToolBars();
}

std::vector<BrowserColumn> ResultBrowser::columns(BrowserMode list) const {
    switch (list) {
    case BrowserMode::Platform:
        return kPlatformColumns;
    case BrowserMode::Scores:
        return kScoreColumns;
    case BrowserMode::Tasks:
        break;
    }
    // 38 task columns, and more when a record holds more tasks, so none is hidden.
    return withCommonColumns(
        std::vector<BrowserColumn>(std::max(kTaskColumns, m_widestTasks), BrowserColumn{"", 1440}));
}

std::string ResultBrowser::cellOf(BrowserMode list, const BenchmarkRecord& record,
                                  std::size_t column) {
    if (column == 0)
        return std::to_string(record.RowNumber);
    if (column == 1)
        return record.fileName;
    if (column == 2)
        return record.name.value_or("");
    const std::size_t at = column - 3;
    switch (list) {
    case BrowserMode::Platform:
        return at < kShownSystemOrder.size() ? record.system[kShownSystemOrder[at]].value_or("")
                                             : std::string();
    case BrowserMode::Scores:
        return at < record.scores.size() ? record.scores[at].value_or("") : std::string();
    case BrowserMode::Tasks:
        return at < record.tasks.size() ? record.tasks[at] : std::string();
    }
    return {};
}

const BenchmarkRecord& ResultBrowser::recordAt(BrowserMode list, std::size_t row) const {
    return m_database.records().at(m_order[index(list)].at(row));
}

std::string ResultBrowser::cell(BrowserMode list, std::size_t row, std::size_t column) const {
    return cellOf(list, recordAt(list, row), column);
}

int ResultBrowser::selectedRow(BrowserMode list) const {
    const std::size_t selected = m_selected[index(list)];
    if (selected == kNone)
        return -1;
    const auto& order = m_order[index(list)];
    const auto at = std::find(order.begin(), order.end(), selected);
    return at == order.end() ? -1 : static_cast<int>(at - order.begin());
}

void ResultBrowser::select(BrowserMode list, int row) {
    const auto& order = m_order[index(list)];
    const std::size_t wanted = row >= 0 && static_cast<std::size_t>(row) < order.size()
                                   ? order[static_cast<std::size_t>(row)]
                                   : kNone;
    if (m_selected[index(list)] != wanted) {
        m_selected[index(list)] = wanted;
        changed();
    }
}

void ResultBrowser::pressMode(BrowserMode mode) {
    m_mode = mode;
    Switch_Frames();
}

void ResultBrowser::Switch_Frames() {
    for (int option = 0; option < 3; ++option)
        m_optionPictures[static_cast<std::size_t>(option)] = PlainPicture;
    m_optionPictures[index(m_mode)] = HighlightedPicture;
    m_titleText = kModeTexts[index(m_mode)].title;
    m_descriptionText = kModeTexts[index(m_mode)].description;
}

void ResultBrowser::sortBy(BrowserMode list, std::size_t column) {
    auto& order = m_order[index(list)];
    // Each key is made once, not on every comparison. Equal cells keep their order.
    std::vector<SortKey> keys(m_database.size());
    for (const std::size_t record : order)
        keys[record] = sortKey(cellOf(list, m_database.records()[record], column));
    const bool descending = m_descending[index(list)];
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = compareKeys(keys[a], keys[b]);
        return descending ? c > 0 : c < 0;
    });
    m_sortedColumn[index(list)] = column;
    changed();
}

void ResultBrowser::ColumnClick(BrowserMode list, std::size_t column) {
    if (list == BrowserMode::Tasks || column >= columns(list).size())
        return; // the task list is never sorted
    m_descending[index(list)] = true;
    sortBy(list, column);
}

void ResultBrowser::Reset_Sorting() {
    sortBy(BrowserMode::Platform, 0);
    sortBy(BrowserMode::Scores, 0);
}

void ResultBrowser::recordsAppended(std::size_t before) {
    for (std::size_t i = before; i < m_database.size(); ++i) {
        for (auto& order : m_order)
            order.push_back(i);
        m_sortedColumn.fill(std::nullopt);
        m_widestTasks = std::max(m_widestTasks, m_database.records()[i].tasks.size());
    }
    if (m_database.size() != before)
        changed();
}

void ResultBrowser::Import_Saved_Benchmark(const std::string& path) {
    // Like the Import command, so that the title and the commands follow the new records.
    importFile(path);
}

namespace {

constexpr const char* kNotReadWholeTitle = "Not Read Whole";

// Why a file was not read whole and what was kept of it, for a message; the two parts stand
// apart by the separator.
std::string notReadWhole(const benchfile::ImportResult& result, const std::string& separator) {
    using Outcome = benchfile::ImportResult::Outcome;
    if (result.outcome == Outcome::InvalidHeader)
        return "not a benchmark file" + separator + "Nothing was loaded.";
    const std::string why = result.detail.empty() ? std::string("unknown error") : result.detail;
    std::string kept = "Nothing was loaded.";
    if (result.outcome == Outcome::Damaged) {
        kept = std::to_string(result.recordsAdded) + " benchmark record(s) were read and kept";
        kept += result.firstRecordsLost ? "; if it was cut short, records before them may be lost."
                                        : ".";
        if (result.recordsAdded == 0)
            kept = "No benchmark record could be read.";
    }
    return why + separator + kept;
}

} // namespace

benchfile::ImportResult ResultBrowser::readFile(const std::string& path) {
    const std::size_t before = m_database.size();
    benchfile::ImportResult result = benchfile::Import_Saved_Benchmark(path, m_database);
    recordsAppended(before);
    if (!result.loaded()) {
        std::string notice = benchfile::notReadWholeNotice(path, result);
        if (std::find(m_notReadWhole.begin(), m_notReadWhole.end(), notice) == m_notReadWhole.end())
            m_notReadWhole.push_back(std::move(notice));
    }
    const std::string status =
        result.loaded() ? std::string() : "Not read whole: " + Strip_Path(path);
    if (status != m_statusText) {
        m_statusText = status;
        changed();
    }
    return result;
}

void ResultBrowser::importFile(const std::string& path) {
    const benchfile::ImportResult result = readFile(path);
    // Only a file read whole becomes the current one: a later save must not pass a partial
    // record off as the file. The title and the commands follow before the user is told, so
    // that the message stands over the window as the file left it.
    if (result.loaded())
        m_currentFile = path;
    Update_ToolBars();
    using Outcome = benchfile::ImportResult::Outcome;
    switch (result.outcome) {
    case Outcome::Loaded:
        m_services.dialogs.messageBox(benchfile::loadedMessage(path), MsgStyle::Information,
                                      std::string(benchfile::kLoadedTitle));
        return;
    case Outcome::InvalidHeader:
        m_services.dialogs.messageBox(benchfile::invalidFileMessage(),
                                      MsgStyle::OkOnly + MsgStyle::Critical,
                                      std::string(benchfile::kInvalidFileTitle));
        return;
    case Outcome::Damaged:
    case Outcome::Unreadable:
        break;
    }
    // The records read stay, and the user learns that the file was not read whole and what
    // was kept: a damaged file's whole records were loaded.
    m_services.dialogs.messageBox(
        "The benchmark file " + Strip_Path(path) + " could not be read whole:" + CR +
            notReadWhole(result, std::string(1, CR)),
        MsgStyle::Exclamation,
        result.outcome == Outcome::Damaged ? kNotReadWholeTitle : "Load Failed");
}

void ResultBrowser::importFiles(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        Import_Saved_Benchmark(paths.front());
        return;
    }
    if (paths.empty()) {
        Update_ToolBars();
        return;
    }
    // One message for them all: a box per file would stand between the user and the window.
    constexpr std::size_t kNamed = 10;
    std::string loaded;
    std::string failed;
    std::size_t whole = 0;
    std::size_t notWhole = 0;
    for (const std::string& path : paths) {
        const benchfile::ImportResult result = readFile(path);
        if (result.loaded()) {
            m_currentFile = path;
            if (++whole <= kNamed)
                loaded += CR + Strip_Path(path);
        } else if (++notWhole <= kNamed) {
            failed += CR + Strip_Path(path) + ": " + notReadWhole(result, ". ");
        }
    }
    auto more = [](std::size_t count) {
        return count > kNamed ? CR + ("and " + std::to_string(count - kNamed) + " more") : "";
    };
    if (notWhole > 0) {
        m_statusText = "Not read whole: " + std::to_string(notWhole) + " of " +
                       std::to_string(paths.size()) + " files";
        changed();
    }
    Update_ToolBars();
    if (notWhole == 0) {
        m_services.dialogs.messageBox("Your " + std::to_string(whole) +
                                          " Files Have Been Successfully Loaded:" + loaded +
                                          more(whole),
                                      MsgStyle::Information, std::string(benchfile::kLoadedTitle));
    } else {
        m_services.dialogs.messageBox(
            std::to_string(whole) + " of " + std::to_string(paths.size()) +
                " benchmark files were loaded whole." + (whole > 0 ? loaded + more(whole) : "") +
                CR + CR + "Not read whole:" + failed + more(notWhole),
            MsgStyle::Exclamation, kNotReadWholeTitle);
    }
}

FileDialogRequest ResultBrowser::benchmarkFileRequest(const char* title, unsigned flags) const {
    FileDialogRequest request;
    request.maxFileNameLength = 256;
    request.title = title;
    request.initialFolder = m_dialogFolder;
    request.flags = FileFlags::Explorer | FileFlags::HideReadOnly | flags;
    request.filter = kBenchmarkFilter;
    request.filterIndex = 1;
    return request;
}

void ResultBrowser::Load_Benchmark_Menu() {
    const std::optional<std::string> path = m_services.files.openFile(
        benchmarkFileRequest("Load Saved Benchmark File ...", FileFlags::FileMustExist));
    if (!path)
        return;
    importFile(*path);
}

void ResultBrowser::LoadMenu_Click() {
    if (Check_Clear_Current_Data())
        Load_Benchmark_Menu();
}

void ResultBrowser::CloseMenu_Click() {
    Check_Clear_Current_Data();
    Update_ToolBars();
}

bool ResultBrowser::Check_Clear_Current_Data() {
    if (m_database.empty())
        return true;
    const std::string text =
        std::string("Do you want to save changes made to this benchmark database?") + CR +
        "Click 'Yes' to save your changes, 'No' to ignore them or 'cancel' to not load a database.";
    switch (m_services.dialogs.messageBox(text, MsgStyle::YesNoCancel + MsgStyle::Exclamation,
                                          "Save Changes?")) {
    case MsgAnswer::Yes:
        // Only what was saved may be cleared: a cancelled or failed save keeps the records.
        if (Save_Benchmark_Menu() != SaveOutcome::Saved)
            return false;
        Clear_All_Fields();
        return true;
    case MsgAnswer::No:
        Clear_All_Fields();
        return true;
    default:
        return false;
    }
}

void ResultBrowser::Clear_All_Fields() {
    m_database.clear();
    m_notReadWhole.clear();
    for (auto& order : m_order)
        order.clear();
    m_sortedColumn.fill(std::nullopt);
    m_selected.fill(kNone);
    m_widestTasks = 0;
    m_baseline.reset();
    changed();
    Update_ToolBars();
}

void ResultBrowser::Update_ToolBars() {
    // An empty database is no file's contents, whatever was last chosen; nor are records added
    // to it later, unless they come from a file read whole, which then becomes the current one.
    const bool records = !m_database.empty();
    if (!records)
        m_currentFile.clear();
    m_windowTitle = std::string(kTitlePrefix) +
                    (m_currentFile.empty() ? std::string("Untitled") : Strip_Path(m_currentFile));
    m_states.printButton = false;
    m_states.saveButton = m_states.removeButton = records;
    m_states.saveMenu = m_states.removeMenu = m_states.printMenu = records;
    m_states.refreshMenu = false;
    m_states.exportMenu = records;
    m_states.options[5] = m_states.options[8] = records;
}

ResultBrowser::SaveOutcome ResultBrowser::Save_Benchmark_Menu() {
    const std::optional<std::string> path = m_services.files.saveFile(
        benchmarkFileRequest("Save As ... Playlist", FileFlags::OverwritePrompt));
    if (!path)
        return SaveOutcome::Cancelled;
    const Status saved = Export_Saved_Benchmark(*path);
    // The title names a file only once it was written.
    if (saved)
        m_currentFile = *path;
    Update_ToolBars();
    return saved ? SaveOutcome::Saved : SaveOutcome::Failed;
}

Status ResultBrowser::Export_Saved_Benchmark(const std::string& path) {
    std::vector<const BenchmarkRecord*> records;
    for (const std::size_t record : m_order[index(BrowserMode::Platform)])
        records.push_back(&m_database.records()[record]);
    Status saved = benchfile::Export_Saved_Benchmark(path, records);
    if (!saved) {
        // A failed save is said plainly, never passed over.
        m_services.dialogs.messageBox(
            "The benchmark database could not be saved:" + std::string(1, CR) + saved.message(),
            MsgStyle::Exclamation, "Save Failed");
    } else if (m_visible) {
        m_services.dialogs.messageBox("Save Complete: " + Strip_Path(path), MsgStyle::Information,
                                      "Success");
    }
    return saved;
}

std::vector<const BenchmarkRecord*> ResultBrowser::scoresListRecords() const {
    std::vector<const BenchmarkRecord*> records;
    for (const std::size_t record : m_order[index(BrowserMode::Scores)])
        records.push_back(&m_database.records()[record]);
    return records;
}

void ResultBrowser::setChartColumn(std::size_t column) {
    if (column < 3 || column > 10 || column == m_chartColumn)
        return;
    m_chartColumn = column;
    ++m_chartRevision;
}

std::optional<BenchmarkRecord> ResultBrowser::scoresRecord(std::optional<std::size_t> row) const {
    if (!row || *row >= rowCount())
        return std::nullopt;
    return recordAt(BrowserMode::Scores, *row);
}

void ResultBrowser::setBaseline(std::optional<BenchmarkRecord> record) {
    m_baseline = std::move(record);
    endBaselineIfGone();
    ++m_chartRevision;
}

void ResultBrowser::endBaselineIfGone() {
    const auto& records = m_database.records();
    if (m_baseline && std::none_of(records.begin(), records.end(), [this](const auto& record) {
            return sameRun(record, *m_baseline);
        }))
        m_baseline.reset();
}

const ScoresChartModel& ResultBrowser::chart() const {
    if (m_chartBuiltAt != m_chartRevision) {
        m_chart =
            scoresChart(scoresListRecords(), m_chartColumn, m_baseline ? &*m_baseline : nullptr);
        m_chartBuiltAt = m_chartRevision;
    }
    return m_chart;
}

void ResultBrowser::exportReport() {
    FileDialogRequest request;
    request.title = "Export Report ...";
    request.initialFolder = m_dialogFolder;
    request.filter = "HTML Files (*.html)|*.html";
    request.flags = FileFlags::Explorer | FileFlags::HideReadOnly | FileFlags::OverwritePrompt;
    request.initialFileName = "benchmark report.html";
    const std::optional<std::string> path = m_services.files.saveFile(request);
    if (!path)
        return;
    // The records and the baseline as they are now: the dialog let the window go on meanwhile.
    const std::vector<const BenchmarkRecord*> records = scoresListRecords();
    std::optional<int> baseline;
    for (const ScoreBar& bar : chart().bars) {
        if (bar.isBaseline)
            baseline = records[bar.rows.front()]->RowNumber;
    }
    const std::string page = report::reportPage(
        records, {baseline, report::madeAtText(std::time(nullptr)), m_notReadWhole});
    if (const Status saved = saveFile(*path, page); !saved) {
        m_services.dialogs.messageBox("The report could not be written:" + std::string(1, CR) +
                                          saved.message(),
                                      MsgStyle::Exclamation, "Export Report");
        return;
    }
    m_services.dialogs.messageBox("The report was written to:" + std::string(1, CR) + *path,
                                  MsgStyle::Information, "Export Report");
}

void ResultBrowser::Remove_Benchmark_Menu() {
    const std::size_t record = m_selected[index(m_mode)];
    if (record == kNone || record >= m_database.size())
        return;
    const std::string name = m_database.records()[record].name.value_or("");
    if (m_services.dialogs.messageBox("Are you sure you want to remove: " + name, MsgStyle::YesNo,
                                      "Confirm Remove?") != MsgAnswer::Yes)
        return;
    // Every list keeps its order without the record, its sort included.
    m_database.removeRecord(record);
    for (auto& order : m_order) {
        order.erase(std::remove(order.begin(), order.end(), record), order.end());
        for (std::size_t& entry : order)
            entry -= entry > record ? 1 : 0;
    }
    for (std::size_t& selected : m_selected) {
        if (selected == record)
            selected = kNone;
        else if (selected != kNone && selected > record)
            --selected;
    }
    endBaselineIfGone();
    changed();
    Update_ToolBars();
}

void ResultBrowser::Change_Options(int option) {
    switch (option) {
    case 0:
    case 1:
    case 2:
        m_mode = static_cast<BrowserMode>(option);
        break;
    case 3:
        newMenuClick();
        break;
    case 4:
        LoadMenu_Click();
        break;
    case 5:
        Save_Benchmark_Menu();
        break;
    case 7:
        ImportMenu_Click();
        break;
    case 8:
        Remove_Benchmark_Menu();
        break;
    default:
        break; // 6, printing, does nothing
    }
    Switch_Frames();
}

} // namespace vexo
