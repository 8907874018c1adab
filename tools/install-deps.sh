#!/usr/bin/env bash
# Installs the packages needed to build, test and run, if any is missing:
# through apt-get when run as root, otherwise prints the command to run.
set -euo pipefail
packages=(g++ cmake make pkg-config libncurses-dev googletest libgtest-dev libbenchmark-dev tmux valgrind
          clang libclang-rt-14-dev gcovr gnuplot-nox)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
else
    echo "missing packages; run: sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
