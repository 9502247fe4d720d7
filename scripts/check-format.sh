#!/usr/bin/env bash
# Lists every C++ file of the tree that differs from .clang-format, and fails when there is one.
#   scripts/check-format.sh         checks the sources (src, tools, tests, bench)
#   scripts/check-format.sh --fix   formats them in place instead
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing (scripts/bootstrap.sh --no-build installs it)" >&2; exit 1; }
mapfile -t files < <(find src tools tests bench -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
if [[ ${1:-} == --fix ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
bad=()
for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
    echo "check-format: these files differ from .clang-format (scripts/check-format.sh --fix formats them):" >&2
    printf '    %s\n' "${bad[@]}" >&2
    exit 1
fi
