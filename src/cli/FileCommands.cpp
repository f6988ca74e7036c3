#include "FileCommands.h"

#include "benchfile/BenchmarkFile.h"
#include "benchfile/Comparison.h"
#include "cli/Json.h"
#include "common/FileIo.h"
#include "common/ScoreSet.h"
#include "common/SystemDescription.h"
#include "common/Text.h"
#include "report/Report.h"
#include "wizard/ScoreCard.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>

namespace vexo {

namespace {

using benchfile::ImportResult;

// Why a file was not read whole, and for a damaged one what was kept of it.
std::string notLoaded(const ImportResult& result) {
    if (result.outcome != ImportResult::Outcome::Damaged)
        return result.detail;
    return result.detail + "; " + benchfile::keptRecords(result);
}

struct LoadedFile {
    std::string path;
    ImportResult result;
};

// Imports the files in order into one database, as the result browser's Import does.
std::vector<LoadedFile> importAll(const std::vector<std::string>& paths,
                                  BenchmarkDatabase& database) {
    std::vector<LoadedFile> files;
    for (const std::string& path : paths) {
        files.push_back({path, benchfile::Import_Saved_Benchmark(path, database)});
    }
    return files;
}

bool allLoaded(const std::vector<LoadedFile>& files, std::ostream& err, const char* command) {
    bool ok = true;
    for (const LoadedFile& file : files) {
        if (file.result.outcome != ImportResult::Outcome::Loaded) {
            err << "vexogauge-cli " << command << ": " << terminalText(file.path) << ": "
                << terminalText(notLoaded(file.result)) << '\n';
            ok = false;
        }
    }
    return ok;
}

const char* outcomeName(ImportResult::Outcome outcome) {
    switch (outcome) {
    case ImportResult::Outcome::Loaded:
        return "loaded";
    case ImportResult::Outcome::InvalidHeader:
        return "invalid_header";
    case ImportResult::Outcome::Damaged:
        return "damaged";
    case ImportResult::Outcome::Unreadable:
        break;
    }
    return "unreadable";
}

json::Json recordsJson(const BenchmarkDatabase& database) {
    json::Json records = json::Json::array();
    for (const BenchmarkRecord& record : database.records())
        records.push_back(json::record(record));
    return records;
}

// Writes a JSON document; says on standard error when a file name was not UTF-8.
void writeJson(const json::Json& document, std::ostream& out, std::ostream& err,
               const char* command) {
    bool replaced = false;
    out << json::text(document, &replaced);
    if (replaced)
        err << "vexogauge-cli " << command
            << ": a file name is not UTF-8; its undecodable bytes are written as U+FFFD\n";
}

void dumpJson(const std::vector<LoadedFile>& files, const BenchmarkDatabase& database,
              std::ostream& out, std::ostream& err) {
    json::Json document = json::document("dump");
    json::Json list = json::Json::array();
    for (const LoadedFile& file : files) {
        const ImportResult& result = file.result;
        list.push_back(
            {{"path", file.path},
             {"outcome", outcomeName(result.outcome)},
             {"loaded", result.loaded()},
             {"message", result.loaded() ? benchfile::loadedMessage(file.path)
                         : result.outcome == ImportResult::Outcome::InvalidHeader
                             ? benchfile::invalidFileMessage()
                             : result.detail},
             {"reason", result.loaded() ? json::Json(nullptr) : json::Json(result.detail)},
             {"records_read", result.recordsAdded},
             {"first_records_lost", result.firstRecordsLost}});
    }
    document["files"] = std::move(list);
    document["records"] = recordsJson(database);
    writeJson(document, out, err, "dump");
}

template <class Values, class Fields>
void textGroup(std::ostream& out, const char* label, const Values& values, const Fields& fields) {
    constexpr std::size_t N = Values::size();
    out << "    " << label;
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i])
            out << ' ' << fields[i].name << '=' << terminalText(*values[i]);
    }
    out << '\n';
}

