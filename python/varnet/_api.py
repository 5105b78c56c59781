"""The functions and types of the package varnet (its __init__ lists them)."""

from __future__ import annotations

import math
import os
import warnings
from dataclasses import dataclass, field
from typing import List, NamedTuple, Optional, Sequence, Union

import numpy
import numpy.typing

from . import _core

__version__: str = _core.version

PathLike = Union[str, "os.PathLike[str]"]


@dataclass
class Chromosome:
    """A chromosome: its genes in reading order as signed names ("+dnaA", "-recF"; a name
    without a sign reads forward), and whether it is circular (else linear)."""

    genes: List[str]
    circular: bool = False


@dataclass
class Structure:
    """A genome: its name and its chromosomes."""

    name: str
    chromosomes: List[Chromosome] = field(default_factory=list)


@dataclass(frozen=True)
class Weights:
    """The cost of each kind of operation: DP, SP, J (a join), C (a cut), and the gene-run
    deletions aD and insertions bD. Weights may be zero or negative, but must be finite."""

    DP: float = 1.0
    SP: float = 1.0
    J: float = 1.0
    C: float = 1.0
    aD: float = 1.0
    bD: float = 1.0

    def __post_init__(self) -> None:
        for name in ("DP", "SP", "J", "C", "aD", "bD"):
            value = float(getattr(self, name))
            if not math.isfinite(value):
                raise ValueError(f"The weight {name} must be a finite number, not {value}")
            object.__setattr__(self, name, value)

    def _in_program_order(self) -> tuple:
        # The program's order: DP, SP, J, C, bD, aD.
        return (self.DP, self.SP, self.J, self.C, self.bD, self.aD)


class Step(NamedTuple):
    """One step of a shortest sequence, as its line in shortest_sequence.txt shows it."""

    consumed: List[str]
    """The components the step takes, each printed with its tag, "(C)" closed or "(L)" open."""
    events: List[str]
    """The operations of the step: "DP", "SP", "C", "J", "aD", "bD" or "NoEvent"."""
    produced: List[str]
    """The components the step makes, printed as `consumed`."""
    label: str
    """The rule of the solver that made the step, e.g. "3.1"."""
    alternatives: bool
    """True when produced[0:2] and produced[2:4] are two alternative results."""
    text: str
    """The step's line of shortest_sequence.txt, without its line feed."""


class ShortestSequence(NamedTuple):
    """The cost of a shortest sequence and its steps."""

    cost: float
    steps: List[Step]
    heading: str
    """The first line of shortest_sequence.txt: the number of events and the cost."""

    def text(self) -> str:
        """The whole text of shortest_sequence.txt."""
        return "".join(line + "\n" for line in [self.heading] + [s.text for s in self.steps])


def _structures(raw: list) -> List[Structure]:
    return [
        Structure(name, [Chromosome(genes, circular) for circular, genes in chromosomes])
        for name, chromosomes in raw
    ]


def _raw(structure: Structure, role: str) -> tuple:
    if not isinstance(structure, Structure):
        raise TypeError(f"{role} must be a varnet.Structure, not {type(structure).__name__}")
    chromosomes = []
    for chromosome in structure.chromosomes:
        if not isinstance(chromosome, Chromosome):
            raise TypeError(
                f'The chromosomes of structure "{structure.name}" must be varnet.Chromosome '
                f"values, not {type(chromosome).__name__}"
            )
        if isinstance(chromosome.genes, str):
            raise TypeError(
                f'The genes of a chromosome of structure "{structure.name}" must be a list of '
                "names, not one string"
            )
        chromosomes.append((bool(chromosome.circular), list(chromosome.genes)))
    return (structure.name, chromosomes)


def _weights(weights: Weights) -> tuple:
    if not isinstance(weights, Weights):
        raise TypeError(f"weights must be varnet.Weights, not {type(weights).__name__}")
    return weights._in_program_order()


def read_structures(path: PathLike) -> List[Structure]:
    """The structures of a structure file, in file order, read as the program reads them: the
    native format, UniMoG or GRIMM."""
    return _structures(_core.read_structures(os.fspath(path)))


def parse_structures(text: str) -> List[Structure]:
    """The structures of the text of a structure file (any of the formats `read_structures`
    reads)."""
    return _structures(_core.parse_structures(text))


