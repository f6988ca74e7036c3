#pragma once

#include "benchfile/BenchmarkDatabase.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo::report {

struct ReportOptions {
    // The number ("#") of the record whose bar (or whose repeated run's bar) is drawn as 100 %.
    std::optional<int> baselineRow;
    // When the report was made, as it is to be shown.
    std::string madeAt;
    // Files not read whole, each "name: why and what was kept", said at the top of the page.
    std::vector<std::string> notReadWhole;
};

// A self-contained HTML page (inline CSS and SVG, no script, nothing fetched) of the records in
// the order given: one bar chart per score, the records of a repeated run as one bar at their
// median with a lowest-to-highest whisker, the percentage of the baseline where one is chosen
// (with the interval of the ratio where runs of a group are compared), and each record's
// system description and task list. Every text is escaped.
std::string reportPage(const std::vector<const BenchmarkRecord*>& records,
                       const ReportOptions& options);

// When a report was made, as its page says it: the local date and time to the minute,
// "2026-12-07 13:45".
std::string madeAtText(std::time_t when);

// Text for HTML content and attribute values.
std::string escapeHtml(std::string_view text);

} // namespace vexo::report
