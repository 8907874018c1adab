#!/usr/bin/env bash
# The GNU parallel recipe of docs/lab.md on a real engine, an sshd of this test's own on a free port of
# 127.0.0.1 (keys in a temporary folder): three shares of a sweep run over ssh in a remote working
# folder and come back by --return; their summary must be the whole sweep's.
set -uo pipefail
BUILD=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
LAB=$BUILD/tools/terrarium-lab T=$(mktemp -d) made_privsep=
trap '[ -n "${sshd:-}" ] && kill $sshd && wait $sshd; [ -n "$made_privsep" ] && rmdir /run/sshd; rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# sshd needs its privilege separation folder, which its service would make: made if missing, removed after.
[ -d /run/sshd ] || { mkdir -m 0755 /run/sshd && made_privsep=1; } || fail "cannot make /run/sshd"
ssh-keygen -q -t ed25519 -N '' -f "$T/host_key" && ssh-keygen -q -t ed25519 -N '' -f "$T/key" || fail "keys"
# A port nothing listens on; another is tried should sshd lose a race for it.
for _ in $(seq 20); do
    port=$((20000 + RANDOM % 20000))
    (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null && continue
    ssh="ssh -F /dev/null -p $port -i $T/key -o BatchMode=yes -o UserKnownHostsFile=$T/known_hosts"
    "$(command -v sshd || echo /usr/sbin/sshd)" -D -e -f /dev/null -o ListenAddress=127.0.0.1:$port \
        -o HostKey="$T/host_key" -o AuthorizedKeysFile="$T/key.pub" -o PidFile=none -o UsePAM=no \
        -o PermitRootLogin=prohibit-password -o PasswordAuthentication=no -o KbdInteractiveAuthentication=no \
        -o StrictModes=no 2> "$T/sshd.log" & sshd=$!
    for _ in $(seq 50); do $ssh -o StrictHostKeyChecking=no 127.0.0.1 true 2> /dev/null && break 2
        kill -0 $sshd 2> /dev/null || break; sleep 0.1; done
    kill $sshd 2> /dev/null; wait $sshd; sshd=
done
[ -n "${sshd:-}" ] || fail "sshd did not start: $(cat "$T/sshd.log")"

sweep="--seeds 1-5 --passes 60 --lines 10 --cols 20 -s 1,2 --jobs 1 --no-summary"
"$LAB" $sweep --out "$T/whole" > /dev/null && "$LAB" summary "$T/whole" > "$T/whole.txt" || fail "the whole sweep"
mkdir "$T/here" && cd "$T/here" || fail "cd"
HOME=$T PARALLEL_HOME=$T/parallel parallel --will-cite --ssh "$ssh" --sshlogin 127.0.0.1 --workdir "$T/remote" \
    --return runs/share{} "$LAB" $sweep --shard {}/3 --out runs/share{} ::: 1 2 3 > "$T/parallel.log" 2>&1 &&
    [ "$(ls runs | paste -sd ' ')" = "share1 share2 share3" ] || fail "parallel: $(cat "$T/parallel.log")"
"$LAB" summary runs/share* | cmp -s - "$T/whole.txt" || fail "the merged summary is not the whole sweep's"
echo "ok: three shares run over ssh on 127.0.0.1:$port, their summary the whole sweep's"
