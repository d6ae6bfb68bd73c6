"""What the clock does in every way it is launched (native or Wine, full
screen, preview, on two monitors), checked by one function each. A launch
kind says how its clock starts, when it is ready for input and how its end
is seen:

    class Kind(Launch):
        def start(self): ...           # a context manager yielding a run
        def ready(self, run): ...      # returns once the clock is drawn
        def ended(self, run, what): ...        # it ended with 0, in time
        def still_running(self, run, seconds): ...  # True if it did not end
"""
import harness
from harness import check


class Launch:
    at = (5, 5)  # where the pointer stands for an input

    def still_running(self, run, seconds):
        return run.wait(seconds) is None

    def ended(self, run, what):
        harness.expect_exit(run, what, 5)


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
