# End-to-end test library: runs a program in a pane of a private tmux server,
# types keys, reads the screen back and checks how the program ended, the
# terminal's settings as before, the normal screen back and the cursor shown.
# After source "$(dirname "$0")/lib.sh" BUILD_DIR: start_program terrarium -s 1;
# wait_row 23 0 'x 12345 ' (an extended regex at row 23, column 0); press c
# 'R=.*' (a key and its popup); quit x (the key, then exit status 0).
# Read at each start: E2E_COLS x E2E_LINES (80x24); E2E_ENV, VAR=value words
# for the program; E2E_ULIMIT, a limit of its address space in kB; E2E_FSIZE,
# of the files it writes, in blocks of 1 kB (`ulimit -f`); E2E_HOLD=1
# holds it back until `release`. Every wait ends after E2E_TIMEOUT seconds (30).
set -u
export LC_ALL=C.UTF-8   # substrings count characters; the corners are UTF-8
BUILD_DIR=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
E2E_TIMEOUT=${E2E_TIMEOUT:-30} E2E_TOP=$(mktemp -d) E2E_NAME=e2e-$$ E2E_LANE="" E2E_RUNS=0
E2E_SOCKET=$E2E_NAME E2E_DIR=$E2E_TOP/main   # the run's files: pid, stderr, before, after, end
trap 'tmux_ kill-server 2>/dev/null; rm -rf "$E2E_TOP"' EXIT
printf 'set -g status off\nset -g default-shell /bin/sh\n' > "$E2E_TOP/tmux.conf"

# The pane's process: runs the program as its child, writes down its pid,
# the terminal's settings before and after, and how it ended ("exit N" or
# "signal N"), then keeps the pane open with what the program left on it.
cat > "$E2E_TOP/run.pl" <<'EOF'
my ($dir, @cmd) = @ARGV;
sub put { open my $f, '>', "$dir/$_[0]" or die; print $f $_[1] }
put 'before', scalar `stty -g`;
$SIG{INT} = $SIG{QUIT} = 'IGNORE';   # should a Ctrl-C ever become a signal
my $pid = fork // die "fork: $!";
if (!$pid) {
    $SIG{INT} = $SIG{QUIT} = 'DEFAULT';
    put 'pid', $$;
    select undef, undef, undef, 0.05 while -e "$dir/hold";
    open STDERR, '>', "$dir/stderr";
    exec @cmd or exit 127;
}
waitpid $pid, 0;
my $end = $? & 127 ? 'signal ' . ($? & 127) : 'exit ' . ($? >> 8);
put 'after', scalar `stty -g`;
put 'end', $end;
sleep 600;
EOF

tmux_() { tmux -L "$E2E_SOCKET" -f "$E2E_TOP/tmux.conf" "$@"; }
pass() { echo "ok: ${E2E_LANE:+$E2E_LANE: }$*"; }
fail() {
    printf 'FAIL: %s\n---- screen ----\n%s\n----\n' "${E2E_LANE:+$E2E_LANE: }$*" "$(screen_text)" >&2
    exit 1
}

# Runs the named functions side by side, each in a subshell with a tmux
# server and files of its own; fails if any of them failed.
in_parallel() {
    local f runs=() failed=""
    for f; do
        # At most E2E_JOBS lanes at once (3): more, on two cores, and the
        # programs under test fall behind the waits of their lanes.
        while [ "$(jobs -rp | wc -l)" -ge "${E2E_JOBS:-3}" ]; do sleep 0.1; done
        (E2E_LANE=$f E2E_NAME+=-$f E2E_SOCKET+=-$f E2E_DIR=$E2E_TOP/$f
         trap 'tmux_ kill-server 2>/dev/null' EXIT; "$f") &
        runs+=("$!:$f")
    done
    for f in "${runs[@]}"; do wait "${f%%:*}" || failed+=" ${f#*:}"; done
    [ -z "$failed" ] || { echo "FAIL:$failed" >&2; exit 1; }
}

