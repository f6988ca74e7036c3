#!/usr/bin/env bash
# json_schema.sh BIN_DIR: every command's JSON output is valid against
# docs/vexogauge-cli.schema.json, and typed as a script expects (checked with jq).
set -uo pipefail
cli="$1/vexogauge-cli"
root="$(cd "$(dirname "$0")/../.." && pwd)"
schema="$root/docs/vexogauge-cli.schema.json"
fixtures="$root/tests/data/benchfiles"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# valid NAME JQ_FILTER -- COMMAND...: the command's output passes the schema and the filter.
valid() {
    local name="$1" filter="$2"
    shift 3
    "$cli" "$@" >"$work/$name.json" 2>"$work/err"
    if ! python3 -c 'import json, sys, jsonschema
jsonschema.validate(json.load(open(sys.argv[2])), json.load(open(sys.argv[1])))' \
        "$schema" "$work/$name.json" 2>"$work/why"; then
        echo "FAILED: $name does not match the schema:" >&2
        tail -n 5 "$work/why" >&2
        failures=$((failures + 1))
    elif ! jq -e "$filter" "$work/$name.json" >/dev/null; then
        echo "FAILED: $name: jq '$filter' is not true" >&2
        failures=$((failures + 1))
    fi
}

valid sysinfo '.command == "sysinfo" and (.system.memory_total_mb | type == "number")
    and (.system.cpu_fpu | type == "boolean")' -- sysinfo --json
valid dump '.records[0].scores.direct3d == {"frames_per_second": 57, "resolution": "1024x768",
    "depth_bits": 32, "texture": "High"} and (.records[0].scores.cpu_cache_fsb | type == "number")
    and .files[0].outcome == "loaded"' -- dump --json "$fixtures/last benchmark.vgf"
valid dump-damaged '.files[0].outcome == "damaged" and .files[0].first_records_lost == false' \
    -- dump --json "$fixtures/truncated.vgf"
valid dump-no-line-end '.files[0].outcome == "damaged" and .files[0].records_read == 1
    and .records[0].name == "No line end"' -- dump --json "$fixtures/no line end.vgf"
# A benchmark that did not run (a score of 0) is null, as a value a record lacks.
valid export '[.records[].row] == [1, 2, 3] and .records[2].scores.cpu_ram_chipset == 4
    and ([.records[2].scores[]] | map(select(. == null)) | length) == 6' \
    -- export --json "$fixtures/last benchmark.vgf" "$fixtures/playlist.vgf"
valid compare '.scores[0].score == "cpu_cache_fsb" and .scores[0].groups[0].count >= 1
    and .scores[0].groups[0].interval == null
    and (.scores[0].groups[1].different | type == "null")' \
    -- compare --json "$fixtures/last benchmark.vgf" "$fixtures/playlist.vgf"
valid compare-twice '.duplicates_left_out == 2 and .scores[0].groups[0].left_out == 0
    and .scores[0].groups[0].left_out_reason == null' \
    -- compare --json "$fixtures/playlist.vgf" "$fixtures/playlist.vgf"

# One name per score in every output: the JSON's records, the CSV's columns, compare and the
# report's charts.
names="$(jq -r '.records[0].scores | keys_unsorted | join(",")' "$work/export.json")"
csv="$("$cli" export --csv "$fixtures/last benchmark.vgf" | head -n 1 | cut -d, -f4-11)"
compared="$(jq -r '[.scores[].score] | join(",")' "$work/compare.json")"
"$cli" report -o "$work/report.html" "$fixtures/last benchmark.vgf" >/dev/null
charts="$(grep -o 'data-score="[^"]*"' "$work/report.html" | cut -d'"' -f2 | paste -sd,)"
for other in "csv:$csv" "compare:$compared" "report:$charts"; do
    if [ "${other#*:}" != "$names" ]; then
        echo "FAILED: the score names of ${other%%:*} (${other#*:}) are not the JSON's ($names)" >&2
        failures=$((failures + 1))
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "json schema: every command's output is valid"
