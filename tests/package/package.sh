#!/usr/bin/env bash
# The Debian package, unpacked into a temporary root: its files, its
# dependencies, lintian's verdict, and the programs run from there.
set -euo pipefail
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
(cd "$1" && cpack -G DEB -B "$tmp/out" > /dev/null); deb=$(echo "$tmp"/out/terrarium_*.deb)
diff <(dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { print $6 }' | sort) - <<'END'
./usr/bin/simdump
./usr/bin/terrarium-lab
./usr/games/terrarium
./usr/games/vivarium
./usr/share/doc/terrarium/README.md
./usr/share/doc/terrarium/changelog.Debian.gz
./usr/share/doc/terrarium/copyright
./usr/share/doc/terrarium/docs/architecture.md
./usr/share/doc/terrarium/docs/lab.md
./usr/share/doc/terrarium/docs/log-plot-before.png
./usr/share/doc/terrarium/docs/log-plot.png
./usr/share/doc/terrarium/docs/performance.md
./usr/share/doc/terrarium/docs/pictures/density.png
./usr/share/doc/terrarium/docs/pictures/world.png
./usr/share/doc/terrarium/docs/population.png
./usr/share/doc/terrarium/docs/testing.md
./usr/share/doc/terrarium/docs/world-file.md
./usr/share/lintian/overrides/terrarium
./usr/share/man/man1/simdump.1.gz
./usr/share/man/man1/terrarium-lab.1.gz
./usr/share/man/man6/terrarium.6.gz
./usr/share/man/man6/vivarium.6.gz
END
dpkg-deb -f "$deb" Depends | grep -E 'libc6 .*libncurses6|libncurses6.*libc6' | grep libpng16-16 > /dev/null
[ "$(dpkg-deb -f "$deb" Recommends)" = "gnuplot-nox | gnuplot" ]
lintian --fail-on error,warning "$deb"
dpkg-deb -x "$deb" "$tmp/root"
[ "$("$tmp/root/usr/games/terrarium" --version)" = "terrarium 1.0" ]
"$tmp/root/usr/bin/terrarium-lab" --seeds 1-2 --passes 30 -s 1 --jobs 1 --out "$tmp/runs" > /dev/null
[ "$(ls "$tmp/runs/s1-r150-g4")" = "$(printf 'seed1.csv\nseed2.csv')" ]
"$tmp/root/usr/bin/simdump" --program vivarium --seed 1 --lines 24 --cols 80 --passes 0 | grep -q '^population 2014$'
