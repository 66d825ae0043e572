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

# A screenshot of a window that drew nothing has a colour or two; ours have text, icons and rows.
shows_content() {
    local colours
    colours=$(identify -format '%k' "$1" 2>/dev/null) || return 1
    [ "${colours:-0}" -ge 32 ] || { echo "smoke: $1 has only ${colours:-0} colours" >&2; return 1; }
}

if import -window root "$screenshot" 2>"$work/import.log"; then
    echo "smoke: screenshot written to $screenshot"
else
    fail "import could not take a screenshot: $(cat "$work/import.log")"
fi
shows_content "$screenshot" || fail "the screenshot shows no window"

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
# Holdings, notifications and the chart: the demo investments (with quantities) and a price
# history for MSFT, a stand-in notification service on a session bus of our own, MSFT above its
# limit in the first pass.
holdings_shot=$build_dir/quillory-smoke-holdings.png
dialog_shot=$build_dir/quillory-smoke-chart.png
export APPDATA=$work/appdata2
mkdir -p "$APPDATA/Korvant/Quillory"
python3 - "$source_dir/tests/smoke/demo-investments.xml" "$APPDATA/Korvant/Quillory/Quillory.xml" <<'PY'
import datetime, math, sys
source, target = sys.argv[1:]
text = open(source).read()
today = datetime.date.today()
lines = ['<StockPrice Date="%s" Price="%.2f"/>' % ((today - datetime.timedelta(days=d)).isoformat(),
                                                    1150 + 60 * math.sin(d / 9.0) - d * 0.8)
         for d in range(120, 0, -3)]
head, tail = text.split('<Stock Symbol="MSFT"', 1)
tail = tail.replace("<StockPriceList>\n", "<StockPriceList>\n" + "\n".join(lines) + "\n", 1)
open(target, "w").write(head + '<Stock Symbol="MSFT"' + tail)
PY
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
    fail "dbus-daemon did not start"
pids+=($(cat "$work/bus.pid"))
export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
notes=$work/notifications.log
/usr/bin/python3 "$source_dir/tests/smoke/notifications.py" "$notes" >"$work/notifications.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -e "$notes.ready" ] && break
    sleep 0.1
done
[ -e "$notes.ready" ] || fail "the stand-in notification service did not start: $(cat "$work/notifications.out")"

# The largest visible window of a name (the tray icon's window has the program's name too).
window_id() {
    local id best="" area=0 info w h
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        w=$(awk '/Width:/ {print $2}' <<<"$info")
        h=$(awk '/Height:/ {print $2}' <<<"$info")
        if [ $((w * h)) -gt "$area" ]; then
            area=$((w * h))
            best=$id
        fi
    done
    echo "$best"
}
# A window's picture, cut from the screen.
shot() {
    local info x y w h id
    id=$(window_id "$1")
    [ -n "$id" ] || return 1
    info=$(xwininfo -id "$id") || return 1
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    w=$(awk '/Width:/ {print $2}' <<<"$info")
    h=$(awk '/Height:/ {print $2}' <<<"$info")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2" 2>"$work/import.log"
}

# A window the user made wide enough for every column.
printf '[Options]\nWeekendUpdateFlag=1\n[Window]\nLeft=40\nTop=60\nRight=680\nBottom=460\n' \
    >"$XDG_CONFIG_HOME/Korvant/Quillory.conf"
before=$(requests)
"$binary" >"$work/quillory.log" 2>&1 &
quillory=$!
pids+=($quillory)
for _ in $(seq 200); do
    [ "$(requests)" -ge $((before + 6)) ] && break
    sleep 0.1
done
[ "$(requests)" -ge $((before + 6)) ] || fail "the pass over the demo investments did not ask for six quotes"
for _ in $(seq 50); do
    [ -s "$notes" ] && break
    sleep 0.1
done
[ "$(grep -c '^Notify' "$notes" 2>/dev/null)" = 1 ] || fail "expected one notification for the pass: $(cat "$notes" 2>&1)"
grep -q 'summary=Quillory .*MSFT price is .* which is above your limit of 1,200.00!' "$notes" ||
    fail "the notification lacks the MSFT alert: $(cat "$notes")"
echo "smoke: notification received: $(head -n1 "$notes")"
sleep 1
window=$(window_id Quillory)
[ -n "$window" ] || fail "no Quillory window for the holdings screenshot"
shot Quillory "$holdings_shot" || fail "no holdings screenshot: $(cat "$work/import.log")"
shows_content "$holdings_shot" || fail "the holdings screenshot is blank"
echo "smoke: main window with holdings written to $holdings_shot"

# The investment dialog of MSFT: pick its row by typing, then the Edit button.
xdotool mousemove --window "$window" 30 80 click 1
sleep 0.3
xdotool type --window "$window" MS
sleep 0.3
xdotool mousemove --window "$window" 47 17 click 1
dialog=""
for _ in $(seq 50); do
    dialog=$(window_id Stock)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || fail "the investment dialog did not open"
sleep 1
shot Stock "$dialog_shot" || fail "no dialog screenshot: $(cat "$work/import.log")"
shows_content "$dialog_shot" || fail "the dialog screenshot is blank"
echo "smoke: investment dialog with the chart written to $dialog_shot"
xdotool key --window "$dialog" Escape
sleep 0.3
kill -TERM "$quillory"
wait "$quillory"
grep -q 'Symbol="MSFT" Name="Microsoft Corporation" Quantity="40" DataSource="Yahoo Finance">' \
    "$APPDATA/Korvant/Quillory/Quillory.xml" || fail "the quantities did not survive"

echo "smoke: passed"
