#!/usr/bin/env bash
# The Debian packages, unpacked into a temporary root: their files, their
# dependencies, lintian's verdict, and the programs and the Python module
# (when built: "$2" is ON) run from there.
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
./usr/share/doc/terrarium/docs/python.md
./usr/share/doc/terrarium/docs/testing.md
./usr/share/doc/terrarium/docs/world-file.md
./usr/share/lintian/overrides/terrarium
./usr/share/man/man1/simdump.1.gz
./usr/share/man/man1/terrarium-lab.1.gz
./usr/share/man/man6/terrarium.6.gz
./usr/share/man/man6/vivarium.6.gz
END
dpkg-deb -f "$deb" Depends | grep -E 'libc6 .*libncurses6|libncurses6.*libc6' | grep -v python | grep libpng16-16 > /dev/null
[ "$(dpkg-deb -f "$deb" Recommends)" = "gnuplot-nox | gnuplot" ]
lintian --fail-on error,warning "$tmp"/out/*.deb
dpkg-deb -x "$deb" "$tmp/root"
[ "$("$tmp/root/usr/games/terrarium" --version)" = "terrarium 1.0" ]
"$tmp/root/usr/bin/terrarium-lab" --seeds 1-2 --passes 30 -s 1 --jobs 1 --out "$tmp/runs" > /dev/null
[ "$(ls "$tmp/runs/s1-r150-g4")" = "$(printf 'seed1.csv\nseed2.csv')" ]
"$tmp/root/usr/bin/simdump" --program vivarium --seed 1 --lines 24 --cols 80 --passes 0 | grep -q '^population 2014$'
[ "$2" = ON ] || exit 0
deb=$(echo "$tmp"/out/python3-terrarium_*.deb)
diff <(dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { print $6 }' | sort) - <<END
./usr/lib/python3/dist-packages/terrarium$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
./usr/share/doc/python3-terrarium/changelog.Debian.gz
./usr/share/doc/python3-terrarium/copyright
./usr/share/lintian/overrides/python3-terrarium
END
# Built for the one Python version it runs on.
python=$(/usr/bin/python3 -c 'import sys; v = sys.version_info; print(f"python3 (>= 3.{v.minor}), python3 (<< 3.{v.minor + 1})")')
dpkg-deb -f "$deb" Depends | grep -F "$python, python3-numpy, " | grep libstdc++6 > /dev/null
dpkg-deb -x "$deb" "$tmp/root"
cmp <(PYTHONPATH="$tmp/root/usr/lib/python3/dist-packages" /usr/bin/python3 -c 'import terrarium
w = terrarium.World(seed=2); assert w.run(10).passes == 10; print(w.dump(), end="")') \
    <("$tmp/root/usr/bin/simdump" --program terrarium --seed 2 --lines 24 --cols 80 --passes 10)
