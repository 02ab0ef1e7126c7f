# Sourced: when no display is set, starts Xvfb on a display it picks itself
# and exports DISPLAY; returns 1 with a message when Xvfb does not come up
# within 10 seconds, so callers stop rather than run with no display.
# stop_virtual_display ends Wine's processes and then that Xvfb; callers
# run it when they end.
virtual_display_pid=
stop_virtual_display() {
  [ -n "$virtual_display_pid" ] || return 0
  if declare -F wineserver >/dev/null; then wineserver -k 2>/dev/null || true; fi
  kill "$virtual_display_pid" 2>/dev/null || true
  virtual_display_pid=
}
start_virtual_display() {
  local display_file log number=
  display_file=$(mktemp) log=$(mktemp)
  # Xvfb writes the display's number to descriptor 3 once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >"$log" 2>&1 &
  virtual_display_pid=$!
  for _ in $(seq 200); do
    number=$(head -n1 "$display_file")
    [ -n "$number" ] && break
    kill -0 "$virtual_display_pid" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$display_file"
  if [ -z "$number" ]; then
    echo "virtual display: Xvfb did not start; what it said:" >&2
    sed 's/^/  /' "$log" >&2
    rm -f "$log"
    stop_virtual_display
    return 1
  fi
  rm -f "$log"
  export DISPLAY=":$number"
}
if [ -z "${DISPLAY:-}" ]; then start_virtual_display || return 1; fi

# The X id, in decimal, of a mapped top-level window whose name matches
# REGEX; nothing when there is none.
top_level_window() {  # REGEX
  local hex
  for hex in $(xwininfo -root -children 2>/dev/null |
               awk -v re="$1" 'match($0, /^ +0x[0-9a-f]+ "[^"]*"/) {
                 line = substr($0, RSTART, RLENGTH); sub(/^ +/, "", line)
                 id = line; sub(/ .*/, "", id); name = line; sub(/^[^"]*"/, "", name); sub(/"$/, "", name)
                 if (name ~ re) print id }'); do
    xwininfo -id "$hex" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo $((hex)); return; }
  done
}

# Prints the X id of the first visible window whose name matches REGEX,
# waiting up to SECONDS (default 20) for it; returns 1 when none came.
wait_for_window() {  # REGEX [SECONDS]
  local id deadline=$((SECONDS + ${2:-20}))
  while :; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
    # xdotool gives up at the first window that goes while it looks, and
    # Wine's clipboard manager makes and drops one at every clipboard change
    # (a lookup makes one a millisecond): then the top-level windows' names.
    [ -n "$id" ] || id=$(top_level_window "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
