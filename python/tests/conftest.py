"""Shared by the tests of the Python package: the program they compare it with, and runs of it."""

from __future__ import annotations

import os
import subprocess
from pathlib import Path
from typing import List, NamedTuple

import pytest


SOURCE = Path(os.environ.get("VARNET_SOURCE_DIR", Path(__file__).resolve().parents[2]))
EXAMPLES = SOURCE / "examples"


class Run(NamedTuple):
    status: int
    out: str
    err: str


@pytest.fixture(scope="session")
def program() -> str:
    """The built program (set by the test command)."""
    path = os.environ.get("VARNET_EXECUTABLE")
    if not path:
        pytest.fail("VARNET_EXECUTABLE names no program: run the tests through ctest")
    return path


def run(program: str, args: List[str], cwd: Path) -> Run:
    done = subprocess.run(
        [program, *args], cwd=cwd, capture_output=True, text=True, timeout=120, check=False
    )
    return Run(done.returncode, done.stdout, done.stderr)
