# Shared by the smoke test and `make demo` (sourced, not run): starts the local quote page server
# on the page set beside this file and sets QUILLORY_HOSTS to its ports. The server stops when
# the shell that sourced this file exits (its stdin is a pipe held by that shell).
#   start_quote_pages <python server script> <log file> [server options...]

start_quote_pages() {
    local script=$1 log=$2 pages
    shift 2
    pages=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/pages
    coproc QUOTE_PAGES { exec python3 "$script" --root "$pages" --log "$log" "$@"; }
    local line rest name scheme hosts=""
    while IFS= read -r -t 10 line <&"${QUOTE_PAGES[0]}"; do
        [ "$line" = READY ] && break
        # "<port>\t<display name>\t<scheme>"
        rest=${line#*$'\t'}
        name=${rest%%$'\t'*}
        scheme=${rest#*$'\t'}
        [ "$scheme" = "$rest" ] && scheme=http
        hosts+="${hosts:+;}$name=$scheme://127.0.0.1:${line%%$'\t'*}"
    done
    if [ "$line" != READY ]; then
        echo "quote pages: the server did not start" >&2
        return 1
    fi
    export QUILLORY_HOSTS=$hosts
}
