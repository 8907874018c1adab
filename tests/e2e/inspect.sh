# terrarium's inspection screens in a real terminal: the motivation viewer
# ('b'), the statistics screen ('z') and the gene editor ('e'), and the raw
# keyboard still in force after the editor's line input.
source "$(dirname "$0")/lib.sh" "$1"

labels="race    pop     age     amax    afood   savg    smax    favg    fmax"

# Starts terrarium paused before its first turn, so that every bug is as
# seeded and each key is handled at once. A stand-in under the name
# terrarium holds the start until the typed-ahead 'p' shows on the screen
# (echoed while the terminal is still in line mode); terrarium then reads
# it at its first pass boundary, before any turn.
start_paused() {
    local real held="$E2E_DIR/held"
    real=$(find "$BUILD_DIR" -maxdepth 2 -type f -name terrarium -perm -u+x | head -n 1)
    [ -n "$real" ] || fail "no terrarium under $BUILD_DIR"
    mkdir -p "$held"
    rm -f "$E2E_DIR/go"
    printf '#!/usr/bin/env bash\nwhile [ ! -e %q ]; do sleep 0.05; done\nexec %q "$@"\n' \
        "$E2E_DIR/go" "$real" > "$held/terrarium"
    chmod +x "$held/terrarium"
    local build=$BUILD_DIR
    BUILD_DIR=$held
    start_program terrarium "$@"
    BUILD_DIR=$build
    keys p
    wait_for p
    touch "$E2E_DIR/go"
    wait_for "Pause"
    wait_gone "Pause"
}

start_paused

keys b
wait_for "| @ +0015 A +0005 B +0005 C +0005 |"
wait_for "| X +0005 Y +0005 Z +0005         |"
pass "b: a fresh bug's attractions, '@' first"
wait_gone "@ +0015"
pass "b: the viewer goes after its 10 seconds"

keys z
wait_for "Status -- 150/4 -- 2.00 -- 503 -- "
screen_row 0 | grep -qE '^Status -- 150/4 -- 2\.00 -- 503 -- [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4} -- [0-9]{2}:[0-9]{2}:[0-9]{2} -- *$' ||
    fail "header: $(screen_row 0)"
[ "$(screen_row 1 | sed 's/ *$//')" = "$labels" ] || fail "labels: $(screen_row 1)"
# 160 x 48 cells seed 76 bugs; no turn taken yet.
screen_row 2 | grep -qE '^all     76      0               [0-9]+ +[0-9]+ *$' || fail "totals: $(screen_row 2)"
pass "paused before the first turn"
screen_row 3 | grep -qE '^[A-Z]       [0-9]+ ' || fail "first race: $(screen_row 3)"
[ -z "$(screen_row 22 | tr -d ' ')" ] || fail "row 22 is not free: $(screen_row 22)"
pass "z: header, labels, totals and races"

keys z
wait_gone "Status -- "
screen_text | grep -qF -- "$labels" && fail "labels still shown"
[ -n "$(screen_row 0 | tr -d ' ')" ] || fail "no map on row 0"
pass "z again: the map"

keys e
wait_for "Edit window"
wait_for "New race?"
keys Q
key_names Enter
genes=""
for i in $(seq 0 24); do
    wait_for "New DNA$i?"
    keys $((i % 4))
    key_names Enter
    genes="$genes$((i % 4))"
done
pass "e: a race and 25 genes answered"
keys c
wait_for "R=Q G=1 A=0 "
pass "c: the edited race"
keys d
wait_for "| $genes |"
pass "d: the edited genes"

# The raw keyboard mode holds after the editor: Ctrl-C is a key, not a signal.
key_names C-c
wait_for "bad key"
pass "Ctrl-C after the editor is a bad key"
keys x
expect_exit 0
pass "quit, terminal restored"

# In the editor too Ctrl-C is a byte, not a signal; as a race it is
# refused, like every answer that is not one printable character.
start_paused
keys c
wait_for "R="
race=$(screen_text | grep -oE 'R=[A-Z] G=1 A=0 ' | head -n 1)
[ -n "$race" ] || fail "no bug summary"
wait_gone "R="
keys e
wait_for "New race?"
key_names C-c Enter
for i in $(seq 0 24); do
    wait_for "New DNA$i?"
    key_names Enter
done
keys c
wait_for "$race"
pass "Ctrl-C as the race: refused, the race stays (${race%% *})"
keys x
expect_exit 0
pass "quit, terminal restored"
