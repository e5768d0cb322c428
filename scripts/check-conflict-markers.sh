#!/usr/bin/env bash
# Fails when a tracked file holds a line left by an unfinished merge: "<<<<<<< ", "||||||| " or
# ">>>>>>> " at the start of a line, or a line of exactly seven "=" in a file that also holds one
# of those (a lone "=======" may underline a Markdown heading).
set -euo pipefail
cd "$(dirname "$0")/.."

found=0
while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue
    grep -Iq . "$file" 2>/dev/null || continue # binary or empty
    if grep -nE '^(<{7}|\|{7}|>{7})( |$)' "$file" >/dev/null; then
        grep -nE '^(<{7}|\|{7}|>{7})( |$)|^={7}$' "$file" | sed "s|^|$file:|" >&2
        found=1
    fi
done < <(git ls-files -z)

if [ "$found" -ne 0 ]; then
    echo "merge-conflict markers found (above): finish the merge before testing" >&2
    exit 1
fi
