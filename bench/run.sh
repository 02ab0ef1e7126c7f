#!/usr/bin/env bash
# Runs every benchmark and prints a Markdown table:
#   bash bench/run.sh [FILES LINES [lookup]]  (default 8 files of 500,000 lines)
# "lookup" runs only the rows of Tessilo.exe's lookup and what a match
# costs; MACTOOLS_BENCH_TESSILO names another Tessilo.exe to time there,
# for a before-and-after comparison. Benchmarks report; they never fail on
# a time.
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-8}
lines=${2:-500000}
part=${3:-all}
runs=5

bash scripts/setup.sh >/dev/null
command -v rg >/dev/null || { apt-get install -y -qq --no-install-recommends ripgrep >/dev/null; }
source scripts/platform.sh
preset=mingw
[ "$MACTOOLS_ARCH" = 64 ] && preset=mingw64
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMACTOOLS_BENCH=ON -DMACTOOLS_TESTS=OFF >/dev/null
cmake --build build/bench >/dev/null
cmake --preset "$preset" -DMACTOOLS_BENCH=ON >/dev/null
cmake --build --preset "$preset" --target Veltrane Tessilo wintool minimal_window lease_search report_costs >/dev/null
source scripts/virtual-display.sh
# One core kept awake by a niced busy loop for every timing: the machines
# here are virtual, their idle cores take long to wake, and under Wine every
# Windows call crosses processes (the program, wineserver, the X server),
# each crossing paying that wake-up. On real hardware a core wakes in
# microseconds, and Windows makes these calls inside its kernel.
nice -n 19 bash -c 'while :; do :; done' &
awake=$!
trap 'kill "$awake" 2>/dev/null; stop_virtual_display; rm -rf "$root" "${data[@]}"' EXIT
source scripts/wine-env.sh
source scripts/listings.sh

win="build/$preset"
wine_build="$MACTOOLS_ARCH-bit Windows code under $MACTOOLS_ARCH-bit Wine"
native=build/bench/bench

median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
now() { date +%s.%N; }
row() { printf '| %s | %s |\n' "$1" "$2"; }
calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }
# Median wall time of a command over $runs runs (output to a file: grep
# stops at the first match when it writes to /dev/null).
timed() {
  local t=() t0
  for _ in $(seq "$runs"); do
    t0=$(now); "$@" >"$root/out" 2>&1 || true; t+=("$(calc "$(now) - $t0" 4)")
  done
  printf '%s\n' "${t[@]}" | median
}
# What lease_search prints ("seconds count peak-KiB"), with the median of
# the seconds over $runs runs.
searched() {
  local t=() out
  for _ in $(seq "$runs"); do
    rm -f "$c_drive/temp/findout.txt"
    out=$("$@" | tr -d '\r')
    t+=("${out%% *}")
  done
  echo "$(printf '%s\n' "${t[@]}" | median) ${out#* }"
}

# Listings live in the Wine prefix's drive c, so native and Windows runs
# read the same files; the native root maps c:\ onto it.
c_drive="$WINEPREFIX/drive_c"
root=$(mktemp -d)
ln -s "$c_drive" "$root/c"
mkdir -p "$c_drive/temp"
data=("$c_drive/bench10000" "$c_drive/bench100" "$c_drive/benchline")
shapes=(10000 100)
[ "$part" = all ] || shapes=(10000)
for every in "${shapes[@]}"; do "$native/generate_listings" "$c_drive/bench$every" "$files" "$lines" "$every"; done
size=$(du -sm "$c_drive/bench10000" | cut -f1)

