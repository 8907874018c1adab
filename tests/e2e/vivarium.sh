# vivarium on a real terminal: its status line, its keys and popups, the
# statistics screen, the gene editor reading the terminal, and every way
# out leaving the terminal as it was.
source "$(dirname "$0")/lib.sh" "$1"

HELP="x 1234 vdcegz hjkl fstpn  xx"

# Arguments are ignored.
start_program vivarium -s 99 whatever
wait_for "$HELP"
pass "status line, arguments ignored"

# Pause first: keys are handled one per pass while running, and at once
# while paused.
keys p
wait_for "Pause"
wait_gone "Pause"
pass "pause"

keys 5
wait_for "bad key"
wait_gone "bad key"
keys w
wait_for "bad key"
wait_gone "bad key"
keys b
wait_for "bad key"
pass "5, w and b are bad keys"
wait_gone "bad key"

keys c
wait_for "R="
screen_text | grep -qE '\| R=[A-T] G=1 A=[0-9]+ F=-?[0-9]+ \|' || fail "bug summary"
pass "c: race, generation, age and food"
wait_gone "R="

keys v
wait_for "y="
screen_text | grep -qE '\| x=[0-9]+  y=[0-9]+ \|' || fail "position"
pass "v: position"
wait_gone "y="

# The gene editor reads the terminal itself; nothing typed is shown.
keys e
wait_for "Edit window"
wait_for "New race?"
keys Q
wait_for "New DNA0?"
for i in $(seq 0 23); do
    keys 1
    key_names Enter
done
wait_for "New DNA24?"
keys 2x     # 2 for the last gene; the x is left over in the stream
sleep 1
keys c
wait_for "R=Q"
pass "editor: race and genes"
wait_gone "R=Q"
keys d
wait_for "1111111111111111111111112"
pass "d: the edited genes"
wait_gone "111111111111111111111111"

# The x left over by the last answer must not become the next race.
keys e
wait_for "New race?"
keys R
wait_for "New DNA0?"
keys n      # not a number: the rest of the questions pass at once
sleep 1
keys c
wait_for "R=R"
pass "editor: leftovers of an earlier answer discarded"
wait_gone "R=R"

keys z
wait_for "Status ----"
wait_for "race    pop     age     amax    food    fmax    smin    savg    smax"
screen_text | grep -qE '^all +[0-9]+ +[0-9]+ +-?[0-9]+' || fail "totals row"
pass "z: statistics screen"

keys x
expect_exit 0
pass "x: status 0, terminal restored"

start_program vivarium
wait_for "$HELP"
kill -TERM "$(program_pid)"
expect_exit 143
pass "SIGTERM: status 143, terminal restored"

binary=$(find "$BUILD_DIR" -maxdepth 2 -type f -name vivarium -perm -u+x | head -n 1)
status=0
"$binary" < /dev/null > /dev/null 2> "$E2E_DIR/refused" || status=$?
[ "$status" = 11 ] || fail "stdin not a terminal: status $status"
grep -q "vivarium: standard input is not a terminal" "$E2E_DIR/refused" || fail "message: $(cat "$E2E_DIR/refused")"
pass "refuses a standard input that is not a terminal"
