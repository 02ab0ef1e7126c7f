# Before the first window exists, each program takes its own and the
# current folder out of the DLL search: with SetDefaultDllDirectories where
# Windows has it, and on the Windows 7 path by loading from the system
# folder the DLLs that system DLLs load by name.
source "$(dirname "$0")/lib.sh"
trap 'relay_only ""; cleanup' EXIT
relay_only 'kernel32.SetDllDirectoryW;kernelbase.SetDllDirectoryW;kernel32.SetDefaultDllDirectories;kernelbase.SetDefaultDllDirectories;kernel32.LoadLibraryW;kernelbase.LoadLibraryW;user32.CreateWindowExW'

# The traced calls up to the first window, one per line: the function and,
# for LoadLibraryW, the file's name.
calls_before_window() {  # [NAME=VALUE... --] PROGRAM ARGS...
  WINEDEBUG=+relay run_program "$@" 2>&1 >/dev/null | tr -d '\r' |
    sed -nE 's/^[0-9a-f]+:Call [A-Za-z0-9]+\.([A-Za-z]+)\((.*)\) ret=.*/\1 \2/p' |
    sed -E 's/^(LoadLibraryW) .*\\([A-Za-z0-9]+\.dll).*/\1 \2/I; t; s/^([A-Za-z]+) .*/\1/' |
    sed '/^CreateWindowExW/q'
}

for pair in "$VELTRANE:$VELTRANE_LEVELS" "$TESSILO:$TESSILO_LEVELS"; do
  program=${pair%%:*} levels=${pair#*:}
  name=$(basename "$program")
  calls=$(calls_before_window "$program" 00:11)
  expect_eq "$(head -n2 <<<"$calls" | tr '\n' ' ')" "SetDllDirectoryW SetDefaultDllDirectories " \
    "$name: the first calls"
  expect_eq "$(tail -n1 <<<"$calls")" CreateWindowExW "$name: a window after them"

  # The Windows 7 path, in the tests' own build of the program.
  calls=$(calls_before_window MACTOOLS_WIN32_LEVEL=7 -- "$levels" 00:11)
  expect_eq "$(head -n1 <<<"$calls")" SetDllDirectoryW "$name on the Windows 7 path: the first call"
  grep -q SetDefaultDllDirectories <<<"$calls" && fail "$name on the Windows 7 path called SetDefaultDllDirectories"
  for dll in uxtheme.dll dwmapi.dll version.dll oleacc.dll; do
    grep -qix "LoadLibraryW $dll" <<<"$calls" || fail "$name on the Windows 7 path: $dll not loaded before the window: $calls"
  done
done
pass
