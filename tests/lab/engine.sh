#!/usr/bin/env bash
# A sweep spread by GNU parallel over ssh, as the README's recipe spreads
# it: the engine is an sshd of this test's own on a free port of
# 127.0.0.1, with a throwaway key and a configuration in a temporary
# folder. Each share runs in a remote working folder and comes back by
# --return; the summary of the shares must be that of the same sweep run in
# one piece.
set -uo pipefail
BUILD=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
LAB=$BUILD/tools/terrarium-lab
T=$(mktemp -d)
made_privsep=
stop() {
    [ -n "${sshd:-}" ] && kill "$sshd" 2> /dev/null && wait "$sshd" 2> /dev/null
    [ -n "$made_privsep" ] && rmdir /run/sshd
    rm -rf "$T"
}
trap stop EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# sshd refuses to start without its privilege separation folder, which the
# system's service would make; made here only if missing, and removed after.
[ -d /run/sshd ] || { mkdir -m 0755 /run/sshd && made_privsep=1; } || fail "cannot make /run/sshd"
ssh-keygen -q -t ed25519 -N '' -f "$T/host_key" && ssh-keygen -q -t ed25519 -N '' -f "$T/key" &&
    cp "$T/key.pub" "$T/authorized_keys" || fail "keys"

# Starts sshd on 127.0.0.1:$1 in the foreground of a background job.
start_sshd() {
    cat > "$T/sshd_config" <<EOF
ListenAddress 127.0.0.1:$1
HostKey $T/host_key
AuthorizedKeysFile $T/authorized_keys
PidFile none
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
EOF
    cat > "$T/ssh_config" <<EOF
Host engine
    HostName 127.0.0.1
    Port $1
    User $(id -un)
    IdentityFile $T/key
    IdentitiesOnly yes
    BatchMode yes
    StrictHostKeyChecking no
    UserKnownHostsFile $T/known_hosts
EOF
    "$(command -v sshd || echo /usr/sbin/sshd)" -D -e -f "$T/sshd_config" 2> "$T/sshd.log" &
    sshd=$!
}
# A port nothing listens on; sshd is tried on another should it lose a race for it.
for _ in $(seq 20); do
    port=$((20000 + RANDOM % 20000))
    (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null && continue
    start_sshd "$port"
    for _ in $(seq 50); do
        ssh -F "$T/ssh_config" engine true 2> /dev/null && break 2
        kill -0 "$sshd" 2> /dev/null || break
        sleep 0.1
    done
    kill "$sshd" 2> /dev/null; wait "$sshd" 2> /dev/null; sshd=
done
[ -n "${sshd:-}" ] || fail "sshd did not start: $(cat "$T/sshd.log")"
echo "ok: sshd on 127.0.0.1:$port"

sweep="--seeds 1-5 --passes 60 --lines 10 --cols 20 -s 1,2 --jobs 1 --no-summary"
"$LAB" $sweep --out "$T/whole" > /dev/null && "$LAB" summary "$T/whole" > "$T/whole.txt" || fail "the whole sweep"
mkdir "$T/here" && cd "$T/here" || fail "cd"
HOME=$T PARALLEL_HOME=$T/parallel parallel --will-cite --ssh "ssh -F $T/ssh_config" --sshlogin engine \
    --workdir "$T/remote" --return runs/share{} \
    "$LAB" $sweep --shard {}/3 --out runs/share{} ::: 1 2 3 > "$T/parallel.log" 2>&1 ||
    fail "parallel: $(cat "$T/parallel.log")"
[ "$(ls runs)" = "share1
share2
share3" ] || fail "the shares were not brought back: $(ls -R runs "$T/remote" 2>&1)"
"$LAB" summary runs/share* > "$T/merged.txt" && cmp -s "$T/merged.txt" "$T/whole.txt" ||
    fail "the merged summary differs: $(diff "$T/merged.txt" "$T/whole.txt")"
echo "ok: three shares run over ssh, their summary the whole sweep's"
