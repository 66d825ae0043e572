#!/usr/bin/env bash
# Both programs answer --help and --version on standard output (status 0) and refuse an unknown
# option with their usage on standard error (status 2), without needing a display.
# Usage: options.sh <quillory binary> <quillory-quote binary>
set -uo pipefail
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failures=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# expect <status> <text on stdout or ""> <text on stderr or ""> <command...>
expect() {
    local status=$1 want_out=$2 want_err=$3
    shift 3
    "$@" >"$out" 2>"$err"
    local got=$?
    local wrong=$((got != status))
    if [ -n "$want_out" ]; then grep -qF -- "$want_out" "$out" || wrong=1; else [ -s "$out" ] && wrong=1; fi
    if [ -n "$want_err" ]; then grep -qF -- "$want_err" "$err" || wrong=1; fi
    if [ "$wrong" -ne 0 ]; then
        echo "options: FAILED: $* gave status $got (wanted $status)" >&2
        sed 's/^/  out: /' "$out" >&2
        sed 's/^/  err: /' "$err" >&2
        failures=$((failures + 1))
    fi
}

for program in "$1" "$2"; do
    expect 0 "Usage:" "" "$program" --help
    expect 0 "Quillory 1.7" "" "$program" --version
    expect 2 "" "unknown option --no-such-option" "$program" --no-such-option
    grep -qF "Usage:" "$err" || { echo "options: $program gave no usage with the refusal" >&2; failures=$((failures + 1)); }
done
expect 0 "--currency SRC TGT" "" "$2" --help
expect 0 "--quit" "" "$1" --help
[ "$("$1" --version)" = "Quillory 1.7" ] || { echo "options: quillory --version is not exactly \"Quillory 1.7\"" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "options: passed"
exit $((failures > 0))