echo "One core kept awake by a niced busy loop throughout (idle cores of a virtual machine wake slowly)."
echo
echo "| measure | result |"
echo "|---|---|"
echo "| **Lease search, ${files} listings x ${lines} lines (${size} MB), files in the page cache, medians of $runs** | |"
shapes=("bench10000 00-1a-2b one line in 10,000" "bench100 00-1a-2b one line in 100" "bench10000 '' every line (empty search text)")
[ "$part" = all ] || shapes=()
for shape in "${shapes[@]}"; do
  read -r folder needle what <<<"$shape"
  [ "$needle" = "''" ] && needle=""
  listings=("$c_drive/$folder"/leases-*.txt)
  cat "${listings[@]}" >/dev/null
  dd_s=$(timed bash -c 'for f; do dd if="$f" bs=256k of=/dev/null status=none; done' _ "${listings[@]}")
  if [ -n "$needle" ]; then
    rg_s=$(timed rg -F -c -j1 --no-mmap "$needle" "${listings[@]}")
    grep_s=$(timed grep -F -c "$needle" "${listings[@]}")
  else
    rg_s=$(timed rg -c -j1 --no-mmap '' "${listings[@]}")
    grep_s=$(timed grep -c '' "${listings[@]}")
  fi
  read -r scan_s found peak < <(searched "$native/lease_search" scan "$root" "c:\\$folder\\list.txt" "$needle")
  read -r wscan_s _ < <(searched wine "$win/bench/lease_search.exe" scan x "c:\\$folder\\list.txt" "$needle")
  row "$what: lines found" "$found"
  row "$what: dd bs=256k (the read limit) / rg -F -c -j1 --no-mmap / grep -F -c" "${dd_s} s / ${rg_s} s / ${grep_s} s"
  row "$what: search, native" "${scan_s} s: $(calc "$scan_s / $rg_s" 2) x rg (goal 1.2), $(calc "$scan_s / $dd_s" 2) x dd (goal 1.3), peak ${peak} KiB"
  row "$what: search, $wine_build" "${wscan_s} s: $(calc "$wscan_s / $rg_s" 2) x rg (goal 1.5)"
  if [ "$folder" = bench100 ] || [ -n "$needle" ]; then
    read -r look_s count _ < <(searched "$native/lease_search" lookup "$root" "c:\\$folder\\list.txt" "$needle")
    row "$what: whole lookup with its reports (log appended per match; clipboard in memory), native" \
      "${look_s} s for ${count} records: $(calc "$look_s / $rg_s" 2) x rg"
  fi
done

# Tessilo.exe itself, start-up subtracted: its run less its run on an empty list.
: >"$c_drive/bench10000/empty.txt"
tessilo_exe=${MACTOOLS_BENCH_TESSILO:-$win/apps/Tessilo.exe}
tessilo() { wine "$win/tests/e2e/wintool.exe" run -- "$tessilo_exe" "$@"; }
full=() bare=() nomatch=()
for _ in $(seq 3); do
  rm -f "$c_drive/temp/findout.txt"
  t0=$(now); tessilo '/dhcp<c:\bench10000\list.txt' 00-1a-2b >/dev/null; full+=("$(calc "$(now) - $t0")")
  t0=$(now); tessilo '/dhcp<c:\bench10000\list.txt' zz-zz-zz >/dev/null; nomatch+=("$(calc "$(now) - $t0")")
  t0=$(now); tessilo '/dhcp<c:\bench10000\empty.txt' 00-1a-2b >/dev/null; bare+=("$(calc "$(now) - $t0")")
done
full_s=$(printf '%s\n' "${full[@]}" | median); bare_s=$(printf '%s\n' "${bare[@]}" | median)
nomatch_s=$(printf '%s\n' "${nomatch[@]}" | median)
rg_s=$(timed rg -F -c -j1 --no-mmap 00-1a-2b "$c_drive"/bench10000/leases-*.txt)
records_of_log() { wine "$win/tests/e2e/wintool.exe" records 'C:\temp\findout.txt' | grep -vc '^broken: '; }
records=$(records_of_log)
row "**Tessilo.exe ($wine_build), one line in 10,000, median of 3, less its run on an empty list (${bare_s} s)**" ""
[ -n "${MACTOOLS_BENCH_TESSILO:-}" ] && row "Tessilo.exe timed" "$tessilo_exe"
row "lookup reporting ${records} matches" "$(calc "$full_s - $bare_s") s: $(calc "($full_s - $bare_s) / $rg_s" 1) x rg (goal 1.5)"
row "same listings, a search text found nowhere" "$(calc "$nomatch_s - $bare_s") s: $(calc "($nomatch_s - $bare_s) / $rg_s" 1) x rg"
# 20,000 matches, every line of one listing: the reports are the work, and
# the window answers, shows its progress and can be closed throughout.
mkdir -p "$c_drive/bench20000"
matching_listing 20000 >"$c_drive/bench20000/leases.txt"
printf 'c:\\bench20000\\leases.txt\r\n' >"$c_drive/bench20000/list.txt"
many=()
for _ in $(seq 3); do
  rm -f "$c_drive/temp/findout.txt"
  t0=$(now); tessilo '/dhcp<c:\bench20000\list.txt' 00-1a >/dev/null; many+=("$(calc "$(now) - $t0")")
