#!/usr/bin/env bash
# The genealogy from the outside: a run with it dumps and logs as one
# without; founders + births - deaths is the log's population at every
# pass, every parent, partner and killer alive at its event; a resumed
# world goes on with the rows and ids of the run it was saved from; the
# .zst file decompresses to the plain one; a write refused ends only the file.
set -u
BUILD=$1 T=$(mktemp -d) failed=0
trap 'rm -rf "$T"' EXIT
SIM="$BUILD/tools/simdump" NEW="--seed 2 --lines 24 --cols 80 --passes 2000"
for program in terrarium vivarium; do
    $SIM --program $program $NEW --log "$T/plain.csv" >"$T/plain.dump"
    $SIM --program $program $NEW --log "$T/log.csv" --lineage "$T/tree.csv" >"$T/dump" &&
        $SIM --program $program $NEW --lineage "$T/tree.csv.zst" --save-at 700 "$T/w" >/dev/null &&
        $SIM --resume "$T/w" --passes 1300 --lineage "$T/resumed.csv" >/dev/null || { echo "FAIL: $program runs"; failed=1; }
    cmp -s "$T/plain.dump" "$T/dump" && cmp -s "$T/plain.csv" "$T/log.csv" || { echo "FAIL: $program differs"; failed=1; }
    zstd -dcq "$T/tree.csv.zst" | cmp -s - "$T/tree.csv" || { echo "FAIL: $program .zst"; failed=1; }
    python3 - "$T/log.csv" "$T/tree.csv" "$T/resumed.csv" <<'PY' || { echo "FAIL: $program genealogy"; failed=1; }
import csv, sys
def rows(path):
    return [r for r in csv.DictReader(l for l in open(path) if not l.startswith('#'))]
log = {int(r['pass']): int(r['population']) for r in rows(sys.argv[1])}
events, resumed = rows(sys.argv[2]), rows(sys.argv[3])
living, at, bad, at700 = set(), 0, [], None
def check_to(p):  # the living at each logged pass up to p
    for q in range(at, p):
        if q in log and log[q] != len(living): bad.append(f'pass {q}: {len(living)} living, log {log[q]}')
for r in events:
    p, id = int(r['pass']), int(r['id'])
    if p > 700 and at700 is None: at700 = set(living)
    check_to(p); at = max(at, p)
    for other in ('parent', 'partner', 'by'):
        if r[other] and int(r[other]) not in living: bad.append(f'{other} of {id} not alive')
    if r['event'] == 'death': living.remove(id)
    elif id in living or (r['event'] == 'birth') != bool(r['parent']): bad.append(f'row of {id}')
    else: living.add(id)
check_to(max(log) + 1)
founders = {int(r['id']) for r in resumed if r['event'] == 'founder'}
later = [r for r in events if int(r['pass']) > 700]
if founders != at700 or [r for r in resumed if r['event'] != 'founder'] != later: bad.append('resumed differs')
if not later or not any(r['event'] == 'death' for r in later): bad.append('too few events')
if bad: print('\n'.join(bad[:5]))
sys.exit(1 if bad else 0)
PY
done
# Past the file size limit the genealogy ends, as a log does, and the run goes on to say so (status 12).
said=$(ulimit -f 8; "$SIM" --program terrarium $NEW --lineage "$T/big.csv" 2>&1 >/dev/null; echo "status $?")
[ "$said" = "terrarium: cannot write '$T/big.csv': File too large
status 12" ] || { echo "FAIL: file size limit: $said"; failed=1; }
exit $failed
