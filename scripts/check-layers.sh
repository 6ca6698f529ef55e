#!/usr/bin/env bash
# Checks the #include "..." edges of the program's sources against the layer
# table in scripts/layers.txt, and that no two sources include each other
# (a source is a .h/.cpp pair). Prints every offending include and fails.
# usage: scripts/check-layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."

table=scripts/layers.txt
folders=$(sed -n '/^together:/d; s/^\([a-z]*\):.*/\1/p' "$table")
# shellcheck disable=SC2086 # one argument per folder
files=$(find $folders -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.h.in' \) | sort)

# shellcheck disable=SC2086
awk -v table="$table" '
    BEGIN {
        while ((getline line < table) > 0) {
            if (line ~ /^together:/) {
                n = split(substr(line, 10), pair, /[ \t]+/)
                m = 0
                for (i = 1; i <= n; i++) if (pair[i] != "") member[++m] = pair[i]
                for (i = 1; i <= m; i++) for (j = 1; j <= m; j++) together[member[i], member[j]] = 1
            } else if (line ~ /^[a-z]+:/) {
                folder = substr(line, 1, index(line, ":") - 1)
                known[folder] = 1
                n = split(substr(line, index(line, ":") + 1), allowed, /[ \t]+/)
                for (i = 1; i <= n; i++)
                    if (allowed[i] != "") may[folder, allowed[i]] = 1
            }
        }
        bad = 0
    }
    FNR == 1 { from = FILENAME; sub(/\.(cpp|h|h\.in)$/, "", from); fromFolder = FILENAME; sub(/\/.*/, "", fromFolder) }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
        path = $0; sub(/^[^"]*"/, "", path); sub(/".*/, "", path)
        if (path !~ /\//) next
        toFolder = path; sub(/\/.*/, "", toFolder)
        if (toFolder != fromFolder && !((fromFolder, toFolder) in may)) {
            printf "%s:%d: includes \"%s\": %s/ may not include %s/ (%s)\n", FILENAME, FNR, path, fromFolder, toFolder, table
            bad = 1
        }
        to = path; sub(/\.h$/, "", to)
        if (to != from && !((from, to) in together) && !((from, to) in edge)) { edge[from, to] = 1; out[from] = out[from] " " to }
    }
    # A depth-first walk from every source; a source met again on the path is a circle.
    function walk(node, trail,    n, next_, i) {
        if (state[node] == 2) return
        if (state[node] == 1) { printf "circle of includes: %s -> %s\n", trail, node; bad = 1; return }
        state[node] = 1
        n = split(out[node], next_, " ")
        for (i = 1; i <= n; i++) walk(next_[i], trail == "" ? node : trail " -> " node)
        state[node] = 2
    }
    END {
        for (node in out) walk(node, "")
        exit bad
    }
' $files || { echo "Includes break the layers of $table (see above)." >&2; exit 1; }
echo "layers: $(wc -l <<<"$files") sources, every include allowed, no circles"