def read_weights(path: PathLike) -> Weights:
    """The operation weights of a weights file: its first line of key/value pairs such as
    DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2. A weight the line does not set is 0."""
    dp, sp, j, c, bd, ad = _core.read_weights(os.fspath(path))
    return Weights(DP=dp, SP=sp, J=j, C=c, aD=ad, bD=bd)


COPY_RULES = ("order", "context")


def _copies(copies: str) -> str:
    if copies not in COPY_RULES:
        raise ValueError(f'Unknown copy rule "{copies}": use "order" or "context"')
    return copies


def distance(
    a: Structure, b: Structure, weights: Weights = Weights(), copies: str = "order"
) -> float:
    """The cost of a cheapest sequence of operations that turns `a` into `b`, with copies of a
    gene paired by `copies` ("order", the k-th with the k-th, or "context", by their
    neighbours): the cost `varnet -m dist --copies <copies>` prints for a file holding `a` and
    then `b`."""
    return _core.distance([_raw(a, "a"), _raw(b, "b")], _weights(weights), _copies(copies))


def sequence(
    a: Structure, b: Structure, weights: Weights = Weights(), copies: str = "order"
) -> ShortestSequence:
    """The cost and the steps of a cheapest sequence of operations that turns `a` into `b` (copies
    paired as `distance` says): what `varnet -m dist` writes to shortest_sequence.txt for a file
    holding `a` and then `b`."""
    pair = [_raw(a, "a"), _raw(b, "b")]
    cost, heading, steps = _core.sequence(pair, _weights(weights), _copies(copies))
    return ShortestSequence(cost, [Step(*step) for step in steps], heading)


def draw_pair(
    a: Structure, b: Structure, weights: Weights = Weights(), copies: str = "order"
) -> str:
    """The SVG picture of `a` (above) and `b` (below) that `varnet -m dist` writes to pair.svg
    for a file holding `a` and then `b` (copies paired as `distance` says): each chromosome a
    row, genes or runs of genes adjacent in both as arrows, a band from each to its partner
    (crossed where inverted), genes only one genome holds in grey, and the cost and operations in
    the heading. In a notebook, `IPython.display.SVG(varnet.draw_pair(a, b))` shows it."""
    return _core.draw_pair([_raw(a, "a"), _raw(b, "b")], _weights(weights), _copies(copies))


def _matrix_arguments(structures, weights, special, breakpoint, threads, copies) -> tuple:
    raw = [_raw(s, f"structures[{k}]") for k, s in enumerate(structures)]
    if threads is not None and not (isinstance(threads, int) and 1 <= threads <= 4096):
        raise ValueError(f"threads must be a whole number from 1 to 4096, not {threads!r}")
    special, breakpoint = float(special), float(breakpoint)
    for name, value in (("special", special), ("breakpoint", breakpoint)):
        if not math.isfinite(value):
            raise ValueError(f"The weight {name} must be a finite number, not {value}")
    return raw, (_weights(weights), special, breakpoint, threads or 0, _copies(copies))


def _warn_of_few_shared_genes(raw: list, breakpoint: float) -> None:
    if breakpoint == 0:
        warning = _core.shared_gene_warning(raw)
        if warning:
            warnings.warn(warning, UserWarning, stacklevel=3)


def distance_matrix(
    structures: Sequence[Structure],
    weights: Weights = Weights(),
    special: float = 1.0,
    breakpoint: float = 0.0,
    threads: Optional[int] = None,
    copies: str = "order",
) -> numpy.ndarray:
    """The distance matrix of `varnet -m tree` (row and column k for structures[k]): `special`
    times the mean of the two costs of each pair (`distance` both ways, copies paired by
    `copies`) plus `breakpoint` times the number of adjacencies and genes only one of the two
    has. A pair with a structure that holds no chromosome has the special distance 1e6.

    The pairs are computed on `threads` worker threads (default: the VARNET_THREADS environment
    variable, else every processor the process may use) while other Python threads go on; the
    result does not depend on the count. Ctrl-C (KeyboardInterrupt) stops the workers once the
    pairs they are solving are done.

    With `breakpoint` 0, a pair that shares fewer than half the genes of the smaller structure
    gives a UserWarning, as tree mode warns: the special distance charges a run of missing genes
    as one deletion whatever its length, so unrelated structures look close; a `breakpoint`
    above 0 counts the missing genes one by one."""
    raw, arguments = _matrix_arguments(structures, weights, special, breakpoint, threads, copies)
    if not raw:
        return numpy.zeros((0, 0))
    matrix = _core.distance_matrix(raw, *arguments)
    _warn_of_few_shared_genes(raw, arguments[2])
    return matrix


