#!/usr/bin/env bash
# Runs Quillory against local demo quote pages with a throw-away profile: a few investments on
# three sources, MSFT above its alert limit. Nothing of the user's own settings or data is read
# or written. Usage: demo.sh <quillory binary> <source folder>
set -euo pipefail
binary=$1
source_dir=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/quillory-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$source_dir/tests/smoke/quote-pages.sh"
# Each answer takes QUILLORY_DEMO_DELAY seconds (default 1), so the pass's progress can be watched.
start_quote_pages "$source_dir/tests/servers/pages_server.py" "$work/requests.log" --delay "${QUILLORY_DEMO_DELAY:-1}"

export XDG_CONFIG_HOME=$work/config APPDATA=$work/appdata
mkdir -p "$XDG_CONFIG_HOME/Korvant" "$APPDATA/Korvant/Quillory"
# Weekend updates on, so the demo shows quotes on any day.
printf '[Options]\nWeekendUpdateFlag=1\n' >"$XDG_CONFIG_HOME/Korvant/Quillory.conf"
cp "$source_dir/tests/smoke/demo-investments.xml" "$APPDATA/Korvant/Quillory/Quillory.xml"

echo "demo: quotes from $QUILLORY_HOSTS"
echo "demo: the first update runs two seconds after the window opens; double-click the tray icon for the alert"
# Ending the demo script ends Quillory the way Exit does.
"$binary" &
quillory=$!
trap 'kill -TERM "$quillory" 2>/dev/null' TERM INT
wait "$quillory" || wait "$quillory"
