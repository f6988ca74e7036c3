#pragma once

namespace vexo {

// Makes every Scores chart known to assistive tools as a table named by the score it shows,
// with one row per bar: the record's label and what the bar says (its score, range,
// percentage). Called by the chart; it installs itself once.
void installScoresChartAccessibility();

} // namespace vexo
