#!/usr/bin/env bash
# Logs of the real program on a terminal (a private tmux server) against
# simdump's for the same seed, refusals of the environment, a sweep, a
# summary checked by hand, and terrarium-lab's pictures.
set -uo pipefail
BUILD=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd) GOLDEN=$(cd "$(dirname "$0")/../golden" && pwd)
LAB=$BUILD/tools/terrarium-lab SIMDUMP=$BUILD/tools/simdump TERRARIUM=$BUILD/terrarium/terrarium
T=$(mktemp -d) SOCKET="lab-$$" VERSION=$("$BUILD/tools/simdump" --version | cut -d' ' -f2)
trap 'tmux -L $SOCKET kill-server 2>/dev/null; kill -9 ${lab:-} ${children:-} 2>/dev/null; rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
within() { for _ in $(seq 300); do eval "$1" && return 0; sleep 0.1; done; fail "timed out: $1"; }

# terrarium -s 1 seeded with $1 in a pane of $2 lines x $3 columns, logging to $T/log.csv (every $EVERY-th pass).
start() {
    rm -f "$T/status"
    tmux -L $SOCKET -f /dev/null new-session -d -x "$3" -y "$2" "env TERM=xterm TERRARIUM_SEED=$1 \
        TERRARIUM_LOG=$T/log.csv TERRARIUM_LOG_EVERY=${EVERY:-1} $TERRARIUM -s 1 2>$T/stderr; echo \$? > $T/status"
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
EVERY=10 start 2 10 20 && within '[ -s "$T/status" ]' && "$SIMDUMP" --program terrarium --seed 2 --lines 10 --cols 20 \
    --passes 99 -s 1 --every 10 --log "$T/dump.csv" > /dev/null 2>&1  # rows 0, 10, ..., 50, 53
cmp -s "$T/log.csv" "$T/dump.csv" && [ "$(grep -c "^[0-9]" "$T/log.csv")" = 7 ] || fail "TERRARIUM_LOG_EVERY=10"
for end in x TERM; do
    rm -f "$T/log.csv" && start 7 24 80  # the last run's log must not pass for this one's
    within 'grep -q "^25," "$T/log.csv"'
    [ $end = x ] && tmux -L $SOCKET send-keys x || kill -TERM "$(pgrep -P "$(tmux -L $SOCKET display -p '#{pane_pid}')")"
    check_log "$([ $end = x ] && echo 0 || echo 143)" 7 24 80 1  # less the end line: a quit adds no row
done
# A fatal signal's handler writes the rows made since the last written (at pass 25): paused in pass N, the
# log ends with row N - 1, the world after N - 1 passes. Refused after the log was opened (a terminal too
# small, none), a run still ends its log.
rm -f "$T/log.csv" && start 7 24 80 && within 'grep -q "^25," "$T/log.csv"' && tmux -L $SOCKET send-keys p
within 'tmux -L $SOCKET capture-pane -p | grep -q "paused  .*pass [0-9]"'
n=$(tmux -L $SOCKET capture-pane -p | grep -o 'pass [0-9]*' | tail -n 1 | cut -c6-)
kill -USR1 "$(pgrep -P "$(tmux -L $SOCKET display -p '#{pane_pid}')")"
check_log 138 7 24 80 1 && [ "$(tail -n 2 "$T/log.csv" | head -n 1 | cut -d, -f1)" = $((n - 1)) ] ||
    fail "rows to pass $n"
start 2 2 3 && within '[ -s "$T/status" ]' && TERRARIUM_LOG=$T/none.csv "$TERRARIUM" < /dev/null 2> /dev/null
[ "$?:$(cat "$T/status"):$(tail -qn 1 "$T/log.csv" "$T/none.csv" | paste -sd :)" = "11:8:# end: status 8:# end: \
status 11" ] || fail "the log of a refused run"
echo "ok: logs of one bug left, quit, SIGTERM, SIGUSR1 and refusals"

# A row at the start, after every pass and when one bug is left.
"$SIMDUMP" --program vivarium --seed 3 --lines 2 --cols 3 --passes 20000 --log "$T/v.csv" > /dev/null 2>&1
printf '# program: vivarium\n# version: %s\n# seed: 3\n# screen: 2 x 3 (lines x cols)\n# world: 25 x 33 (rows x cols)
# options: none\npass,population,races,food,age,gen,size,A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W,X,Y,Z,other
' "$VERSION" | cmp -s - <(head -n 7 "$T/v.csv") || fail "vivarium's header"
[ "$(awk -F, '/^[0-9]/ { printf "%s ", $1 }' "$T/v.csv")" = "$(seq -s ' ' 0 225) " ] &&
    [ "$(tail -n 2 "$T/v.csv" | cut -d, -f1,2 | paste -sd ' ')" = "225,1 # end: status 0" ] || fail "vivarium's rows"
rows_add_up "$T/v.csv" 34
# Thinned to every 100th pass: the full log but for rows between, the last (1050) kept.
for every in 1 100; do "$SIMDUMP" --program terrarium --seed 2 --lines 24 --cols 80 --passes 1050 --every $every \
    --log "$T/every$every.csv" > /dev/null; done
cmp -s <(awk -F, '!/^[0-9]/ || $1 % 100 == 0 || $1 == 1050' "$T/every1.csv") "$T/every100.csv" &&
    [ "$(grep -c '^[0-9]' "$T/every100.csv")" = 12 ] || fail "a log thinned to every 100th pass"
echo "ok: vivarium's log, a thinned log"

# Refused before the terminal is opened: 12, not 11 for the missing terminal.
TERRARIUM_SEED=-1 "$TERRARIUM" < /dev/null > /dev/null 2>&1
[ $? = 12 ] || fail "TERRARIUM_SEED=-1"
for every in 0 x 1000000001 ''; do TERRARIUM_LOG_EVERY=$every "$TERRARIUM" < /dev/null > /dev/null 2> "$T/stderr"
    [ $? = 12 ] && [ "$(cat "$T/stderr")" = "terrarium: TERRARIUM_LOG_EVERY must be a number from 1 to 1000000000" ] ||
        fail "TERRARIUM_LOG_EVERY=$every"; done
# Values with text after the number never name a directory: refused (a -s
# that would end a gnuplot command too); a picture's name that is not a plain path.
cd "$T" || fail "cd $T"
# Every bad command line of either tool: one line naming it, then the usage, status 2.
while IFS='@' read -r tool args message; do
    eval "\"\$$tool\" $args" > /dev/null 2> "$T/stderr"
    [ $? = 2 ] && [ "$(head -n 1 "$T/stderr")" = "$message" ] && grep -q '^usage: ' "$T/stderr" ||
        fail "bad command line: $tool $args: $(head -n 1 "$T/stderr")"
done <<'EOF'
LAB@--seeds 1 --passes 1 --out x --passes x@terrarium-lab: bad value for --passes: x
LAB@--seeds 1 --passes 1 --out x --program vivarium -s 1@terrarium-lab: vivarium takes no -s, -r or -g
LAB@--seeds 7 --passes 5 --out x -g 4/../../../../../../../../tmp/ESCAPED@terrarium-lab: bad value for -g: 4/../../../../../../../../tmp/ESCAPED
LAB@--seeds 1 --passes 1 --out x -s ''@terrarium-lab: bad value for -s: 
LAB@--seeds 1 --passes 1 --out x -s $'1\nsystem("touch PWNED")\n#'@terrarium-lab: bad value for -s: 1\nsystem("touch PWNED")\n#
LAB@--seeds 1 --passes 1 --out x -r 150,@terrarium-lab: bad value for -r: 150,
LAB@--seeds 1, --passes 1 --out x@terrarium-lab: bad value for --seeds: 1,
LAB@plot x.csv -o '|touch PWNED; cat > c.png'@terrarium-lab: -o: the picture's name must be a plain path ending in .png or .svg: |touch PWNED; cat > c.png
LAB@plot x.csv -o -x.svg@terrarium-lab: -o: the picture's name must be a plain path ending in .png or .svg: -x.svg
LAB@--seeds 1 --passes 1 --out x --shard 0/3@terrarium-lab: bad value for --shard: 0/3 (K/N, K from 1 to N)
LAB@--seeds 1 --passes 1 --out x --shard 1/2x@terrarium-lab: bad value for --shard: 1/2x (K/N, K from 1 to N)
LAB@--seeds 1 --passes 1@terrarium-lab: --seeds, --passes and --out are required
LAB@--seeds 1 --passes 1 --out x --program x@terrarium-lab: --program: x not in {terrarium,vivarium}
LAB@--seeds 1 --passes 1 --out x --bogus@terrarium-lab: The following argument was not expected: --bogus
LAB@summary@terrarium-lab: DIR is required
LAB@plot x.csv -o@terrarium-lab: -o: 1 required PICTURE missing
LAB@render w --scale 17 -o w.png@terrarium-lab: bad value for --scale: 17
LAB@genes x --step 0@terrarium-lab: bad value for --step: 0
LAB@--from w --seeds 1 --passes 1 --out x -s 1@terrarium-lab: -s, -r, -g, --lines and --cols are the world file's with --from
LAB@--from w --seeds 1 --passes 1 --out x --lines 9@terrarium-lab: -s, -r, -g, --lines and --cols are the world file's with --from
EOF
[ ! -e PWNED ] && [ ! -e x ] && [ ! -e /tmp/ESCAPED ] || fail "a refused value made files"
# --help of each tool and command, and --version: on the standard output, status 0.
for asked in "SIMDUMP --help@Usage: simdump [OPTIONS]" "LAB --help@Usage: terrarium-lab [OPTIONS] [SUBCOMMAND]" \
    "LAB summary -h@Usage: terrarium-lab summary [OPTIONS] DIR..." "LAB render -h@Usage: terrarium-lab render \
[OPTIONS] FILE" "LAB inspect -h@Usage: terrarium-lab inspect [OPTIONS] FILE" "LAB plot --help@Usage: terrarium-lab plot \
[OPTIONS] INPUT..." "LAB --version@terrarium-lab 1.0" "SIMDUMP --version@simdump 1.0"; do
    c=${asked%%@*}; eval "\"\$${c%% *}\" ${c#* }" 2> /dev/null | grep -qxF "${asked#*@}" || fail "$asked"; done
echo "ok: refusals"

script -qec "$LAB --seeds 1-2 --passes 30 --lines 10 --cols 20 -s 1,2 --jobs 2 --out $T/sweep" /dev/null |
    tr '\r' '\n' > "$T/progress" || fail sweep   # on a terminal: a progress bar
"$SIMDUMP" --program terrarium --seed 2 --lines 10 --cols 20 --passes 30 -s 2 --log "$T/dump.csv" > "$T/dump"
# The last row is the world as the run ended, as the dump shows it.
grep -qx "bugs $(tail -n 2 "$T/dump.csv" | head -n 1 | cut -d, -f2)" "$T/dump" &&
    cmp -s "$T/dump.csv" "$T/sweep/s2-r150-g4/seed2.csv" && grep -q "^\[#*\] 4/4  0:00 left" "$T/progress" &&
    [ "$(wc -l < "$T/sweep/summary.csv")" = 3 ] || fail "the sweep's files"
{ echo "# terrarium-lab sweep: terrarium, 30 passes, screen 10 x 20"; printf '%s\n' s{1,2}-r150-g4/seed{1,2}.csv; } |
    cmp -s - "$T/sweep/manifest" || fail "manifest"
# Shares of 10 runs: share 2 of 3 is runs 2, 5 and 8; for any N the shares hold every run once.
for n in 1 3 4 11; do for k in $(seq "$n"); do "$LAB" --seeds 1-5 --passes 30 --lines 10 --cols 20 -s 1,2 \
    --no-summary --shard "$k/$n" --out "$T/share$n-$k" > /dev/null 2>&1 || fail "share $k/$n"; done
    cat "$T"/share"$n"-*/manifest | grep -v '^#' | sort | cmp -s - <(grep -v '^#' "$T/share1-1/manifest" | sort) ||
        fail "shares of $n"; done
[ "$(tail -n +2 "$T/share3-2/manifest" | paste -sd ' ')" = "s1-r150-g4/seed2.csv s1-r150-g4/seed5.csv \
s2-r150-g4/seed3.csv" ] || fail "share 2 of 3"
# Into another sweep's files only with --add, and only of the same kind; a seed given twice runs once.
again() {
    "$LAB" --seeds "$1" --passes "$2" --lines 10 --cols 20 -s "$3" --out "$T/sweep" ${4:-} > /dev/null 2> "$T/stderr"
}
again 3 30 1 && fail "a second sweep into --out"
grep -qx "terrarium-lab: $T/sweep holds another sweep's files (--add adds to them)" "$T/stderr" || fail "no --add"
again 3 31 1 --add && fail "another kind of sweep added"
again 3,3 30 1.0 --add &&
    [ "$(tail -n 2 "$T/sweep/manifest" | paste -sd ' ')" = "s2-r150-g4/seed2.csv s1-r150-g4/seed3.csv" ] &&
    [ "$(cut -d, -f1,2 "$T/sweep/summary.csv" | paste -sd ' ')" = "setting,runs s1-r150-g4,3 s2-r150-g4,2" ] &&
    grep -qx "1/1 s1-r150-g4 seed 3" "$T/stderr" || fail "--add: $(cat "$T/stderr")"  # progress on stderr
[ "$(cut -d, -f1-7,11 "$T/sweep/runs.csv" | tail -n +2 | paste -sd ' ')" = "$(for r in 1,1 1,2 1,3 2,1 2,2; do
    printf 's%s-r150-g4,terrarium,%s,150,4,%s,30,0\n' "${r%,*}" "${r%,*}" "${r#*,}"; done | paste -sd ' ')" ] ||
    fail "runs.csv"
# Final populations 1 (at pass 40), 4 and 7: mean 4, sample deviation 3;
# a log without its end line is left out.
mkdir -p "$T/hand/a" "$T/hand/b"
log() { printf '# program: terrarium\npass,population,A,B,C\n0,9,3,3,3\n%s\n%s' "$2" "$3" > "$T/hand/$1.csv"; }
end="# end: status 0"
log a/seed1 40,1,1,0,0 "$end"; log a/seed2 100,4,3,1,0 "$end"; log a/seed3 100,7,0,7,0 "$end"
log a/seed4 100,9,9,0,0 ""; log b/seed1 60,5,0,0,5 "$end"
# A killed run is counted apart; CRLF lines are read; a log cut short,
# binary, with a trailing comma, a number beyond 64 bits or a FIFO is left
# out with a line each. b's finals 5 and 3: mean 4, deviation sqrt(2).
log a/seed5 100,8,8,0,0 "# end: status 143"; printf '\0\1PNG\n' > "$T/hand/a/seed6.csv"; mkfifo "$T/hand/a/seed7.csv"
log b/seed2 80,3,0,2,1 "$end"; sed -i 's/$/\r/' "$T/hand/b/seed2.csv"
log b/seed3 70,3,0,2,1, "$end"; log b/seed4 70,18446744073709551616,0,2,1 "$end"
timeout 10 "$LAB" summary "$T/hand" > /dev/null 2> "$T/stderr" && [ "$(grep -c ': left out$' "$T/stderr")" = 5 ] ||
    fail "summary of damaged logs: $(cat "$T/stderr")"
diff - "$T/hand/summary.csv" <<'EOF' || fail "summary"
setting,runs,killed,one_bug,one_bug_mean_pass,final_mean,final_sd,top_races
a,3,1,1,40.0,4.00,3.00,A:2 B:2
b,2,0,0,,4.00,1.41,C:2 B:1
EOF
# Python's csv reader finds the table on standard input, numbers within 0.0005.
csv_is() { python3 -c 'import csv, sys
def same(a, b):
    try: return abs(float(a) - float(b)) < 5e-4
    except ValueError: return a == b
got, want = list(csv.reader(open(sys.argv[1], newline=""))), list(csv.reader(sys.stdin))
sys.exit(len(got) != len(want) or not all(len(g) == len(w) and all(map(same, g, w)) for g, w in zip(got, want)))' \
    "$1" || fail "$1: $(cat "$1")"; }
# The killed run has its row; each pass holds the runs' last figures (a at 40: 1, 9 and 9), the interval
# mean -/+ t(0.975, n - 1) sd / sqrt(n): a at 100, 4 -/+ 4.302653 * 3 / sqrt(3); a race leads at a tie.
csv_is "$T/hand/runs.csv" <<'EOF'
setting,program,s,r,g,seed,passes,ended_at,final_population,races_alive,killed
a,terrarium,,,,1,,40,1,1,0
a,terrarium,,,,2,,,4,2,0
a,terrarium,,,,3,,,7,1,0
a,terrarium,,,,5,,,8,1,1
b,terrarium,,,,1,,,5,1,0
b,terrarium,,,,2,,,3,2,0
EOF
csv_is "$T/hand/series.csv" <<'EOF'
setting,pass,mean,sd,n,low,high
a,0,9,0,3,9,9
a,40,6.3333,4.6188,3,-5.1404,17.8071
a,100,4,3,3,-3.4524,11.4524
b,0,9,0,2,9,9
b,60,7,2.8284,2,-18.4124,32.4124
b,80,4,1.4142,2,-8.7062,16.7062
EOF
csv_is "$T/hand/races.csv" <<'EOF'
setting,race,runs_led,mean_at_end
a,A,2,1.3333
a,B,1,2.6667
b,B,1,1
b,C,1,3
EOF
# A setting's own directory is summarised alone, its tables beside its logs and never read as logs.
"$LAB" summary "$T/hand/b/" 2> /dev/null | grep -q '^b  .* C:2 B:1$' && tail -n 1 "$T/hand/b/runs.csv" |
    grep -qx 'b,terrarium,,,,2,,,3,2,0' && cp "$T/hand/summary.csv" "$T/s" &&
    [ "$("$LAB" summary "$T/hand" 2>&1 > /dev/null | grep -c ': left out$')" = 5 ] && cmp -s "$T/s" "$T/hand/summary.csv" ||
    fail "a setting's directory"
# Shares merged: a's finals also 5 and 8 (mean 5, deviation sqrt(30/4)); races alive at the end, 1 being
# alive (A in seed8), B's 9 in seed9 not at its end, "other" counted, D fourth. Kinds unlike are refused.
h2() { mkdir -p "$T/hand2/a" && { echo pass,population,A,B,C,D,other; printf '%s\n' "${@:2}" "$end"; } > "$T/hand2/a/$1"; }
h2 seed8.csv 100,5,1,0,0,0,4 && h2 seed9.csv 0,9,0,9,0,0,0 100,8,0,0,0,3,5
[ "$("$LAB" summary "$T/hand" "$T/hand2" 2> /dev/null | tail -n +2 | tr -s ' ' | paste -sd '|')" = "a 5 1 1 40.0 5.00 \
2.74 A:3 B:2 other:2|b 2 0 0 4.00 1.41 C:2 B:1" ] || fail "a summary of shares"
for dirs in "$T/hand $T/sweep" "$T/sweep $T/hand"; do "$LAB" summary $dirs > /dev/null 2> "$T/stderr" && fail "$dirs"
    [ "$(cat "$T/stderr")" = "terrarium-lab: ${dirs#* } holds another kind of sweep than ${dirs% *} (by their \
manifests)" ] || fail "sweeps of different kinds: $(cat "$T/stderr")"; done
echo "ok: a sweep as simdump runs it, and its summary"

# Branches of a world saved at pass 40: each log starts with the saved world's row (simdump's row 40), the
# seeds part ways, a seed run again gives the same log; inspect's census is that row's.
"$SIMDUMP" --program terrarium --seed 7 --lines 24 --cols 80 --passes 40 -s 1 --save-at 40 "$T/w.world" \
    --log "$T/saved.csv" > /dev/null || fail "save at 40"
B() { "$LAB" --from "$T/w.world" --passes 30 --out "$T/$1" --seeds "$2" "${@:3}" > /dev/null 2> "$T/stderr"; }
B branch 1-3 && B again 2 --program terrarium || fail "branched sweeps: $(cat "$T/stderr")"
rows() { grep '^[0-9]' "$T/branch/s1-r150-g4/seed$1.csv"; }
row40=$(grep '^40,' "$T/saved.csv")
for seed in 1 2 3; do [ "$(rows $seed | head -n 1)" = "$row40" ] && [ "$(rows $seed | tail -n 1 | cut -d, -f1)" = 70 ] ||
    fail "seed $seed does not go on from pass 40"; done
grep -qx "# branched from: '$T/w.world' at pass 40" "$T/branch/s1-r150-g4/seed1.csv" && B thin 1 --every 20 &&
    [ "$(grep '^[0-9]' "$T/thin/s1-r150-g4/seed1.csv" | cut -d, -f1 | paste -sd ' ')" = "40 60 70" ] &&
    grep -q '^# terrarium-lab sweep: terrarium, 30 passes, logged every 20 passes, screen' "$T/thin/manifest" ||
    fail "a branched log's origin, or thinned"
! cmp -s <(rows 1) <(rows 2) && ! cmp -s <(rows 2) <(rows 3) && cmp -s "$T/branch/s1-r150-g4/seed2.csv" \
    "$T/again/s1-r150-g4/seed2.csv" || fail "branches alike, or a branch not reproduced"
[ "$(head -n 1 "$T/branch/manifest")" = "# terrarium-lab sweep: terrarium, 30 passes, screen 24 x 80, branched \
from $T/w.world at pass 40" ] && B branch 4 --add && [ "$(wc -l < "$T/branch/summary.csv")" = 2 ] &&
    [ "$("$LAB" summary "$T/branch" | head -n 1)" = "branched from $T/w.world at pass 40" ] || fail "manifest"
cp "$T/w.world" "$T/w"$'\e'.world && "$LAB" --from "$T/w"$'\e'.world --seeds 1 --passes 1 --out "$T/esc" > /dev/null &&
    [ "$(head -n 1 "$T/esc/manifest")" = "# terrarium-lab sweep: terrarium, 1 passes, screen 24 x 80, branched from \
$T/w\\x1b.world at pass 40" ] || fail "the manifest of a sweep branched from a name with a control character"
B other 1 --program vivarium; [ $? = 2 ] && [ "$(head -n 1 "$T/stderr")" = "terrarium-lab: --program vivarium: \
'$T/w.world' holds a world of terrarium" ] && [ ! -e "$T/other" ] || fail "--program of another world"
races=$(echo "$row40" | awk -F, '{ for (i = 9; i <= 34; i++) if ($i > 0) s = s sprintf("%s%c %d", s ? ", " : "",
    i + 56, $i); print $3 " (" s ")" }')
"$LAB" inspect "$GOLDEN/vivarium_v1_seed2_pass30.world" | grep -qx "program version: unknown" ||
    fail "inspect of a file that does not say its program's version"
"$LAB" inspect "$T/w.world" | head -n 9 | diff - <(printf '%s\n' "program: terrarium" "format version: 2" \
    "program version: $VERSION" \
    "world: $(grep -o '[0-9]* x [0-9]* (rows' "$T/saved.csv") x cols), for a screen of 24 x 80 (lines x cols)" \
    "options: -s 1 -r 150 -g 4" "pass: 40" "phase: 15" "population: $(echo "$row40" | cut -d, -f2)" \
    "races alive: $races") || fail "inspect"
# Refused files: damaged, missing, named with control characters (shown escaped); with --from, before DIR is made.
head -c 100 "$T/w.world" > "$T/cut.world"
for file in cut.world none.world $'none\e[2J\n.world'; do for run in 'inspect "$f"' 'render "$f" -o "$T/no.png"' \
    '--from "$f" --seeds 1 --passes 1 --out "$T/no"'; do f=$T/$file shown=${file//$'\e'/\\x1b}
    eval "\"\$LAB\" $run" > /dev/null 2> "$T/stderr"
    [ $? = 13 ] && [ "$(wc -l < "$T/stderr")" = 1 ] && grep -qF "'$T/${shown//$'\n'/\\n}'" "$T/stderr" &&
        [ ! -e "$T/no" ] && [ ! -e "$T/no.png" ] || fail "$run: $(cat "$T/stderr")"; done; done
echo "ok: sweeps branched from a saved world, inspect"

# render's pictures against the map simdump prints, pixel by pixel (PNG read here with zlib), cell by cell (SVG).
R() { "$LAB" render "$T/w.world" -o "$T/$1" "${@:2}" || fail "render $*"; }
R w.png --scale 3 && R w.svg --scale 2 && R d.png --density --block 4 && R d.svg --density --block 4
"$SIMDUMP" --resume "$T/w.world" --passes 0 > "$T/w.dump" && python3 - "$T" <<'EOF' || fail "render's pictures"
import collections, itertools, struct, sys, zlib, xml.etree.ElementTree as ET
T = sys.argv[1]
dump = open(T + "/w.dump").read().split("\n")
rows, cols = map(int, dump[0].split()[3:6:2])
grid = dump[1:1 + rows]
cube = [0, 95, 135, 175, 215, 255]  # a race's colour: its letter's xterm colour, from A in turn
races = [(8 + 10 * (i - 232),) * 3 if i >= 232 else (cube[(i - 16) // 36], cube[(i - 16) // 6 % 6], cube[(i - 16) % 6])
         for i in (196, 208, 220, 226, 118, 48, 51, 39, 33, 99, 129, 201, 213, 205, 209, 180, 186, 156, 122, 159,
                   117, 147, 170, 183, 255, 245)]
ground = {" ": (0, 0, 0), "~": (30, 80, 200), "#": (100, 100, 100), ".": (0, 100, 0), "*": (0, 170, 0),
          "@": (0, 255, 0)}
plain = lambda y, x: ground.get(grid[y][x]) or races[(ord(grid[y][x]) - 65) % 26]
bugs = collections.Counter((y // 4, x // 4) for y in range(rows) for x in range(cols) if grid[y][x] not in ground)
def dense(y, x):
    n, under, most = bugs[y // 4, x // 4], ground.get(grid[y][x], (0, 0, 0)), max(bugs.values())
    u = 85 + 2 * -(-n * 255 // most)
    return under if n == 0 else tuple((g + 3 * min(255, max(0, h))) // 4 for g, h in zip(under, (u, u - 255, u - 510)))
def png(name, k):
    data, at, idat = open(T + "/" + name, "rb").read(), 8, b""
    while at < len(data):
        n, kind = struct.unpack(">I4s", data[at:at + 8])
        body, at = data[at + 8:at + 8 + n], at + 12 + n
        assert zlib.crc32(kind + body) == struct.unpack(">I", data[at - 4:at])[0]
        w, h, bits, colour = struct.unpack(">IIBB", body[:10]) if kind == b"IHDR" else (w, h, bits, colour)
        idat += body if kind == b"IDAT" else b""
    raw = zlib.decompress(idat)
    assert (bits, colour) == (8, 2) and len(raw) == h * (3 * w + 1) and not any(raw[::3 * w + 1])
    return w, h, lambda y, x: tuple(raw[y * (3 * w + 1) + 1 + 3 * x:][:3]), None
def svg(name, k):
    root, cells = ET.parse(T + "/" + name).getroot(), [[None] * cols for _ in range(rows)]
    for r in root:
        x, y, w, h = (int(r.get(a, 0)) for a in ("x", "y", "width", "height"))
        for yy, xx in itertools.product(range(y, y + h), range(x, x + w)):
            cells[yy][xx] = tuple(bytes.fromhex(r.get("fill")[1:]))
    return int(root.get("width")), int(root.get("height")), lambda y, x: cells[y // k][x // k], len(root) - 1
for name, k, want in ("w.png", 3, plain), ("d.png", 1, dense), ("w.svg", 2, plain), ("d.svg", 1, dense):
    w, h, at, n = (png if name.endswith("png") else svg)(name, k)
    runs = sum(c != (0, 0, 0) for y in range(rows) for c, _ in itertools.groupby(want(y, x) for x in range(cols)))
    assert (w, h) == (cols * k, rows * k) and n in (None, runs), name
    assert all(at(y, x) == want(y // k, x // k) for y in range(h) for x in range(w)), name
EOF
echo "ok: render's pictures, PNG and SVG, of the map and of its bugs' density"

(umask 027 && "$LAB" plot "$T/sweep/s1-r150-g4/seed1.csv" "$T/sweep/s1-r150-g4/seed2.csv" -o "$T/p.png" &&
    "$LAB" plot "$T/sweep" -o "$T/p.svg") || fail "plot"
[ "$(head -c 4 "$T/p.png" | tail -c 3)" = PNG ] && head -c 100 "$T/p.svg" | grep -q '<svg' &&
    [ "$(stat -c %a "$T/p.png" "$T/p.svg" | paste -sd ' ')" = "640 640" ] || fail "pictures, made as the umask says"
script -qc "stty cols 50 rows 20; $LAB plot $T/sweep/s1-r150-g4/seed1.csv" /dev/null | tr -d '\r' > "$T/dumb"
[ "$(wc -L < "$T/dumb")" -le 50 ] && grep -q "seed1 all" "$T/dumb" || fail "on the terminal: $(wc -L < "$T/dumb")"
PATH=/nonexistent "$LAB" plot "$T/sweep/s1-r150-g4/seed1.csv" 2> "$T/stderr" && fail "no gnuplot"
grep -q "gnuplot is not installed" "$T/stderr" || fail "no gnuplot: $(cat "$T/stderr")"
echo "ok: plots: PNG, SVG, the terminal's width, and no gnuplot"

# Names gnuplot would run: a log named as a command, - and + (its special
# files), a sweep's setting named with a command on a line of its own.
good=$T/sweep/s1-r150-g4/seed1.csv
cp "$good" "$T/<touch PWNED; cat x #.csv"; cp "$good" -; cp "$good" +
evil=$T/evil/s1$'\n'system\(\"touch\ PWNED\"\)$'\n'#
mkdir -p "$evil" && cp "$good" "$evil/seed1.csv"
"$LAB" plot "$T/<touch PWNED; cat x #.csv" - + -o "$T/n.png" && "$LAB" plot "$T/evil" -o "$T/e.svg" &&
    "$LAB" summary "$T/evil" > /dev/null && [ "$(wc -l < "$T/evil/summary.csv")" = 2 ] && [ ! -e PWNED ] &&
    grep -qF 's1\nsystem(' "$T/e.svg" || fail "a name run as a command"
# A forged manifest, a setting and a log named with control characters: shown escaped. A FIFO named manifest
# is refused by summary, plot and --add, never waited on.
mkdir -p "$T/forged/a"$'\e' && printf '# x, branched from \e]2;X\a\\ at pass 4\n' > "$T/forged/manifest"
printf 'pass,population\n' > "$T/forged/a"$'\e/seed\n.csv' && cp "$good" "$T/forged/a"$'\e'
"$LAB" summary "$T/forged" > "$T/out" 2> "$T/stderr" && grep -q '^a\\x1b ' "$T/out" &&
    [ "$(head -n 1 "$T/out")" = 'branched from \x1b]2;X\a\\ at pass 4' ] &&
    [ "$(cat "$T/stderr")" = "terrarium-lab: $T/forged/a\\x1b/seed\\n.csv: cut short, without its end line: left out" ] ||
    fail "names shown raw: $(cat -A "$T/out" "$T/stderr")"
rm "$T/forged/manifest" && mkfifo "$T/forged/manifest"
for run in "summary $T/forged" "plot $T/forged" "--seeds 1 --passes 1 --out $T/forged --add"; do
    timeout 10 "$LAB" $run > /dev/null 2> "$T/stderr"
    [ $? = 1 ] && [ "$(cat "$T/stderr")" = "terrarium-lab: $T/forged/manifest: not a regular file" ] ||
        fail "$run: $(cat "$T/stderr")"; done
echo "ok: no name reaches gnuplot as a command, nor a terminal raw; a FIFO named manifest"

# Failed writes and runs: a line naming each, status 1, no picture in part.
"$LAB" --seeds 1 --passes 5 --lines 2 --cols 2 -s 1 --out "$T/small" > /dev/null 2> "$T/stderr"
[ $? = 1 ] && grep -qx "terrarium-lab: $T/small/s1-r150-g4/seed1.csv failed: exit 8 (world too small)" "$T/stderr" ||
    fail "a run refused: $(cat "$T/stderr")"
(ulimit -f 8; "$LAB" --seeds 1-2 --passes 2000 -s 1 --out "$T/full" > /dev/null 2> "$T/stderr") &&
    fail "logs cut short"
[ "$(grep -c "^terrarium-lab: $T/full/s1-r150-g4/seed[12].csv failed: " "$T/stderr")" = 2 ] || fail "cut logs"
rm "$T/hand/summary.csv" && mkdir "$T/hand/summary.csv"
"$LAB" summary "$T/hand" > /dev/null 2> "$T/stderr" && fail "summary.csv a directory"
grep -qx "terrarium-lab: cannot write $T/hand/summary.csv: Is a directory" "$T/stderr" || fail "summary.csv"
for command in "summary $T/sweep" "--seeds 1 --passes 5 --out $T/r7"; do
    "$LAB" $command > /dev/full 2> "$T/stderr" && fail "$command > /dev/full"
    grep -qx "terrarium-lab: cannot write the standard output: No space left on device" "$T/stderr" || fail "$command"
done
picture=$("$LAB" plot "$good" -o /nonexistent/x.png 2> /dev/null) && fail "a picture into nowhere"
[ -z "$picture" ] || fail "a picture on the terminal"
# A gnuplot that ends well with a picture cut short, and shows what it was given.
mkdir "$T/fake" && printf '#!/bin/sh\ncat > "%s/script"; printf "\\211PNG"\n' "$T" > "$T/fake/gnuplot" &&
    chmod +x "$T/fake/gnuplot" || fail "fake gnuplot"
PATH=$T/fake:$PATH "$LAB" plot "$T/<touch PWNED; cat x #.csv" -o "$T/cut.png" 2> /dev/null && fail "a picture cut short"
[ ! -e "$T/cut.png" ] && [ -z "$(ls -A "$T" | grep terrarium-lab)" ] && grep -q '^plot \$log1 using 1:2' "$T/script" &&
    ! grep -qF "#.csv" "$T/script" || fail "a picture left in part, or a name given to gnuplot"
echo "ok: failed runs and writes"
# Ten races: A and J (peak 10, A first) to D (4) drawn, B and C summed as the others.
printf 'pass,population,A,B,C,D,E,F,G,H,I,J\n0,55,1,2,3,4,5,6,7,8,9,10\n1,10,10,0,0,0,0,0,0,0,0,0\n' > "$T/ten.csv"
PATH=$T/fake:$PATH "$LAB" plot "$T/ten.csv" -o "$T/ten.png" 2> /dev/null
[ "$(grep -o "title 'ten [^']*'" "$T/script" | cut -c12- | paste -sd ' ')" = "all' A' J' I' H' G' F' E' D' others (2 \
races)'" ] && grep -qx '0 55 1 2 3 4 5 6 7 8 9 10 5' "$T/script" || fail "the races of a log's picture"
# Any column: of several logs a colour each; of sweeps, the mean in a band of its interval (D at 100: 0 and
# 3, 1.5 -/+ 12.706205 * sqrt(4.5) / sqrt(2)); the key outside. A column the logs lack is refused.
F() { PATH=$T/fake:$PATH "$LAB" plot "$@" -o "$T/f.png" 2> "$T/stderr"; }
F "$T/ten.csv" "$T/ten.csv" --column J; grep -q "^plot \$log1 using 1:12 .* lc 1 .*, \$log2 using 1:12 .* lc 2 " \
    "$T/script" || fail "plot of two logs' column J"
F "$T/hand2" --column D; grep -qx "set key outside" "$T/script" && grep -qx "100 1.5 -17.5593 20.5593" "$T/script" &&
    grep -q "^plot \$setting1 using 1:3:4 with filledcurves" "$T/script" || fail "plot --column D of a sweep"
F "$T/ten.csv" --column food; [ $? = 1 ] && [ "$(cat "$T/stderr")" = "terrarium-lab: $T/ten.csv: no column 'food'" ] ||
    fail "plot --column food: $(cat "$T/stderr")"

# Closed standard input and error: the children's logs are still whole.
"$LAB" --seeds 1-3 --passes 200 -s 1 --out "$T/r5" <&- > /dev/null 2>&- &&
    [ "$(head -n 1 "$T/r5/summary.csv" | cut -d, -f1)" = setting ] || fail "2>&-"
for f in "$T"/r5/*/*.csv; do [ "$(tail -n 1 "$f")" = "# end: status 0" ] || fail "$f with 2>&-"; done
# A signal ends the lab's worlds with it.
for signal in TERM:143 HUP:129 USR1:138 RTMIN+1:163; do
    "$LAB" --seeds 1-4 --passes 100000000 --out "$T/r3-${signal%:*}" --jobs 2 > /dev/null 2>&1 & lab=$!
    within '[ "$(pgrep -c -P $lab)" = 2 ]'
    children=$(pgrep -P $lab)
    kill -"${signal%:*}" $lab
    sleep 1  # long enough to end them, far too short for their worlds to end
    for child in $children; do ! kill -0 "$child" 2>/dev/null || fail "$signal: child $child left running"; done
    wait $lab 2> /dev/null
    [ $? = "${signal#*:}" ] || fail "$signal: lab's status"
done
# Seven runs in two workers, forked once each, give the files of seven one after another. (The lab's leak
# check cannot stop a traced process.) A worker killed fails only the run it was on; another takes the rest.
trace=() && command -v strace > /dev/null && trace=(strace -qq -e trace=fork,clone,clone3 -e signal=none -o "$T/forks")
sweep() { "$@" "$LAB" --seeds 1-7 --passes 30 --lines 10 --cols 20 -s 1,2 --jobs "$J" --out "$T/j$J" > /dev/null 2>&1; }
J=2 ASAN_OPTIONS=detect_leaks=0 sweep "${trace[@]}" && J=1 sweep &&
    diff -r "$T/j1" "$T/j2" && { [ -z "${trace[*]}" ] || [ "$(grep -vc CLONE_VM "$T/forks")" = 2 ]; } ||
    fail "seven runs in two workers: $(cat "$T/forks")"
"$LAB" --seeds 1-2 --passes 100000000 --jobs 1 --out "$T/dead" > /dev/null 2> "$T/stderr" & lab=$!
for seed in 1 2; do within "[ -e $T/dead/s2-r150-g4/seed$seed.csv ]" && kill -9 "$(pgrep -P $lab)"; done
wait $lab; [ $? = 1 ] && [ "$(grep -c "/dead/s2-r150-g4/seed[12].csv failed: killed by signal 9$" "$T/stderr")" = 2 ] ||
    fail "killed workers: $(cat "$T/stderr")"
echo "ok: closed error stream, signals, workers"

# simdump: a number just inside its bounds runs; outside, refused (2) with a line ("bad value for
# --lines: 0") and the usage.
S() { "$SIMDUMP" --program terrarium --seed 2 --lines 10 --cols 20 --passes 0 -s 1 "$@"; }  # 53 passes to its end
for ok in "--lines 1 --cols 10000" "--lines 10000 --cols 1" "--seed 0" "--seed 4294967295" "--passes 1000000000"; do
    S $ok > /dev/null 2>&1 || fail "simdump $ok"; done
for bad in "--lines 0" "--lines 10001" "--cols 0" "--cols 10001" "--passes -1" "--passes 1000000001" "--seed -1" \
    "--seed 1x" "--seed 4294967296" "--log:--log: 1 required FILE missing" "-s 0:try -s [.25-30]" \
    "--size 1:The following arguments were not expected: 1 --size" \
    "--program x:--program: x not in {terrarium,vivarium}" "--program vivarium:vivarium takes no -s, -r or -g" \
    "--resume x:--seed is not wanted with --resume: the file holds the world" "--save-at 0:--save-at takes N and FILE" \
    "--save-at 1 x:--save-at 1 is beyond --passes 0" "--save-at -1 x:bad value for --save-at: -1"; do
    [[ $bad == *:* ]] && said=${bad#*:} || said="bad value for ${bad/ /: }"
    S ${bad%%:*} > /dev/null 2> "$T/stderr"
    [ $? = 2 ] && [ "$(head -n 1 "$T/stderr")" = "simdump: $said" ] && grep -q '^usage: simdump' "$T/stderr" ||
        fail "simdump ${bad%%:*}: $(head -n 1 "$T/stderr")"
done
# Failed writes of the log (12) or output (1), in a line naming the file; memory short (9).
mkfifo "$T/fifo" && (timeout 60 head -c 300 "$T/fifo" > /dev/null 2>&1 &)  # less than a pipe holds: writes fail
grep -q '^SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" && sanitized=1 || sanitized=  # no start in 45 MB
[ -n "$sanitized" ] || "$SIMDUMP" --program terrarium --seed 1 --lines 60 --cols 200 -s 30 --passes 0 \
    --save-at 0 "$T/big.world" > /dev/null   # nor room to read it back in 60 MB
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
9|simdump: '$T/big.world': world too large|ulimit -v 60000; $SIMDUMP --resume $T/big.world --passes 0
13|terrarium: '$T/a\nb': cannot be read: No such file or directory|$TERRARIUM --resume $T/a$'\n'b
13|vivarium: '$T/a\x1b[2Jb': cannot be read: No such file or directory|$BUILD/vivarium/vivarium --resume $T/a$'\e[2J'b
12|terrarium: TERRARIUM_LOG: cannot open '$T/a\tb/x': No such file or directory|TERRARIUM_LOG=$T/a$'\t'b/x $TERRARIUM
0|0 # end: status 0|S --passes 100 --log $T/c.csv 2>&-; echo \$(grep -c 'bug left' $T/c.csv) \$(tail -n 1 $T/c.csv) >&2
EOF
ln -sf /dev/full "$T/log.csv" && start 2 10 20 && within '[ -s "$T/status" ]'
[ "$(cat "$T/status" "$T/stderr" | paste -sd '|')" = "12|terrarium: one bug left after 53 passes|terrarium: \
TERRARIUM_LOG: cannot write '$T/log.csv': No space left on device" ] || fail "terrarium's log onto a full disk"
# A terminal type with control characters is named escaped in the refusal (status 11). (ncurses keeps
# what it allocated for a type it could not find: no leak check.)
rm -f "$T/status" && tmux -L $SOCKET -f /dev/null new-session -d "env ASAN_OPTIONS=detect_leaks=0 TERM='a"$'\e'"[2Jb' $TERRARIUM 2> $T/stderr; \
    echo \$? > $T/status" && within '[ -s "$T/status" ]'
[ "$(cat "$T/status" "$T/stderr" | paste -sd '|')" = '11|terrarium: unknown terminal type (TERM=a\x1b[2Jb)' ] ||
    fail "a hostile TERM: $(cat "$T/stderr")"
echo "ok: simdump's bounds and refusals, failed writes, memory short, a closed standard error"

# Saved on the way and resumed, a run dumps as the straight run, logs its rows from the saved pass on, and
# saved again writes the straight run's file.
for run in "vivarium" "terrarium -s 1.5 -r 300"; do
    R() { "$SIMDUMP" --program $run --seed 4 --lines 24 --cols 80 "$@"; }
    R --passes 90 --log "$T/straight.csv" > "$T/straight" && R --passes 50 --save-at 30 "$T/saved.world" > /dev/null &&
        R --passes 50 --save-at 40 "$T/at40.world" > /dev/null && "$SIMDUMP" --resume "$T/saved.world" --passes 60 \
        --log "$T/resumed.csv" --save-at 10 "$T/again40.world" > "$T/resumed" && cmp -s "$T/straight" "$T/resumed" &&
        cmp -s "$T/at40.world" "$T/again40.world" || fail "$run: resumed otherwise than run straight"
    cmp -s <(awk -F, '/^[0-9]/ && $1 >= 30' "$T/straight.csv") <(grep '^[0-9]' "$T/resumed.csv") &&
        grep -qx "# resumed from: '$T/saved.world' at pass 30" "$T/resumed.csv" || fail "$run: the resumed log"
done
# A name with a line break is one line of the log, which plot reads.
cp "$T/saved.world" "$T/a"$'\n'"b.world" && "$SIMDUMP" --resume "$T/a"$'\n'"b.world" --passes 1 --log "$T/nl.csv" \
    > /dev/null && grep -qxF "# resumed from: '$T/a\nb.world' at pass 30" "$T/nl.csv" &&
    "$LAB" plot "$T/nl.csv" -o "$T/nl.svg" || fail "a resumed log of a name with a line break"
# Refused: a new world's options or the other program with --resume (2), a file that is no world (13); a
# save that fails ends the run (12).
head -c 100 "$T/saved.world" > "$T/cut.world"
while IFS='|' read -r status said args; do
    "$SIMDUMP" $args > "$T/out" 2> "$T/stderr"
    [ $? = "$status" ] && [ "$(head -n 1 "$T/stderr")" = "$said" ] && [ ! -s "$T/out" ] ||
        fail "simdump $args: $(head -n 1 "$T/stderr")"
done <<EOF
2|simdump: --program vivarium: '$T/saved.world' holds a terrarium world|--resume $T/saved.world --program vivarium --passes 1
2|simdump: -g is not wanted with --resume: the file holds the world|--resume $T/saved.world -g 3 --passes 1
2|simdump: --lines is required|--program vivarium --seed 1 --cols 9 --passes 1
13|simdump: '$T/none': cannot be read: No such file or directory|--resume $T/none --passes 1
13|simdump: '$T': not a regular file|--resume $T --passes 1
13|simdump: '$T/cut.world': truncated|--resume $T/cut.world --passes 1
12|vivarium: cannot save '$T/none/x': No such file or directory|--program vivarium --seed 1 --lines 9 --cols 9 --passes 2 --save-at 1 $T/none/x
EOF
echo "ok: simdump --save-at and --resume, and their refusals"

# A genealogy by hand: founders 1 and 2 of race A, 3 of B; 4 born of 1 at pass 10, 5 and 6 of 4 at 20 and 30,
# 7 of 5 at 40; 1, 2 and 5 die. Alive: 3, 4, 6, 7. Worked by hand: 1 folds into 4's branch (10 - 0), 5 into
# 7's (40 - 10); 4, alive with children, is also a leaf at 0 under its own node.
G=$T/g.lineage.csv && printf '%s\n' "# by hand" pass,event,id,parent,partner,race,generation,cause,by,size,g0 \
    0,founder,1,,,A,0,,,2,10 0,founder,2,,,A,0,,,4,20 0,founder,3,,,B,0,,,6,30 10,birth,4,1,2,A,1,,,3,12 \
    20,birth,5,4,4,A,2,,,5,14 25,death,1,,,A,0,starved,,, 30,birth,6,4,1,A,2,,,1,16 40,birth,7,5,5,A,3,,,2,18 \
    50,death,2,,,A,0,killed,3,, 60,death,5,,,A,2,starved,,, > "$G" && { cat "$G"; echo 70,death,3,,,B,0,starved,,,; } > "$T/g3" &&
    zstd -qf "$T/g3" -o "$T/g3.zst" && head -c -9 "$T/g3.zst" > "$T/cut.zst" && sed 's/^60,/5,/' "$G" > "$T/back" &&
    sed 's/^20,birth,5,4/20,birth,5,9/' "$G" > "$T/orphan" && sed 's/^60,death,5/60,death,8/' "$G" > "$T/ghost" ||
    fail "hand-made genealogies"
while IFS='@' read -r file status newick said; do
    [ "$("$LAB" tree "$T/$file" 2> "$T/stderr"):$?" = "$newick:$status" ] && [ "$(cat "$T/stderr")" = "$said" ] ||
        fail "tree $file: $("$LAB" tree "$T/$file" 2>&1)"
done <<EOF
g.lineage.csv@0@(3:0,(4:0,6:20,7:30):10);@most recent common ancestor of the 4 bugs alive: none but the root, at pass 0
g3.zst@0@(4:0,6:20,7:30):10;@most recent common ancestor of the 3 bugs alive: bug 4, born at pass 10
cut.zst@1@@terrarium-lab: $T/cut.zst: compressed data cut short
back@1@@terrarium-lab: $T/back: line 12: a pass not a whole number at or after the last row's: 5
orphan@1@@terrarium-lab: $T/orphan: line 7: bug 5's parent 9 is not alive before it
ghost@1@@terrarium-lab: $T/ghost: line 12: bug 8 dies but is not alive
EOF
# A long random genealogy, and a real run's of 3000 passes, read by an independent parser: a leaf for each bug
# alive, its distance from the root its birth pass, no node of a single child.
"$SIMDUMP" --program terrarium --seed 2 --lines 24 --cols 80 --passes 3000 --lineage "$T/real.csv" > /dev/null
for real in "" "$T/real.csv"; do python3 - "$LAB" "$T/long.csv" $real <<'EOF' || fail "tree of a long genealogy $real"
import csv, random, subprocess, sys
random.seed(5); born = {i: 0 for i in range(1, 31)}; alive = set(born); rows = []
for p in range(1, 5000):
    parent = random.choice(sorted(alive)); born[len(born) + 1] = p; alive.add(len(born))
    rows.append(f"{p},birth,{len(born)},{parent},{parent},A,1,,,1,1")
    if len(alive) > 40 or random.random() < .3:
        dead = random.choice(sorted(alive)); alive.discard(dead); rows.append(f"{p},death,{dead},,,,,starved,,,")
open(sys.argv[2], "w").write("pass,event,id,parent,partner,race,generation,cause,by,size,g0\n" +
    "".join(f"0,founder,{i},,,A,0,,,1,1\n" for i in range(1, 31)) + "\n".join(rows) + "\n")
if len(sys.argv) > 3 and sys.argv.pop(2):  # the real run's instead, its living and births read back with csv
    born, alive = {}, set()
    for r in csv.DictReader(l for l in open(sys.argv[2]) if not l.startswith("#")):
        if r["event"] == "death": alive.discard(int(r["id"]))
        else: born[int(r["id"])] = int(r["pass"]); alive.add(int(r["id"]))
    assert len(alive) > 10, alive
text, at, leaves = subprocess.run([sys.argv[1], "tree", sys.argv[2]], capture_output=True, text=True).stdout, 0, {}
def parse_one():
    global at
    kids = []
    if text[at] == "(":
        while text[at] in "(,":
            at += 1; kids.append(parse_one())
        assert text[at] == ")"; at += 1
    start = at
    while text[at] not in ",);": at += 1
    label, _, length = text[start:at].partition(":")
    return label, float(length or 0), kids
def walk(tree, depth):
    label, length, kids = tree
    assert len(kids) != 1
    if not kids: leaves[int(label)] = depth + length
    for kid in kids: walk(kid, depth + length)
walk(parse_one(), 0)
assert text[at:] == ";\n" and leaves == {i: born[i] for i in alive}, (leaves, alive)
EOF
done
# genes every 20 passes, worked by hand at 60 (alive: 3, 4, 6, 7, sizes 6, 3, 1, 2) and for A at 20 (sizes 2, 4,
# 3, 5); a directory pools its genealogies, each up to its last row: at 60 the bugs of both, at 70 g3's alone.
mkdir "$T/pool" && cp "$G" "$T/pool/" && cp "$T/g3.zst" "$T/pool/g3.lineage.csv.zst" && cp "$G" "$T/pool/not.csv" &&
    "$LAB" genes "$G" --step 20 > "$T/genes.csv" && "$LAB" genes "$T/pool" --step 10 -o "$T/pooled.csv" || fail genes
[ "$(grep -c . "$T/genes.csv")" = 25 ] && diff <(grep -E '^(60|20,A,size)' "$T/genes.csv") - <<'EOF' || fail "genes"
20,A,size,3.5,1.29099,4
60,*,size,3,2.16025,4
60,*,g0,19,7.74597,4
60,A,size,2,1,3
60,A,g0,15.3333,3.05505,3
60,B,size,6,,1
60,B,g0,30,,1
EOF
[ "$(grep -E '^(60,\*|70,\*|70,A),size' "$T/pooled.csv" | paste -sd ' ')" = "60,*,size,3,2,8 70,*,size,2,1,3 \
70,A,size,2,1,3" ] && [ "$(tail -n 1 "$T/pooled.csv" | cut -d, -f1)" = 70 ] || fail "genes pooled"
PATH=$T/fake:$PATH "$LAB" plot "$T/genes.csv" --gene size -o "$T/genes.png" 2> /dev/null
grep -q "^plot \$gene1 using 1:2 with lines lw 3 title 'all', \$gene2 .* title 'A', \$gene3 .* title 'B'$" \
    "$T/script" && grep -qx '60 2' "$T/script" && "$LAB" plot "$T/genes.csv" --gene g0 -o "$T/genes.svg" &&
    ! "$LAB" plot "$T/genes.csv" --gene x 2> "$T/stderr" &&
    [ "$(cat "$T/stderr")" = "terrarium-lab: $T/genes.csv: no rows of gene x" ] || fail "plot --gene"
echo "ok: tree, genes and plot --gene of genealogies by hand; a long genealogy's tree parsed"
