"""qmt.Chip on the emulated board: the requests of each call (the same as
qmtctl's for the same command), the values it returns and its refusals."""

import json
import threading

import pytest

import qmt
from conftest import BOARD, SCRATCH, qmtctl_runs


def writes(lines):
    """(pointer, value) of each register write in the requests."""
    found = []
    for line in lines:
        request, _, index, arg4 = line.split()[:4]
        if request == "222" and arg4 == "0":
            found.append((int(index) % 256, int(index) // 256))
    return found


def without_status(lines):
    """The requests with the byte read from a status register left out."""
    return [line.rsplit(" ", 1)[0] if line.split()[2] in ("2", "35") else line for line in lines]


def test_each_call_makes_the_requests_of_its_qmtctl_command(chip, trace):
    settings = SCRATCH / "limit.sav"
    settings.write_text("{\n0x0B 0x46\n0x21 0x0C\n}\n")
    commands = {
        "read": ["read", "0xFE", "0x05"],
        "temps": ["temps", "--json"],
        "dump": ["dump", "--json"],
        "diff": ["diff", "--json", str(settings)],
        "save": ["save", str(SCRATCH / "qmtctl.sav"), "--changed-only"],
        "recall": ["recall", str(settings)],
        "write": ["write", "0x0B", "0x50"],
    }
    qmtctl = dict(zip(commands, qmtctl_runs(list(commands.values()))))
    assert chip.address == 0x4C and repr(chip) == "<qmt.Chip at 4Ch>"
    assert trace.take() == []  # the address is known since the connection

    assert [chip.read(0xFE), chip.read(0x05)] == [65, 0x10]
    assert trace.take() == qmtctl["read"][1]
    assert qmtctl["read"][0] == "FEh 41H 65\n5h 10H 16\n"

    assert chip.temperatures() == json.loads(qmtctl["temps"][0])
    assert chip.temperatures() == {"local": 25.0, "remote1": 30.25, "remote2": 28.5}
    assert trace.take() == qmtctl["temps"][1] * 2

    # The status registers' busy bit depends on the moment of the read.
    dump = [row for row in chip.dump() if row["pointer"] not in (0x02, 0x23)]
    assert dump == [row for row in json.loads(qmtctl["dump"][0]) if row["pointer"] not in (2, 35)]
    assert dump[0] == {"pointer": 0, "value": 25, "name": "Local Temp Value"}
    assert without_status(trace.take()) == without_status(qmtctl["dump"][1])

    rows = chip.diff(settings)
    assert rows == json.loads(qmtctl["diff"][0])["rows"]
    assert [(row["write"], row["chip"], row["file"]) for row in rows] == [
        (0x0B, 0x10, 0x46),
        (0x21, 0x0A, 0x0C),
    ]
    assert trace.take() == qmtctl["diff"][1]

    assert chip.save(SCRATCH / "chip.sav", changed_only=True) == 1
    assert qmtctl["save"][0] == "1 register saved\n"
    assert trace.take() == qmtctl["save"][1]
    assert "\n0xB\t0x10\t // Local Temp High Limit\n}" in (SCRATCH / "chip.sav").read_text()

    assert chip.recall(str(settings)) == 2
    assert qmtctl["recall"][0] == "2 registers written\n"
    assert trace.take() == qmtctl["recall"][1]
    assert chip.diff(settings) == []
    trace.take()

    assert chip.write(0x0B, 0x50) == 0x50
    assert trace.take() == qmtctl["write"][1]
    assert writes(qmtctl["write"][1]) == [(0x0B, 0x50)]
    # Without the read-back only the write goes out.
    assert chip.write(0x0B, 0x50, verify=False) == 0x50
    assert trace.take() == qmtctl["write"][1][:1]

    with pytest.raises(qmt.FileError, match=r"^cannot read /nowhere.sav: "):
        chip.diff("/nowhere.sav")
    with pytest.raises(qmt.FileError):
        chip.recall(SCRATCH)
    assert trace.take() == []


def test_limits_and_status_go_through_their_rules(chip, trace):
    # The board's local high limit (16 °C) is below the local temperature.
    status = chip.status()
    assert list(status)[:3] == ["Local High", "Local Low", "Local THERM"]
    assert len(status) == 12 and list(status)[-1] == "ALERT Bit"
    assert status["Local High"] is True and status["Remote1 High"] is False
    polls = trace.take()
    assert [line.split()[:3] for line in polls] == [["220", "76", "2"], ["220", "76", "35"]]
    # Status Reg 1 is read as the one status reader polls it, not as a register.
    status1 = chip.read(0x02)
    polls = trace.take()
    assert [line.split()[:3] for line in polls] == [["220", "76", "2"], ["220", "76", "35"]]
    assert status1 == int(polls[0].split()[6])

    assert chip.limits("remote1") == {"low": 0.0, "high": 85.0, "therm": 85.0}
    trace.take()
    # The limits not given go back as read; the high limit as its quarter-degree pair.
    assert chip.set_limits("remote1", high=80.3) == {"low": 0.0, "high": 80.25, "therm": 85.0}
    assert writes(trace.take()) == [(0x0E, 0), (0x14, 0), (0x0D, 80), (0x13, 0x40), (0x19, 85)]
    assert chip.set_limits(1, low=-10, high=300, therm=90.6) == {
        "low": 0.0,
        "high": 255.75,
        "therm": 91.0,
    }
    assert writes(trace.take()) == [(0x0E, 0), (0x14, 0), (0x0D, 255), (0x13, 0xC0), (0x19, 91)]
    assert chip.limits(2) == chip.limits("remote2") == {"low": 0.0, "high": 85.0, "therm": 85.0}
    trace.take()

    with pytest.raises(ValueError, match=r"^bad channel '3' \(0 Local, 1 Remote1, 2 Remote2\)$"):
        chip.limits(3)
    with pytest.raises(ValueError, match=r"^bad channel 'remote3' \(local, remote1 or remote2\)$"):
        chip.set_limits("remote3", high=1)
    with pytest.raises(ValueError, match=r"^bad high limit \(not a number\)$"):
        chip.set_limits("local", high=float("nan"))
    assert trace.take() == []


def test_refusals_and_a_lost_search_release_the_gil(chip, trace):
    with pytest.raises(ValueError, match=r"^bad register '256' \(0 to 255\)$"):
        chip.read(256)
    with pytest.raises(ValueError, match=r"^bad value '300' \(0 to 255\)$"):
        chip.write(0x0B, 300)
    with pytest.raises(ValueError, match=r"^bad register '-1' \(0 to 255\)$"):
        chip.write(-1, 0)
    assert trace.take() == []

    configuration = chip.configuration()
    assert configuration["lock"] is False and configuration["rate_code"] in range(11)
    trace.take()
    # Writes the register of the settings given, each read right before it.
    after = chip.configure(extended_range=True)
    assert after == dict(configuration, extended_range=True)
    assert writes(trace.take()) == [(0x09, 0x04)]
    assert chip.temperatures() == {"local": 25.0, "remote1": 30.25, "remote2": 28.5}
    trace.take()
    with pytest.raises(ValueError, match=r"^bad rate code '11' \(0 to 10\)$"):
        chip.configure(rate_code=11)
    with pytest.raises(TypeError, match=r"^configure\(\) has no setting 'speed'$"):
        chip.configure(speed=1)
    assert trace.take() == []
    # The chip takes no hysteresis once locked: the lock comes last.
    chip.configure(lock=True, therm_hysteresis=5)
    assert writes(trace.take()) == [(0x21, 5), (0x24, 0x80)]
    locked = r"^not written: the chip is locked \(bit 7 of Configuration Reg 2\)$"
    with pytest.raises(qmt.WriteError, match=locked):
        chip.configure(standby=True)
    with pytest.raises(qmt.WriteError, match=locked):
        chip.write(0x0B, 0x30)
    with pytest.raises(qmt.WriteError, match=locked):
        chip.set_limits("local", high=40)

    # A search at an address where no chip answers takes the connection's
    # pauses (and power-cycles the board, which unlocks it); this thread runs
    # on meanwhile.
    failure = []

    def open_elsewhere():
        try:
            qmt.open(board=BOARD, address=0x4D)
        except qmt.LinkError as error:
            failure.append(str(error))

    other = threading.Thread(target=open_elsewhere)
    other.start()
    turns = 0
    while other.is_alive():
        turns += 1
    other.join()
    assert failure == [
        "no QMT6171/2/3 answers at 4Dh; Initial Connection Failed - Check USB connections"
    ]
    assert turns > 100_000
    assert chip.write(0x0B, 0x30) == 0x30

    with pytest.raises(qmt.LinkError, match=r"^cannot load /nowhere/libTarnlink.so: "):
        qmt.open(bridge="tarnlink:/nowhere/libTarnlink.so")
    with pytest.raises(ValueError, match=r"^unknown bridge 'usb' \(use tarnlink"):
        qmt.open(bridge="usb")
    with pytest.raises(ValueError, match=r"^bad address '128' \(0 to 0x7F\)$"):
        qmt.open(address=128)
    with pytest.raises(qmt.FileError, match=r"^cannot read board file '/nowhere.board'$"):
        qmt.open(board="/nowhere.board")


def test_a_lost_link_raises_link_error_and_a_closed_chip_refuses():
    # The search's 53 probes, then a few requests more.
    unplugged = SCRATCH / "unplugged.board"
    unplugged.write_text(BOARD.read_text() + "fail_after = 60\n")
    # It power-cycles the one emulated board of this process: the last test here.
    with qmt.open(board=unplugged) as lost:
        with pytest.raises(qmt.LinkError) as raised:
            for _ in range(20):
                lost.read(0xFE)
        assert str(raised.value) == "Communications Interrupted - Check USB connections"
    assert lost.closed
    with pytest.raises(ValueError, match="^the chip is closed$"):
        lost.temperatures()
