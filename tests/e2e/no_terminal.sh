# terrarium without a terminal refuses at once with a clear message and
# status 11, instead of waiting for keys that can never come.
source "$(dirname "$0")/lib.sh" "$1"

binary=$(find "$BUILD_DIR" -maxdepth 2 -type f -name terrarium -perm -u+x | head -n 1)
[ -n "$binary" ] || fail "no terrarium under $BUILD_DIR"

# Runs terrarium with the given standard input (and output); a hang is cut
# short by timeout, whose status 124 then fails the check.
check_refusal() {
    local what=$1 want_status=$2 want=$3 status
    shift 3
    status=0
    "$@" 2> "$E2E_DIR/stderr" || status=$?
    [ "$status" = "$want_status" ] || fail "$what: status $status, wanted $want_status"
    grep -qF "$want" "$E2E_DIR/stderr" || fail "$what: message '$(cat "$E2E_DIR/stderr")'"
    [ "$(wc -l < "$E2E_DIR/stderr")" = 1 ] || fail "$what: more than one line: '$(cat "$E2E_DIR/stderr")'"
    pass "$what: status $status, '$(cat "$E2E_DIR/stderr")'"
}

check_refusal "stdin /dev/null" 11 "terrarium: standard input is not a terminal" \
    timeout 20 "$binary" < /dev/null
check_refusal "stdin a pipe" 11 "terrarium: standard input is not a terminal" \
    sh -c 'echo x | timeout 20 "$0"' "$binary"
check_refusal "stdin /dev/null with options" 11 "standard input is not a terminal" \
    timeout 20 "$binary" -s 1 -r 10 -g 3 < /dev/null
# Options are read before the terminal is looked at.
check_refusal "bad option without a terminal" 3 "try -s [.25-30]" \
    timeout 20 "$binary" -s 0 < /dev/null
