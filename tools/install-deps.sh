#!/usr/bin/env bash
# Installs the packages one need takes, if any is missing: through apt-get
# when run as root, otherwise prints the command to run.
#   install-deps.sh run|test|coverage|bench|fuzz|package
set -euo pipefail
run=(g++ cmake make libncurses-dev libzstd-dev libcli11-dev libpng-dev)
test=("${run[@]}" googletest libgtest-dev tmux valgrind perl gnuplot-nox dpkg-dev lintian openssh-server parallel rsync python3 zstd
      pybind11-dev python3-dev python3-numpy python3-pytest)
case "${1:-run}" in
    run)      packages=("${run[@]}") ;;
    test)     packages=("${test[@]}") ;;
    coverage) packages=("${test[@]}" gcovr) ;;
    bench)    packages=("${run[@]}" libbenchmark-dev) ;;
    fuzz)     packages=("${test[@]}" clang libclang-rt-14-dev) ;;
    package)  packages=("${run[@]}" dpkg-dev pybind11-dev python3-dev python3-numpy) ;;
    *) echo "usage: install-deps.sh run|test|coverage|bench|fuzz|package" >&2; exit 2 ;;
esac
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
