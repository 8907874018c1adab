# Saving and resuming, in both programs: a run ended by SIGHUP goes on from
# its file exactly as the run that was never stopped, also when its pane is
# closed; a signal ends a run within 2 s wherever it waits, its world
# saved; failed saves keep the old file and the run; kill -9 in a save
# leaves a file that resumes; refusals.
source "$(dirname "$0")/lib.sh" "$1"

pass_count() { [[ $(screen_row 23) =~ \ pass\ ([0-9]+)\  ]] && echo "${BASH_REMATCH[1]}"; }
at_least() { local now; now=$(pass_count) && [ "$now" -ge "$1" ]; }
upper() { tr a-z A-Z <<< "$1"; }

# The rows of a resumed run's log, from the pass it was saved at, are
# those of the same seed's run that was never stopped.
exact() {
    local p V S=$E2E_DIR-saves saved rows last
    for p in terrarium vivarium; do
        V=$(upper $p) && rm -rf "$S" && mkdir -p "$S"
        E2E_ENV="${V}_SEED=5 ${V}_LOG=$S/whole.csv" start_program $p
        E2E_TIMEOUT=120 wait_until "pass 2000" at_least 2000
        quit x
        E2E_ENV="${V}_SEED=5 ${V}_SAVE=$S/w.world" start_program $p
        wait_until "pass 100" at_least 100
        press p Pause && wait_gone Pause && saved=$(pass_count)
        kill -s HUP "$(program_pid)" && expect_signal HUP
        E2E_ENV="${V}_LOG=$S/resumed.csv ${V}_SEED=x" start_program $p --resume "$S/w.world"
        wait_row 23 0 ".*  paused  1us  pass $saved  "
        keys p && wait_until "pass $((saved + 100))" at_least $((saved + 100))
        quit x
        grep -qx "# resumed from: '$S/w.world' at pass $saved" "$S/resumed.csv" || fail "$p: the log's origin"
        # Either run may have gone on past the other before its quit took.
        last=$(tail -2 "$S/whole.csv" | head -1 | cut -d, -f1)
        rows=$(grep -v '^[#p]' "$S/resumed.csv" | awk -F, -v last="$last" '$1 < last')
        [[ $rows == "$saved,"* ]] && [ "$(wc -l <<< "$rows")" -gt 50 ] && ! grep -vxFf "$S/whole.csv" <<< "$rows" ||
            fail "$p: the resumed rows are not the whole run's"
        pass "$p: HUP while paused at pass $saved: saved, died of it; resumed there, paused: the same rows on"
    done
}

# The pane closed under the program (its terminal gone, SIGHUP): the
# world is saved at the pass it reached and resumes there.
pane_closed() {
    local p V S=$E2E_DIR-saves pid saved
    for p in terrarium vivarium; do
        V=$(upper $p) && rm -rf "$S" && mkdir -p "$S"
        E2E_ENV="${V}_SAVE=$S/w.world" start_program $p
        wait_until "pass 50" at_least 50
        press p Pause && wait_gone Pause && saved=$(pass_count) && pid=$(program_pid)
        tmux_ kill-pane -t e2e
        E2E_TIMEOUT=5 wait_until "the program to go" eval "! kill -0 $pid 2> /dev/null"
        start_program $p --resume "$S/w.world"
        wait_row 23 0 ".*  paused  1us  pass $saved  "
        quit x
    done
    pass "the pane closed: saved, gone within 5 s; resumed paused at the pass it reached"
}

# SIGHUP or SIGTERM wherever the program waits: died of it within 2 s,
# the terminal as before, the world saved.
anywhere() {
    local p where keys sig V S=$E2E_DIR-saves started
    while read -r p sig where keys; do
        V=$(upper $p) && rm -rf "$S" && mkdir -p "$S"
        E2E_ENV="${V}_SAVE=$S/w.world" start_program $p
        wait_until "pass 20" at_least 20
        [ "$keys" = - ] || keys $keys
        sleep 1   # there
        started=$(date +%s%N)
        kill -s $sig "$(program_pid)" && expect_signal $sig
        (($(date +%s%N) - started < 2000000000)) || fail "$p: $sig $where: more than 2 s"
        [ -s "$S/w.world" ] || fail "$p: $sig $where: no file"
    done <<< "terrarium HUP running -
terrarium TERM editor e
terrarium HUP viewer b
terrarium TERM statistics z
vivarium HUP popup d
vivarium TERM editor e"
    pass "HUP or TERM running, in a popup, the editor, the viewer, the statistics: saved, died of it within 2 s"
}

