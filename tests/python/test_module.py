# The Python module against the programs' own tools: the same dumps,
# files and refusals as simdump, a map that is the world's own cells, and
# worlds that run in threads at once.
import csv
import filecmp
import os
import re
import subprocess
import sys
import threading

import numpy as np
import pytest

BUILD = os.environ["TERRARIUM_BUILD"]
GOLDEN = os.path.join(os.path.dirname(__file__), "..", "golden")
sys.path.insert(0, BUILD)
import terrarium  # noqa: E402

SIMDUMP = os.path.join(BUILD, "tools", "simdump")


def simdump(*args):
    done = subprocess.run([SIMDUMP, *map(str, args)], capture_output=True, text=True)
    return done.stdout, done.stderr, done.returncode


def new_world_args(program, seed, lines, cols, options):
    words = ["--program", program, "--seed", seed, "--lines", lines, "--cols", cols]
    for key, flag in (("size", "-s"), ("roughness", "-r"), ("grid", "-g")):
        if key in options:
            words += [flag, options[key]]
    return words


# The bugs of a dump, field by field, read from its text.
def dumped_bugs(text):
    lines = text.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("bugs "))
    count = int(lines[start].split()[1])
    return [line.split() for line in lines[start + 1:start + 1 + count]]


# program, seed, lines, cols, options, passes: each world run in one call
# and in three, with the bugs() and census() of its dump.
WORLDS = [
    ("terrarium", 2, 24, 80, {}, 2000),
    ("terrarium", 5, 30, 100, {"size": 1.5, "roughness": 9, "grid": 2}, 300),
    ("terrarium", 1, 10, 20, {"size": 1}, 20000),  # its last bug but one dies
    ("vivarium", 2, 24, 80, {}, 20),
    ("vivarium", 4, 8, 10, {}, 150),
]


