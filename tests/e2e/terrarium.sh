# terrarium on a real terminal, four runs side by side: the inspection
# screens and the gene editor of a world paused before its first turn; the
# popups, pause, step and speed keys of a running world, with the state on
# the status line; resizes and a storm of keys; and every way out:
# refusals, help, colour, signals.
source "$(dirname "$0")/lib.sh" "$1"
# The key help and the tracker's label at the left, the state right-aligned.
STATE="(paused  )?([0-9]+[um]?s|top)  pass [0-9]+  [0-9]+ bugs"
STATUS="x 12345 vdcegzb hjklw fstpn   xx +$STATE\$"
TERRARIUM=$(program_path terrarium)

# Starts terrarium paused before its first turn, every bug as seeded: held
# back until the 'p' typed ahead is echoed (the terminal still in line
# mode), the program reads it at its first pass boundary, before any turn.
start_paused() {
    E2E_HOLD=1 start_program terrarium "$@"
    keys p && wait_for p && release
    wait_popup Pause
}

inspection() {
    local genes=0123012301230123012301230 first totals
    start_paused
    wait_row 23 0 "$STATUS"
    keys b   # a fresh bug's attractions
    wait_row 3 2 '\| @ \+0015 A \+0005 B \+0005 C \+0005 \|'
    keys z
    wait_row 0 0 'Status -- 150/4 -- 2\.00 -- 503 -- [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4} -- [0-9:]{8} --$'
    totals=$(stable_rows 2 2)   # 160 x 48 cells seed 76 bugs
    [[ $totals =~ ^all\ +76\ +0\ +[0-9]+\ +[0-9]+$ ]] && [ -z "$(screen_row 22)" ] || fail "totals: $totals"
    # Redrawn ten times a second while paused; what is sent holds no clear.
    tmux_ pipe-pane -t e2e -o "cat > '$E2E_DIR/sent'"
    keys 2 && wait_row 23 30 'hf ' && keys 1 && wait_row 23 30 'xx ' && sleep 0.5
    tmux_ pipe-pane -t e2e
    grep -aq hf "$E2E_DIR/sent" && ! grep -aq $'\e\\[2J' "$E2E_DIR/sent" || fail "a clear"
    keys z
    wait_until "the map" map_shown "$STATUS"
    pass "b: the attractions; z: header, totals of 76 fresh bugs, no clear; z: the map"

    keys e
    wait_row 9 12 'New race\? '
    row_matches 7 12 '[A-Z] [0-3]{25} ' || fail "edit window"
    first=$(screen_row 7 14)
    keys Q
    wait_row 9 25 Q   # the answer is echoed
    # Ctrl-C as gene 0 is a character, not an interrupt; the gene stays.
    keys Enter C-c Enter $(sed 's/./& Enter /g' <<< "${genes:1}")
    wait_gone "Edit window"
    press c 'R=Q G=1 A=0 Fd=([1-9][0-9]?|100)00 S=\1 Fv=([1-9]|10) F@=15 '
    press d "${first:0:1}${genes:1}"
    press C-c 'bad key'
    keys z
    wait_row 0 0 'Status -- '
    [ "$(stable_rows 2 2)" = "$totals" ] || fail "the world changed while paused: $totals"
    quit x
    pass "e: race and genes typed, shown by c and d; Ctrl-C: bad key; the totals kept"
}