# A save into a read-only directory or onto a full disk fails, said on the
# status line (and at the key, in a popup): the old file is kept, the run
# goes on, and the end says it on the standard error stream.
runs_on_failing() {
    local before now
    before=$(md5sum < "$S/d/w.world") && now=$(pass_count)
    wait_until "passes on" at_least $((now + 100))
    row_matches 23 0 'save failed: ' && [ "$(md5sum < "$S/d/w.world")" = "$before" ] ||
        fail "$1: the old file changed"
}

# Ctrl-S while a periodic save is still being written says so instead:
# it is pressed again until its own save has failed.
saving_fails() { popup_shown "$1" || { keys C-s && sleep 0.5 && popup_shown "$1"; }; }

failing() {
    local S=$E2E_DIR-saves
    mkdir -p "$S/d" && mount -t tmpfs -o size=1m tmpfs "$S/d" || { pass "no tmpfs: not run"; return; }
    trap "umount '$S/d'; tmux_ kill-server 2> /dev/null" EXIT
    E2E_ENV="TERRARIUM_SAVE=$S/d/w.world TERRARIUM_SAVE_EVERY=0.2" start_program terrarium
    wait_until "a save" test -s "$S/d/w.world"
    wait_until "the remount" mount -o remount,ro "$S/d"   # refused while a save is being written
    wait_row 23 0 'save failed: '
    wait_until "Ctrl-S to fail" saving_fails "save failed: Read-only file system"
    runs_on_failing "read-only"
    press p Pause && mount -o remount,rw "$S/d" && dd if=/dev/zero of="$S/d/fill" bs=4k 2> /dev/null
    sleep 0.5 && keys p   # failed twice
    runs_on_failing "full"
    keys x && expect_end "exit 0"
    grep -q "^terrarium: .*w\.world" "$E2E_DIR/stderr" || fail "no word at the end: $(cat "$E2E_DIR/stderr")"
    mv "$S/d/w.world" "$S/w.world"
    start_program terrarium --resume "$S/w.world"
    wait_row 23 0 "x 12345 .* pass [0-9]+  "
    quit x
    pass "read-only, full: save failed on the status line and at Ctrl-S, the run on, the old file whole; said at x"
}

# kill -9 in the middle of saves of a big world, in the background and in
# the foreground after a SIGHUP: the file resumes.
killed() {
    local S=$E2E_DIR-saves E2E_TIMEOUT=120  # a world of -s 30, slow under the sanitizers beside the other lanes
    mkdir -p "$S"
    E2E_ENV="TERRARIUM_SAVE=$S/w.world TERRARIUM_SAVE_EVERY=0.05" start_program terrarium -s 30
    wait_until "pass 30" at_least 30
    kill -s KILL "$(program_pid)" && wait_until "the end" test -s "$E2E_DIR/end"
    sleep 2 && cp "$S/w.world" "$S/first.world"
    E2E_ENV="TERRARIUM_SAVE=$S/w.world" start_program terrarium --resume "$S/w.world"
    wait_until "pass 40" at_least 40
    kill -s HUP "$(program_pid)" && sleep 0.02 && kill -s KILL "$(program_pid)" 2> /dev/null
    wait_until "the end" test -s "$E2E_DIR/end"
    for f in first w; do
        start_program terrarium --resume "$S/$f.world"
        wait_row 23 0 "x 12345 .* pass [0-9]+  "
        quit x
    done
    pass "-s 30: kill -9 in background saves, and after a HUP: both files resume"
}

# A world saved in the pass that n runs (here in its boundary's sleep of
# 2 s) comes back paused: it ends that pass, then waits for the keys.
stepped() {
    local S=$E2E_DIR-saves passes
    E2E_ENV="TERRARIUM_SAVE=$S.world" start_program terrarium
    keys $(printf 's%.0s' {1..21}) && E2E_TIMEOUT=60 wait_row 23 0 ".*  2s  pass "
    press p Pause && press n 'Single step' && sleep 1.5 && kill -s TERM "$(program_pid)" && expect_signal TERM
    start_program terrarium --resume "$S.world"
    wait_row 23 0 ".*  paused  2s  pass " && passes=$(pass_count) && sleep 5
    [ "$(pass_count)" -le $((passes + 1)) ] || fail "resumed running: pass $passes, then $(pass_count)"
    quit x
    pass "TERM in a single step's pass: resumed paused, and so after the pass"
}

