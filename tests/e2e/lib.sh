# Helpers for the end-to-end scripts; sourced inside a Wine session.
# Needs BUILD (the Windows build tree) and OUT (a folder for screenshots).
SCR="$BUILD/GyrelSaver.scr"
PROBE="$BUILD/probe.exe"
failures=0

check() { # check "what" command...
  if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}

settings_key='HKCU\Software\Quorvel\GyrelSaver'
reset_settings() { wine reg delete "$settings_key" /f >/dev/null 2>&1 || true; }
set_setting() { wine reg add "$settings_key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }

# Waits until the full-screen saver window exists (or 15 s pass).
wait_for_saver() {
  for _ in $(seq 1 150); do
    probe fullscreen >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

running() { kill -0 "$1" 2>/dev/null; }

# The probe, with Windows line ends taken off its output.
probe() { wine "$PROBE" "$@" | tr -d '\r'; }

# Waits up to $2 seconds for pid $1 to end; its exit status goes to $exit_status.
wait_exit() {
  local pid=$1 limit=${2:-10}
  for _ in $(seq 1 $((limit * 10))); do
    if ! running "$pid"; then
      wait "$pid"
      exit_status=$?
      return 0
    fi
    sleep 0.1
  done
  exit_status=timeout
  return 1
}

# Starts a full-screen saver from $1 ($2... its switch) and waits for its window; pid in $saver.
start_saver() {
  wine "$@" & saver=$!
  wait_for_saver
  sleep 0.5
}

# Closes the saver in $saver with an input command and records its exit in $exit_status.
close_with() {
  "$@"
  wait_exit "$saver" 10
}

stop_saver() { # ends a saver that a test left running
  running "$1" && xdotool click 1 && wait_exit "$1" 5
  running "$1" && kill "$1"
  true
}

shot() { import -window root "$OUT/$1.png"; }

# Mean brightness (0..1) of a w x h region at x,y of a screenshot.
region_mean() { convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -format '%[fx:mean]' info:; }

# Pixels whose brightest channel is above 55%: curves (the default ground stays below 50%).
bright_pixels() {
  convert "$1" -separate -evaluate-sequence max -threshold 55% -format '%[fx:round(mean*w*h)]' info:
}

same_image() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }

greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
