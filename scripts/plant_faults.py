#!/usr/bin/env python3
"""Plants faults in src/ one at a time and reports which of them the tests catch.

Each fault changes one operator or constant on one line of code (never inside a comment, a string
or a preprocessor line): a comparison loosened or tightened or turned around, && and || swapped,
a binary + or - turned into the other, an integer constant moved by one, true and false swapped.
The faults are drawn at random from every such site of src/, seeded, so a run can be repeated.

The repository's tracked files are copied into a work directory (only files that changed since
the last run are rewritten there, so its build stays incremental); the checkout itself is never
touched. For each fault the copy's Release build is rebuilt and ctest runs, stopping at the first
failing test. A fault the build rejects does not count: another is drawn in its place. Nor does a
fault that leaves the compiled code as it was: when every object file of the libraries, programs
and Python module (all but the tests' own) is byte for byte that of the unchanged copy, no input
can tell the fault apart, so it is reported as "equivalent (same code)" without running the tests
and another is drawn. The check holds only while two builds of the same sources give the same
objects: the run ends with a warning when the rebuilt unchanged copy's objects differ from those
recorded before the first fault.

The test command (scripts/test.sh) also runs the suite under AddressSanitizer and
UndefinedBehaviorSanitizer, and some faults only they see (a write one word past an array). So a
fault the Release tests miss stays planted while the copy's sanitizer build is rebuilt and its
tests run the same way; when one fails, the fault is "caught (sanitizer)". That build is
configured as scripts/test.sh configures its own, but without -Werror (like the Release build
here); it is configured and built whole at the first fault that needs it, and the faults the
Release tests catch never wait for it.

    scripts/plant_faults.py [--faults N] [--seed S] [--only REGEX] [--work DIR]
    scripts/plant_faults.py --fault src/orders/gff_annotations.cpp:40:'>= 0':'> 0'

--fault FILE:LINE:OLD:NEW plants exactly that change (repeatable) instead of drawing at random;
OLD may hold text around the operator to tell apart two on one line.
--all-failures runs every test for each fault and lists all that fail: a test that never is the
only one to catch a fault is a candidate for removal. --ctest-args passes more arguments to
ctest, in both builds (e.g. "-E Mpi" to leave the slowest out of such a run).
Everything runs under nice; with two cores shared, keep --jobs at 1 or 2.
"""

import argparse
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# (pattern, replacement) pairs; a pattern matches the operator alone, spaces around it required
# for the binary ones, so that template brackets, pointers, unary minus and stream operators are
# never taken for comparisons or arithmetic.
SWAPS = [
    (r"(?<= )<=(?= )", "<"),
    (r"(?<= )>=(?= )", ">"),
    (r"(?<= )<(?= )", "<="),
    (r"(?<= )>(?= )", ">="),
    (r"(?<= )==(?= )", "!="),
    (r"(?<= )!=(?= )", "=="),
    (r"(?<= )&&(?= )", "||"),
    (r"(?<= )\|\|(?= )", "&&"),
    (r"(?<= )\+(?= )", "-"),
    (r"(?<= )-(?= )", "+"),
    (r"(?<= )\+=(?= )", "-="),
    (r"(?<= )-=(?= )", "+="),
    (r"\btrue\b", "false"),
    (r"\bfalse\b", "true"),
]
# The sanitizer build as scripts/test.sh configures and builds it (clang where it is installed),
# but without -Werror, and the sanitizer options it runs the tests with.
SANITIZER_OPTIONS = ["-DCMAKE_BUILD_TYPE=Debug", "-DVARNET_SANITIZE=address,undefined",
                     "-DCMAKE_UNITY_BUILD=ON", "-DCMAKE_UNITY_BUILD_BATCH_SIZE=0"]
SANITIZER_TARGETS = ["varnet_tests", "varnet_concurrency_tests", "varnet_orders_tests",
                     "structure_reader_fuzz_replay", "weight_files_fuzz_replay",
                     "dist_pipeline_fuzz_replay"]
SANITIZER_ENV = {"ASAN_OPTIONS": "halt_on_error=1:detect_leaks=1",
                 "UBSAN_OPTIONS": "halt_on_error=1:print_stacktrace=1"}
INTEGER = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")


def blank_comments_and_strings(text):
    """The text with every comment, string and character literal replaced by spaces (newlines
    kept), so that positions still match the original."""
    out = list(text)
    k, n = 0, len(text)

    def blank(start, end):
        for i in range(start, end):
            if out[i] != "\n":
                out[i] = " "

    while k < n:
        c = text[k]
        if text.startswith("//", k):
            end = text.find("\n", k)
            end = n if end < 0 else end
            blank(k, end)
            k = end
        elif text.startswith("/*", k):
            end = text.find("*/", k + 2)
            end = n if end < 0 else end + 2
            blank(k, end)
            k = end
        elif c == "R" and text.startswith('R"', k) and (k == 0 or not text[k - 1].isalnum()):
            open_paren = text.find("(", k)
            delimiter = ")" + text[k + 2:open_paren] + '"'
            end = text.find(delimiter, open_paren)
            end = n if end < 0 else end + len(delimiter)
            blank(k, end)
            k = end
        elif c == '"' or (c == "'" and not (k > 0 and text[k - 1].isalnum())):
            end = k + 1
            while end < n and text[end] != c:
                end += 2 if text[end] == "\\" else 1
            blank(k, end + 1)
            k = end + 1
        else:
            k += 1
    return "".join(out)


