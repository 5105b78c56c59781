"""What `cmake --install` puts in a prefix, and the wheel pip installs."""

from __future__ import annotations

import os
import re
import subprocess
import sys
from pathlib import Path

import pytest
from conftest import SOURCE, run

import varnet

sys.path.insert(0, str(SOURCE / "python" / "build_backend"))
import varnet_build  # noqa: E402


@pytest.fixture(scope="module")
def prefix(tmp_path_factory) -> Path:
    build = os.environ.get("VARNET_BUILD_DIR")
    if not build:
        pytest.fail("VARNET_BUILD_DIR names no build: run the tests through ctest")
    prefix = tmp_path_factory.mktemp("prefix")
    cmake = os.environ.get("CMAKE_COMMAND", "cmake")
    subprocess.run([cmake, "--install", build, "--prefix", str(prefix)], check=True,
                   stdout=subprocess.DEVNULL)  # fmt: skip
    return prefix


def test_installed_program_runs_the_installed_examples(program, prefix, tmp_path):
    installed = prefix / "bin" / "varnet"
    version = re.search(r"project\(varnet VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text())
    # --version prints the version alone, before any file is read or any directory made.
    args = ["-c", "none.txt", "--version", "-m", "x", "-r", "not_made"]
    assert run(str(installed), args, tmp_path) == (0, f"varnet {version[1]}\n", "")
    assert not (tmp_path / "not_made").exists()
    assert run(str(installed), ["--version=1"], tmp_path)[:2] == (1, "")
    assert varnet.__version__ == version[1]
    help_text = run(str(installed), ["-h"], tmp_path)
    assert help_text == run(program, ["-h"], tmp_path)
    assert help_text.status == 0 and help_text.out == "" and "version" not in help_text.err
    assert help_text.err.startswith("Parsing parameters: \nUsage: Varnet -c [file]")

    docs = prefix / "share" / "doc" / "varnet"
    assert (docs / "README.md").read_bytes() == (SOURCE / "README.md").read_bytes()
    for example in filter(Path.is_file, (SOURCE / "examples").rglob("*")):
        assert (docs / example.relative_to(SOURCE)).read_bytes() == example.read_bytes()
    args = "-m dist -c examples/dist_pair.txt -o examples/operation_weights.txt -r " + str(tmp_path)
    done = run(str(installed), args.split(), docs)
    assert (done.status, done.err.rsplit("\n", 1)[1]) == (0, "6.5")
    assert (prefix / "bin" / "varnet-orders").is_file()
    if Path(program).with_name("varnet-mpi").exists():
        assert (prefix / "bin" / "varnet-mpi").is_file()
        assert (prefix / "share" / "man" / "man1" / "varnet-mpi.1").is_file()


def test_manual_page_renders_and_lists_every_option_and_tree_method(program, prefix, tmp_path):
    page = prefix / "share" / "man" / "man1" / "varnet.1"
    shown = subprocess.run(
        ["man", "--warnings", "-E", "UTF-8", "-l", str(page)],
        capture_output=True, text=True, check=True,
        env=dict(os.environ, MANPAGER="cat", PAGER="cat", MANWIDTH="100", LANG="C.UTF-8"),
    )  # fmt: skip
    assert shown.stderr == ""
    text = re.sub(".\b", "", shown.stdout)  # no overstrike for bold and underline
    for heading in ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "EXIT STATUS"]:
        assert f"\n{heading}\n" in text
    listing = run(program, ["-h"], tmp_path).err
    listed = re.findall(r"^  (?:(-\w) \[ )?(--[\w-]+)", listing, re.M) + [("", "--version")]
    assert len(listed) >= 9
    for short, long in listed:
        described = f"{short}, {long}" if short else long
        assert re.search(rf"^\s+{described}\b", text, re.M), f"{long} is not described"
    # The page's -p item (the bold words) and the README's list the table's methods, default first.
    methods = list(varnet.TREE_METHODS)
    page_source = (SOURCE / "doc" / "varnet.1.in").read_text()
    item = page_source.split(".BR \\-p ", 1)[1].split("\n.TP")[0]
    assert re.findall(r"^\.BR? (\w+)", item, re.M) == methods
    assert re.search(rf"^\.B {methods[0]}\n\(the default\),$", item, re.M)
    readme = (SOURCE / "README.md").read_text()
    in_readme = readme.split("`-p` the tree method (", 1)[1].split(";", 1)[0]
    assert re.findall(r"`(\w+)`", in_readme) == methods
    assert f"`{methods[0]}`, the default" in in_readme


def test_wheel_installs_and_imports(tmp_path):
    package = Path(varnet.__file__).parent
    wheel = varnet_build.write_wheel(str(tmp_path), package)
    assert wheel == f"varnet-{varnet.__version__}-{varnet_build.wheel_tag()}.whl"
    target = tmp_path / "site"
    subprocess.run(
        [sys.executable, "-m", "pip", "install", "--no-index", "--no-deps", "--quiet",
         "--disable-pip-version-check", "--root-user-action=ignore", "--target", str(target), str(tmp_path / wheel)],
        check=True,
    )  # fmt: skip
    check = (
        "import varnet; a, b = varnet.read_structures(r'{}'); "
        "print(varnet.__file__, varnet.distance(a, b, varnet.Weights(J=0.5, C=0.5, aD=2, bD=2)))"
    ).format(SOURCE / "examples" / "dist_pair.txt")
    done = subprocess.run(
        [sys.executable, "-c", check], capture_output=True, text=True, check=True,
        cwd=tmp_path, env=dict(os.environ, PYTHONPATH=str(target)),
    )  # fmt: skip
    assert done.stdout == f"{target / 'varnet' / '__init__.py'} 6.5\n"
