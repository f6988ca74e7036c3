#include "Report.h"

#include "common/ScoreSet.h"
#include "common/SystemDescription.h"
#include "common/Text.h"
#include "results/Chart.h"

#include <algorithm>
#include <cmath>

namespace vexo::report {

namespace {

constexpr std::string_view kTitle = "VexoGAUGE 2002 benchmark report";
constexpr int kTrack = 1000; // the width of a bar's drawing

// Light and dark text on white both pass WCAG AA; bars and whiskers stand out by more than 3:1.
constexpr std::string_view kStyle = R"css(
:root { color-scheme: light; }
* { box-sizing: border-box; }
body { margin: 0; padding: 1rem; font-family: system-ui, "DejaVu Sans", "Noto Sans", sans-serif;
  color: #1b1b1b; background: #ffffff; line-height: 1.4; }
main, header { max-width: 72rem; margin: 0 auto; }
h1 { font-size: 1.5rem; margin: 0 0 .25rem; }
h2 { font-size: 1.2rem; margin: 1.5rem 0 .5rem; border-bottom: 2px solid #1f5a96; }
h3 { font-size: 1rem; margin: 0 0 .25rem; overflow-wrap: anywhere; }
.made, .unit, .file { color: #4a4a4a; }
.damaged, .notice { color: #8a1c1c; font-weight: bold; overflow-wrap: anywhere; }
figure.chart { margin: 0 0 1.25rem; padding: .5rem .75rem; border: 1px solid #b8b8b8;
  border-radius: 4px; break-inside: avoid; }
figcaption { font-weight: bold; margin-bottom: .25rem; }
.row { display: grid; grid-template-columns: minmax(0, 16rem) minmax(0, 1fr) minmax(0, 16rem);
  gap: .5rem; align-items: center; padding: .15rem 0; }
.label, .value { overflow-wrap: anywhere; min-width: 0; }
.label { text-align: right; }
.track { min-width: 0; }
.track svg { display: block; width: 100%; height: 1.25rem; }
.bar { fill: #1f5a96; }
.baseline .bar { fill: #9a4a00; }
.whisker { stroke: #111111; stroke-width: 2; vector-effect: non-scaling-stroke; }
.reference { stroke: #9a4a00; stroke-width: 2; stroke-dasharray: 4 3;
  vector-effect: non-scaling-stroke; }
.cards { display: grid; grid-template-columns: repeat(auto-fit, minmax(16rem, 1fr)); gap: .75rem; }
.card { border: 1px solid #b8b8b8; border-radius: 4px; padding: .5rem .75rem; min-width: 0;
  break-inside: avoid; }
dl { display: grid; grid-template-columns: auto minmax(0, 1fr); gap: .1rem .75rem;
  margin: .5rem 0; }
dt { color: #4a4a4a; }
dd { margin: 0; overflow-wrap: anywhere; }
details { margin-top: .25rem; }
li { overflow-wrap: anywhere; }
@media (max-width: 40rem) {
  body { padding: .5rem; }
  .row { grid-template-columns: minmax(0, 1fr); gap: .1rem; padding: .3rem 0; }
  .label { text-align: left; font-weight: bold; }
}
@media print {
  body { padding: 0; font-size: 10pt; }
  h2 { break-after: avoid; }
  .row { grid-template-columns: minmax(0, 12rem) minmax(0, 1fr) minmax(0, 12rem); }
  .bar, .baseline .bar { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
}
)css";

std::string percentText(double percent) {
    return decimalText(percent, 1) + " %";
}

// The length of a character at text[at] that a page cannot show, or 0: a control character
// (tab and line feed aside), DEL, or a C1 control (U+0080 to U+009F, what the bytes a code page
// leaves undefined decode to).
std::size_t unshowableAt(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
        return 1;
    const bool c1 = c == 0xC2 && at + 1 < text.size() &&
                    (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0x80;
    return c1 ? 2 : 0;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD, what stands for them

// How many such characters the texts of the records hold.
std::size_t unshowableCharacters(const std::vector<const BenchmarkRecord*>& records) {
    std::size_t count = 0;
    const auto add = [&count](std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (const std::size_t length = unshowableAt(text, i)) {
                ++count;
                i += length - 1;
            }
        }
    };
    for (const BenchmarkRecord* record : records) {
        add(record->fileName);
        add(record->name.value_or(""));
        for (const auto& value : record->scores)
            add(value.value_or(""));
        for (const std::string& task : record->tasks)
            add(task);
        for (const auto& value : record->system)
            add(value.value_or(""));
    }
    return count;
}

// The Direct3D settings a cell carries after its score, "(1024x768@32 Bit /w High textures)".
std::string direct3DSettings(const comparison::ChartBar& bar) {
    for (const BenchmarkRecord* record : bar.records) {
        const std::string cell = record->scores[kDirect3DScore].value_or("");
        const std::size_t open = cell.find('(');
        if (open != std::string::npos)
            return cell.substr(open);
    }
    return {};
}

void appendChart(std::string& page, const comparison::Chart& chart, std::size_t score) {
    const ScoreField& field = kScoreFields[score];
    const std::string name(field.name);
    const comparison::ScoreChart scores = chart.score(score);
    auto x = [&](double value) {
        return scores.largest > 0 ? static_cast<long>(std::lround(kTrack * value / scores.largest))
                                  : 0L;
    };
    const bool direct3D = score == kDirect3DScore;
    page += "<figure class=\"chart\" id=\"chart-" + name + "\" data-score=\"" + name + "\">\n";
    page += "<figcaption>" + escapeHtml(field.label) + " <span class=\"unit\">(" +
            std::string(field.unit) + ")</span></figcaption>\n";
    for (std::size_t i = 0; i < chart.bars().size(); ++i) {
        const comparison::ChartBar& bar = chart.bars()[i];
        const comparison::BarScore& shown = scores.bars[i];
        const comparison::Summary& s = shown.summary;
        const bool isBaseline = chart.baseline() == i;
        const bool grouped = bar.records.size() > 1;
        const std::string leftOut = comparison::leftOutText(shown.leftOut);
        std::string value = s.count > 0       ? s.medianText
                            : leftOut.empty() ? std::string("no score")
                                              : leftOut;
        if (s.count > 0 && direct3D) {
            value += " fps";
            if (const std::string settings = direct3DSettings(bar); !settings.empty())
                value += " " + settings;
        }
        if (grouped && s.count > 1)
            value += ", " + s.lowestText + " to " + s.highestText;
        if (shown.percent)
            value += ", " + percentText(*shown.percent);
        if (shown.test)
            value += "; " + comparison::verdictText(*shown.test);
        if (isBaseline)
            value += " (baseline)";
        if (s.count > 0 && !leftOut.empty())
            value += "; " + leftOut;

        page += "<div class=\"row" + std::string(isBaseline ? " baseline" : "") + "\" data-bar=\"" +
                escapeHtml(bar.label) + "\">";
        page += "<div class=\"label\">" + escapeHtml(bar.label) + "</div>";
        page += "<div class=\"track\"><svg viewBox=\"0 0 " + std::to_string(kTrack) +
                " 20\" preserveAspectRatio=\"none\" role=\"img\" aria-label=\"" +
                escapeHtml(bar.label + ": " + value) + "\">";
        if (s.count > 0)
            page += "<rect class=\"bar\" x=\"0\" y=\"3\" width=\"" +
                    std::to_string(std::max(2L, x(s.median))) + "\" height=\"14\"/>";
        if (grouped && s.count > 1) {
            const std::string low = std::to_string(x(s.lowest));
            const std::string high = std::to_string(x(s.highest));
            page += "<line class=\"whisker\" x1=\"" + low + "\" y1=\"10\" x2=\"" + high +
                    "\" y2=\"10\"/><line class=\"whisker\" x1=\"" + low + "\" y1=\"4\" x2=\"" +
                    low + "\" y2=\"16\"/><line class=\"whisker\" x1=\"" + high +
                    "\" y1=\"4\" x2=\"" + high + "\" y2=\"16\"/>";
        }
        if (scores.baselineMedian) {
            const std::string at = std::to_string(x(*scores.baselineMedian));
            page += "<line class=\"reference\" x1=\"" + at + "\" y1=\"0\" x2=\"" + at +
                    "\" y2=\"20\"/>";
        }
        page += "</svg></div>";
        page += "<div class=\"value\">" + escapeHtml(value) + "</div></div>\n";
    }
    if (chart.bars().empty())
        page += "<p>No records.</p>\n";
    page += "</figure>\n";
}

void appendSystems(std::string& page, const std::vector<const BenchmarkRecord*>& records) {
    page += "<div class=\"cards\">\n";
    for (const BenchmarkRecord* record : records) {
        page += "<article class=\"card\" data-record=\"" + std::to_string(record->RowNumber) +
                "\"><h3>" + std::to_string(record->RowNumber) + ". " +
                escapeHtml(record->name.value_or("")) + "</h3><div class=\"file\">" +
                escapeHtml(record->fileName) + "</div><dl>";
        for (const std::size_t shown : kShownSystemOrder)
            page += "<dt>" + escapeHtml(kSystemFields[shown].column) + "</dt><dd>" +
                    escapeHtml(record->system[shown].value_or("")) + "</dd>";
        page += "</dl><details><summary>Tasks (" + std::to_string(record->tasks.size()) +
                ")</summary><ol>";
        for (const std::string& task : record->tasks)
            page += "<li>" + escapeHtml(task) + "</li>";
        page += "</ol></details></article>\n";
    }
    page += "</div>\n";
}

} // namespace

std::string madeAtText(std::time_t when) {
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&when, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (const char* entity = htmlEntity(c)) {
            out += entity;
        } else if (c == '\'') {
            out += "&#39;";
        } else if (const std::size_t length = unshowableAt(text, i)) {
            out += kReplacement; // a page would hide it, or refuse to show it
            i += length - 1;
        } else {
            out += c;
        }
    }
    return out;
}

std::string reportPage(const std::vector<const BenchmarkRecord*>& given,
                       const ReportOptions& options) {
    // A run given more than once counts once; the baseline may be named by any of its copies.
    std::optional<std::size_t> baseline;
    for (std::size_t i = 0; i < given.size() && options.baselineRow && !baseline; ++i) {
        if (given[i]->RowNumber == *options.baselineRow)
            baseline = i;
    }
    const comparison::Chart chart(given, comparison::Grouping::RepeatedRuns, baseline);
    const std::vector<const BenchmarkRecord*>& records = chart.records();
    std::string page;
    // The page's own policy forbids every fetch and script, whatever a text in it may hold: only
    // its inline style applies.
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
            "style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'\"/>\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
            "<title>";
    page += kTitle;
    page += "</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<header><h1>";
    page += kTitle;
    page += "</h1><p class=\"made\">Made " + escapeHtml(options.madeAt) + " from " +
            std::to_string(given.size()) + " record(s)";
    if (chart.duplicates() > 0)
        page += "; " + comparison::duplicatesText(chart.duplicates());
    if (chart.baseline())
        page += "; percentages are of " + escapeHtml(chart.bars()[*chart.baseline()].label);
    page += ".</p>";
    for (const std::string& file : options.notReadWhole)
        page += "<p class=\"damaged\">Not read whole: " + escapeHtml(file) + "</p>";
    if (const std::size_t unshowable = unshowableCharacters(records))
        page += "<p class=\"notice\">" + std::to_string(unshowable) +
                " control character(s) in the records' texts cannot be shown on a page; each "
                "stands as " +
                std::string(kReplacement) + ".</p>";
    page += "</header>\n<main>\n<section id=\"scores\"><h2>Scores</h2>\n";
    for (std::size_t score = 0; score < kScoreFields.size(); ++score)
        appendChart(page, chart, score);
    page += "</section>\n<section id=\"systems\"><h2>Systems and tasks</h2>\n";
    appendSystems(page, records);
    page += "</section>\n</main>\n</body>\n</html>\n";
    return page;
}

} // namespace vexo::report
