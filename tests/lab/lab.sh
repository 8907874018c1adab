#!/usr/bin/env bash
# Logs of the real program on a terminal (a private tmux server) against
# simdump's for the same seed, refusals of the environment, a sweep, a
# summary checked by hand, and terrarium-lab's pictures.
set -uo pipefail
BUILD=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
LAB=$BUILD/tools/terrarium-lab SIMDUMP=$BUILD/tools/simdump TERRARIUM=$BUILD/terrarium/terrarium
T=$(mktemp -d) SOCKET="lab-$$"
trap 'tmux -L $SOCKET kill-server 2>/dev/null; rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
within() { for _ in $(seq 300); do eval "$1" && return 0; sleep 0.1; done; fail "timed out: $1"; }

# terrarium -s 1 seeded with $1 in a pane of $2 lines x $3 columns, logging to $T/log.csv.
start() {
    rm -f "$T/status"
    tmux -L $SOCKET -f /dev/null new-session -d -x "$3" -y "$2" "env TERM=xterm TERRARIUM_SEED=$1 \
        TERRARIUM_LOG=$T/log.csv $TERRARIUM -s 1 2>$T/stderr; echo \$? > $T/status"
}
# Every row of log $1 has $2 fields, and its race counts (the last 27: A
# to Z, other) add up to its population and its races alive.
rows_add_up() {
    awk -F, -v fields="$2" '/^[0-9]/ { s = n = 0; for (i = NF - 26; i <= NF; i++) { s += $i; n += $i > 0 }
        if (NF != fields || s != $2 || n != $3) exit 1 }' "$1" || fail "$1: a row that does not add up"
}
# Status $1; the log ends with "# end: status $1", its rows add up, and
# but for its last $5 lines it is simdump's log of seed $2 on $3 x $4.
check_log() {
    within '[ -s "$T/status" ]'
    [ "$(cat "$T/status")" = "$1" ] && [ "$(tail -n 1 "$T/log.csv")" = "# end: status $1" ] ||
        fail "status $(cat "$T/status"), log ending $(tail -n 1 "$T/log.csv")"
    rows_add_up "$T/log.csv" 35
    "$SIMDUMP" --program terrarium --seed "$2" --lines "$3" --cols "$4" --passes 20000 -s 1 --log "$T/dump.csv" \
        > /dev/null 2>&1
    head -n -"$5" "$T/log.csv" | cmp -s - <(head -n "$(($(wc -l < "$T/log.csv") - $5))" "$T/dump.csv") ||
        fail "not simdump's world"
}

start 2 10 20  # one bug left after 53 passes: the whole log is simdump's
check_log 0 2 10 20 0
for end in x TERM; do
    start 7 24 80
    within 'grep -q "^25," "$T/log.csv"'
    [ $end = x ] && tmux -L $SOCKET send-keys x || kill -TERM "$(pgrep -P "$(tmux -L $SOCKET display -p '#{pane_pid}')")"
    check_log "$([ $end = x ] && echo 0 || echo 143)" 7 24 80 1  # less the end line: a quit adds no row
done
echo "ok: logs of one bug left, quit and SIGTERM"

# A row at the start, after every pass and when one bug is left.
"$SIMDUMP" --program vivarium --seed 3 --lines 2 --cols 3 --passes 20000 --log "$T/v.csv" > /dev/null 2>&1
printf '# program: vivarium\n# seed: 3\n# screen: 2 x 3 (lines x cols)\n# world: 25 x 33 (rows x cols)
# options: none\npass,population,races,food,age,gen,size,A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W,X,Y,Z,other
' | cmp -s - <(head -n 6 "$T/v.csv") || fail "vivarium's header"
[ "$(awk -F, '/^[0-9]/ { printf "%s ", $1 }' "$T/v.csv")" = "$(seq -s ' ' 0 225) " ] &&
    [ "$(tail -n 2 "$T/v.csv" | cut -d, -f1,2 | paste -sd ' ')" = "225,1 # end: status 0" ] || fail "vivarium's rows"
rows_add_up "$T/v.csv" 34
echo "ok: vivarium's log"

# Refused before the terminal is opened: 12, not 11 for the missing terminal.
TERRARIUM_SEED=-1 "$TERRARIUM" < /dev/null > /dev/null 2>&1
[ $? = 12 ] || fail "TERRARIUM_SEED=-1"
for bad in "--passes x:bad value for --passes: x" "--program vivarium -s 1:vivarium takes no -s, -r or -g"; do
    "$LAB" --seeds 1-2 --passes 1 --out "$T/x" ${bad%%:*} 2> "$T/stderr"
    [ $? = 2 ] && [ "$(head -n 1 "$T/stderr")" = "terrarium-lab: ${bad#*:}" ] || fail "bad argument: $bad"
done
echo "ok: refusals"

script -qec "$LAB --seeds 1-2 --passes 30 --lines 10 --cols 20 -s 1,2 --jobs 2 --out $T/sweep" /dev/null |
    tr '\r' '\n' > "$T/progress" || fail sweep   # on a terminal: a progress bar
"$SIMDUMP" --program terrarium --seed 2 --lines 10 --cols 20 --passes 30 -s 2 --log "$T/dump.csv" > "$T/dump"
# The last row is the world as the run ended, as the dump shows it.
grep -qx "bugs $(tail -n 2 "$T/dump.csv" | head -n 1 | cut -d, -f2)" "$T/dump" &&
    cmp -s "$T/dump.csv" "$T/sweep/s2-r150-g4/seed2.csv" && grep -q "^\[#*\] 4/4  0:00 left" "$T/progress" &&
    [ "$(wc -l < "$T/sweep/summary.csv")" = 3 ] || fail "the sweep's files"