done
many_s=$(printf '%s\n' "${many[@]}" | median)
records=$(records_of_log)
row "lookup reporting ${records} matches (every line of one listing), its window alive" \
  "$(calc "$many_s - $bare_s") s: $(calc "($many_s - $bare_s) * 1000 / $records") ms per match"
rm -rf "$c_drive/bench20000"
read -r clip_ms passing_free_ms passing_ms append_free_ms append_ms < <(wine "$win/bench/report_costs.exe" 'c:\temp\costs.txt' | tr -d '\r')
row "what one match costs as Windows calls under Wine: clipboard set, plain / with the marks that keep it out of clipboard history (once per match) / log record appended (open, write, close); the last two without and with the turns copies of the programs take" \
  "${clip_ms} ms / ${passing_free_ms} → ${passing_ms} ms / ${append_free_ms} → ${append_ms} ms, so $(calc "$passing_ms + $append_ms") ms per match"
rm -rf "$c_drive/bench10000" "$c_drive/bench100"
[ "$part" = all ] || exit 0

# Listings of one long line without the search text.
mkdir -p "$c_drive/benchline"
row "**One listing of a single line without the search text (lookup with its list file)**" ""
for mb in 100 1000; do
  head -c "${mb}000000" /dev/zero | tr '\0' 'x' >"$c_drive/benchline/line.txt"
  printf 'c:\\benchline\\line.txt\r\n' >"$c_drive/benchline/list.txt"
  cat "$c_drive/benchline/line.txt" >/dev/null
  read -r n_s _ n_peak < <(searched "$native/lease_search" lookup "$root" 'c:\benchline\list.txt' 00-1a)
  read -r w_s _ w_peak < <(searched wine "$win/bench/lease_search.exe" lookup x 'c:\benchline\list.txt' 00-1a)
  row "$mb MB on one line: native / $wine_build" "${n_s} s, peak ${n_peak} KiB / ${w_s} s, peak ${w_peak} KiB (Wine's own included)"
done
rm -rf "$c_drive/benchline"

[ "$part" = all ] && "$native/conversion_bench" --benchmark_format=csv 2>/dev/null | tail -n +2 | while IFS=, read -r name _ _ _ _ _ _ _ _ _ per; do
  chars=${name##*/}; chars=${chars%\"}
  row "conversion of $chars characters" "$(calc "$per * 1e9") ns per character"
done

# Idle window: CPU time over 10 s.
wine "$win/tests/e2e/wintool.exe" run -- "$PWD/$win/apps/Veltrane.exe" >/dev/null 2>&1 &
runner=$!
window=$(wait_for_window "^Veltrane\$") || { echo "bench: no Veltrane window within 20 s" >&2; exit 1; }
sleep 1
pid=$(xdotool getwindowpid "$window")
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks); sleep 10; after=$(ticks)
row "idle window, 10 s: CPU used (goal: under 1% of a core)" "$(calc "($after - $before) * 100 / $hz / 10" 2)%"
wine "$win/tests/e2e/wintool.exe" close-box >/dev/null
wait "$runner" || true

# One-shot latency against a window that only shows itself.
v=() m=()
for _ in $(seq "$runs"); do
  t0=$(now); wine "$win/apps/Veltrane.exe" 00:11:22:33:44:55 >/dev/null 2>&1; v+=("$(calc "$(now) - $t0")")
  t0=$(now); wine "$win/bench/minimal_window.exe" >/dev/null 2>&1; m+=("$(calc "$(now) - $t0")")
done
vs=$(printf '%s\n' "${v[@]}" | median); ms=$(printf '%s\n' "${m[@]}" | median)
row "one-shot Veltrane.exe 00:11:22:33:44:55 under Wine (median of $runs)" "${vs} s"
row "minimal Win32 window under Wine (median of $runs)" "${ms} s, ratio $(calc "$vs / $ms" 2)"
