#include "FileCommands.h"

#include "benchfile/BenchmarkFile.h"
#include "benchfile/ImportNotice.h"
#include "cli/Json.h"
#include "common/FileIo.h"
#include "common/ScoreSet.h"
#include "common/SystemDescription.h"
#include "common/Text.h"
#include "report/Report.h"
#include "results/Chart.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo {

namespace {

using benchfile::ImportResult;

// Why a file was not read whole, and for a damaged one what was kept of it.
std::string notLoaded(const ImportResult& result) {
    return benchfile::whatWasRead(result);
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

void sayIfReplaced(bool replaced, std::ostream& err, const char* command) {
    if (replaced)
        err << "vexogauge-cli " << command
            << ": a file name is not UTF-8; its undecodable bytes are written as U+FFFD\n";
}

// Writes a JSON document; says on standard error when a file name was not UTF-8.
void writeJson(const json::Json& document, std::ostream& out, std::ostream& err,
               const char* command) {
    bool replaced = false;
    out << json::text(document, &replaced);
    sayIfReplaced(replaced, err, command);
}

// Writes a document of the database's records one record at a time: however many a file
// holds, the output takes no more memory than one of them. A failed output ends it early.
void writeRecordsJson(json::Json head, const BenchmarkDatabase& database, std::ostream& out,
                      std::ostream& err, const char* command) {
    json::ArrayWriter records(out, head, "records");
    for (const BenchmarkRecord& record : database.records()) {
        if (!out)
            return;
        records.add(json::record(record));
    }
    sayIfReplaced(records.finish(), err, command);
}

void dumpJson(const std::vector<LoadedFile>& files, const BenchmarkDatabase& database,
              std::ostream& out, std::ostream& err) {
    json::Json head = json::document("dump");
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
    head["files"] = std::move(list);
    writeRecordsJson(std::move(head), database, out, err, "dump");
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

// The keys every writer writes that a record lacks, one bit each: the name, the scores, the
// system values.
std::uint32_t missingKeys(const BenchmarkRecord& record) {
    std::uint32_t missing = record.name ? 0 : 1;
    for (std::size_t i = 0; i < record.scores.size(); ++i)
        missing |= record.scores[i] ? 0 : 2u << i;
    for (std::size_t i = 0; i < record.system.size(); ++i)
        missing |= record.system[i] ? 0 : 2u << (record.scores.size() + i);
    return missing;
}

std::string keyNames(std::uint32_t keys) {
    std::string names = keys & 1 ? "its name" : "";
    const auto add = [&names](std::string_view key) {
        names += (names.empty() ? "" : ", ") + std::string(key);
    };
    for (std::size_t i = 0; i < kScoreFields.size(); ++i)
        if (keys & (2u << i))
            add(kScoreFields[i].key);
    for (std::size_t i = 0; i < kSystemFields.size(); ++i)
        if (keys & (2u << (kScoreFields.size() + i)))
            add(kSystemFields[i].key);
    return names;
}

// What the records of a file lack, said once for each set of keys lacked: the records that
// lack the same keys are counted together and the first few of them named, so that the text
// stays short however many records a file holds. Empty when nothing is lacked.
std::string missingSummary(const BenchmarkDatabase& database) {
    constexpr std::size_t kSets = 4;  // sets of keys named; the rest are counted
    constexpr std::size_t kNamed = 3; // records named per set
    struct Lacking {
        std::uint32_t keys;
        std::size_t count = 0;
        std::vector<int> rows;
    };
    std::vector<Lacking> sets;
    std::size_t others = 0;
    for (const BenchmarkRecord& record : database.records()) {
        const std::uint32_t keys = missingKeys(record);
        if (keys == 0)
            continue;
        auto set = std::find_if(sets.begin(), sets.end(),
                                [keys](const Lacking& s) { return s.keys == keys; });
        if (set == sets.end() && sets.size() == kSets) {
            ++others;
            continue;
        }
        if (set == sets.end())
            set = sets.insert(sets.end(), {keys, 0, {}});
        if (++set->count <= kNamed)
            set->rows.push_back(record.RowNumber);
    }
    std::string text;
    for (const Lacking& set : sets) {
        std::string rows = std::to_string(set.rows.front());
        for (std::size_t i = 1; i < set.rows.size(); ++i)
            rows += (i + 1 == set.count ? " and " : ", ") + std::to_string(set.rows[i]);
        if (set.count > set.rows.size())
            rows += " and " + std::to_string(set.count - set.rows.size()) + " more";
        text += set.count == 1 ? "; record " + rows + " lacks " : "; records " + rows + " lack ";
        text += keyNames(set.keys);
    }
    if (others > 0)
        text += "; " + std::to_string(others) + " more record(s) lack other keys";
    return text;
}

// The scores that some record holds, compared across the chart's groups; a score whose texts
// were all left out is among them, to say why.
std::vector<comparison::ScoreChart> compareScores(const comparison::Chart& chart) {
    std::vector<comparison::ScoreChart> scores;
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        comparison::ScoreChart score = chart.score(i);
        if (score.holdsAnything())
            scores.push_back(std::move(score));
    }
    return scores;
}

std::string number(double value, int decimals) {
    return decimalText(value, decimals);
}

// A statistic as a JSON number with every digit its text has.
json::Json exactNumber(const std::string& text, double value) {
    std::int64_t whole = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (error == std::errc() && end == text.data() + text.size())
        return whole;
    return value;
}

void compareText(const comparison::Chart& chart, const std::vector<comparison::ScoreChart>& scores,
                 std::ostream& out) {
    const std::vector<comparison::ChartBar>& groups = chart.bars();
    out << "Groups (the first is the baseline):\n";
    for (std::size_t g = 0; g < groups.size(); ++g)
        out << "  " << g + 1 << ". " << terminalText(groups[g].name) << ": "
            << groups[g].records.size() << " record(s)\n";
    if (chart.duplicates() > 0)
        out << comparison::duplicatesText(chart.duplicates()) << '\n';
    for (const comparison::ScoreChart& score : scores) {
        const ScoreField& field = kScoreFields[score.score];
        out << '\n' << field.label << " (" << field.name << ")\n";
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const comparison::Summary& s = score.bars[g].summary;
            const std::string leftOut = comparison::leftOutText(score.bars[g].leftOut);
            out << "  " << g + 1 << ". ";
            if (s.count == 0) {
                out << "no score" << (leftOut.empty() ? "" : ": ") << terminalText(leftOut) << '\n';
                continue;
            }
            out << "median " << s.medianText << " (" << s.lowestText << " to " << s.highestText
                << ", spread " << number(100 * s.spread(), 1) << " %)";
            if (g > 0 && score.bars.front().summary.count > 0) {
                const comparison::RatioTest& test = *score.bars[g].test;
                if (test.ratio)
                    out << ", " << number(100 * *test.ratio, 1) << " % of the baseline";
                out << "; " << comparison::verdictText(test);
            }
            if (!leftOut.empty())
                out << "; " << terminalText(leftOut);
            out << '\n';
        }
    }
}

void compareJson(const comparison::Chart& chart, const std::vector<comparison::ScoreChart>& scores,
                 std::ostream& out, std::ostream& err) {
    json::Json document = json::document("compare");
    document["duplicates_left_out"] = chart.duplicates();
    json::Json groupList = json::Json::array();
    for (const comparison::ChartBar& group : chart.bars())
        groupList.push_back({{"name", group.name}, {"records", group.records.size()}});
    document["groups"] = std::move(groupList);
    json::Json scoreList = json::Json::array();
    for (const comparison::ScoreChart& score : scores) {
        json::Json summaries = json::Json::array();
        for (std::size_t g = 0; g < score.bars.size(); ++g) {
            const comparison::Summary& s = score.bars[g].summary;
            const comparison::RatioTest& test = *score.bars[g].test;
            json::Json summary = {{"count", s.count}};
            if (s.count > 0) {
                summary["median"] = exactNumber(s.medianText, s.median);
                summary["lowest"] = exactNumber(s.lowestText, s.lowest);
                summary["highest"] = exactNumber(s.highestText, s.highest);
                summary["spread"] = s.spread();
            }
            const comparison::LeftOut& leftOut = score.bars[g].leftOut;
            summary["left_out"] = leftOut.count;
            summary["left_out_reason"] = leftOut.count > 0
                                             ? json::Json(comparison::leftOutText(leftOut))
                                             : json::Json(nullptr);
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
        const ScoreField& field = kScoreFields[score.score];
        scoreList.push_back({{"score", std::string(field.name)},
                             {"label", std::string(field.label)},
                             {"unit", std::string(field.unit)},
                             {"groups", std::move(summaries)}});
    }
    document["scores"] = std::move(scoreList);
    writeJson(document, out, err, "compare");
}

// The stream for what the command says of its work: standard error when the output itself
// goes to standard output, where the words would end up inside it.
std::ostream& besideOutput(const SaveTarget& target, std::ostream& out, std::ostream& err) {
    return target.descriptor() == STDOUT_FILENO ? err : out;
}

// What saving to the target would replace that the person did not give to be read: an
// existing regular file that is not one of the inputs. Empty when nothing.
std::string replacedFile(const SaveTarget& target, const std::vector<std::string>& inputs) {
    struct stat existing {};
    if (target.writesThrough() || ::stat(target.path().c_str(), &existing) != 0 ||
        !S_ISREG(existing.st_mode))
        return {};
    for (const std::string& input : inputs) {
        struct stat read {};
        if (::stat(input.c_str(), &read) == 0 && read.st_dev == existing.st_dev &&
            read.st_ino == existing.st_ino)
            return {};
    }
    BenchmarkDatabase held;
    const ImportResult result = benchfile::Import_Saved_Benchmark(target.path(), held);
    if (result.outcome == ImportResult::Outcome::InvalidHeader ||
        result.outcome == ImportResult::Outcome::Unreadable)
        return "it (" + std::to_string(existing.st_size) + " bytes, not a benchmark file)";
    return "its " + std::to_string(held.size()) + " record(s)";
}

// Finishes the line that says what would be replaced: asks the person on a terminal, or
// refuses. True when the person answered yes.
bool confirmed(std::istream* question, std::ostream& err) {
    if (question == nullptr) {
        err << '\n';
        return false;
    }
    err << ". Replace it? [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(*question, answer)) {
        err << '\n'; // the input ended: the line is ended here
        return false;
    }
    return !answer.empty() && (answer.front() == 'y' || answer.front() == 'Y');
}

// Says how the command is used; the status of a command line that was not understood.
int usage(std::ostream& err, const char* text) {
    err << "usage: vexogauge-cli " << text << '\n';
    return 2;
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
        return usage(err, "dump [--json] FILE...");
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
        return usage(err, "check FILE...");
    int status = 0;
    for (const std::string& path : args) {
        BenchmarkDatabase database;
        const ImportResult result = benchfile::Import_Saved_Benchmark(path, database);
        if (result.outcome != ImportResult::Outcome::Loaded) {
            out << terminalText(path) << ": " << terminalText(notLoaded(result)) << '\n';
            status = 1;
            continue;
        }
        const std::string problems = missingSummary(database);
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

int mergeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 std::istream* question) {
    const bool force = !args.empty() && args[0] == "--force";
    const std::vector<std::string> operands(args.begin() + (force ? 1 : 0), args.end());
    if (operands.size() < 2)
        return usage(err, "merge [--force] OUT FILE...");
    const std::string& output = operands[0];
    const std::vector<std::string> inputs(operands.begin() + 1, operands.end());
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files = importAll(inputs, database);
    if (!allLoaded(files, err, "merge")) {
        err << "vexogauge-cli merge: nothing was written\n";
        return 1;
    }
    SaveTarget target(output);
    if (!target.check()) {
        err << "vexogauge-cli merge: " << terminalText(target.check().message()) << '\n';
        return 1;
    }
    if (const std::string replaced = force ? std::string() : replacedFile(target, inputs);
        !replaced.empty()) {
        err << "vexogauge-cli merge: " << terminalText(output) << " exists and is not among the "
            << "files merged: saving would replace " << replaced;
        if (!confirmed(question, err)) {
            err << "vexogauge-cli merge: nothing was written; give --force to replace it, or "
                   "name it among the files to keep its records\n";
            return 1;
        }
    }
    out.flush(); // what was written before goes first where the output is standard output
    if (const Status saved = target.save(
            benchfile::benchmarkFileBytes(benchfile::exportPayload(benchfile::inOrder(database))));
        !saved) {
        err << "vexogauge-cli merge: " << terminalText(saved.message()) << '\n';
        return 1;
    }
    besideOutput(target, out, err)
        << "Saved " << database.size() << " record(s) from " << files.size() << " file(s) to "
        << terminalText(output) << '\n';
    return 0;
}

int compareCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool json = !args.empty() && args[0] == "--json";
    const std::vector<std::string> paths(args.begin() + (json ? 1 : 0), args.end());
    if (paths.empty())
        return usage(err, "compare [--json] FILE...");
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files = importAll(paths, database);
    const bool loaded = allLoaded(files, err, "compare");
    // The first group is the baseline.
    const comparison::Chart chart(benchfile::inOrder(database), comparison::Grouping::Names, 0);
    const std::vector<comparison::ScoreChart> scores = compareScores(chart);
    if (json)
        compareJson(chart, scores, out, err);
    else if (chart.bars().empty())
        out << "No records to compare.\n";
    else
        compareText(chart, scores, out);
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
        return usage(err, "report -o OUT [--baseline N] FILE...");
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files = importAll(paths, database);
    // As the result browser does, a damaged file's readable records are kept, and the page and
    // the terminal say which file was not read whole.
    const bool loaded = allLoaded(files, err, "report");
    report::ReportOptions options{baseline, madeAt, {}};
    for (const LoadedFile& file : files) {
        if (!file.result.loaded())
            options.notReadWhole.push_back(benchfile::notReadWholeNotice(file.path, file.result));
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
    SaveTarget target(*output);
    if (!target.check()) {
        err << "vexogauge-cli report: " << terminalText(target.check().message()) << '\n';
        return 1;
    }
    const std::vector<const BenchmarkRecord*> records = benchfile::inOrder(database);
    const std::string page = report::reportPage(records, options);
    out.flush(); // what was written before goes first where the output is standard output
    if (const Status saved = target.save(page); !saved) {
        err << "vexogauge-cli report: " << terminalText(saved.message()) << '\n';
        return 1;
    }
    std::ostream& said = besideOutput(target, out, err);
    said << "Wrote a report of " << database.size() << " record(s) from " << files.size()
         << " file(s) to " << terminalText(*output);
    if (!loaded)
        said << "; " << options.notReadWhole.size() << " file(s) not read whole";
    if (const std::size_t duplicates = comparison::withoutDuplicates(records).duplicates)
        said << "; " << comparison::duplicatesText(duplicates);
    said << '\n';
    return loaded ? 0 : 1;
}

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto isFormat = [](const std::string& a) { return a == "--csv" || a == "--json"; };
    if (args.size() < 2 || !isFormat(args[0]) || isFormat(args[1]))
        return usage(err, "export --csv|--json FILE...");
    BenchmarkDatabase database;
    const std::vector<LoadedFile> files =
        importAll(std::vector<std::string>(args.begin() + 1, args.end()), database);
    if (!allLoaded(files, err, "export"))
        return 1;
    const auto& records = database.records();
    if (args[0] == "--json") {
        writeRecordsJson(json::document("export"), database, out, err, "export");
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
        if (!out)
            break; // the output failed: the rest cannot reach it
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