# Final populations 1 (at pass 40), 4 and 7: mean 4, sample deviation 3;
# a log without its end line is left out.
mkdir -p "$T/hand/a" "$T/hand/b"
log() { printf 'pass,population,A,B,C\n0,9,3,3,3\n%s\n%s' "$2" "$3" > "$T/hand/$1.csv"; }
end="# end: status 0"
log a/seed1 40,1,1,0,0 "$end"; log a/seed2 100,4,3,1,0 "$end"; log a/seed3 100,7,0,7,0 "$end"
log a/seed4 100,9,9,0,0 ""; log b/seed1 60,5,0,0,5 "$end"
"$LAB" summary "$T/hand" > /dev/null 2>&1
diff - "$T/hand/summary.csv" <<'EOF' || fail "summary"
setting,runs,one_bug,one_bug_mean_pass,final_mean,final_sd,top_races
a,3,1,40.0,4.00,3.00,A:2 B:2
b,1,0,,5.00,0.00,C:1
EOF
echo "ok: a sweep as simdump runs it, and its summary"

"$LAB" plot "$T/sweep/s1-r150-g4/seed1.csv" "$T/sweep/s1-r150-g4/seed2.csv" -o "$T/p.png" &&
    "$LAB" plot "$T/sweep" -o "$T/p.svg" || fail "plot"
[ "$(head -c 4 "$T/p.png" | tail -c 3)" = PNG ] && head -c 100 "$T/p.svg" | grep -q '<svg' || fail "pictures"
script -qc "stty cols 50 rows 20; $LAB plot $T/sweep/s1-r150-g4/seed1.csv" /dev/null | tr -d '\r' > "$T/dumb"
[ "$(wc -L < "$T/dumb")" -le 50 ] && grep -q "seed1 all" "$T/dumb" || fail "on the terminal: $(wc -L < "$T/dumb")"
PATH=/nonexistent "$LAB" plot "$T/sweep/s1-r150-g4/seed1.csv" 2> "$T/stderr" && fail "no gnuplot"
grep -q "gnuplot is not installed" "$T/stderr" || fail "no gnuplot: $(cat "$T/stderr")"
echo "ok: plots: PNG, SVG, the terminal's width, and no gnuplot"

# simdump: a number just inside its bounds runs; outside, refused (1) with a line and the usage.
S() { "$SIMDUMP" --program terrarium --seed 2 --lines 10 --cols 20 --passes 0 -s 1 "$@"; }  # 53 passes to its end
for ok in "--lines 1 --cols 10000" "--lines 10000 --cols 1" "--seed 0" "--seed 4294967295" "--passes 1000000000"; do
    S $ok > /dev/null 2>&1 || fail "simdump $ok"; done
for bad in "--lines 0:bad --lines" "--lines 10001:bad --lines" "--cols 0:bad --cols" "--cols 10001:bad --cols" \
    "--passes -1:bad --passes" "--passes 1000000001:bad --passes" "--seed -1:bad --seed" "--seed 1x:bad --seed" \
    "--seed 4294967296:bad --seed" "--log:missing value" "--size 1:unknown argument" \
    "--program x:--program must be terrarium or vivarium" "--program vivarium:vivarium takes no -s, -r or -g"; do
    S ${bad%%:*} > /dev/null 2> "$T/stderr"
    [ $? = 1 ] && [ "$(head -n 1 "$T/stderr")" = "simdump: ${bad#*:}" ] && grep -q '^usage: simdump' "$T/stderr" ||
        fail "simdump ${bad%%:*}: $(head -n 1 "$T/stderr")"
done
# Failed writes of the log (12) or output (1), in a line naming the file; memory short (9).
mkfifo "$T/fifo" && (timeout 60 head -c 300 "$T/fifo" > /dev/null 2>&1 &)  # less than a pipe holds: writes fail
grep -q '^SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" && sanitized=1 || sanitized=  # no start in 45 MB
while IFS='|' read -r status said run; do
    [ "$status$sanitized" = 91 ] && continue
    (eval "$run" > /dev/null 2> "$T/stderr")
    [ $? = "$status" ] && [ "$(tail -n 1 "$T/stderr")" = "$said" ] || fail "$run: $(cat "$T/stderr")"
done <<EOF
12|terrarium: cannot write '/dev/full': No space left on device|S --passes 100 --log /dev/full
12|terrarium: cannot write '$T/big.csv': File too large|ulimit -f 1; S --passes 100 --log $T/big.csv
12|terrarium: cannot write '$T/fifo': Broken pipe|S --seed 1 --lines 24 --cols 80 --passes 3000 --log $T/fifo
1|simdump: cannot write the standard output: No space left on device|S > /dev/full
1|terrarium: cannot write the standard output: No space left on device|$TERRARIUM --help > /dev/full
1|vivarium: cannot write the standard output: No space left on device|$BUILD/vivarium/vivarium --version > /dev/full
9|world too large|ulimit -v 45000; $SIMDUMP --program vivarium --seed 1 --passes 30 --lines 100 --cols 300
0|0 # end: status 0|S --passes 100 --log $T/c.csv 2>&-; echo \$(grep -c 'bug left' $T/c.csv) \$(tail -n 1 $T/c.csv) >&2
EOF
ln -sf /dev/full "$T/log.csv" && start 2 10 20 && within '[ -s "$T/status" ]'
[ "$(cat "$T/status" "$T/stderr" | paste -sd '|')" = "12|terrarium: one bug left after 53 passes|terrarium: \
TERRARIUM_LOG: cannot write '$T/log.csv': No space left on device" ] || fail "terrarium's log onto a full disk"
echo "ok: simdump's bounds and refusals, failed writes, memory short, a closed standard error"