void dumpText(const std::vector<LoadedFile>& files, const BenchmarkDatabase& database,
              std::ostream& out) {
    for (const LoadedFile& file : files) {
        out << terminalText(file.path) << ": "
            << (file.result.outcome == ImportResult::Outcome::Loaded
                    ? "loaded, " + std::to_string(file.result.recordsAdded) + " record(s)"
                    : terminalText(notLoaded(file.result)))
            << '\n';
    }
    for (const BenchmarkRecord& record : database.records()) {
        out << '\n'
            << '#' << record.RowNumber << "  " << terminalText(record.fileName) << "  "
            << (record.name ? terminalText(*record.name) : "(no name)") << '\n';
        textGroup(out, "Scores:", record.scores, kScoreFields);
        textGroup(out, "System:", record.system, kSystemFields);
        out << "    Tasks: ";
        for (std::size_t i = 0; i < record.tasks.size(); ++i)
            out << (i ? " | " : "") << terminalText(record.tasks[i]);
        out << '\n';
    }
}

// What a record lacks of the keys every writer writes.
std::string missingKeys(const BenchmarkRecord& record) {
    std::string missing;
    auto add = [&missing](std::string_view key) {
        missing += (missing.empty() ? "" : ", ") + std::string(key);
    };
    if (!record.name)
        add("its name");
    for (std::size_t i = 0; i < record.scores.size(); ++i)
        if (!record.scores[i])
            add(kScoreFields[i].key);
    for (std::size_t i = 0; i < record.system.size(); ++i)
        if (!record.system[i])
            add(kSystemFields[i].key);
    return missing;
}

// One score compared across the groups: each group's summary and its test against the first
// group (tests[0] compares the first group with itself and is not shown).
struct ScoreComparison {
    std::size_t score;
    std::vector<comparison::Summary> groups;
    std::vector<comparison::RatioTest> tests;
};

std::vector<ScoreComparison> compareScores(const std::vector<comparison::RecordGroup>& groups) {
    std::vector<ScoreComparison> scores;
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        ScoreComparison score{i, {}, {}};
        bool anyScore = false;
        const std::vector<double> baseline =
            groups.empty() ? std::vector<double>{} : groups.front().values(i);
        for (const comparison::RecordGroup& group : groups) {
            std::vector<double> values = group.values(i);
            score.groups.push_back(comparison::summarize(values));
            score.tests.push_back(comparison::compareWithBaseline(std::move(values), baseline));
            anyScore = anyScore || score.groups.back().highest > 0;
        }
        if (anyScore) // a score no record holds (a phase not run) is left out
            scores.push_back(std::move(score));
    }
    return scores;
}

std::string number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void compareText(const std::vector<comparison::RecordGroup>& groups,
                 const std::vector<ScoreComparison>& scores, std::ostream& out) {
    out << "Groups (the first is the baseline):\n";
    for (std::size_t g = 0; g < groups.size(); ++g)
        out << "  " << g + 1 << ". " << terminalText(groups[g].name) << ": "
            << groups[g].records.size() << " record(s)\n";
    for (const ScoreComparison& score : scores) {
        out << '\n' << scoreLabel(score.score) << " (" << kScoreFields[score.score].name << ")\n";
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const comparison::Summary& s = score.groups[g];
            out << "  " << g + 1 << ". ";
            if (s.count == 0) {
                out << "no score\n";
                continue;
            }
            out << "median " << number(s.median, 0) << " (" << number(s.lowest, 0) << " to "
                << number(s.highest, 0) << ", spread " << number(100 * s.spread(), 1) << " %)";
            if (g > 0 && score.groups.front().count > 0) {
                const comparison::RatioTest& test = score.tests[g];
                if (test.ratio)
                    out << ", " << number(100 * *test.ratio, 1) << " % of the baseline";
                out << "; " << comparison::verdictText(test);
            }
            out << '\n';
        }
    }
}

