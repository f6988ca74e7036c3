#!/usr/bin/env bash
# check-report.sh BIN_DIR OUT_DIR: makes a report of the test fixtures with vexogauge-cli and
# opens it in headless Chromium at 1280 and 360 pixels wide. Each width must show all eight
# charts, none of them empty, with no horizontal overflow of the page. The screenshots are left
# in OUT_DIR (report-1280.png, report-360.png) to be looked at.
set -euo pipefail
bin="$1"
out="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

browser="$(command -v chromium || command -v chromium-browser || true)"
[ -n "$browser" ] || { echo "check-report: chromium is not installed" >&2; exit 1; }
fixtures="$root/tests/data/benchfiles"
"$bin/vexogauge-cli" report -o "$out/report.html" --baseline 1 \
    "$fixtures/last benchmark.vgf" "$fixtures/playlist.vgf"

# The checks run in a copy of the page with a script added, and without the page's policy,
# which forbids scripts; the report itself has none.
probe='<script>
(() => {
  const page = document.documentElement;
  const charts = [...document.querySelectorAll("figure.chart")];
  const hidden = charts.filter(c => {
    const r = c.getBoundingClientRect();
    return r.width < 100 || r.height < 20 || getComputedStyle(c).visibility !== "visible";
  });
  const thin = [...document.querySelectorAll("figure.chart svg")]
    .filter(s => s.getBoundingClientRect().width < 100);
  const wide = [...document.body.querySelectorAll("*")]
    .filter(e => e.getBoundingClientRect().right > page.clientWidth + 1);
  document.body.setAttribute("data-check",
    `charts=${charts.length} hidden=${hidden.length} thin=${thin.length} ` +
    `overflow=${page.scrollWidth > page.clientWidth} wide=${wide.length}`);
})();
</script>'
failures=0
for width in 1280 360; do
    copy="$work/check-$width.html"
    sed -e '/Content-Security-Policy/d' -e "s#</body>#${probe//$'\n'/ }</body>#" \
        "$out/report.html" >"$copy"
    flags=(--headless --no-sandbox --disable-gpu --hide-scrollbars --no-first-run
           --user-data-dir="$work/profile" --window-size="$width,900")
    result="$("$browser" "${flags[@]}" --dump-dom "file://$copy" 2>/dev/null |
        grep -o 'data-check="[^"]*"' || true)"
    echo "report at $width px: ${result:-no result}"
    if [ "$result" != 'data-check="charts=8 hidden=0 thin=0 overflow=false wide=0"' ]; then
        failures=$((failures + 1))
    fi
    "$browser" "${flags[@]/--window-size=$width,900/--window-size=$width,2600}" \
        --screenshot="$out/report-$width.png" "file://$out/report.html" >/dev/null 2>&1 || true
done
[ "$failures" -eq 0 ] || { echo "check-report: the report does not fit its page" >&2; exit 1; }

# With its policy, the page runs no script, not even one put into it.
sed "s#</body>#${probe//$'\n'/ }</body>#" "$out/report.html" >"$work/policy.html"
if "$browser" --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
    --dump-dom "file://$work/policy.html" 2>/dev/null | grep -q 'data-check='; then
    echo "check-report: a script put into the page ran despite its policy" >&2
    exit 1
fi
echo "report: its policy forbids scripts"
