"""Builds the Python package varnet for pip (a PEP 517 build backend).

The package is the extension module varnet._core, which CMake builds from the same core library
as the program, and the Python files beside it. The backend needs nothing beyond the standard
library, CMake and a C++ compiler, so `python3 -m pip install .` works offline: pip has no build
requirement to download. The config setting build-dir keeps the CMake build in a directory of
one's choice, so that a second install compiles only what changed:

    python3 -m pip install . --config-settings build-dir=build-python
"""

from __future__ import annotations

import base64
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tarfile
import tempfile
import zipfile
from pathlib import Path
from typing import Dict, List, Optional

SOURCE = Path(__file__).resolve().parents[2]
NAME = "varnet"
SUMMARY = "Genome rearrangement distances and distance trees, as the program varnet computes them"
# Files of the source tree that a source archive leaves out: builds, results, caches.
SKIPPED = re.compile(r"^(build[^/]*|results[^/]*|\.git|\.?venv|.*__pycache__|\.pytest_cache)(/|$)")


def version() -> str:
    """The project's version, as the top CMakeLists.txt declares it."""
    text = (SOURCE / "CMakeLists.txt").read_text()
    found = re.search(r"project\(\s*varnet\s+VERSION\s+([0-9.]+)", text)
    if not found:
        raise RuntimeError("CMakeLists.txt declares no project version")
    return found.group(1)


def metadata() -> str:
    return (
        "Metadata-Version: 2.1\n"
        f"Name: {NAME}\n"
        f"Version: {version()}\n"
        f"Summary: {SUMMARY}\n"
        "Requires-Python: >=3.8\n"
        "Requires-Dist: numpy\n"
    )


def wheel_tag() -> str:
    """The tag of a wheel for this interpreter, e.g. cp311-cp311-linux_x86_64."""
    python = f"cp{sys.version_info.major}{sys.version_info.minor}"
    platform = re.sub(r"[-.]", "_", sysconfig.get_platform())
    return f"{python}-{python}{sys.abiflags}-{platform}"


def _digest(data: bytes) -> str:
    encoded = base64.urlsafe_b64encode(hashlib.sha256(data).digest())
    return "sha256=" + encoded.rstrip(b"=").decode()


def wheel_file() -> str:
    return (
        "Wheel-Version: 1.0\n"
        "Generator: varnet_build\n"
        "Root-Is-Purelib: false\n"
        f"Tag: {wheel_tag()}\n"
    )


def dist_info_name() -> str:
    return f"{NAME}-{version()}.dist-info"


def write_wheel(wheel_directory: str, package: Path) -> str:
    """Writes the wheel of the built package directory `package` (the module and the Python
    files) into `wheel_directory`; returns the wheel's file name."""
    dist_info = dist_info_name()
    files: Dict[str, bytes] = {}
    for path in sorted(package.iterdir()):
        if path.suffix in (".py", ".so") or path.name == "py.typed":
            files[f"{NAME}/{path.name}"] = path.read_bytes()
    if not any(name.endswith(".so") for name in files):
        raise RuntimeError(f"{package} holds no built extension module")
    files[f"{dist_info}/METADATA"] = metadata().encode()
    files[f"{dist_info}/WHEEL"] = wheel_file().encode()
    record = "".join(f"{name},{_digest(data)},{len(data)}\n" for name, data in files.items())
    files[f"{dist_info}/RECORD"] = (record + f"{dist_info}/RECORD,,\n").encode()

    name = f"{NAME}-{version()}-{wheel_tag()}.whl"
    with zipfile.ZipFile(Path(wheel_directory) / name, "w", zipfile.ZIP_DEFLATED) as wheel:
        for member, data in files.items():
            info = zipfile.ZipInfo(member, date_time=(1980, 1, 1, 0, 0, 0))
            info.external_attr = (0o755 if member.endswith(".so") else 0o644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            wheel.writestr(info, data)
    return name


def _run(command: List[str]) -> None:
    print("+ " + " ".join(command), file=sys.stderr, flush=True)
    subprocess.run(command, check=True, stdout=sys.stderr)


def build_module(build: Path) -> Path:
    """Builds the extension module for this interpreter in the CMake build directory `build`;
    returns the package directory that holds it."""
    cmake = shutil.which("cmake")
    if cmake is None:
        raise RuntimeError("Building varnet needs CMake (Debian: apt-get install cmake)")
    configure = [
        cmake, "-S", str(SOURCE), "-B", str(build),
        "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_UNITY_BUILD=ON",
        "-DVARNET_BUILD_TESTS=OFF", "-DVARNET_BUILD_PYTHON=ON",
        f"-DPython_EXECUTABLE={sys.executable}",
    ]  # fmt: skip
    if not (build / "CMakeCache.txt").exists() and shutil.which("ninja"):
        configure += ["-G", "Ninja"]
    _run(configure)
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
    _run([cmake, "--build", str(build), "--target", "varnet_python", "-j", jobs])
    return build / "python" / NAME


def get_requires_for_build_wheel(config_settings: Optional[dict] = None) -> List[str]:
    return []


def get_requires_for_build_sdist(config_settings: Optional[dict] = None) -> List[str]:
    return []


def prepare_metadata_for_build_wheel(
    metadata_directory: str, config_settings: Optional[dict] = None
) -> str:
    dist_info = Path(metadata_directory) / dist_info_name()
    dist_info.mkdir(parents=True, exist_ok=True)
    (dist_info / "METADATA").write_text(metadata())
    (dist_info / "WHEEL").write_text(wheel_file())
    return dist_info.name


def build_wheel(
    wheel_directory: str,
    config_settings: Optional[dict] = None,
    metadata_directory: Optional[str] = None,
) -> str:
    kept = (config_settings or {}).get("build-dir")
    if kept:
        return write_wheel(wheel_directory, build_module(Path(kept).resolve()))
    with tempfile.TemporaryDirectory(prefix="varnet-build-") as build:
        return write_wheel(wheel_directory, build_module(Path(build)))


def build_sdist(sdist_directory: str, config_settings: Optional[dict] = None) -> str:
    base = f"{NAME}-{version()}"
    name = f"{base}.tar.gz"
    with tarfile.open(Path(sdist_directory) / name, "w:gz", format=tarfile.PAX_FORMAT) as sdist:
        for path in sorted(SOURCE.rglob("*")):
            relative = path.relative_to(SOURCE).as_posix()
            if path.is_file() and not SKIPPED.match(relative):
                sdist.add(path, f"{base}/{relative}", recursive=False)
        info = tarfile.TarInfo(f"{base}/PKG-INFO")
        data = metadata().encode()
        info.size = len(data)
        sdist.addfile(info, fileobj=io.BytesIO(data))
    return name