# The status line's state, right-aligned on 80 columns, matches /$1/.
state_is() { local row; row=$(screen_row 23) && [ ${#row} = 80 ] && [[ $row =~ \ $1$ ]]; }
pass_count() { [[ $(screen_row 23) =~ \ pass\ ([0-9]+)\  ]] && echo "${BASH_REMATCH[1]}"; }
more_passes() { local now; now=$(pass_count) && [ "$now" -gt "$1" ]; }
passes_grow() { local first; first=$(pass_count) && wait_until "passes after $first" more_passes "$first"; }

running() {
    start_program terrarium
    wait_until "the state while running" state_is "1us  pass [0-9]+  [0-9]+ bugs"
    passes_grow
    ! has_colour || fail "colour unasked"
    press v 'x=[0-9]+  y=[0-9]+  v=[0-3]'
    press w 'A=7680 W=[0-9]+\.[0-9]{2} M=[0-9]+\.[0-9]{2} S=[0-9]+\.[0-9]{2}'
    keys z   # the statistics: every pass changes the averages
    press p Pause
    wait_gone Pause
    state_is "paused  1us  pass [1-9][0-9]*  ([0-9]+) bugs" && row_matches 2 0 "all +${BASH_REMATCH[1]} " ||
        fail "paused, with the population of the statistics"
    pause_step_resume 2 4
    press t 'speed=0'
    wait_until "top speed" state_is "top  pass [0-9]+  [0-9]+ bugs"
    passes_grow
    quit X
    pass "no colour; state on the status line; v, w; p: paused; n: a pass, paused again; p; t: top; X: exit 0"
}

# At the size $1 (COLSxLINES) the map and the status line follow: the rows
# above the last hold only map glyphs (no old status line nor popup left),
# the last row matches /$2/, the map reaches the right edge, and a status
# line as wide as 80 columns or more ends at it.
follow_size() {
    local cols=${1%x*} lines=${1#*x} row
    resize "$1"
    E2E_LINES=$lines wait_until "the map at $1" map_shown "$2"
    row=$(screen_row $((lines - 1)))
    ((cols < 80 || ${#row} == cols)) || fail "the status line not right-aligned at $1"
    rows 0 $((lines - 2)) | cut -c $((cols - 9))- | grep -q '[^ ]' || fail "the map's right part blank at $1"
}

# 1,000 keys that never wait for an answer: scrolling, selection, centring,
# statistics, and two pauses and two single steps.
random_keys() {
    local plain=hjkl12345gz out="" i
    RANDOM=4242
    for ((i = 0; i < 996; i++)); do out+=${plain:RANDOM % ${#plain}:1}; done
    printf '%s' "${out:0:200}p${out:200:300}n${out:500:200}p${out:700:200}n${out:900}"
}

resizes() {
    local size
    start_program terrarium
    wait_row 23 0 "$STATUS"
    keys "$(printf %30s | tr ' ' j)$(printf %90s | tr ' ' l)"   # to the view's last row and column
    press 6 'bad key'   # once every key before it is handled
    follow_size 120x40 "$STATUS"   # the view's origin drawn back within the world
    follow_size 40x12 "x 12345 vdcegzb hjklw fstpn   xx( +[0-9] bugs)?\$"
    for size in 20x5 200x60 1x1 81x25; do
        resize "$size"
        keys j l g
        sleep 0.3   # a while at this size
        alive || fail "ended at a size of $size"
    done
    follow_size 80x24 "$STATUS"
    keys "$(random_keys)" x
    E2E_TIMEOUT=90 expect_exit 0
    pass "resized to 120x40, 40x12, 1x1 and back: the map and the status line follow; 1,000 keys, x: exit 0"
}

# Food in green, a race letter in a colour and one in standout, each
# after any other attributes.
coloured() {
    local map sgr=$'\e\\[[0-9;]*m'
    map=$(map_sgr)
    grep -qE $'\e\\[([0-9]+;)*32m'"($sgr)*[.*@]" <<< "$map" &&
        grep -qE $'\e\\[([0-9]+;)*3[0-7]m'"($sgr)*[A-Z]" <<< "$map" &&
        grep -qE $'\e\\[([0-9]+;)*7m'"($sgr)*[A-Z]" <<< "$map"
}

endings() {
    refusal "stdin a pipe" 11 "terrarium: standard input is not a terminal" \
        sh -c 'echo x | timeout 10 "$0" -s 1' "$TERRARIUM"
    refusal "a bad option, before the terminal" 3 "try -s [.25-30]" timeout 10 "$TERRARIUM" -s 0.1 < /dev/null
    "$TERRARIUM" -s 1 --help < /dev/null > "$E2E_DIR-help" && grep -q '^Manual: man 6 terrarium' "$E2E_DIR-help" &&
        [ "$(head -n 1 "$E2E_DIR-help")" = "usage: terrarium [-s world_size] [-r roughness] [-g grid_size]" ] &&
        [[ $("$TERRARIUM" --version) =~ ^terrarium\ [0-9]+\.[0-9]+$ ]] || fail "--help or --version"
    start_program terrarium -r 1000 -g 8
    expect_exit 7 $'bad terrain\ntoo little open ground: try a lower -r than 1000'
    E2E_COLS=20 E2E_LINES=10 start_program terrarium -s 0.25
    expect_exit 8 $'world too small\nthe terminal is 20x10: try -s 0.75 or more'
    E2E_ENV=TERM=dumb start_program terrarium
    expect_exit 11 "terrarium: this terminal cannot move the cursor (TERM=dumb)"
    E2E_ENV=LINES=100000 start_program terrarium
    expect_exit 11 "terrarium: cannot open the terminal: a screen of 80x100000 (LINES=100000) is larger than curses can hold"
    E2E_COLS=20 E2E_LINES=10 E2E_ENV=TERRARIUM_SEED=2 start_program terrarium -s 1
    expect_exit 0 "terrarium: one bug left after 53 passes"
    pass "--help, --version: 0; bad terrain: 7; 20x10: 8; TERM=dumb, LINES=100000: 11; one bug left: 0, saying so"

    E2E_ENV="TERRARIUM_COLOR=1 NO_COLOR=" start_program terrarium
    wait_row 23 0 "$STATUS"
    ! has_colour || fail "colour with NO_COLOR"
    quit x
    E2E_ENV=TERRARIUM_COLOR=1 start_paused
    press n 'Single step'   # every bug drawn, the selected one in standout
    keys g
    wait_until "food, races and the selection" coloured
    quit x
    pass "NO_COLOR: no colour; TERRARIUM_COLOR=1: food, races, standout"

    signal_runs "$STATUS" terrarium
}

# The terminal abused; the gene editor on a narrow screen and through resizes.
hostile() {
    start_paused
    abuse_terminal "$STATUS"
    resize 16x24 && keys e && wait_row 9 0 '\| New race\? +\|$'
    keys X Enter && wait_row 9 0 '\| New DNA0\? +\|$'
    resize 20x5 && wait_row 3 0 '\| New DNA0\? +\|$'
    resize 5x3 && wait_row 1 0 '\| Ne\|'
    resize 80x24 && wait_row 6 10 '\| Edit window +\|'   # whole again, with the race as answered
    [ "$(rows 0 4 | grep -c '^[ ~#.*@A-Z]*[^ ]')" = 5 ] && row_matches 23 0 "$STATUS" || fail "not the world round it"
    row_matches 7 10 '\| X [0-3]{25} +\|' && row_matches 9 10 '\| New DNA0\? +\|' || fail "the editor's window"
    keys 12345 Enter && wait_row 9 10 '\| New DNA0\? +\|'   # out of range: asked again, the answer gone
    keys 2 $(printf 'Enter %.0s' {1..25}) && wait_gone "Edit window"
    press c 'R=X .*'   # X was the race, not the quit key
    keys C-s && kill -s TERM "$(program_pid)" && expect_signal TERM
    pass "e on 16 columns: answers read, none a command; resized to 20x5, 5x3 and back: whole, the world round it; Ctrl-S, TERM"
}

overview() { start_paused && wait_gone Pause && overview_round "$STATUS" 3 2 10; }

in_parallel overview inspection running resizes endings hostile
