"""The QMT6171/2/3 evaluation board for lab scripts (type hints)."""

import os
from types import TracebackType
from typing import Literal, TypedDict

import numpy as np
import numpy.typing as npt

Channel = int | Literal["local", "remote1", "remote2"]

class LinkError(OSError):
    """The link failed or is lost: no bridge, no chip, a failed request."""

class FileError(OSError):
    """A settings or log file that cannot be read or written."""

class WriteError(RuntimeError):
    """A write the chip did not take (it is locked, or holds another value)."""

class Limits(TypedDict):
    low: float
    high: float
    therm: float

class Configuration(TypedDict):
    mask_all: bool
    standby: bool
    pin8_therm2: bool
    remote2_selected: bool
    extended_range: bool
    mask_remote1: bool
    mask_remote2: bool
    averaging_off: bool
    rate_code: int
    lock: bool
    therm_hysteresis: int

class DumpRow(TypedDict):
    pointer: int
    value: int
    name: str

DiffRow = TypedDict(
    "DiffRow",
    {
        "name": str,
        "read": int,
        "write": int,
        "chip": int | None,
        "file": int | None,
        "powerOn": int | None,
        "bits": list[str],
    },
)

class Chip:
    """A chip on the evaluation board's bridge or an I2C adapter."""

    @property
    def address(self) -> int: ...
    @property
    def closed(self) -> bool: ...
    def read(self, reg: int) -> int: ...
    def write(self, reg: int, value: int, *, verify: bool = True) -> int: ...
    def temperatures(self) -> dict[str, float | None | list[str]]: ...
    def limits(self, channel: Channel) -> Limits: ...
    def set_limits(
        self,
        channel: Channel,
        low: float | None = None,
        high: float | None = None,
        therm: float | None = None,
    ) -> Limits: ...
    def status(self) -> dict[str, bool | None]: ...
    def configuration(self) -> Configuration: ...
    def configure(
        self,
        *,
        mask_all: bool = ...,
        standby: bool = ...,
        pin8_therm2: bool = ...,
        remote2_selected: bool = ...,
        extended_range: bool = ...,
        mask_remote1: bool = ...,
        mask_remote2: bool = ...,
        averaging_off: bool = ...,
        rate_code: int = ...,
        lock: bool = ...,
        therm_hysteresis: int = ...,
    ) -> Configuration: ...
    def dump(self) -> list[DumpRow]: ...
    def save(
        self, path: str | os.PathLike[str], comment: str = "", changed_only: bool = False
    ) -> int: ...
    def recall(self, path: str | os.PathLike[str]) -> int: ...
    def diff(self, path: str | os.PathLike[str]) -> list[DiffRow]: ...
    def close(self) -> None: ...
    def __enter__(self) -> Chip: ...
    def __exit__(
        self,
        exc_type: type[BaseException] | None,
        exc: BaseException | None,
        tb: TracebackType | None,
    ) -> bool: ...

class LogRun:
    """One run of a log file: the lines below one column-head line."""

    time: npt.NDArray[np.float64]
    local: npt.NDArray[np.float64]
    remote1: npt.NDArray[np.float64]
    remote2: npt.NDArray[np.float64]
    channels: tuple[str, ...]
    first_line: int
    damaged: int
    def __len__(self) -> int: ...

class Log:
    """A log file's runs and its count of damaged lines."""

    runs: list[LogRun]
    damaged: int

def open(
    bridge: str | None = None,
    board: str | os.PathLike[str] | None = None,
    address: int | None = None,
    force: bool = False,
) -> Chip: ...
def read_log(path: str | os.PathLike[str]) -> Log: ...
