"""The package against the program on the same inputs: costs, steps, matrices, trees, errors."""

from __future__ import annotations

import os
import random
import signal
import threading
import time
import warnings
from pathlib import Path
from typing import List

import numpy
import pytest
from conftest import EXAMPLES, run

import varnet

PAIR = varnet.read_structures(EXAMPLES / "dist_pair.txt")  # the README's pair
HUGE = varnet.Weights(**dict.fromkeys(["DP", "SP", "J", "C", "aD", "bD"], 1e308))


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


def write_inputs(tmp: Path, structures, w=varnet.Weights(), special=1, breakpoint=0) -> None:
    """The files a run in tmp reads: the structures as s.txt, the weights, the distance weights."""
    (tmp / "s.txt").write_text(native_text(structures))
    weights = f"DP={w.DP!r},SP={w.SP!r},J={w.J!r},C={w.C!r},aD={w.aD!r},bD={w.bD!r}\n"
    (tmp / "weights.txt").write_text(weights)
    ini = f"[weights]\nspecial={special}\nbreakpoint={breakpoint}\n"
    (tmp / "distance_weights.ini").write_text(ini)


def run_on_inputs(program: str, tmp: Path, mode: str, *args: str):
    """A run in tmp on the files write_inputs wrote there, its results in tmp/r."""
    return run(program, ["-m", mode, "-c", "s.txt", "-o", "weights.txt", "-r", "r", *args], tmp)


def check_pair(program: str, tmp: Path, a, b, w, copies: str = "order") -> None:
    """The package's cost, steps and picture for a and b against the program's."""
    write_inputs(tmp, [a, b], w)
    done = run_on_inputs(program, tmp, "dist", "--copies", copies)
    assert done.status == 0, done.err
    assert varnet.draw_pair(a, b, w, copies=copies) == (tmp / "r" / "pair.svg").read_text()
    found = varnet.sequence(a, b, w, copies=copies)
    assert found.text() == (tmp / "r" / "shortest_sequence.txt").read_text()
    assert f"{found.cost:g}" == done.err.rsplit("\n", 1)[1]
    assert varnet.distance(a, b, w, copies=copies) == found.cost
    for step in found.steps:
        listed = step.produced
        if step.alternatives:
            listed = [f"({listed[0]}, {listed[1]}) or ({listed[2]}, {listed[3]})"] + listed[4:]
        assert step.text == (
            f"[{', '.join(step.consumed)}] {', '.join(step.events)} [{', '.join(listed)}] "
            f", step: {step.label}"
        )


def test_dist_equals_the_program(program, tmp_path):
    w = varnet.read_weights(EXAMPLES / "operation_weights.txt")
    assert w == varnet.Weights(DP=1, SP=1, J=0.5, C=0.5, aD=2, bD=2)
    assert varnet.distance(*PAIR, w) == 6.5
    check_pair(program, tmp_path, *PAIR, w)
    rng = random.Random(29)
    weight_sets = [
        varnet.Weights(),
        varnet.Weights(DP=1, SP=2, J=1.5, C=1.5, aD=1, bD=3),
        varnet.Weights(DP=2, SP=1, J=0.5, C=0.75, aD=2, bD=0.5),
    ]
    for k in range(50):
        pool = rng.randrange(3, 12)
        a = random_structure(rng, "A", rng.randrange(2, 16), pool)
        b = random_structure(rng, "B", rng.randrange(2, 16), pool)
        if k % 10 == 9:
            b = varnet.Structure("B", [])  # a structure without chromosomes
        check_pair(program, tmp_path, a, b, weight_sets[k % 3])
        if k % 5 == 0:
            check_pair(program, tmp_path, a, b, weight_sets[k % 3], copies="context")


def matrix_text(matrix: numpy.ndarray, names: List[str]) -> str:
    rows = ["\t" + "".join(f"{n}\t" for n in names)]
    for name, row in zip(names, matrix):
        rows.append(f"{name}\t" + "".join(f"{v:g}\t" for v in row))
    return "\n".join(rows) + "\n"