def fault_sites(path):
    """Every (line number, column, old text, new text) where one fault can be planted."""
    text = path.read_text()
    code = blank_comments_and_strings(text)
    sites = []
    for number, line in enumerate(code.split("\n"), start=1):
        if line.lstrip().startswith("#"):
            continue
        for pattern, new in SWAPS:
            for m in re.finditer(pattern, line):
                sites.append((number, m.start(), m.group(0), new))
        for m in INTEGER.finditer(line):
            value = int(m.group(1))
            sites.append((number, m.start(), m.group(1), str(value + 1 if value == 0 else value - 1)))
    return sites


def run(command, cwd, log, timeout=None, env=None):
    """Runs a command under nice, its output appended to log; returns its exit status, or None
    when it ran out of time. env holds variables to set for it."""
    with open(log, "a") as out:
        out.write("\n$ " + " ".join(command) + "\n")
        out.flush()
        try:
            return subprocess.run(["nice"] + command, cwd=cwd, stdout=out,
                                  stderr=subprocess.STDOUT, timeout=timeout,
                                  env=dict(os.environ, **(env or {}))).returncode
        except subprocess.TimeoutExpired:
            return None


def tracked_files():
    """The files git tracks in the checkout, by path from its root."""
    return list(filter(None, subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                                            capture_output=True).stdout.decode().split("\0")))


def sync_copy(work):
    """Copies the tracked files of the checkout (as they are on disk) into work/, rewriting only
    those whose content differs; files the checkout no longer tracks are removed."""
    files = tracked_files()
    kept = set(files)
    for path in (work / "src").rglob("*"):
        if path.is_file() and str(path.relative_to(work)) not in kept:
            path.unlink()
    for name in files:
        source, target = ROOT / name, work / name
        if not source.is_file():
            continue
        data = source.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(source, target)


def object_hashes(build):
    """By path, a hash of every object file of the build but the tests' own."""
    return {str(path.relative_to(build)): hashlib.sha256(path.read_bytes()).hexdigest()
            for path in sorted(build.rglob("*.o")) if "tests" not in path.relative_to(build).parts}


def failed_tests(log):
    """The tests ctest reported as failed in the log, in its order, and those of them that only
    ran out of time (ctest's timeout, or a job of the MPI test that its own timeout ended): on a
    loaded machine such a failure may not be the fault's doing."""
    failed, timed_out = [], []
    text = Path(log).read_text(errors="replace")
    for line in text.splitlines():
        m = re.search(r"Test +#\d+: (\S+) .*?\.\s*(?:Subprocess aborted)?(\*\*\*.*|Passed.*)$",
                      line)
        if m and not m.group(2).startswith("Passed") and m.group(1) not in failed:
            failed.append(m.group(1))
            if "Timeout" in m.group(2) or (m.group(1).startswith("Mpi.") and
                                           "timed out" in text):
                timed_out.append(m.group(1))
    return failed, timed_out


def run_tests(build, test_log, source, log, args, env=None):
    """Runs ctest in build, its output in test_log and appended to log; returns its exit status
    (None when it ran out of time), the tests that failed and those of them that timed out."""
    test_log.write_text("")
    ctest = ["ctest", "--test-dir", str(build), "-j", str(args.jobs), "--timeout", "300"]
    ctest += [] if args.all_failures else ["--stop-on-failure", "--output-on-failure"]
    status = run(ctest + args.ctest_args.split(), source, test_log, args.timeout, env)
    with open(log, "a") as out:
        out.write(test_log.read_text(errors="replace"))
    return (status,) + failed_tests(test_log)