program_path() { find "$BUILD_DIR" -maxdepth 2 -type f -name "$1" -perm -u+x | head -n 1; }
# start_program program args...: a fresh server and pane.
start_program() {
    local binary
    binary=$(program_path "$1")
    [ -n "$binary" ] || fail "no $1 under $BUILD_DIR"
    shift
    rm -rf "$E2E_DIR" && mkdir -p "$E2E_DIR"
    [ "${E2E_HOLD:-}" != 1 ] || : > "$E2E_DIR/hold"
    tmux_ kill-server 2>/dev/null
    E2E_SOCKET=$E2E_NAME.$((++E2E_RUNS))   # a dying server holds its socket a while
    # shellcheck disable=SC2086   # E2E_ENV is split into words on purpose
    tmux_ new-session -d -s e2e -c "$E2E_DIR" -x "${E2E_COLS:-80}" -y "${E2E_LINES:-24}" "ulimit -c 0; ${E2E_ULIMIT:+ulimit -v $E2E_ULIMIT;} ${E2E_FSIZE:+ulimit -f $E2E_FSIZE;} exec $(
        printf '%q ' env TERM=xterm LANG=C.UTF-8 ${E2E_ENV:-} \
            perl "$E2E_TOP/run.pl" "$E2E_DIR" "$binary" "$@")"
}
release() { rm -f "$E2E_DIR/hold"; }   # lets a program held by E2E_HOLD=1 start
program_pid() { wait_until "a pid" test -s "$E2E_DIR/pid" && cat "$E2E_DIR/pid"; }
alive() { kill -0 "$(program_pid)" 2>/dev/null; }
resize() { tmux_ resize-window -t e2e -x "${1%x*}" -y "${1#*x}"; }   # resize COLSxLINES
pane_tty() { tmux_ display-message -p -t e2e '#{pane_tty}'; }
# Keys: each argument a tmux key name (C-c, Enter) or else text typed as is.
keys() { tmux_ send-keys -t e2e "$@"; }

rows() { tmux_ capture-pane -p -t e2e -S "$1" -E "$2" 2>/dev/null; }   # rows $1 to $2 (- the last)
screen_text() { rows 0 -; }
screen_row() { local line; line=$(rows "$1" "$1"); printf '%s' "${line:${2:-0}}"; }   # row $1 from column $2
# Rows $1 to $2 once two captures in a row agree, if they do within ten
# tries (a capture may catch the program halfway through a screen).
stable_rows() {
    local a b tries=10
    a=$(rows "$1" "$2") b=$(rows "$1" "$2")
    while [ "$a" != "$b" ] && ((--tries)); do a=$b b=$(rows "$1" "$2"); done
    printf '%s\n' "$b"
}
# poll SECONDS command...: whether the command succeeds within that time.
poll() {
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.05; done
}
# wait_until WHAT command...: fails unless the command succeeds in time.
wait_until() { poll "$E2E_TIMEOUT" "${@:2}" || fail "timed out waiting for $1"; }
has_text() { screen_text | grep -qF -- "$1"; }
lacks_text() { ! has_text "$1"; }
row_matches() { [[ $(screen_row "$1" "$2") =~ ^$3 ]]; }
# Rows $1 to $2 differ from the text $3 in two captures in a row.
rows_differ() { [ "$(rows "$1" "$2")" != "$3" ] && [ "$(rows "$1" "$2")" != "$3" ]; }
wait_for() { wait_until "'$1'" has_text "$1"; }
wait_gone() { wait_until "'$1' to go" lacks_text "$1"; }
wait_row() { wait_until "/$3/ at row $1, column $2" row_matches "$@"; }
wait_change() { wait_until "rows $1 to $2 to change" rows_differ "$@"; }