def test_matrix_and_trees_equal_tree_mode(program, tmp_path):
    six = varnet.read_structures(EXAMPLES / "tree_six.txt")
    six.append(varnet.Structure("NoChromosome", []))
    names = [s.name for s in six]
    w = varnet.Weights(DP=1, SP=1.5, J=0.5, C=0.75, aD=2, bD=1)
    for special, breakpoint, copies in [(1, 0, "order"), (0.5, 0.25, "context")]:
        write_inputs(tmp_path, six, w, special, breakpoint)
        matrix = varnet.distance_matrix(six, w, special, breakpoint, threads=2, copies=copies)
        assert matrix.shape == (7, 7) and matrix.dtype == numpy.float64
        # K12 against a structure without chromosomes: 11 adjacencies and 11 gene copies.
        assert matrix[0, 6] == 1e6 * special + breakpoint * 22
        for method in varnet.TREE_METHODS:
            done = run_on_inputs(program, tmp_path, "tree", "-p", method, "--copies", copies)
            assert done.status == 0
            assert matrix_text(matrix, names) == (tmp_path / "r" / "distance.tsv").read_text()
            text = varnet.tree(matrix, six if method == "nj" else names, method=method)
            assert text == (tmp_path / "r" / "tree.tre").read_text()
    assert varnet.tree([[0]], ["only"], method="nj") == "only;"
    assert varnet.distance_matrix([], w).shape == (0, 0)


def test_jackknife_equals_tree_mode_under_both_copy_rules(program, tmp_path):
    rng = random.Random(43)  # genes in copies, so that the copy rules differ
    structures = [random_structure(rng, f"S{k}", 10, 6) for k in range(7)]
    w = varnet.Weights(DP=1, SP=1.5, J=0.5, C=0.75, aD=2, bD=1)
    write_inputs(tmp_path, structures, w, breakpoint=0.5)
    for method, copies in [("nj", "order"), ("upgma", "context"), ("kruskal", "context")]:
        args = ["-p", method, "-b", "6", "--jackknife-fraction", "0.3", "--seed", "5"]
        assert run_on_inputs(program, tmp_path, "tree", *args, "--copies", copies).status == 0
        found = varnet.jackknife(structures, 6, 0.3, 5, method, w, breakpoint=0.5, copies=copies)
        assert found.tree == (tmp_path / "r" / "tree.tre").read_text()
        assert found.support == (tmp_path / "r" / "support.tsv").read_text()
        replicates = (tmp_path / "r" / "replicates.tre").read_text()
        assert "".join(t + "\n" for t in found.replicates) == replicates
    # The package's own imports stay out of sight.
    assert "numpy" not in dir(varnet) and "_core" not in dir(varnet) and "jackknife" in dir(varnet)


def test_matrix_warns_as_tree_mode_of_pairs_sharing_few_genes(program, tmp_path):
    # C shares no gene with A or B, so the special distance alone puts it 2 from both.
    structures = varnet.parse_structures("3\nA 1 L2 +x+y\nB 1 L3 +x+y+z\nC 1 L2 +p+q\n")
    write_inputs(tmp_path, structures)
    with pytest.warns(UserWarning) as caught:
        varnet.distance_matrix(structures, threads=1)
    assert len(caught) == 1 and caught[0].filename == __file__
    done = run_on_inputs(program, tmp_path, "tree")
    assert f"\nWarning: {caught[0].message}\n" in done.err
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        varnet.distance_matrix(structures, breakpoint=0.5, threads=1)


def program_error(program: str, tmp: Path, structures: str, text: str) -> str:
    """The error text of a dist run on `text`, written to the structure file `structures` in tmp."""
    (tmp / structures).write_text(text)
    done = run(program, ["-m", "dist", "-c", structures, "-o", "weights.txt", "-r", "r"], tmp)
    assert done.status == 1
    return done.err.split("Error occured: ", 1)[1]


