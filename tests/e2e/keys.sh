# terrarium's key commands on a real terminal (80x24): the status line, the
# popups at their place, pause / single step / resume, scrolling at the
# origin, Ctrl-C as a plain key, and quitting with the terminal as it was.
source "$(dirname "$0")/lib.sh" "$1"
export LC_ALL=C.UTF-8   # bash substrings count characters, not bytes

STATUS_LINE="x 12345 vdcegzb hjklw fstpn   xx"

# The text of screen row $1 from column $2 on.
row_from() {
    local line
    line=$(screen_row "$1")
    printf '%s' "${line:$2}"
}

# Waits until screen row $1 from column $2 on matches the extended regular
# expression $3 (anchored at that column).
wait_row() {
    local row=$1 col=$2 pattern=$3 deadline=$((SECONDS + E2E_TIMEOUT))
    while [ $SECONDS -lt $deadline ]; do
        row_from "$row" "$col" | grep -qE -- "^$pattern" && return 0
        sleep 0.1
    done
    fail "timed out waiting for /$pattern/ at row $row, column $col"
}

# The popup's text line, from its first character to its right border.
popup_text() { row_from 6 12 | sed 's/ *|.*//'; }

# Shows the selected bug's summary ('c') and prints it. The popup before
# must not begin with "R=", so that the new one can be told from it.
summary() {
    keys c
    wait_row 6 12 'R=. G=-?[0-9]+ A=-?[0-9]+ Fd=-?[0-9]+ S=-?[0-9]+ Fv=-?[0-9]+ F@=-?[0-9]+ +\|'
    popup_text
}

# Shows the selected bug's position ('v'): a popup that does not begin
# with "R=", so that the next summary can be told from the last.
position() {
    keys v
    wait_row 6 12 'x=[0-9]+  y=[0-9]+  v=[0-3] \|'
}

# Rows $2 to $3 of the screen text $1, columns $4 on, $5 wide, with
# trailing blanks dropped (the screen capture drops them too).
slice() {
    local row line
    for row in $(seq "$2" "$3"); do
        line=$(printf '%s\n' "$1" | sed -n "$((row + 1))p")
        line=${line:$4:$5}
        printf '%s\n' "${line%"${line##*[! ]}"}"
    done
}

# Waits until rows $1 to $2, columns $3 on, $4 wide, show the text $5.
wait_block() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until [ "$(slice "$(screen_text)" "$1" "$2" "$3" "$4")" = "$5" ]; do
        [ $SECONDS -lt $deadline ] || fail "$6"
        sleep 0.1
    done
}

# ---- status line and popups ------------------------------------------
start_program terrarium
wait_for "$STATUS_LINE"
[ "$(screen_row 23)" = "$STATUS_LINE" ] || fail "status line: '$(screen_row 23)'"
pass "status line"

keys c
wait_row 6 12 'R=[A-Z] G=[0-9]+ A=[0-9]+ Fd=-?[0-9]+ S=[0-9]+ Fv=[0-9]+ F@=-?[0-9]+ +\|'
[ "$(row_from 6 10 | cut -c1-2)" = "| " ] || fail "left border of the summary: '$(row_from 6 10)'"
[[ "$(row_from 5 11)" =~ ^-{30} ]] || fail "top border of the summary: '$(row_from 5 10)'"
[[ "$(row_from 7 11)" =~ ^-{30} ]] || fail "bottom border of the summary: '$(row_from 7 10)'"
pass "c: summary inside its border at row 5, column 10"

position
pass "v: x= y= v="

keys d
wait_row 6 12 '[0-3]{25} \|'
pass "d: 25 genes"

keys w
wait_row 6 12 'A=7680 W=[0-9]+\.[0-9]{2} M=[0-9]+\.[0-9]{2} S=[0-9]+\.[0-9]{2} \|'
pass "w: A=7680 W= M= S="

key_names C-c
wait_row 6 12 'bad key \|'
position
pass "Ctrl-C is a bad key, not an interrupt"

keys x
expect_exit 0
pass "x: status 0, terminal settings unchanged"

# ---- pause, single step, resume ---------------------------------------
start_program terrarium
wait_for "$STATUS_LINE"
keys p
wait_row 6 12 'Pause \|'
paused=$(summary)
position
[ "$(summary)" = "$paused" ] || fail "paused, yet the selected bug changed: '$paused'"
pass "p: paused"

keys n
wait_row 6 12 'Single step \|'
stepped=$(summary)
[ "$stepped" != "$paused" ] || fail "single step ran no pass: '$stepped'"
position
[ "$(summary)" = "$stepped" ] || fail "still running after a single step: '$stepped'"
pass "n: one pass, then paused"

keys p
wait_row 6 12 'Pause \|'
last=$stepped
for attempt in 1 2 3 4 5 6; do
    position
    now=$(summary)
    [ "$now" != "$last" ] && break
done
[ "$now" != "$last" ] || fail "not running again after p: '$now'"
pass "p: running again"

keys X
expect_exit 0
pass "X: status 0, terminal settings unchanged"

# ---- scrolling at the origin -----------------------------------------
start_program terrarium
wait_for "$STATUS_LINE"
keys p
wait_row 6 12 'Pause \|'
# Rows 9 to 22 lie well below the popups.
origin=$(screen_text)
# At the origin 'h' and 'k' change nothing, so the 'l' and 'j' after them
# move the view one column right and one row down from the origin.
keys h k l j
wait_block 9 21 0 79 "$(slice "$origin" 10 22 1 79)" \
    "view not one column right and one row down of the origin"
pass "h, k at the origin: no change; l, j: one column right, one row down"
keys h k
wait_block 9 22 0 80 "$(slice "$origin" 9 22 0 80)" "view not back at the origin"
pass "h, k: back at the origin"
keys x
expect_exit 0
pass "quit while paused"