# A popup at its place, row 5, column 10, whose text matches the extended
# regex $1.
popup_shown() { row_matches 6 10 "\\| $1 \\|"; }
wait_popup() { wait_until "the popup /$1/" popup_shown "$1"; }
press() { keys "$1"; wait_popup "$2"; }   # press KEY POPUP_REGEX
# Paused, on a screen whose rows $1 to $2 change at every pass: they hold
# once the Pause popup is gone (a popup stops the simulation all the same);
# n runs a pass and pauses again; p resumes.
pause_step_resume() {
    local before key
    wait_gone Pause
    for key in n p; do
        before=$(stable_rows "$1" "$2")
        ! poll 1 rows_differ "$1" "$2" "$before" || fail "rows $1 to $2 changed while paused from: $before"
        press $key "$([ $key = n ] && echo 'Single step' || echo Pause)"
        wait_change "$1" "$2" "$before"
    done
}
# The map: the rows above the last hold only map glyphs, and the last row
# matches the extended regex $1.
map_shown() {
    local last=$((${E2E_LINES:-24} - 1))
    ! rows 0 $((last - 1)) | grep -qv '^[ ~#.*@A-Z]*$' && row_matches "$last" 0 "$1"
}

# The map's rows as capture-pane -e gives them, with their SGR sequences;
# has_colour: a foreground colour among them.
map_sgr() { tmux_ capture-pane -e -p -t e2e -S 0 -E $((${E2E_LINES:-24} - 2)); }
has_colour() { map_sgr | grep -qE $'\e\\[(3[0-7]|9[0-7]|38;5;[0-9]+)m'; }