@pytest.mark.parametrize("program,seed,lines,cols,options,passes", WORLDS)
def test_runs_and_dumps_as_simdump(program, seed, lines, cols, options, passes):
    out, err, status = simdump(*new_world_args(program, seed, lines, cols, options), "--passes", passes)
    world = terrarium.World(program=program, seed=seed, lines=lines, cols=cols, **options)
    result = world.run(passes)
    assert world.dump() == out
    assert (result.message + "\n" if result.message else "") == err
    assert result.status == status
    ended = result.outcome != terrarium.Outcome.RUNNING
    assert ended == out.endswith("stopped\n")
    assert result.passes == world.passes <= passes and (ended or world.passes == passes)

    pieces = terrarium.World(program=program, seed=seed, lines=lines, cols=cols, **options)
    done = [pieces.run(n).passes for n in (passes // 3, 0, passes - passes // 3)]
    assert sum(done) == world.passes and pieces.dump() == out
    assert pieces.run(5).passes == (0 if ended else 5)

    dumped = dumped_bugs(out)
    bugs = world.bugs()
    assert all(len(column) == len(dumped) == world.population for column in bugs.values())
    fields = ["x", "y", "facing", "food", "race", "age", "generation", "size"]
    fields += ["vision"] if program == "terrarium" else []
    for row, bug in enumerate(dumped):
        assert [str(bugs[name][row]) for name in fields] == bug[:len(fields)]
        assert "".join(str(bugs["g%d" % g][row]) for g in range(25)) == bug[len(fields)][len("dna="):]
    assert world.census() == {race: [b[4] for b in dumped].count(race) for race in sorted({b[4] for b in dumped})}
    if program == "terrarium" and dumped:
        motives = world.motives()
        shown = dict(pair.split(":") for pair in dumped[0][-1][len("motive="):].split(","))
        assert {str(code): str(v) for code, v in enumerate(motives[0]) if v} == shown


# Worlds saved by the interactive programs (paused, a turn pending, a bug
# selected) and by an older version: read, run on and saved again as
# simdump does, and branched.
@pytest.mark.parametrize("name", ["terrarium_saved_paused_seed7.world", "vivarium_saved_paused_seed9.world",
                                  "terrarium_v1_seed5_pass40.world"])
def test_saved_worlds_run_on_as_simdump(name, tmp_path):
    path = os.path.join(GOLDEN, name)
    world = terrarium.load(path)
    assert world.seed is None and world.program == name.split("_")[0]
    if "v1" not in name:
        world.save(tmp_path / "again.world")
        assert filecmp.cmp(path, tmp_path / "again.world", shallow=False)
    branch = world.clone()
    assert branch.run(3).passes == 3 and branch.passes == world.passes + 3
    out, _, _ = simdump("--resume", path, "--passes", 37, "--save-at", 37, tmp_path / "simdump.world")
    world.run(30)
    world.run(7)
    assert world.dump() == out
    world.save(tmp_path / "module.world")
    assert filecmp.cmp(tmp_path / "simdump.world", tmp_path / "module.world", shallow=False)
    branch.run(34)
    assert branch.dump() == out and branch.map is not world.map


# The log and the genealogy are the programs' files: a resumed run's
# included, and read back with csv.
def test_log_and_lineage_are_the_programs_files(tmp_path):
    runs = [(("--program", "terrarium", "--seed", 3, "--lines", 24, "--cols", 80), lambda: terrarium.World(seed=3)),
            (("--resume", os.path.join(GOLDEN, "vivarium_saved_paused_seed9.world")),
             lambda: terrarium.load(os.path.join(GOLDEN, "vivarium_saved_paused_seed9.world")))]
    for args, make in runs:
        simdump(*args, "--passes", 120, "--log", tmp_path / "s.csv", "--every", 7, "--lineage", tmp_path / "s.lin")
        world = make()
        with world.log(str(tmp_path / "m.csv"), every=7) as log, world.lineage(str(tmp_path / "m.lin")):
            assert world.run(100).passes == 100
            assert world.clone().run(100).passes == 100  # a copy has no logs
            world.run(20)
        assert log.closed
        assert filecmp.cmp(tmp_path / "s.csv", tmp_path / "m.csv", shallow=False)
        assert filecmp.cmp(tmp_path / "s.lin", tmp_path / "m.lin", shallow=False)
    with open(tmp_path / "m.csv") as f:
        rows = list(csv.DictReader(line for line in f if not line.startswith("#")))
    assert int(rows[-1]["population"]) == world.population
    with pytest.raises(OSError):
        world.log(str(tmp_path / "no" / "such.csv"))


def test_map_is_a_read_only_view_of_the_world(tmp_path):
    world = terrarium.World(seed=4)
    view = world.map
    address = view.__array_interface__["data"][0]
    before = view.copy()
    assert view.shape == world.shape == (48, 160) and view.dtype == np.uint8 and not view.flags.owndata
    assert bytes(view[0]).decode() == world.dump().splitlines()[1]
    world.run(50)
    assert world.map.__array_interface__["data"][0] == address  # no copy, ever
    assert (view != before).any() and (view == world.map).all()  # the world's own cells
    with pytest.raises(ValueError):
        view[0, 0] = ord("@")
    with pytest.raises(ValueError):
        view.setflags(write=True)
    copy = world.clone()
    assert copy.map.__array_interface__["data"][0] != address
    last = view.copy()
    del world, copy
    assert (view == last).all()  # the view keeps its world alive


# Two worlds in two threads run as each runs alone, and the interpreter
# goes on meanwhile: it sees the log of one grow while that world runs,
# which it could not if the world kept the interpreter's lock.
def test_worlds_run_in_threads_at_once(tmp_path):
    alone = [terrarium.World(seed=s, size=20) for s in (1, 2)]
    for w in alone:
        w.run(600)
    together = [terrarium.World(seed=s, size=20) for s in (1, 2)]
    log = together[0].log(tmp_path / "log.csv")
    threads = [threading.Thread(target=w.run, args=(600,)) for w in together]
    for t in threads:
        t.start()
    sizes = set()
    while any(t.is_alive() for t in threads):
        sizes.add(os.path.getsize(tmp_path / "log.csv"))
    for t in threads:
        t.join()
    whole = os.path.getsize(tmp_path / "log.csv")
    log.close()
    assert any(0 < size < whole for size in sizes)
    assert [w.dump() for w in together] == [w.dump() for w in alone]


def test_refusals(tmp_path):
    with pytest.raises(terrarium.Error, match=r"^world too small\nthe terminal is 3x2: try -s 4.34 or more$") as e:
        terrarium.World(seed=1, lines=2, cols=3, size=0.25)
    assert e.value.status == 8
    out, err, status = simdump("--program", "terrarium", "--seed", 1, "--lines", 24, "--cols", 80, "-r", 1000,
                               "-g", 8, "--passes", 0)
    with pytest.raises(terrarium.Error) as e:
        terrarium.World(seed=1, roughness=1000, grid=8)
    assert (str(e.value) + "\n", e.value.status) == (err, status) == (err, 7)
    for bad, message in [(dict(size=40), "try -s [.25-30]"), (dict(roughness=0), "try -r [1-1000]"),
                         (dict(grid=9), "try -g [2-8]"), (dict(program="vivarium", size=2), "takes no size"),
                         (dict(program="garden"), "'terrarium' or 'vivarium'"), (dict(seed=-1), "seed"),
                         (dict(lines=0), "lines and cols")]:
        with pytest.raises(ValueError, match=re.escape(message)):
            terrarium.World(**{"seed": 1, **bad})
    damaged = tmp_path / "damaged.world"
    damaged.write_bytes(open(os.path.join(GOLDEN, "terrarium_saved_paused_seed7.world"), "rb").read()[:100])
    for path in (damaged, tmp_path / "missing.world"):
        with pytest.raises(terrarium.Error) as e:
            terrarium.load(str(path))
        assert e.value.status == 13 and str(path) in str(e.value)
    world = terrarium.World(seed=1, lines=10, cols=20, size=1)
    with pytest.raises(terrarium.Error) as e:
        world.save(str(tmp_path / "no" / "such.world"))
    assert e.value.status == 12 and not os.path.exists(tmp_path / "no")
    with pytest.raises(ValueError):
        world.run(-1)
    assert world.run(20000).outcome == terrarium.Outcome.ONE_BUG_LEFT
    with pytest.raises(terrarium.Error, match="has ended"):
        world.save(str(tmp_path / "ended.world"))
