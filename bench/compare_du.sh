#!/bin/bash
# Times directorySize against GNU du -sb over the generated fake Mac, on one
# core and on all cores, with a warm cache. Builds nothing.
#
# Usage: bench/compare_du.sh <path to bench_engine> [runs]
set -euo pipefail

bench=${1:?usage: compare_du.sh <path to bench_engine> [runs]}
runs=${2:-5}
[ -x "$bench" ] || { echo "not an executable: $bench" >&2; exit 1; }

info=$("$bench" --tree-info)
field() { sed -n "s/^$1=//p" <<<"$info"; }
root=$(field root)
files=$(field files)
folders=$(field folders)
bytes=$(field bytes)
cores=$(nproc)
all="0-$((cores - 1))"

# Median wall time of du -sb in milliseconds on the given cores.
du_ms() {
    local cpus=$1 i start end
    taskset -c "$cpus" du -sb "$root" >/dev/null
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        taskset -c "$cpus" du -sb "$root" >/dev/null
        end=$(date +%s%N)
        echo $(((end - start) / 1000))
    done | sort -n | sed -n "$(((runs + 1) / 2))p" | awk '{ printf "%.3f", $1 / 1000 }'
}

ours_ms() {
    taskset -c "$1" "$bench" --time-size "$runs"
}

du_one=$(du_ms 0)
ours_one=$(ours_ms 0)
du_all=$(du_ms "$all")
ours_all=$(ours_ms "$all")

echo "tree: $root"
echo "      $files files, $folders folders, $bytes bytes"
echo "cores: $cores (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
echo "runs: $runs, median, warm cache"
awk -v d1="$du_one" -v o1="$ours_one" -v da="$du_all" -v oa="$ours_all" -v n="$cores" 'BEGIN {
    printf "one core:   du -sb %9.1f ms   directorySize %9.1f ms   ratio %.2f\n", d1, o1, o1 / d1
    printf "%2d cores:   du -sb %9.1f ms   directorySize %9.1f ms   ratio %.2f\n", n, da, oa, oa / da
}'
