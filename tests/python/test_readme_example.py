"""The README's Python example, run as a script of its own as pasted."""

import os
import pathlib
import re
import subprocess
import sys

from conftest import SCRATCH


def test_the_readme_example_runs_as_written():
    readme = pathlib.Path(os.environ["QMT_README"]).read_text()
    section = readme.split("## Scripting in Python", 1)[1]
    example = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    folder = SCRATCH / "readme"
    folder.mkdir()
    (folder / "example.py").write_text(example)
    env = {k: v for k, v in os.environ.items() if k not in ("TARNLINK_TRACE", "TARNLINK_BOARD")}
    ran = subprocess.run(
        [sys.executable, "example.py"], cwd=folder, env=env, capture_output=True, text=True
    )
    assert ran.returncode == 0, ran.stderr
    lines = ran.stdout.splitlines()
    assert lines[0] in ("Local High: True", "Local High: False")
    assert re.fullmatch(r"10 readings, local [\d.]+ °C, remote2 up to [\d.]+ °C", lines[1])
    assert (folder / "readings.csv").read_text().startswith("Time,Local(°C),")
