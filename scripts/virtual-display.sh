# Sourced: when no display is set, starts Xvfb on a display it picks itself
# and exports DISPLAY. stop_virtual_display ends Wine's processes and then
# that Xvfb; callers run it when they end.
virtual_display_pid=
if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  virtual_display_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$display_file")"
  rm -f "$display_file"
fi
stop_virtual_display() {
  [ -n "$virtual_display_pid" ] || return 0
  if declare -F wineserver >/dev/null; then wineserver -k 2>/dev/null || true; fi
  kill "$virtual_display_pid" 2>/dev/null || true
  virtual_display_pid=
}
