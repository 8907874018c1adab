#!/usr/bin/env bash
# The layers' check: the tree as it is passes; an include above a
# library's layer, a path out of its folder, or curses in a library that
# the headless tools link, each stops it with the line that names it.
# The libraries given (those the headless tools link) call nothing that
# ends the process and nothing of curses.
set -u
SOURCE=$(cd "$(dirname "$0")/.." && pwd) T=$(mktemp -d) failed=0
trap 'rm -rf "$T"' EXIT
check() {  # expected-message file line
    rm -rf "$T/tree" && mkdir "$T/tree"
    cp -r "$SOURCE"/{common,storage,terrarium,vivarium,screen,programs} "$T/tree"
    [ -z "$2" ] || printf '%s\n' "$3" >> "$T/tree/$2"
    got=$(cmake -DSOURCE="$T/tree" -P "$SOURCE/cmake/layers.cmake" 2>&1 | tr -s " \n" " ")  # unwrapped
    if [ -z "$1" ] && [ -n "$got" ] || ! grep -qF -- "$1" <<<"$got"; then
        echo "FAIL: ${2:-the tree as it is}: expected '$1', got: $got"; failed=1
    fi
}
check "" "" ""
check 'common/map.cpp: includes "screen/term.h", outside its layer (common may include common)' \
    common/map.cpp '#include "screen/term.h"'
check 'storage/run_log.h: includes "terrarium/world.h", outside its layer (storage may include storage, common)' \
    storage/run_log.h '#include "terrarium/world.h"'
check 'terrarium/look.cpp: includes "../screen/kb.h", outside its layer' terrarium/look.cpp '#include "../screen/kb.h"'
check 'screen/loop.cpp: includes "programs/terrarium/driver.h", outside its layer' \
    screen/loop.cpp '#include "programs/terrarium/driver.h"'
check 'vivarium/world.h: includes <curses.h>, but vivarium is linked by the headless tools' \
    vivarium/world.h '#include <curses.h>'
check "" screen/term.h '#include <curses.h>'
for library in "$@"; do
    calls=$(nm -u "$library" | grep -E ' (exit|_exit|_Exit|quick_exit|initscr|newterm|endwin|newpad|wrefresh)$')
    [ -z "$calls" ] || { echo "FAIL: $(basename "$library") calls:" $calls; failed=1; }
done
exit $failed
