# vivarium on a real terminal, three runs side by side: its keys, popups and
# statistics screen, with pause and single step; its gene editor, which reads
# the keyboard itself and shows nothing typed; and its ways out.
source "$(dirname "$0")/lib.sh" "$1"
STATUS="x 1234 vdcegz hjkl fstpn  xx +(paused  )?([0-9]+[um]?s|top)  pass [0-9]+  [0-9]+ bugs\$"

popups() {
    start_program vivarium -s 99 whatever   # arguments are ignored
    wait_row 23 0 "$STATUS"
    press p Pause
    press c 'R=[A-T] G=[0-9]+ A=[0-9]+ F=-?[0-9]+'
    press v 'x=[0-9]+  y=[0-9]+'
    press w 'bad key'
    abuse_terminal "$STATUS"
    keys z
    wait_row 0 0 'Status -{62}$'
    row_matches 2 0 'all +[0-9]+ +[0-9]+ +-?[0-9]+$' && row_matches 3 0 '[A-T] +[0-9]+ ' || fail "totals, races"
    pause_step_resume 2 4   # the averages change at every pass
    keys z
    wait_until "the map" map_shown "$STATUS"
    quit X
    pass "arguments ignored; c, v; w: bad key; z, p, n, p, z; X: exit 0"
}

# The editor drops whatever was typed before it asks for the race, so a
# race typed too early is typed again.
answer_race() {
    wait_row 9 12 'New race\? +\|'
    keys "$1"
    poll 5 row_matches 9 12 'New DNA0\?' || keys "$1"
    wait_row 9 12 'New DNA0\? +\|'
}

editor() {
    start_program vivarium
    wait_row 23 0 "$STATUS"
    press p Pause
    keys e
    answer_race Q
    resize 20x5 && wait_row 3 0 '\| New DNA0\? +\|$'
    resize 80x24 && wait_row 6 10 '\| Edit window +\|'   # whole again, with the race as answered
    row_matches 7 12 'Q [0-3]{25} ' && row_matches 9 12 'New DNA0\? +\|' || fail "edit window"
    keys $(printf '1 Enter %.0s' {1..24})
    wait_row 9 12 'New DNA24\? +\|'   # nothing typed is shown
    keys 2x   # 2 for the last gene; the x is left over in the stream
    wait_gone "Edit window"
    press c 'R=Q G=[0-9]+ A=[0-9]+ F=-?[0-9]+'
    press d 1111111111111111111111112
    keys e
    answer_race '~'   # not the x left over, and no race: a map glyph
    keys n            # not a number: the other genes pass at once
    wait_gone "Edit window"
    press c 'R=Q G=[0-9]+ A=[0-9]+ F=-?[0-9]+'
    press C-c 'bad key'
    quit x
    pass "e: race and genes, unseen, shown by c and d; resized and back: whole; leftovers dropped; '~' no race"
}

endings() {
    refusal "stdin /dev/null" 11 "vivarium: standard input is not a terminal" \
        timeout 10 "$(program_path vivarium)" < /dev/null
    "$(program_path vivarium)" x -h < /dev/null > "$E2E_DIR-help" &&
        [ "$(head -n 1 "$E2E_DIR-help")" = "usage: vivarium [-h | --help | --version | --resume FILE]" ] || fail "-h"
    E2E_ENV=VIVARIUM_COLOR=1 start_program vivarium
    wait_until "the map in colour" has_colour
    quit x
    pass "x -h: the usage text; VIVARIUM_COLOR=1: the map in colour"
    # Short of memory, births are given up and the run goes on. (A limit of
    # the address space leaves a sanitized build no room to start.)
    if [ -z "${E2E_SANITIZED:-}" ]; then
        E2E_COLS=200 E2E_LINES=60 E2E_ULIMIT=20000 start_program vivarium
        E2E_TIMEOUT=120 wait_row 59 0 'x 1234 .* pass [1-9][0-9]{2}  [0-9]+ bugs$'
        quit x
        pass "in 20 MB of address space: pass 100 reached, x: exit 0"
    fi
    signal_runs "$STATUS" vivarium
}

overview() {
    E2E_LINES=1 start_program vivarium && wait_row 0 0 "x 1234 "   # no row for the blocks
    keys o && wait_row 0 0 ".*  overview 1:" && resize 80x24 && wait_row 22 0 "race of most bugs"
    resize 80x1 && sleep 0.5 && alive || fail "the overview on one line"   # while it shows
    quit x
    start_program vivarium && press p Pause && wait_gone Pause && overview_round "$STATUS" 12 11 10
}

in_parallel overview popups editor endings
