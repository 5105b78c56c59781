"""Shared by the tests of the Python package: the program they compare it with, and runs of it."""

from __future__ import annotations

import os
import random
import subprocess
from pathlib import Path
from typing import List, NamedTuple

import pytest

import varnet

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


def native_text(structures: List[varnet.Structure]) -> str:
    """The structures in the program's own file format."""
    lines = [str(len(structures))]
    for s in structures:
        words = [s.name, str(len(s.chromosomes))]
        for c in s.chromosomes:
            words += [("C" if c.circular else "L") + str(len(c.genes)), "".join(c.genes) or "."]
        lines.append(" ".join(words))
    return "\n".join(lines) + "\n"


def random_structure(rng: random.Random, name: str, genes: int, pool: int) -> varnet.Structure:
    """A structure of about `genes` genes drawn from `pool` names (so some are missing and some
    are copied), cut into up to four chromosomes of either kind."""
    drawn = [f"{rng.choice('+-')}g{rng.randrange(pool)}" for _ in range(genes)]
    cuts = sorted(rng.sample(range(1, genes), min(genes - 1, rng.randrange(4))))
    pieces = [drawn[a:b] for a, b in zip([0] + cuts, cuts + [genes])]
    return varnet.Structure(name, [varnet.Chromosome(p, rng.random() < 0.4) for p in pieces])


def shuffled_structures(rng: random.Random, count: int, genes: int) -> List[varnet.Structure]:
    """Structures of the same `genes` genes in random orders: far apart, slow to compare."""
    structures = []
    for k in range(count):
        order = [f"{rng.choice('+-')}g{g}" for g in rng.sample(range(genes), genes)]
        structures.append(varnet.Structure(f"S{k}", [varnet.Chromosome(order, k % 2 == 0)]))
    return structures
