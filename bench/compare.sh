#!/usr/bin/env bash
# The lease search of this tree against another build of it, in one run on
# the same listings, turn about (the two builds take turns, so a machine
# that slows down slows both):
#   bash bench/compare.sh OTHER_LEASE_SEARCH [FILES LINES [RUNS]]
# OTHER_LEASE_SEARCH is another checkout's build/bench/bench/lease_search,
# made by its bench/run.sh. Prints the three listing shapes' medians and
# peak memory for both, and the whole lookup (with its checks for window
# events) of a search text found nowhere; it reports, it never fails on a
# time.
set -euo pipefail
cd "$(dirname "$0")/.."
other=$(realpath "$1")
files=${2:-8} lines=${3:-500000} runs=${4:-11}
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMACTOOLS_BENCH=ON -DMACTOOLS_TESTS=OFF >/dev/null
cmake --build build/bench --target lease_search generate_listings >/dev/null
this=build/bench/bench/lease_search
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/c/temp"
for every in 10000 100; do build/bench/bench/generate_listings "$root/c/bench$every" "$files" "$lines" "$every"; done
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

echo "| listing shape ($files x $lines lines, medians of $runs, turn about) | this tree: s, peak KiB | other build: s, peak KiB |"
echo "|---|---|---|"
for shape in "scan bench10000 00-1a-2b one line in 10,000" "scan bench100 00-1a-2b one line in 100" \
             "scan bench10000 '' every line (empty search text)" "lookup bench10000 zz-zz-zz whole lookup, found nowhere"; do
  read -r mode folder needle what <<<"$shape"
  [ "$needle" = "''" ] && needle=""
  cat "$root/c/$folder"/leases-*.txt >/dev/null
  a=() b=()
  for _ in $(seq "$runs"); do
    read -r s _ pa < <("$this" "$mode" "$root" "c:\\$folder\\list.txt" "$needle"); a+=("$s")
    read -r s _ pb < <("$other" "$mode" "$root" "c:\\$folder\\list.txt" "$needle"); b+=("$s")
  done
  echo "| $what | $(printf '%s\n' "${a[@]}" | median), $pa | $(printf '%s\n' "${b[@]}" | median), $pb |"
done
