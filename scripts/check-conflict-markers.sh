#!/usr/bin/env bash
# Fails when a tracked file holds a line left by an unfinished merge: "<<<<<<< ", "||||||| " or
# ">>>>>>> " at the start of a line, or a line of exactly seven "=" in a file that also holds one
# of those (a lone "=======" may underline a Markdown heading).
# A check that cannot list the tracked files fails too: passing would claim a look never taken.
set -euo pipefail
cd "$(dirname "$0")/.."

cannot_look() {
    echo "check-conflict-markers: $1: cannot check for merge-conflict markers" >&2
    exit 2
}

command -v git >/dev/null 2>&1 || cannot_look "git is not installed"
git rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
    cannot_look "$(pwd) is not a git checkout"

# The list goes through a file: a failure inside a process substitution would go unnoticed.
list=$(mktemp)
trap 'rm -f "$list"' EXIT
git ls-files -z >"$list" || cannot_look "git ls-files failed"
[ -s "$list" ] || cannot_look "git lists no tracked files in $(pwd)"

found=0
while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue
    grep -Iq . "$file" 2>/dev/null || continue # binary or empty
    if grep -nE '^(<{7}|\|{7}|>{7})( |$)' "$file" >/dev/null; then
        grep -nE '^(<{7}|\|{7}|>{7})( |$)|^={7}$' "$file" | sed "s|^|$file:|" >&2
        found=1
    fi
done <"$list"

if [ "$found" -ne 0 ]; then
    echo "merge-conflict markers found (above): finish the merge before testing" >&2
    exit 1
fi