TREE_METHODS = tuple(_core.tree_methods)
"""The names of the tree methods, the program's default first."""


def tree(
    matrix: "numpy.typing.ArrayLike",
    names: Sequence[Union[str, Structure]],
    method: str = TREE_METHODS[0],
) -> str:
    """The tree of a distance matrix (row and column k for names[k], a name or a structure) in
    Newick text, as
    `varnet -m tree` writes it to tree.tre: "upgma" (without branch lengths), "nj" (neighbour
    joining, with branch lengths) or "kruskal" (the joins of a minimum spanning tree). The matrix
    must be symmetric with a zero diagonal and finite distances."""
    names = [name.name if isinstance(name, Structure) else str(name) for name in names]
    cells = numpy.asarray(matrix, dtype=float)
    n = len(names)
    if cells.shape != (n, n):
        raise ValueError(
            f"The matrix must have one row and one column per name: {n} names, "
            f"shape {cells.shape}"
        )
    if n == 0:
        raise ValueError("A tree needs at least one structure")
    for i, j in zip(*numpy.nonzero(~numpy.isfinite(cells))):
        raise ValueError(
            f'The distance between "{names[i]}" and "{names[j]}" is not finite ({cells[i, j]})'
        )
    for i, j in zip(*numpy.nonzero(cells != cells.T)):
        raise ValueError(
            f'The matrix is not symmetric: "{names[i]}" to "{names[j]}" is {cells[i, j]}, '
            f'"{names[j]}" to "{names[i]}" is {cells[j, i]}'
        )
    for i in numpy.nonzero(numpy.diagonal(cells))[0]:
        raise ValueError(f'The distance of "{names[i]}" to itself is {cells[i, i]}, not 0')
    return _core.tree(cells, names, method)


class JackknifeTree(NamedTuple):
    """A tree with jackknife support, as `varnet -m tree -b <replicates>` writes it."""

    tree: str
    """The Newick text of tree.tre, each inner branch labelled with the percentage of replicate
    trees that hold it."""
    support: str
    """The text of support.tsv: per inner branch its leaves, the replicates holding it, the
    percentage, and whether it only separates identical structures;
    `pandas.read_csv(io.StringIO(support), sep="\\t")` reads it."""
    replicates: List[str]
    """The replicates' trees in Newick text, the lines of replicates.tre."""


def jackknife(
    structures: Sequence[Structure],
    replicates: int,
    fraction: float = 0.4,
    seed: int = 1,
    method: str = "nj",
    weights: Weights = Weights(),
    special: float = 1.0,
    breakpoint: float = 0.0,
    threads: Optional[int] = None,
    copies: str = "order",
) -> JackknifeTree:
    """The tree of the distance matrix (`distance_matrix` with these `weights`, `special`,
    `breakpoint`, `threads` and `copies`) by `method`, with the support of a gene jackknife:
    each of `replicates` replicates deletes a random `fraction` of the gene names (drawn from
    `seed` and the replicate's number) and builds its tree again; a branch's support is the
    share of replicate trees that hold it. The same as `varnet -m tree -p <method> -b
    <replicates> --jackknife-fraction <fraction> --seed <seed>` writes."""
    raw, arguments = _matrix_arguments(structures, weights, special, breakpoint, threads, copies)
    if not (isinstance(replicates, int) and 1 <= replicates <= 1000000):
        raise ValueError(f"replicates must be a whole number from 1 to 1000000, not {replicates!r}")
    if not 0 < fraction < 1:
        raise ValueError(f"fraction must be a number above 0 and below 1, not {fraction!r}")
    if not (isinstance(seed, int) and 0 <= seed < 2**64):
        raise ValueError(f"seed must be a whole number from 0 to 2**64 - 1, not {seed!r}")
    if not raw:
        raise ValueError("A tree needs at least one structure")
    tree_text, support, trees = _core.jackknife(
        raw, replicates, float(fraction), seed, method, *arguments
    )
    _warn_of_few_shared_genes(raw, arguments[2])
    return JackknifeTree(tree_text, support, trees.splitlines())
