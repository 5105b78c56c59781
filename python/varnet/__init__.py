"""Genome rearrangement distances and trees, as the program varnet computes them.

A structure is a genome: a named list of linear and circular chromosomes, each a list of signed
gene names ("+dnaA", "-recF"); a gene may be missing from some structures and may occur in several
copies. varnet compares two structures by the cost of a cheapest sequence of rearrangement
operations that turns one into the other, each kind of operation weighted by `Weights`.

    import varnet
    genomes = varnet.read_structures("examples/tree_six.txt")
    weights = varnet.read_weights("examples/operation_weights.txt")
    matrix = varnet.distance_matrix(genomes, weights)
    print(varnet.tree(matrix, [g.name for g in genomes], method="nj"))
    print(varnet.jackknife(genomes, 100, weights=weights).tree)

Every result equals the program's: `distance`, `sequence` and `draw_pair` the cost, the steps and
the picture pair.svg of `varnet -m dist`, `distance_matrix` the matrix, `tree` the Newick text
and `jackknife` the tree with support and the support table of `varnet -m tree`.
Input the program rejects raises ValueError with the program's message; a file that cannot be
opened raises OSError (FileNotFoundError, ...).
"""

from ._api import (
    COPY_RULES,
    TREE_METHODS,
    Chromosome,
    JackknifeTree,
    ShortestSequence,
    Step,
    Structure,
    Weights,
    __version__,
    distance,
    distance_matrix,
    draw_pair,
    jackknife,
    parse_structures,
    read_structures,
    read_weights,
    sequence,
    tree,
)

__all__ = [
    "Chromosome",
    "JackknifeTree",
    "ShortestSequence",
    "Step",
    "Structure",
    "Weights",
    "COPY_RULES",
    "TREE_METHODS",
    "distance",
    "distance_matrix",
    "draw_pair",
    "jackknife",
    "parse_structures",
    "read_structures",
    "read_weights",
    "sequence",
    "tree",
]


def __dir__() -> list:
    # The API alone, for dir() and tab completion: not the package's modules.
    return sorted(__all__ + ["__version__"])