def test_errors_carry_the_programs_messages(program, tmp_path):
    write_inputs(tmp_path, [])
    bad_files = {
        "count.txt": "2\nA 1 L2 +a+b\nB -1 L1 +a\n",
        "unended.unimog": ">A\na b |\n>B\nb a\n",
        "short.txt": "1\nA 1 L3 +a+b\n",
    }
    for name, text in bad_files.items():
        message = program_error(program, tmp_path, name, text)
        with pytest.raises(ValueError) as raised:
            varnet.read_structures(tmp_path / name)
        assert str(raised.value) == message.replace(name, str(tmp_path / name))
        with pytest.raises(ValueError, match="^" + message.split(":")[0]):
            varnet.parse_structures(text)

    # Structures that read well but cannot be compared: the program's message in either call.
    for text in ["2\nA 2 L1 +a L0 .\nB 1 L1 +a\n", "2\nA 1 L1 +a\nB 3 L1 +a C1 +b C0 .\n"]:
        message = program_error(program, tmp_path, "pair.txt", text)
        a, b = varnet.parse_structures(text)
        for compare in [varnet.distance, varnet.sequence, lambda *p: varnet.distance_matrix([*p])]:
            with pytest.raises(ValueError) as raised:
                compare(a, b)
            assert str(raised.value) == message

    with pytest.raises(FileNotFoundError, match="^.*Failed to open file none.txt"):
        varnet.read_structures("none.txt")
    with pytest.raises(IsADirectoryError, match="failed to open file with weights"):
        varnet.read_weights(tmp_path)


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: varnet.Weights(DP=float("nan")), "The weight DP must be a finite number"),
        (lambda: varnet.distance(varnet.Structure("A", [varnet.Chromosome(["+"])]),
                                 varnet.Structure("B")), 'chromosome 1: "\\+" is not a gene'),
        (lambda: varnet.distance(varnet.Structure("A", [varnet.Chromosome(["a b"])]),
                                 varnet.Structure("B")), '"a b" is not a gene name'),
        (lambda: varnet.distance_matrix([varnet.Structure("A")], threads=0), "threads must be"),
        (lambda: varnet.draw_pair(varnet.Structure("A"), varnet.Structure("B"), copies="first"),
         'Unknown copy rule "first"'),
        (lambda: varnet.tree([[0, 1], [2, 0]], ["A", "B"]), '"A" to "B" is 1.0, "B" to "A" is 2'),
        (lambda: varnet.tree([[1, 0], [0, 0]], ["A", "B"]), '"A" to itself is 1.0'),
        (lambda: varnet.tree([[0, numpy.nan], [numpy.nan, 0]], ["A", "B"]), "not finite"),
        (lambda: varnet.tree([[0, 1], [1, 0]], ["A"]), "one row and one column per name"),
        (lambda: varnet.tree([[0]], ["A"], method="UPGMA"), 'Unknown tree method "UPGMA"'),
        (lambda: varnet.jackknife([varnet.Structure("A")], 2, method="-"),
         'Unknown tree method "-": use "upgma", "nj" or "kruskal"'),
        (lambda: varnet.jackknife([varnet.Structure("A")], 2, fraction=1), "fraction must be"),
        (lambda: varnet.distance(*PAIR, HUGE), "is not finite \\(inf\\): the operation weights"),
        (lambda: varnet.distance_matrix(PAIR, HUGE), "not finite \\(inf\\): the weights are too"),
    ],
)  # fmt: skip
def test_bad_values_raise_value_error(call, message):
    with pytest.raises(ValueError, match=message):
        call()


def test_matrix_frees_the_interpreter():
    rng = random.Random(300)
    structures = [random_structure(rng, f"S{k}", rng.randrange(4, 20), 20) for k in range(300)]
    w = varnet.Weights(DP=1, SP=1, J=0.5, C=0.5, aD=2, bD=2)

    ticks: List[float] = []
    done = threading.Event()

    def count() -> None:
        while not done.wait(0.001):
            ticks.append(time.monotonic())

    helper = threading.Thread(target=count)
    helper.start()
    start = time.monotonic()
    varnet.distance_matrix(structures, w, breakpoint=0.5, threads=1)
    end = time.monotonic()
    done.set()
    helper.join()
    # A thread that held the interpreter would let no tick in; a few prove it was free, however
    # fast the matrix is or however loaded the machine.
    during = [t for t in ticks if start < t < end]
    assert len(during) >= 3, f"{len(during)} ticks in {end - start:.2f} s"


@pytest.mark.skipif(os.name != "posix", reason="sends SIGINT")
def test_ctrl_c_stops_the_matrix():
    # Far apart structures: the whole matrix takes several seconds on two threads, so the
    # interrupt arrives while the workers run. (How soon they stop is not timed here: a loaded
    # machine makes any bound flaky.)
    rng = random.Random(3)
    structures = []
    for k in range(200):  # the same 1500 genes in random orders
        order = [f"{rng.choice('+-')}g{g}" for g in rng.sample(range(1500), 1500)]
        structures.append(varnet.Structure(f"S{k}", [varnet.Chromosome(order, k % 2 == 0)]))
    timer = threading.Timer(0.3, lambda: os.kill(os.getpid(), signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        varnet.distance_matrix(structures, threads=2)
    timer.join()
    # The workers are gone and the next calculation runs as usual.
    assert varnet.distance_matrix(structures[:3], threads=2).shape == (3, 3)
