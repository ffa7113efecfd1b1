"""The GIL is released while a search runs: two Python threads solve at once, and Ctrl-C
stops a search in the main thread quickly."""

import os
import signal
import threading
import time

import numpy as np

import dispersao


# A search of 200,000 random points at p = 1,000 runs to any time limit of a few seconds:
# neither proven nor given up in that time.
HARD_P = 1000


def hard_points(seed):
    """Returns a random set whose search at HARD_P outlasts the tests' time limits."""
    return np.random.default_rng(seed).uniform(0, 1, size=(200_000, 2))


def test_two_threads_solve_at_once():
    sets = [hard_points(1), hard_points(2)]
    spans = [None, None]
    results = [None, None]

    def run(k):
        start = time.monotonic()
        results[k] = dispersao.solve(sets[k], HARD_P, time_limit=1.0, threads=1)
        spans[k] = (start, time.monotonic())

    workers = [threading.Thread(target=run, args=(k,)) for k in range(2)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    # Each search took its full second; held by one thread, the GIL would have run them one
    # after the other, without overlap.
    for (start, end), result in zip(spans, results):
        assert end - start >= 0.9
        assert len(result.ids) == HARD_P and not result.proven
        assert result.upper_bound >= result.value > 0
    overlap = min(spans[0][1], spans[1][1]) - max(spans[0][0], spans[1][0])
    assert overlap > 0.5


def test_ctrl_c_stops_the_search_within_half_a_second():
    points = hard_points(3)
    sent = []
    # A Python started in the background of a script ignores SIGINT and never raises
    # KeyboardInterrupt: the test gives it the handler an interactive Python has.
    previous = signal.signal(signal.SIGINT, signal.default_int_handler)

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(0.5, interrupt)
    timer.start()
    try:
        dispersao.solve(points, HARD_P, time_limit=30)
    except KeyboardInterrupt:
        stopped = time.monotonic()
    else:
        raise AssertionError("the search ran to its end despite Ctrl-C")
    finally:
        timer.cancel()
        signal.signal(signal.SIGINT, previous)
    assert sent and stopped - sent[0] < 0.5
    # The module is still usable afterwards.
    assert dispersao.solve([[0, 0], [1, 1], [2, 2]], 2).value > 0
