"""What crossing into Python costs: W1's run from the module, to set beside
W1_DefaultWorld/2000passes, and the big world's bugs() and map.

    /usr/bin/python3 bench/python_bench.py BUILD_FOLDER
"""
import statistics
import sys
import time

sys.path.insert(0, sys.argv[1] if len(sys.argv) > 1 else "build")
import terrarium  # noqa: E402


def timed(f):
    start = time.perf_counter()
    f()
    return time.perf_counter() - start


def w1(iterations=300):
    """W1: the default world of seed 1 (160 x 48 cells, 76 bugs), passes 1 to 2000."""
    times = []
    for _ in range(iterations):
        world = terrarium.World(seed=1)
        times.append(timed(lambda: world.run(2000)))
    print("W1 run(2000): mean %.2f ms, median %.2f ms, min %.2f ms (%d runs)" % (
        statistics.mean(times) * 1e3, statistics.median(times) * 1e3, min(times) * 1e3, iterations))


def w2(iterations=20):
    """W2: a 200 x 60 screen with size 30 (6000 x 1800 cells, 108,000 bugs)."""
    made = time.perf_counter()
    world = terrarium.World(seed=1, lines=60, cols=200, size=30)
    made = time.perf_counter() - made
    bugs = min(timed(world.bugs) for _ in range(iterations))
    view = min(timed(lambda: world.map) for _ in range(iterations))
    print("W2: made in %.2f s; bugs() of %d bugs: %.1f ms; map: %.1f us" % (
        made, world.population, bugs * 1e3, view * 1e6))


if __name__ == "__main__":
    w1()
    w2()
