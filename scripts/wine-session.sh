#!/bin/bash
# Runs a command inside a private Wine session: its own prefix under the
# given build tree, an Xvfb display when none is set, one persistent
# wineserver. Everything it started is stopped when the command ends,
# whatever the outcome.
#   scripts/wine-session.sh BUILD_DIR command [args...]
set -u
build_dir=$(cd "$1" && pwd)
shift
session_dir="$build_dir/wine"
mkdir -p "$session_dir"

# One run at a time per build tree: a second waits rather than sharing the prefix.
exec 9>"$session_dir/lock"
if ! flock -n 9; then
  echo "wine-session: another run uses $session_dir; waiting" >&2
  flock 9
fi

export WINEPREFIX="$session_dir/prefix"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export GYREL_WINE_SESSION=1
xvfb_pid=""

stop_session() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap stop_session EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  # -displayfd picks a free display number and reports it once the server listens.
  exec 8<> <(:)
  Xvfb -displayfd 8 -screen 0 "${GYREL_SCREEN:-1024x768x24}" -nolisten tcp >"$session_dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  read -r -t 20 display_number <&8 || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
  exec 8>&-
  export DISPLAY=":$display_number"
fi
echo "$DISPLAY" >"$session_dir/display"

here=$(cd "$(dirname "$0")" && pwd)
# The prefix is made once per build tree and remade when its settings change.
wanted=$(md5sum <"$here/wine-prefix.reg" | cut -d' ' -f1)
if [ "$(cat "$WINEPREFIX/.gyrel-ready" 2>/dev/null)" != "$wanted" ]; then
  echo "wine-session: creating prefix $WINEPREFIX" >&2
  rm -rf "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >"$session_dir/wineboot.log" 2>&1
  wine regedit /S "$(winepath -w "$here/wine-prefix.reg")" >>"$session_dir/wineboot.log" 2>&1
  wineserver -w
  echo "$wanted" >"$WINEPREFIX/.gyrel-ready"
fi
wineserver -p
# Start Wine's own services now, detached from our output: a test that
# started them would hand them its stdout, and CTest would wait for them.
wineboot </dev/null >/dev/null 2>&1
"$@"
