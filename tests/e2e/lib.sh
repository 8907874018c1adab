# End-to-end test library: runs a program in a pane of a private tmux
# server (80x24 unless E2E_COLS/E2E_LINES say otherwise, TERM=xterm),
# types keys, reads the screen back, and checks the exit status and that
# the terminal's settings are as they were before the program ran.
#
# Usage in a test script:
#   source "$(dirname "$0")/lib.sh" "$1"     # $1: the build directory
#   start_program terrarium -s 1
#   wait_for "x 12345"
#   keys x
#   expect_exit 0
set -u

BUILD_DIR=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
E2E_COLS=${E2E_COLS:-80}
E2E_LINES=${E2E_LINES:-24}
E2E_TIMEOUT=${E2E_TIMEOUT:-30}
E2E_DIR=$(mktemp -d)
E2E_SOCKET="e2e-$$-$RANDOM"
E2E_FAILED=0

tmux_() { tmux -L "$E2E_SOCKET" -f /dev/null "$@"; }

cleanup() {
    tmux_ kill-server >/dev/null 2>&1
    rm -rf "$E2E_DIR"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    echo "---- screen ----" >&2
    screen_text >&2
    echo "----------------" >&2
    E2E_FAILED=1
    exit 1
}

pass() { echo "ok: $*"; }

# Starts `program args...` from $BUILD_DIR in a fresh pane; records the
# terminal settings before and after and the exit status in $E2E_DIR.
start_program() {
    local program=$1
    shift
    local binary
    binary=$(find "$BUILD_DIR" -maxdepth 2 -type f -name "$program" -perm -u+x | head -n 1)
    [ -n "$binary" ] || { echo "FAIL: no $program under $BUILD_DIR" >&2; exit 1; }
    rm -f "$E2E_DIR"/status "$E2E_DIR"/before "$E2E_DIR"/after
    local script="$E2E_DIR/run.sh"
    {
        echo "stty -g > '$E2E_DIR/before'"
        printf '%q ' "$binary" "$@"
        echo " 2> '$E2E_DIR/stderr'"
        echo "echo \$? > '$E2E_DIR/status.tmp'"
        echo "stty -g > '$E2E_DIR/after'"
        echo "mv '$E2E_DIR/status.tmp' '$E2E_DIR/status'"
        echo "exec sleep 600"
    } > "$script"
    # A new server for every run, so nothing of the last one lingers.
    tmux_ kill-server >/dev/null 2>&1
    E2E_SOCKET="e2e-$$-$RANDOM"
    tmux_ new-session -d -s e2e -x "$E2E_COLS" -y "$E2E_LINES" \
        "env TERM=xterm LANG=C.UTF-8 bash --norc --noprofile '$script'"
    tmux_ set-option -t e2e status off >/dev/null
    tmux_ resize-window -t e2e -x "$E2E_COLS" -y "$E2E_LINES" >/dev/null 2>&1 || true
}

# The pid of the program running in the pane (the child of the pane's shell).
program_pid() {
    local shell_pid
    shell_pid=$(tmux_ display-message -p -t e2e '#{pane_pid}')
    pgrep -P "$shell_pid" | head -n 1
}

screen_text() { tmux_ capture-pane -p -t e2e 2>/dev/null; }

# Row `n` (0-based) of the screen.
screen_row() { screen_text | sed -n "$(($1 + 1))p"; }

# Waits until the screen contains the fixed text $1.
wait_for() {
    local text=$1 deadline=$((SECONDS + ${2:-$E2E_TIMEOUT}))
    while [ $SECONDS -lt $deadline ]; do
        screen_text | grep -qF -- "$text" && return 0
        sleep 0.1
    done
    fail "timed out waiting for '$text'"
}

# Waits until the screen no longer contains the fixed text $1.
wait_gone() {
    local text=$1 deadline=$((SECONDS + ${2:-$E2E_TIMEOUT}))
    while [ $SECONDS -lt $deadline ]; do
        screen_text | grep -qF -- "$text" || return 0
        sleep 0.1
    done
    fail "timed out waiting for '$text' to go"
}

# Types each argument literally (one key each, or a string).
keys() {
    local k
    for k in "$@"; do tmux_ send-keys -t e2e -l -- "$k"; done
}

# Sends tmux key names (Enter, C-c, ...).
key_names() { tmux_ send-keys -t e2e "$@"; }

# Waits for the program to end and checks its exit status and that the
# terminal settings are the same as before it started.
expect_exit() {
    local want=$1 deadline=$((SECONDS + ${2:-$E2E_TIMEOUT}))
    while [ ! -f "$E2E_DIR/status" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    [ -f "$E2E_DIR/status" ] || fail "program did not end"
    local got
    got=$(cat "$E2E_DIR/status")
    [ "$got" = "$want" ] || fail "exit status $got, wanted $want (stderr: $(cat "$E2E_DIR/stderr"))"
    cmp -s "$E2E_DIR/before" "$E2E_DIR/after" ||
        fail "terminal settings changed: $(cat "$E2E_DIR/before") -> $(cat "$E2E_DIR/after")"
}

# What the program wrote on its standard error stream.
program_stderr() { cat "$E2E_DIR/stderr"; }
