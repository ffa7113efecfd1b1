"""Builds the extension dispersao._core with CMake (the library's sources and their flags are
CMake's), then lets setuptools package it with the pure-Python part. Offline: CMake finds
pybind11 where Debian's pybind11-dev puts it (or where the pybind11 package says)."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def pybind11_cmake_dir():
    """Returns pybind11's CMake folder from its Python package, or None to let CMake search."""
    try:
        import pybind11
    except ImportError:
        return None
    return pybind11.get_cmake_dir()


class CMakeBuild(build_ext):
    """Configures the project with the module turned on and builds only the module's target."""

    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        build.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DDISPERSAO_PYTHON=ON",
            "-DDISPERSAO_TESTS=OFF",
            "-DDISPERSAO_WERROR=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        cmake_dir = pybind11_cmake_dir()
        if cmake_dir:
            configure.append(f"-Dpybind11_DIR={cmake_dir}")
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
        subprocess.run(["cmake", "--build", str(build), "--target", "dispersao_python",
                        "--parallel", jobs], check=True)
        built = next((build / "python").glob("_core*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(ext_modules=[Extension("dispersao._core", sources=[])], cmdclass={"build_ext": CMakeBuild})
