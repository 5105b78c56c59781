#!/usr/bin/env python3
"""Runs two varnet binaries on the same generated inputs and reports any result that differs.

    scripts/differential.py OLD NEW [CASES] [SEED]

Each case is a structure file of related genomes (inversions, moves, lost and gained genes,
copies, circular and linear chromosomes; every tenth case a name in up to 40 copies, some cases
repeating a genome), run in dist mode and in tree mode (neighbour joining, with the PHYLIP files)
under both copy rules and one of several weight files (with a zero, non-dyadic, negative-free).
Every result file, standard output (the timing line masked) and standard error must be equal.
Not a test: a tool for changes that must keep every output byte for byte.
"""
import os
import random
import re
import subprocess
import sys
import tempfile

WEIGHTS = [
    "DP=1,SP=1,J=1,C=1,aD=1,bD=1",
    "DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2",
    "DP=0.3,SP=0.7,J=0.1,C=0.2,aD=1.3,bD=0.9",
    "DP=2,SP=1,J=0,C=1,aD=1,bD=0",
    "DP=1,SP=2,J=1,C=1,aD=3,bD=1",
]
DISTANCE = ["[weights]\nspecial=1\nbreakpoint=0\n", "[weights]\nspecial=1\nbreakpoint=1\n",
            "[weights]\nspecial=0.5\nbreakpoint=0.25\n"]


def genome(rng, ancestor, names):
    chromosomes = [list(c) for c in ancestor]
    for _ in range(rng.randint(0, 6)):
        c = rng.choice(chromosomes)
        if len(c) < 2:
            continue
        i, j = sorted(rng.sample(range(len(c) + 1), 2))
        c[i:j] = [(-s, n) for s, n in reversed(c[i:j])]
    for _ in range(rng.randint(0, 2)):
        if len(chromosomes) > 1 and rng.random() < 0.5:
            a, b = rng.sample(range(len(chromosomes)), 2)
            k = rng.randint(0, len(chromosomes[a]))
            chromosomes[b].extend(chromosomes[a][k:])
            del chromosomes[a][k:]
    for c in chromosomes:
        for k in reversed(range(len(c))):
            r = rng.random()
            if r < 0.08:
                del c[k]
            elif r < 0.16:
                c.insert(k, (rng.choice([1, -1]), rng.choice(names)))
    chromosomes = [c for c in chromosomes if c]
    if rng.random() < 0.2:
        chromosomes.append([(1, "new%d" % rng.randint(0, 5)) for _ in range(rng.randint(1, 3))])
    if not chromosomes:
        chromosomes = [[(1, names[0])]]
    return [(rng.random() < 0.3, c) for c in chromosomes]


def structure_file(rng, case):
    count = rng.randint(2, 9)
    size = rng.randint(3, 30)
    names = ["g%d" % k for k in range(size)]
    if case % 3 == 0:
        names += ["trn%s" % x for x in "AAALLSS"]  # tRNA-like repeated names
    ancestor_genes = [(rng.choice([1, -1]), rng.choice(names)) for _ in range(size)]
    if case % 10 == 0:
        ancestor_genes += [(1, "many")] * rng.randint(10, 40)
        rng.shuffle(ancestor_genes)
    cut = sorted(rng.sample(range(1, len(ancestor_genes)), min(2, len(ancestor_genes) - 1)))
    ancestor = [ancestor_genes[:cut[0]], ancestor_genes[cut[0]:]]
    genomes = [genome(rng, ancestor, names) for _ in range(count)]
    if case % 4 == 0:
        genomes.append(genomes[0])
    lines = ["%d" % len(genomes)]
    for k, g in enumerate(genomes):
        words = ["G%d" % k, str(len(g))]
        for circular, genes in g:
            words.append("%s%d" % ("C" if circular else "L", len(genes)))
            words.append("".join(("+" if s > 0 else "-") + n for s, n in genes))
        lines.append(" ".join(words))
    return "\n".join(lines) + "\n"


def run(binary, work, mode, copies, structures):
    out = os.path.join(work, "r")
    args = [binary, "-m", mode, "-c", structures, "-o", "weights.txt", "-r", out,
            "--copies", copies]
    if mode == "tree":
        args += ["-p", "nj", "-f", "1"]
    proc = subprocess.run(args, cwd=work, capture_output=True, text=True,
                          env=dict(os.environ, VARNET_THREADS="1"))
    result = {"status": str(proc.returncode),
              "stdout": re.sub(r"Time of matrix calculation: \S+", "T", proc.stdout),
              "stderr": proc.stderr}
    if os.path.isdir(out):
        for name in sorted(os.listdir(out)):
            with open(os.path.join(out, name), "rb") as f:
                result[name] = f.read()
        subprocess.run(["rm", "-rf", out])
    return result


def main():
    old, new = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    cases = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    rng = random.Random(seed)
    differing = 0
    with tempfile.TemporaryDirectory() as work:
        for case in range(cases):
            text = structure_file(rng, case)
            with open(os.path.join(work, "s.txt"), "w") as f:
                f.write(text)
            with open(os.path.join(work, "weights.txt"), "w") as f:
                f.write(rng.choice(WEIGHTS) + "\n")
            with open(os.path.join(work, "distance_weights.ini"), "w") as f:
                f.write(rng.choice(DISTANCE))
            # dist mode compares the first structure with the last: keep two
            pair = "\n".join(["2"] + text.splitlines()[1:3] ) + "\n"
            with open(os.path.join(work, "p.txt"), "w") as f:
                f.write(pair)
            for mode, path in (("dist", "p.txt"), ("tree", "s.txt")):
                for copies in ("order", "context"):
                    a = run(old, work, mode, copies, path)
                    b = run(new, work, mode, copies, path)
                    if a != b:
                        differing += 1
                        keys = [k for k in set(a) | set(b) if a.get(k) != b.get(k)]
                        print("case %d %s %s differs in %s" % (case, mode, copies, keys))
                        print(text)
    print("%d cases, %d runs differ" % (cases, differing))
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