def build_sanitized(build, source, log, jobs):
    """Configures the sanitizer build in build (the first time) and builds its tests; returns
    whether they built."""
    if not (build / "CMakeCache.txt").exists():
        configure = ["cmake", "-S", str(source), "-B", str(build)] + SANITIZER_OPTIONS
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        if shutil.which("clang++"):
            configure += ["-DCMAKE_CXX_COMPILER=" + shutil.which("clang++")]
        if run(configure, source, log) != 0:
            return False
    return run(["cmake", "--build", str(build), "-j", str(jobs), "--target"] + SANITIZER_TARGETS,
               source, log) == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--faults", type=int, default=30, help="faults to plant (default 30)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the draw (default 1)")
    parser.add_argument("--only", default="", help="draw only in files matching this regex")
    parser.add_argument("--fault", action="append", default=[],
                        help="FILE:LINE:OLD:NEW, one given fault (repeatable)")
    parser.add_argument("--work", default=f"/tmp/varnet-faults-{os.getuid()}",
                        help="work directory with the copy and its build")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--all-failures", action="store_true",
                        help="run every test per fault and list every failing one")
    parser.add_argument("--ctest-args", default="", help="more arguments for ctest")
    parser.add_argument("--timeout", type=int, default=900,
                        help="seconds for one ctest run (default 900)")
    args = parser.parse_args()

    work = Path(args.work)
    source, build, sanitized = work / "source", work / "build", work / "build-sanitizer"
    source.mkdir(parents=True, exist_ok=True)
    log = work / "log.txt"
    log.write_text("")
    sync_copy(source)
    if not (build / "CMakeCache.txt").exists():
        configure = ["cmake", "-S", str(source), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     "-DVARNET_BUILD_PYTHON=AUTO", "-DPython_EXECUTABLE=/usr/bin/python3"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        if run(configure, source, log) != 0:
            sys.exit(f"configuring failed; see {log}")
    print("building the unchanged copy ...", flush=True)
    if run(["cmake", "--build", str(build), "-j", str(args.jobs)], source, log) != 0:
        sys.exit(f"the unchanged copy does not build; see {log}")
    unchanged = object_hashes(build)

    if args.fault:
        chosen = []
        for given in args.fault:
            name, line, old, new = given.split(":", 3)
            chosen.append((name, int(line), None, old, new))
    else:
        everything = []
        for name in sorted(tracked_files()):
            path = source / name
            if not name.startswith("src/") or path.suffix not in (".cpp", ".hpp"):
                continue
            if args.only and not re.search(args.only, name):
                continue
            everything += [(name,) + site for site in fault_sites(path)]
        random.Random(args.seed).shuffle(everything)
        chosen = everything
        print(f"{len(everything)} sites; planting {args.faults}", flush=True)

    caught = survived = uncertain = equivalent = 0
    results = []
    for name, number, column, old, new in chosen:
        if caught + survived + uncertain == args.faults and not args.fault:
            break
        path = source / name
        original = path.read_text()
        lines = original.split("\n")
        line = lines[number - 1]
        if column is None:
            column = line.find(old)
            if column < 0:
                print(f"{name}:{number}: '{old}' not found on the line", flush=True)
                continue
        lines[number - 1] = line[:column] + new + line[column + len(old):]
        where = f"{name}:{number}"
        change = f"'{line.strip()}'  {old} -> {new}"
        try:
            path.write_text("\n".join(lines))
            started = time.time()
            if run(["cmake", "--build", str(build), "-j", str(args.jobs)], source, log) != 0:
                print(f"not built  {where}  {change}", flush=True)
                continue
            if object_hashes(build) == unchanged:
                equivalent += 1
                print(f"equivalent (same code)  {where}  {change}", flush=True)
                continue
            status, failed, timed_out = run_tests(build, work / "ctest.txt", source, log, args)
            where_caught = ""
            if status == 0:
                where_caught = " (sanitizer)"
                if build_sanitized(sanitized, source, log, args.jobs):
                    status, failed, timed_out = run_tests(sanitized, work / "ctest-sanitizer.txt",
                                                          source, log, args, SANITIZER_ENV)
                else:
                    print(f"the sanitizer build failed with {where}; see {log}", flush=True)
        finally:
            path.write_text(original)
        seconds = round(time.time() - started)
        if status == 0:
            survived += 1
            verdict = "SURVIVED"
        elif status is None or (failed and len(timed_out) == len(failed)):
            # Only timeouts: the fault may make a test loop, or the machine may be too busy.
            uncertain += 1
            verdict = f"TIMED OUT{where_caught} " + " ".join(timed_out or ["(ctest)"])
        elif args.all_failures:
            caught += 1
            verdict = f"caught{where_caught} by {len(failed)}: " + " ".join(failed)
        else:
            caught += 1
            verdict = f"caught{where_caught}   " + (failed or ["(see the log)"])[0]
        print(f"{verdict:40} {where}  {change}  ({seconds} s)", flush=True)
        results.append((verdict, where, change))

    total = caught + survived + uncertain
    if total:
        by_sanitizer = sum(verdict.startswith("caught (sanitizer)") for verdict, _, _ in results)
        print(f"\n{caught} of {total} caught ({100 * caught // total} %; {by_sanitizer} of them "
              f"only by the sanitizer build), {survived} survived, "
              f"{uncertain} ended only by timeouts (rerun them on a quieter machine); "
              f"{equivalent} more compiled to the same code and were not counted")
        for verdict, where, change in results:
            if verdict.startswith(("SURVIVED", "TIMED OUT")):
                print(f"  {verdict.split()[0].lower()}: {where}  {change}")
    # Leaves the copy's build matching the checkout for the next run, and checks that it built
    # the same objects as before the first fault.
    run(["cmake", "--build", str(build), "-j", str(args.jobs)], source, log)
    if equivalent and object_hashes(build) != unchanged:
        print("warning: the unchanged copy rebuilt to other objects than before; the faults "
              "reported equivalent may not be", flush=True)


if __name__ == "__main__":
    main()
