# Every function a program imports is on the list of allowed imports and is
# there since Windows 7 or earlier, so that the program starts on Windows 7 SP1.
#   check_imports.sh PE_INFO LIST PROGRAM.exe
set -euo pipefail
pe_info=$1 list=$2 program=$3

imports=$("$pe_info" imports "$program")
[ -n "$imports" ] || { echo "FAIL: no imports read from $program"; exit 1; }

bad=$(awk '
  NR == FNR { if ($0 !~ /^#/ && NF == 3) since[$1 " " $2] = $3; next }
  {
    key = $1 " " $2
    if (!(key in since)) print "not on the list: " key
    else if (since[key] !~ /^(2000|XP|Vista|7)$/) print "newer than Windows 7 (" since[key] "): " key
  }' "$list" - <<<"$imports")
if [ -n "$bad" ]; then
  echo "FAIL ($(basename "$program")):"
  echo "$bad"
  exit 1
fi
echo "ok: $(wc -l <<<"$imports") imports of $(basename "$program"), none newer than Windows 7"
