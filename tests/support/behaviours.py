"""What the clock does in every way it is launched (native or Wine, full
screen, preview, on two monitors), checked by one function each. A launch
kind says how its clock starts, when it is ready for input and how its end
is seen:

    class Kind(Launch):
        def start(self): ...           # a context manager yielding a run
        def ready(self, run): ...      # returns once the clock is drawn
        def ended(self, run, what, timeout): ...  # it ended with 0 within timeout
        def still_running(self, run, seconds): ...  # True if it did not end
        def turned_away(self, run): ...  # checks what a start the guard ended left
"""
import contextlib
import time

import harness
from harness import check


class Launch:
    at = (5, 5)  # where the pointer stands for an input

    def still_running(self, run, seconds):
        return run.wait(seconds) is None

    def ended(self, run, what, timeout=5):
        harness.expect_exit(run, what, timeout)

    def turned_away(self, run):
        pass


def each_input_ends_it(kind, inputs):
    """Each of inputs, xdotool (action, value) pairs such as ("key", "a")
    or ("click", 1), ends a clock of its own."""
    for action, value in inputs:
        with kind.start() as run:
            kind.ready(run)
            harness.xdotool("mousemove", *kind.at)
            harness.xdotool(action, value)
            kind.ended(run, "%s %s" % (action, value))


def motion_and_wheel_do_not_end_it(kind, moves, wheel, end, seconds=1.0):
    """The pointer moved to each of moves and the wheel's buttons clicked
    leave the clock running for seconds after; then the input end, an
    (action, value), still ends it."""
    with kind.start() as run:
        kind.ready(run)
        for x, y in moves:
            harness.xdotool("mousemove", x, y)
        for button in wheel:
            harness.xdotool("click", button)
        # The clock has drawn, so it has taken its input; no end may follow.
        check(kind.still_running(run, seconds), "motion or the wheel ended it")
        harness.xdotool(end[0], end[1])
        kind.ended(run, "%s %s after motion and the wheel" % end)


@contextlib.contextmanager
def a_second_start_ends_at_once(first, seconds, within):
    """The single-instance guard: while first's clock runs, each of seconds
    (launch kinds) ends by itself with 0 within `within` seconds, and first's
    clock still runs. Yields first's run, for the caller to end."""
    with first.start() as run:
        first.ready(run)
        for second in seconds:
            with second.start() as turned:
                began = time.monotonic()
                second.ended(turned, "a second start beside the first", within)
                harness.log("a second start ended after %.1f s" % (time.monotonic() - began))
                second.turned_away(turned)
        check(first.still_running(run, 0.1), "the first ended beside a second start")
        yield run
