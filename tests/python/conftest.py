"""Fixtures of the qmt module's tests: the emulated board with a trace of its
requests, and qmtctl run on the same board to compare with."""

import os
import pathlib
import subprocess
import tempfile

import pytest

HERE = pathlib.Path(__file__).parent
BOARD = HERE / "steady.board"
SCRATCH = pathlib.Path(tempfile.mkdtemp(prefix="qmt-python-tests-"))

# The emulated bridge reads TARNLINK_TRACE once, at its first call in this
# process: set before any test opens it.
TRACE = SCRATCH / "trace.txt"
os.environ["TARNLINK_TRACE"] = str(TRACE)

import qmt  # noqa: E402  (after the trace is set)


def requests(lines):
    """The trace's lines without their milliseconds."""
    return [line.rsplit(" ", 1)[0] for line in lines if line]


class Trace:
    """The requests the board saw since the last call of take()."""

    def __init__(self, path):
        self.path = path
        self.offset = path.stat().st_size if path.exists() else 0

    def take(self):
        text = self.path.read_text()
        new, self.offset = text[self.offset :], len(text)
        return requests(new.splitlines())


@pytest.fixture(scope="module")
def chip():
    with qmt.open(board=BOARD) as opened:
        yield opened


@pytest.fixture()
def trace(chip):
    return Trace(TRACE)


def qmtctl_runs(commands):
    """Runs qmtctl once per command, all at once, each with its own trace.
    Returns (stdout, requests after the connection) per command."""
    runs = []
    for index, command in enumerate(commands):
        trace = SCRATCH / f"qmtctl-{index}.txt"
        env = dict(os.environ, TARNLINK_TRACE=str(trace))
        process = subprocess.Popen(
            [os.environ["QMTCTL"], "--board", str(BOARD), *command],
            env=env,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            text=True,
        )
        runs.append((process, trace))
    results = []
    for process, trace in runs:
        out, err = process.communicate(timeout=60)
        assert process.returncode in (0, 1), err
        lines = requests(trace.read_text().splitlines())
        # The connection ends with the search's read of the manufacturer ID.
        found = next(i for i, line in enumerate(lines) if line.startswith("222 76 254 1 1 0 "))
        results.append((out, lines[found + 1 :]))
    return results
