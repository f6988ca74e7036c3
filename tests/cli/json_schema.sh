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
valid export '[.records[].row] == [1, 2, 3]' \
    -- export --json "$fixtures/last benchmark.vgf" "$fixtures/playlist.vgf"
valid compare '.scores[0].groups[0].count >= 1 and .scores[0].groups[0].interval == null
    and (.scores[0].groups[1].different | type == "null")' \
    -- compare --json "$fixtures/last benchmark.vgf" "$fixtures/playlist.vgf"

[ "$failures" -eq 0 ] || exit 1
echo "json schema: every command's output is valid"
