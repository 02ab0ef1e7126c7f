#!/usr/bin/env bash
# Runs every benchmark and prints a Markdown table:
#   bash bench/run.sh [FILES LINES]     (default 8 files of 500,000 lines)
# Benchmarks report; they never fail on a time.
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-8}
lines=${2:-500000}
runs=5

bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMACTOOLS_BENCH=ON -DMACTOOLS_TESTS=OFF >/dev/null
cmake --build build/bench >/dev/null
cmake --preset mingw -DMACTOOLS_BENCH=ON >/dev/null
cmake --build --preset mingw --target Veltrane Tessilo wintool minimal_window lease_search >/dev/null
source scripts/virtual-display.sh
source scripts/wine-env.sh

median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
now() { date +%s.%N; }
row() { printf '| %s | %s |\n' "$1" "$2"; }
calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }

# Listings live in the Wine prefix's drive c, so native and Windows runs
# read the same files; the native root maps c:\ onto it.
root=$(mktemp -d)
ln -s "$WINEPREFIX/drive_c" "$root/c"
data="$WINEPREFIX/drive_c/bench"
mkdir -p "$WINEPREFIX/drive_c/temp"
trap 'rm -rf "$root"' EXIT

measure_lookup() {  # LINES -> sets lookup_s grep_s peak_kib records size
  rm -rf "$data"
  build/bench/bench/generate_listings "$data" "$files" "$1" 10000
  size=$(du -sm "$data" | cut -f1)
  cat "$data"/leases-*.txt >/dev/null  # into the page cache
  local l=() g=() out
  for _ in $(seq $runs); do
    rm -f "$WINEPREFIX/drive_c/temp/findout.txt"
    out=$(build/bench/bench/lease_search "$root" 'c:\bench\list.txt' 00-1a-2b)
    l+=("$(cut -d' ' -f1 <<<"$out")"); records=$(cut -d' ' -f2 <<<"$out"); peak_kib=$(cut -d' ' -f3 <<<"$out")
    local t0; t0=$(now)
    # Into a file: grep stops at the first match when it writes to /dev/null.
    (cd "$data" && grep -F -c 00-1a-2b leases-*.txt >"$root/grep.out" || true)
    g+=("$(calc "$(now) - $t0" 4)")
  done
  lookup_s=$(printf '%s\n' "${l[@]}" | median)
  grep_s=$(printf '%s\n' "${g[@]}" | median)
}

echo "| measure | result |"
echo "|---|---|"
measure_lookup "$((lines / 10))"
small_peak=$peak_kib small_size=$size
measure_lookup "$lines"
row "lease search, ${files} listings x ${lines} lines (${size} MB), ${records} matches: lookup (native, median of $runs)" "${lookup_s} s"
row "same files: grep -F -c (median of $runs)" "${grep_s} s"
row "ratio lookup / grep (goal: at most 2)" "$(calc "$lookup_s / $grep_s" 2)"
row "peak memory of the lookup at ${small_size} MB / ${size} MB" "${small_peak} KiB / ${peak_kib} KiB"

x=()
for _ in $(seq $runs); do
  rm -f "$WINEPREFIX/drive_c/temp/findout.txt"
  x+=("$(wine build/mingw/bench/lease_search.exe "$(winepath -w "$root")" 'c:\bench\list.txt' 00-1a-2b | cut -d' ' -f1)")
done
xs=$(printf '%s\n' "${x[@]}" | median)
row "same lookup as 32-bit Windows code under Wine (lease_search.exe, median of $runs)" "${xs} s, ratio to grep $(calc "$xs / $grep_s" 2)"

w=()
for _ in $(seq 3); do
  rm -f "$WINEPREFIX/drive_c/temp/findout.txt"
  t0=$(now)
  wine build/mingw/tests/e2e/wintool.exe run -- build/mingw/apps/Tessilo.exe '/dhcp<c:\bench\list.txt' 00-1a-2b >/dev/null
  w+=("$(calc "$(now) - $t0")")
done
wine_s=$(printf '%s\n' "${w[@]}" | median)
row "same lookup: Tessilo.exe under Wine, whole run (median of 3)" "${wine_s} s, ratio to grep $(calc "$wine_s / $grep_s" 1)"
rm -rf "$data"

build/bench/bench/conversion_bench --benchmark_format=csv 2>/dev/null | tail -n +2 | while IFS=, read -r name _ _ _ _ _ _ _ _ _ per; do
  chars=${name##*/}; chars=${chars%\"}
  row "conversion of $chars characters" "$(calc "$per * 1e9") ns per character"
done

# Idle window: CPU time over 10 s.
wine build/mingw/tests/e2e/wintool.exe run -- "$PWD/build/mingw/apps/Veltrane.exe" >/dev/null 2>&1 &
runner=$!
xdotool search --sync --onlyvisible --name '^Veltrane$' >/dev/null
sleep 1
pid=$(pgrep -f "^$PWD/build/mingw/apps/Veltrane.exe" | head -n1 || true)
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks); sleep 10; after=$(ticks)
row "idle window, 10 s: CPU used (goal: under 1% of a core)" "$(calc "($after - $before) * 100 / $hz / 10" 2)%"
wine build/mingw/tests/e2e/wintool.exe close-box >/dev/null
wait "$runner" || true

# One-shot latency against a window that only shows itself.
v=() m=()
for _ in $(seq $runs); do
  t0=$(now); wine build/mingw/apps/Veltrane.exe 00:11:22:33:44:55 >/dev/null 2>&1; v+=("$(calc "$(now) - $t0")")
  t0=$(now); wine build/mingw/bench/minimal_window.exe >/dev/null 2>&1; m+=("$(calc "$(now) - $t0")")
done
vs=$(printf '%s\n' "${v[@]}" | median); ms=$(printf '%s\n' "${m[@]}" | median)
row "one-shot Veltrane.exe 00:11:22:33:44:55 under Wine (median of $runs)" "${vs} s"
row "minimal Win32 window under Wine (median of $runs)" "${ms} s, ratio $(calc "$vs / $ms" 2)"
row "Tessilo.exe lookup under Wine less the minimal window's time" "$(calc "$wine_s - $ms") s, ratio to grep $(calc "($wine_s - $ms) / $grep_s" 2)"
