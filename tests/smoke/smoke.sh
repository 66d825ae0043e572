#!/usr/bin/env bash
# Starts the real quillory binary under Xvfb with trayer as the tray host, a fresh profile and
# the local quote pages; waits for the first update pass, takes a screenshot, ends the program
# with SIGTERM and checks that it kept today's prices and the window's settings.
# Usage: smoke.sh <quillory binary> <build folder> <source folder>
# Exit status 77 (a skip) only when no X server can be started.
set -uo pipefail
binary=$1
build_dir=$2
source_dir=$3
screenshot=$build_dir/quillory-smoke.png

work=$(mktemp -d "${TMPDIR:-/tmp}/quillory-smoke.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}" ${QUOTE_PAGES_PID:-}; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "smoke: FAILED: $*" >&2
    [ -f "$work/quillory.log" ] && sed 's/^/  quillory: /' "$work/quillory.log" >&2
    exit 1
}

# An X server of our own, on the first free display number.
if ! command -v Xvfb >/dev/null; then
    echo "smoke: SKIPPED: Xvfb is not installed, no X server can be started"
    exit 77
fi
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 5>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "smoke: SKIPPED: no X server could be started"
    sed 's/^/  Xvfb: /' "$work/xvfb.log"
    exit 77
fi
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

command -v trayer >/dev/null || fail "trayer is not installed"
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
sleep 0.5

. "$source_dir/tests/smoke/quote-pages.sh"
start_quote_pages "$source_dir/tests/servers/pages_server.py" "$work/requests.log" || fail "no quote page server"

export XDG_CONFIG_HOME=$work/config APPDATA=$work/appdata XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Korvant" "$APPDATA"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A fresh profile, except that weekends must not stop the first pass.
printf '[Options]\nWeekendUpdateFlag=1\n' >"$XDG_CONFIG_HOME/Korvant/Quillory.conf"

started=$(date +%s%N)
"$binary" >"$work/quillory.log" 2>&1 &
quillory=$!
pids+=($quillory)

shown=""
for _ in $(seq 1000); do
    if xwininfo -name Quillory >/dev/null 2>&1; then
        shown=$(date +%s%N)
        break
    fi
    kill -0 "$quillory" 2>/dev/null || fail "quillory ended before its window opened"
    sleep 0.01
done
[ -n "$shown" ] || fail "no window named Quillory within 10 s"
echo "smoke: window shown $(((shown - started) / 1000000)) ms after start"

# The first pass runs 2 s after the window opens and asks for the four default investments.
requests() { cat "$work/requests.log" 2>/dev/null | wc -l; }
for _ in $(seq 150); do
    [ "$(requests)" -ge 4 ] && break
    sleep 0.1
done
[ "$(requests)" -ge 4 ] || fail "the first update pass did not ask for four quotes"
sleep 1
echo "smoke: resident memory after the first pass: $(awk '/VmRSS/ {print $2, $3}' /proc/$quillory/status)"

if import -window root "$screenshot" 2>"$work/import.log"; then
    echo "smoke: screenshot written to $screenshot"
else
    fail "import could not take a screenshot: $(cat "$work/import.log")"
fi

kill -TERM "$quillory"
for _ in $(seq 100); do
    kill -0 "$quillory" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$quillory" 2>/dev/null && fail "quillory did not end after SIGTERM"
wait "$quillory"
status=$?
[ "$status" -eq 0 ] || fail "quillory ended with status $status after SIGTERM"

today=$(date +%F)
python3 - "$APPDATA/Korvant/Quillory/Quillory.xml" "$today" <<'PY' || fail "the data file lacks today's prices"
import sys
import xml.etree.ElementTree as ET
path, today = sys.argv[1], sys.argv[2]
root = ET.parse(path).getroot()
stocks = root.findall("Stock")
missing = [s.get("Symbol") for s in stocks
           if not any(p.get("Date") == today and float(p.get("Price", "0")) > 0 for p in s.iter("StockPrice"))]
if len(stocks) != 4 or missing:
    print("smoke: %d investments, without a price of %s: %s" % (len(stocks), today, missing), file=sys.stderr)
    sys.exit(1)
PY

conf=$XDG_CONFIG_HOME/Korvant/Quillory.conf
for key in Left Top Right Bottom Column0 Column1 Column2 Column3; do
    grep -q "^$key=-\?[0-9]\+$" "$conf" || fail "the settings file lacks $key: $(cat "$conf")"
done
grep -q '^\[Window\]$' "$conf" || fail "the settings file lacks its [Window] section"
echo "smoke: passed"
