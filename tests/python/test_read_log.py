"""qmt.read_log on the logs of the reader's fuzz corpus and a damaged log."""

import math
import pathlib

import numpy as np
import pytest

import qmt
from conftest import SCRATCH

CORPUS = pathlib.Path(__file__).parents[2] / "fuzz" / "corpus" / "log_reader_fuzz"


def test_runs_come_as_arrays_with_nan_where_a_field_is_empty():
    log = qmt.read_log(CORPUS / "written_two_runs.csv")
    assert log.damaged == 0 and len(log.runs) == 2
    first, second = log.runs
    assert first.channels == ("local", "remote1", "remote2") and len(first) == 8
    assert first.time.dtype == np.float64 and first.time[1] == pytest.approx(0.1)
    assert list(first.local[:2]) == [25.0, 25.0] and list(first.remote2[:2]) == [-1.75, -1.75]
    assert second.channels == ("remote2",) and second.first_line == 14
    assert np.isnan(second.local).all() and len(second.local) == len(second) == 3

    selected = qmt.read_log(str(CORPUS / "remote2_selected.csv")).runs[0]
    assert selected.channels == ("local", "remote1") and np.isnan(selected.remote1).all()
    comma = qmt.read_log(CORPUS / "semicolon_decimal_comma.csv").runs[0]
    assert list(comma.local[:2]) == [25.0, 25.25] and math.isnan(comma.remote1[1])


def test_damaged_lines_are_counted_and_a_missing_file_raises():
    cut = qmt.read_log(CORPUS / "damaged_and_cut.csv")
    assert cut.damaged == 4 and [len(run) for run in cut.runs] == [4, 2, 1]

    damaged = SCRATCH / "damaged.csv"
    damaged.write_bytes(
        b"QMT6171/3 Log File\r\nTime ,Local(\xb0C) ,\r\n0, 25,\r\nx, 25,\r\n.1, 26,\r\n"
        b"\x00\x01\x02\r\n.2, 27"
    )
    log = qmt.read_log(damaged)
    assert log.damaged == 2 and log.runs[0].damaged == 2
    assert list(log.runs[0].local) == [25.0, 26.0, 27.0]

    with pytest.raises(qmt.FileError, match=r"^/nowhere.csv could not be opened: No such file"):
        qmt.read_log("/nowhere.csv")