# expect_end "exit N" | "signal N": how the program ended; the terminal
# must be as before it ran, on its normal screen, with the cursor shown.
expect_end() {
    wait_until "the program to end" test -s "$E2E_DIR/end"
    [ "$(cat "$E2E_DIR/end")" = "$1" ] ||
        fail "$(cat "$E2E_DIR/end"), wanted $1 (stderr: $(cat "$E2E_DIR/stderr" 2>&1))"
    cmp -s "$E2E_DIR/before" "$E2E_DIR/after" ||
        fail "terminal settings changed: $(cat "$E2E_DIR/before") -> $(cat "$E2E_DIR/after")"
    [ "$(tmux_ display-message -p -t e2e '#{alternate_on} #{cursor_flag}')" = "0 1" ] ||
        fail "the alternate screen still on, or the cursor hidden"
}
# expect_exit STATUS [MESSAGE]: an exit, with MESSAGE as all of standard error.
expect_exit() {
    expect_end "exit $1"
    [ $# -lt 2 ] || [ "$(cat "$E2E_DIR/stderr")" = "$2" ] || fail "stderr '$(cat "$E2E_DIR/stderr")', wanted '$2'"
}
expect_signal() { expect_end "signal $(kill -l "$1")"; }   # expect_signal TERM
quit() { keys "$1"; expect_exit 0; }

# refusal WHAT STATUS MESSAGE command...: without tmux, the command ends
# with STATUS and exactly the lines MESSAGE on standard error.
refusal() {
    local what=$1 want=$2 message=$3 status=0 err=$E2E_DIR-refusal
    "${@:4}" > /dev/null 2> "$err" || status=$?
    [ "$status" = "$want" ] && [ "$(cat "$err")" = "$message" ] && [ "$(wc -l < "$err")" = "$(wc -l <<< "$message")" ] ||
        fail "$what: status $status, stderr '$(cat "$err")'; wanted $want, '$message'"
    pass "$what: status $want, '$message'"
}

# The terminal abused, the status line matching /$1/: stopped, written over, continued: painted anew,
# Ctrl-S saving to a new file, Ctrl-Q a bad key; sides curses cannot hold, set behind tmux's back, cut; at 80x24 all whole.
abuse_terminal() {
    local size tty
    tty=$(pane_tty)
    wait_until "no popup" eval '! popup_shown ".*"'   # the junk goes where the cursor is: not into a popup
    kill -STOP "$(program_pid)" && printf 'junk \njunk\r\n\n' > "$tty" && wait_for junk
    stty -F "$tty" sane   # as a shell may leave it
    kill -CONT "$(program_pid)" && wait_until "the map whole again" map_shown "$1"
    press C-s 'saved [a-z]+-[0-9]+\.world' && press C-q 'bad key' && wait_gone 'bad key'   # raw again
    ls "$E2E_DIR"/*-[0-9]*.world > /dev/null || fail "Ctrl-S: no file"
    stty -F "$tty" rows 10 cols 32768 && kill -WINCH "$(program_pid)" && wait_row 9 0 'x 1234'   # cut to 32767
    for size in "rows 40000 cols 80" "rows 24 cols 80"; do
        stty -F "$tty" $size && kill -WINCH "$(program_pid)" && sleep 0.5 && alive || fail "ended at $size"
    done
    wait_until "the map whole again" map_shown "$1"
    pass "Ctrl-S: saved; Ctrl-Q: bad key; stopped, written over, continued: whole; 32768 columns, 40000 rows: cut"
}

# signal_runs STATUS program args...: each signal whose default ends the
# process, sent to a fresh run once its last row matches STATUS (TERM
# during a popup, HUP while paused after a single step, USR1 with the
# output stopped by flow control); the program must die of it each time.
signal_runs() {
    local sig
    for sig in TERM HUP INT QUIT SEGV ABRT PIPE XFSZ XCPU USR1 USR2 ALRM VTALRM PROF SYS RTMIN RTMAX; do
        start_program "${@:2}"
        wait_row $((${E2E_LINES:-24} - 1)) 0 "$1"
        [ $sig != TERM ] || press c 'R=.*'
        [ $sig != HUP ] || { press n 'Single step' && wait_gone 'Single step'; }
        [ $sig != USR1 ] || { perl -MPOSIX -e 'open my $t, "+<", shift or die; tcflow(fileno $t, TCOOFF) or die' \
            "$(pane_tty)" && sleep 1; }   # the terminal's buffer fills up
        kill -s $sig "$(program_pid)" && expect_signal $sig
    done
    pass "every signal that ends a process (TERM to PROF, SYS, RTMIN, RTMAX): died of each, terminal restored"
}

# The overview of a world paused (the popup gone) on 80x24 in blocks of $2
# rows by $3 columns, $4 rows of them at 40x12: a legend above the status
# line, the selected bug's block underlined, m the bugs per block and back;
# l and j move the view one block each way and o shows the map there; p, n
# and a resize work in it.
overview_round() {
    local before scale="1:$3x$2"
    [ "$2" != "$3" ] || scale="1:$2"
    before=$(rows "$2" 22 | cut -c$(($3 + 1))-80 | sed 's/ *$//')
    keys o && wait_row 23 0 ".*  overview $scale  paused  "
    row_matches 22 0 "race of most bugs, else @ripe \\*sprout .* selected bug" &&
        tmux_ capture-pane -e -p -t e2e -S 0 -E 21 | grep -qE $'\e\\[([0-9]+;)*4[;m]' || fail "the legend, the selection"
    keys m && wait_row 22 0 "bugs per block: \\.1 :2\\+ -4\\+ "
    ! rows 0 21 | grep -qv '^[ .:=+*#%@-]*$' || fail "m: not bugs per block"
    keys m l j o && wait_until "the map" map_shown "$1"
    [ "$(rows 0 $((22 - $2)) | cut -c1-$((80 - $3)) | sed 's/ *$//')" = "$before" ] || fail "the map not one block on"
    keys o && press n 'Single step' && press p Pause && wait_gone Pause
    row_matches 23 0 ".*  overview $scale  [0-9]+[um]?s  pass " || fail "p: running on"
    resize 40x12 && wait_row 10 0 "race of most bugs"
    blocks_down() { [ "$(rows 0 9 | grep -c '^[ ~#.*@A-Z]*[^ ]')" = "$1" ]; }
    wait_until "$4 rows of blocks down the 40x12 screen" blocks_down "$4"
    resize 80x24 && wait_row 23 0 ".*  overview $scale  "
    quit x
    pass "o: blocks of $scale, a legend, the selection; m: bugs per block; l, j, o: the map one block on; n, p; 40x12"
}
