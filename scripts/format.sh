#!/usr/bin/env bash
# Formats every C++ file of the project with .clang-format; with --check, changes nothing and
# fails naming each file that does not match it.
set -euo pipefail
cd "$(dirname "$0")/.."
format="$(command -v clang-format-14 || command -v clang-format || true)"
[ -n "$format" ] || { echo "clang-format is not installed" >&2; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz data -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = --check ]; then
    unformatted=()
    for file in "${files[@]}"; do
        "$format" --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
    done
    [ ${#unformatted[@]} -eq 0 ] && exit 0
    echo "Not formatted as .clang-format says (scripts/format.sh formats them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
"$format" -i "${files[@]}"