void compareJson(const std::vector<comparison::RecordGroup>& groups,
                 const std::vector<ScoreComparison>& scores, std::ostream& out, std::ostream& err) {
    json::Json document = json::document("compare");
    json::Json groupList = json::Json::array();
    for (const comparison::RecordGroup& group : groups)
        groupList.push_back({{"name", group.name}, {"records", group.records.size()}});
    document["groups"] = std::move(groupList);
    json::Json scoreList = json::Json::array();
    for (const ScoreComparison& score : scores) {
        json::Json summaries = json::Json::array();
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const comparison::Summary& s = score.groups[g];
            const comparison::RatioTest& test = score.tests[g];
            json::Json summary = {{"count", s.count}};
            if (s.count > 0) {
                summary["median"] = s.median;
                summary["lowest"] = s.lowest;
                summary["highest"] = s.highest;
                summary["spread"] = s.spread();
            }
            summary["ratio"] = test.ratio ? json::Json(*test.ratio) : json::Json(nullptr);
            // The first group is the baseline; a group that could not be tested differs by null.
            summary["interval"] = nullptr;
            if (g > 0 && test.interval)
                summary["interval"] = {{"low", test.interval->low},
                                       {"high", test.interval->high},
                                       {"confidence", test.interval->confidence}};
            summary["different"] =
                g > 0 && test.tested() ? json::Json(test.different()) : json::Json(nullptr);
            summaries.push_back(std::move(summary));
        }
        const bool direct3D = kScoreFields[score.score].member == &ScoreSet::BMDR3D;
        scoreList.push_back({{"score", std::string(kScoreFields[score.score].name)},
                             {"label", std::string(scoreLabel(score.score))},
                             {"unit", direct3D ? "frames per second" : "VexoGAUGEs"},
                             {"groups", std::move(summaries)}});
    }
    document["scores"] = std::move(scoreList);
    writeJson(document, out, err, "compare");
}

bool usage(std::ostream& err, const char* text) {
    err << "usage: vexogauge-cli " << text << '\n';
    return false;
}

} // namespace

std::string csvField(const std::string& text) {
    // A cell a spreadsheet would take as a formula (window titles can be anything) is kept text
    // by a leading apostrophe, which the spreadsheet then shows as part of the text.
    const bool formula =
        !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    const std::string cell = formula ? "'" + text : text;
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

int dumpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool json = !args.empty() && args[0] == "--json";
    const std::vector<std::string> paths(args.begin() + (json ? 1 : 0), args.end());
    if (paths.empty())
        return usage(err, "dump [--json] FILE..."), 2;
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files = importAll(paths, database);
    if (json) {
        dumpJson(files, database, out, err);
    } else {
        dumpText(files, database, out);
    }
    return std::all_of(files.begin(), files.end(),
                       [](const LoadedFile& f) {
                           return f.result.outcome == ImportResult::Outcome::Loaded;
                       })
               ? 0
               : 1;
}

int checkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return usage(err, "check FILE..."), 2;
    int status = 0;
    for (const std::string& path : args) {
        BenchmarkDatabase database;
        const ImportResult result = benchfile::Import_Saved_Benchmark(path, database);
        if (result.outcome != ImportResult::Outcome::Loaded) {
            out << terminalText(path) << ": " << terminalText(notLoaded(result)) << '\n';
            status = 1;
            continue;
        }
        std::string problems;
        for (const BenchmarkRecord& record : database.records()) {
            const std::string missing = missingKeys(record);
            if (!missing.empty())
                problems += "; record " + std::to_string(record.RowNumber) + " lacks " + missing;
        }
        if (problems.empty()) {
            out << terminalText(path) << ": valid and complete, " << database.size()
                << " record(s)\n";
        } else {
            out << terminalText(path) << ": valid but incomplete" << problems << '\n';
            status = 1;
        }
    }
    return status;
}

int mergeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 2)
        return usage(err, "merge OUT FILE..."), 2;
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files =
        importAll(std::vector<std::string>(args.begin() + 1, args.end()), database);
    if (!allLoaded(files, err, "merge")) {
        err << "vexogauge-cli merge: nothing was written\n";
        return 1;
    }
    if (const Status saved =
            benchfile::Export_Saved_Benchmark(args[0], benchfile::inOrder(database));
        !saved) {
        err << "vexogauge-cli merge: " << terminalText(saved.message()) << '\n';
        return 1;
    }
    out << "Saved " << database.size() << " record(s) from " << files.size() << " file(s) to "
        << terminalText(args[0]) << '\n';
    return 0;
}

int compareCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool json = !args.empty() && args[0] == "--json";
    const std::vector<std::string> paths(args.begin() + (json ? 1 : 0), args.end());
    if (paths.empty())
        return usage(err, "compare [--json] FILE..."), 2;
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files = importAll(paths, database);
    const bool loaded = allLoaded(files, err, "compare");
    const std::vector<comparison::RecordGroup> groups =
        comparison::groupByName(benchfile::inOrder(database));
    const std::vector<ScoreComparison> scores = compareScores(groups);
    if (json)
        compareJson(groups, scores, out, err);
    else if (groups.empty())
        out << "No records to compare.\n";
    else
        compareText(groups, scores, out);
    return loaded ? 0 : 1;
}

int reportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const std::string& madeAt) {
    // The options come first: -o/--output FILE and --baseline N, then the files.
    std::optional<std::string> output;
    std::optional<int> baseline;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string name = arg.substr(0, arg.find('='));
        if (name != "-o" && name != "--output" && name != "--baseline")
            break;
        const std::string value =
            name.size() < arg.size() ? arg.substr(name.size() + 1) : args.at(++i);
        if (name == "--baseline") {
            int row = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), row);
            if (error != std::errc() || end != value.data() + value.size() || row < 1) {
                err << "vexogauge-cli report: --baseline " << terminalText(value)
                    << " is not a record number (the \"#\" of dump)\n";
                return 2;
            }
            baseline = row;
        } else {
            output = value;
        }
    }
    const std::vector<std::string> paths(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (!output || paths.empty())
        return usage(err, "report -o OUT [--baseline N] FILE..."), 2;
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files = importAll(paths, database);
    // As the result browser does, a damaged file's readable records are kept, and the page and
    // the terminal say which file was not read whole.
    const bool loaded = allLoaded(files, err, "report");
    report::ReportOptions options{baseline, madeAt, {}};
    for (const LoadedFile& file : files) {
        if (!file.result.loaded())
            options.notReadWhole.push_back(Strip_Path(file.path) + ": " + notLoaded(file.result));
    }
    if (database.empty() && !loaded) {
        err << "vexogauge-cli report: no record could be read; nothing was written\n";
        return 1;
    }
    if (baseline && *baseline > static_cast<int>(database.size())) {
        err << "vexogauge-cli report: --baseline " << *baseline << ": there are only "
            << database.size() << " record(s)\n";
        return 2;
    }
    const std::string page = report::reportPage(benchfile::inOrder(database), options);
    if (const Status saved = saveFile(*output, page); !saved) {
        err << "vexogauge-cli report: " << terminalText(saved.message()) << '\n';
        return 1;
    }
    out << "Wrote a report of " << database.size() << " record(s) from " << files.size()
        << " file(s) to " << terminalText(*output);
    if (!loaded)
        out << "; " << options.notReadWhole.size() << " file(s) not read whole";
    out << '\n';
    return loaded ? 0 : 1;
}

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto isFormat = [](const std::string& a) { return a == "--csv" || a == "--json"; };
    if (args.size() < 2 || !isFormat(args[0]) || isFormat(args[1]))
        return usage(err, "export --csv|--json FILE..."), 2;
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files =
        importAll(std::vector<std::string>(args.begin() + 1, args.end()), database);
    if (!allLoaded(files, err, "export"))
        return 1;
    const auto& records = database.records();
    if (args[0] == "--json") {
        json::Json document = json::document("export");
        document["records"] = recordsJson(database);
        writeJson(document, out, err, "export");
        return 0;
    }
    // The same columns for every file: the tasks share one cell, a line each.
    out << "file,row,name";
    for (const ScoreField& score : kScoreFields)
        out << ',' << score.name;
    for (const SystemField& system : kSystemFields)
        out << ',' << system.name;
    out << ",tasks\r\n";
    for (const BenchmarkRecord& record : records) {
        out << csvField(record.fileName) << ',' << record.RowNumber << ','
            << csvField(record.name.value_or(""));
        for (const auto& value : record.scores) // a benchmark that did not run is empty
            out << ',' << csvField(comparison::notRun(value) ? "" : value.value_or(""));
        for (const auto& value : record.system)
            out << ',' << csvField(value.value_or(""));
        std::string tasks;
        for (std::size_t i = 0; i < record.tasks.size(); ++i)
            tasks += (i ? "\n" : "") + record.tasks[i];
        out << ',' << csvField(tasks) << "\r\n";
    }
    return 0;
}

} // namespace vexo
