# terrarium starts, shows its status line, quits on 'x' and on SIGTERM with
# the terminal restored.
source "$(dirname "$0")/lib.sh" "$1"

start_program terrarium
wait_for "x 12345 vdcegzb hjklw fstpn   xx"
pass "status line"
keys x
expect_exit 0
pass "quit with x"

start_program terrarium
wait_for "x 12345 vdcegzb hjklw fstpn"
keys X
expect_exit 0
pass "quit with X"

start_program terrarium
wait_for "x 12345 vdcegzb hjklw fstpn"
kill -TERM "$(program_pid)"
expect_exit 143
pass "SIGTERM: status 143, terminal restored"

start_program terrarium -s 0.1
expect_exit 3
[ "$(program_stderr)" = "try -s [.25-30]" ] || fail "message: $(program_stderr)"
pass "bad option refused before curses"

start_program terrarium -r 1000 -g 8
expect_exit 7
[ "$(program_stderr)" = "bad terrain" ] || fail "message: $(program_stderr)"
pass "bad terrain: status 7, message after the terminal is restored"

E2E_COLS=20 E2E_LINES=10 start_program terrarium -s 0.25
expect_exit 8
[ "$(program_stderr)" = "world too small" ] || fail "message: $(program_stderr)"
pass "world too small: status 8"

start_program terrarium -s 0.25
wait_for "x 12345 vdcegzb hjklw fstpn"
keys x
expect_exit 0
pass "a world smaller than the view runs and quits"

for sig in INT QUIT SEGV ABRT; do
    start_program terrarium
    wait_for "x 12345 vdcegzb hjklw fstpn"
    kill -s "$sig" "$(program_pid)"
    expect_exit $((128 + $(kill -l "$sig")))
    pass "SIG$sig: status $((128 + $(kill -l "$sig"))), terminal restored"
done
