#!/usr/bin/env bash
# The lease search of this tree against another build of it, in one run on
# the same listings, turn about (the two builds take turns, so a machine
# that slows down slows both):
#   bash bench/compare.sh OTHER [FILES LINES [RUNS]]
# OTHER is another checkout of this project (an earlier commit, say), or
# only its build/bench/bench/lease_search as made by its bench/run.sh. Prints
# the three listing shapes' medians and peak memory for both, and the whole
# lookup (with its checks for window events) of a search text found nowhere.
# Given a checkout, it builds the Windows lease_search.exe of both (the
# width of this machine's path) and times them the same way under Wine,
# where a Windows call costs what it costs there. It reports, it never
# fails on a time.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/platform.sh
preset=mingw
[ "$MACTOOLS_ARCH" = 64 ] && preset=mingw64
other_win=
if [ -d "$1" ]; then
  other_checkout=$(realpath "$1")
  for tree in . "$other_checkout"; do
    (cd "$tree" &&
      cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMACTOOLS_BENCH=ON -DMACTOOLS_TESTS=OFF >/dev/null &&
      cmake --build build/bench --target lease_search generate_listings >/dev/null &&
      cmake --preset "$preset" -DMACTOOLS_BENCH=ON >/dev/null && cmake --build --preset "$preset" --target lease_search >/dev/null)
  done
  other="$other_checkout/build/bench/bench/lease_search"
  other_win="$other_checkout/build/$preset/bench/lease_search.exe"
  this_win="build/$preset/bench/lease_search.exe"
else
  other=$(realpath "$1")
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMACTOOLS_BENCH=ON -DMACTOOLS_TESTS=OFF >/dev/null
  cmake --build build/bench --target lease_search generate_listings >/dev/null
fi
files=${2:-8} lines=${3:-500000} runs=${4:-11}
this=build/bench/bench/lease_search
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
if [ -n "$other_win" ]; then
  # Listings on the Wine prefix's drive c, so that both kinds of build read
  # the same files by the same names; the native root maps c:\ onto it.
  source scripts/wine-env.sh
  ln -s "$WINEPREFIX/drive_c" "$root/c"
  # One core kept awake, as bench/run.sh keeps it: under Wine every call
  # crosses processes, each crossing paying an idle core's wake-up.
  nice -n 19 bash -c 'while :; do :; done' &
  awake=$!
  trap 'kill "$awake"; rm -rf "$WINEPREFIX/drive_c/bench10000" "$WINEPREFIX/drive_c/bench100" "$root"' EXIT
fi
mkdir -p "$root/c/temp"
for every in 10000 100; do build/bench/bench/generate_listings "$root/c/bench$every" "$files" "$lines" "$every"; done
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

# Medians of RUNS turn about: "| WHAT | this | other |".
compare() {  # WHAT THIS OTHER MODE FOLDER NEEDLE
  local what=$1 a=() b=() s pa pb list="c:\\$5\\list.txt"
  for _ in $(seq "$runs"); do
    read -r s _ pa < <(run_one "$2" "$4" "$list" "$6"); a+=("$s")
    read -r s _ pb < <(run_one "$3" "$4" "$list" "$6"); b+=("$s")
  done
  echo "| $what | $(printf '%s\n' "${a[@]}" | median), $pa | $(printf '%s\n' "${b[@]}" | median), $pb |"
}
run_one() {  # BUILD MODE LIST NEEDLE
  case $1 in
    *.exe) wine "$1" "$2" x "$3" "$4" | tr -d '\r' ;;
    *) "$1" "$2" "$root" "$3" "$4" ;;
  esac
}

shapes=("scan bench10000 00-1a-2b one line in 10,000" "scan bench100 00-1a-2b one line in 100"
        "scan bench10000 '' every line (empty search text)" "lookup bench10000 zz-zz-zz whole lookup, found nowhere")
echo "| listing shape ($files x $lines lines, medians of $runs, turn about) | this tree: s, peak KiB | other build: s, peak KiB |"
echo "|---|---|---|"
for shape in "${shapes[@]}"; do
  read -r mode folder needle what <<<"$shape"
  [ "$needle" = "''" ] && needle=""
  cat "$root/c/$folder"/leases-*.txt >/dev/null
  compare "$what" "$this" "$other" "$mode" "$folder" "$needle"
done
if [ -n "$other_win" ]; then
  for shape in "${shapes[@]}"; do
    read -r mode folder needle what <<<"$shape"
    [ "$needle" = "''" ] && needle=""
    compare "$what, $MACTOOLS_ARCH-bit Windows code under Wine" "$this_win" "$other_win" "$mode" "$folder" "$needle"
  done
fi
