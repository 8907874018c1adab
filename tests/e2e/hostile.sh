# terrarium on a hostile terminal: a thousand keys typed as fast as tmux
# can, the pane resized smaller and larger while it runs, and the hang-up
# and termination signals. Every time the program must end as it should,
# with the terminal's settings as they were.
source "$(dirname "$0")/lib.sh" "$1"

STATUS="x 12345 vdcegzb hjklw fstpn"
LAST_ROW=$((E2E_LINES - 1))

# 1,000 keys among those that never wait for an answer: scrolling,
# selection, centring and the statistics screen, with five pauses and five
# single steps at random places. Pause and step show a popup for a second
# each, which bounds the run to some ten seconds of popups.
random_keys() {
    local plain="hjkl12345gz" out="" i k at
    RANDOM=4242
    for ((i = 0; i < 990; i++)); do out+=${plain:RANDOM % ${#plain}:1}; done
    for k in p n p n p n p n p n; do
        at=$((RANDOM % (${#out} + 1)))
        out="${out:0:at}$k${out:at}"
    done
    printf '%s' "$out"
}

alive() { kill -0 "$1" 2>/dev/null; }

# Waits until the status line stands on the last row of the view.
wait_status_row() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ $SECONDS -lt $deadline ]; do
        screen_row "$LAST_ROW" | grep -qF -- "$STATUS" && return 0
        sleep 0.1
    done
    fail "no status line on row $LAST_ROW"
}

# The picture stays the size the program started with: nothing beyond
# column $E2E_COLS, nothing below row $LAST_ROW.
expect_start_size() {
    local wide below
    wide=$(screen_text | awk -v w="$E2E_COLS" 'length($0) > w' | head -n 1)
    [ -z "$wide" ] || fail "a row wider than $E2E_COLS columns: $wide"
    below=$(screen_text | sed -n "$((LAST_ROW + 2)),\$p" | grep -v '^ *$' | head -n 1)
    [ -z "$below" ] || fail "something below row $LAST_ROW: $below"
}

# The map view holds only map glyphs.
expect_map_rows() {
    local odd
    odd=$(screen_text | head -n "$LAST_ROW" | grep -v '^[ ~#.*@A-Z]*$' | head -n 1)
    [ -z "$odd" ] || fail "a map row with other glyphs: $odd"
}

# --- a thousand keys, then quit
start_program terrarium
wait_for "$STATUS"
pid=$(program_pid)
keys "$(random_keys)"
keys x
expect_exit 0 90
pass "1,000 random keys, then x: status 0, terminal restored"

# --- resizing while it runs
start_program terrarium
wait_for "$STATUS"
pid=$(program_pid)
for size in "40 12" "120 40" "20 5" "200 60" "1 1" "81 25" "$E2E_COLS $E2E_LINES"; do
    read -r cols lines <<< "$size"
    tmux_ resize-window -t e2e -x "$cols" -y "$lines"
    keys j l g
    sleep 0.5
    alive "$pid" || fail "the program ended at a pane of $cols x $lines"
    if [ "$cols" -ge "$E2E_COLS" ] && [ "$lines" -ge "$E2E_LINES" ]; then
        wait_status_row
        expect_start_size
    fi
done
pass "resized smaller and larger: still running, picture of its start-up size"
wait_status_row
sleep 0.5
expect_map_rows
pass "back at the start-up size: the map and the status line drawn anew"
keys x
expect_exit 0
pass "quit after resizing: status 0, terminal restored"

# --- signals
start_program terrarium
wait_for "$STATUS"
kill -HUP "$(program_pid)"
expect_exit 129
pass "SIGHUP while running: status 129, terminal restored"

start_program terrarium
wait_for "$STATUS"
keys p
wait_for "Pause"
kill -TERM "$(program_pid)"
expect_exit 143
pass "SIGTERM during a popup: status 143, terminal restored"

start_program terrarium
wait_for "$STATUS"
keys n
wait_for "Single step"
wait_gone "Single step"
kill -HUP "$(program_pid)"
expect_exit 129
pass "SIGHUP while single-stepping: status 129, terminal restored"
