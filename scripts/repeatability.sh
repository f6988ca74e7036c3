#!/usr/bin/env bash
# repeatability.sh [RUNS] [BIN_DIR]: runs the CPU, FPU and application phases RUNS times in a
# row (default 5) with vexogauge-cli and prints, per score, the median, the lowest and highest
# value and the spread, (max - min) / median. Each run takes about four minutes.
set -euo pipefail
runs="${1:-5}"
bin="${2:-build/bin}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for k in $(seq 1 "$runs"); do
    echo "run $k of $runs ..." >&2
    "$bin/vexogauge-cli" run --cpu --fpu --spreadsheet --business --imaging \
        --name "Repeatability run $k" --out "$work/run$k.vgf" </dev/null >"$work/run$k.log"
done

"$bin/vexogauge-cli" export --csv "$work"/run*.vgf | awk -F, '
    NR == 1 { for (i = 4; i <= 11; ++i) key[i] = $i; next }
    { for (i = 4; i <= 11; ++i) value[i, NR - 1] = $i; n = NR - 1 }
    END {
        printf "%-7s %12s %12s %12s %8s\n", "score", "median", "lowest", "highest", "spread"
        for (i = 4; i <= 11; ++i) {
            if (key[i] == "BMDR3D") continue
            m = 0
            for (r = 1; r <= n; ++r) v[++m] = value[i, r] + 0
            for (a = 1; a <= m; ++a) for (b = a + 1; b <= m; ++b)
                if (v[b] < v[a]) { t = v[a]; v[a] = v[b]; v[b] = t }
            median = (m % 2) ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
            spread = median > 0 ? 100 * (v[m] - v[1]) / median : 0
            printf "%-7s %12d %12d %12d %7.1f%%\n", key[i], median, v[1], v[m], spread
        }
    }'