# Past a file size limit (ulimit -f 1) the end's save fails, said, and x
# ends with 0; kill -9 in a Ctrl-S save to a new file (its child too)
# leaves no file of that name.
limited() {
    local pid child="" end
    E2E_FSIZE=1 E2E_ENV="TERRARIUM_SAVE=$E2E_DIR-w.world" start_program terrarium
    wait_until "pass 5" at_least 5
    keys x && expect_exit 0 "terrarium: cannot save '$E2E_DIR-w.world': File too large"
    start_program terrarium -s 30
    wait_until "pass 5" at_least 5 && pid=$(program_pid) end=$((SECONDS + 30)) && keys C-s
    until [ -n "$child" ] || ((SECONDS > end)); do read -r child < "/proc/$pid/task/$pid/children"; done   # at once
    [ -n "$child" ] && kill -s KILL $child "$pid" && wait_until "the end" test -s "$E2E_DIR/end" || fail "no child"
    ! ls "$E2E_DIR"-w.world "$E2E_DIR"/*.world 2> /dev/null || fail "left: $(ls -a "$E2E_DIR")"
    pass "ulimit -f 1: x says the save failed, exit 0; kill -9 in Ctrl-S: no terrarium-N.world"
}

refusals() {
    local p V other S=$E2E_DIR-files file why
    mkdir -p "$S/dir" && printf 'pass,population\n' > "$S/text.world"
    for p in terrarium vivarium; do
        "$(program_path simdump)" --program $p --seed 1 --lines 10 --cols 20 --passes 0 --save-at 0 "$S/$p.world" > /dev/null
    done
    for p in terrarium vivarium; do
        V=$(upper $p) other=$([ $p = terrarium ] && echo vivarium || echo terrarium)
        refusal "$p: ${V}_SAVE_EVERY=0" 12 "$p: ${V}_SAVE_EVERY must be a positive number of seconds" \
            env ${V}_SAVE_EVERY=0 "$(program_path $p)"
        refusal "$p: ${V}_SAVE_EVERY=1e3" 12 "$p: ${V}_SAVE_EVERY must be a positive number of seconds" \
            env ${V}_SAVE_EVERY=1e3 "$(program_path $p)"
        while IFS=: read -r file why; do
            start_program $p --resume "$S/$file"
            expect_end "exit 13"
            [ "$(cat "$E2E_DIR/stderr")" = "$p: '$S/$file': $why" ] || fail "$p: $(cat "$E2E_DIR/stderr")"
        done <<< "none.world:cannot be read: No such file or directory
dir:not a regular file
text.world:not a world file
$other.world:a $other world, not a $p one"
    done
    pass "SAVE_EVERY 0 or 1e3: 12; --resume of no file, a directory, a text, the other's world: 13, its line, the terminal untouched"
    # Saves: no FIFO, device or link replaced, nor a file size limit fatal; nothing left.
    mkfifo "$S/fifo" && ln -s terrarium.world "$S/link" && { mknod "$S/null" c 1 3 2> /dev/null || mkfifo "$S/null"; }
    while IFS=: read -r limit file why; do
        refusal "simdump --save-at $file, ulimit -f $limit" 12 "terrarium: cannot save '$S/$file': $why" sh -c \
            "ulimit -f $limit && exec \"\$@\" --program terrarium --seed 1 --lines 9 --cols 9 --passes 1 --save-at 1 $S/$file" \
            - "$(program_path simdump)"
    done <<< "unlimited:fifo:not a regular file
unlimited:null:not a regular file
unlimited:link:a symbolic link, not a regular file
1:w.world:File too large"
    [ -p "$S/fifo" ] && [ -L "$S/link" ] && [ ! -f "$S/null" ] && ! ls -a "$S" | grep tmp || fail "$(ls -la "$S")"
}

in_parallel exact pane_closed anywhere failing killed stepped limited refusals
