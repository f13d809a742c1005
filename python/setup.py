"""Builds the quvex package for pip: the export table is generated from the headers when the
package comes from the sources (the installed copy in <prefix>/share/quvex/python has it), and
the library's folder is written into the package as an absolute path, so the package finds the
library from any virtual environment:

    pip install --no-build-isolation <prefix>/share/quvex/python    # the library of that tree
    QUVEX_PREFIX=<prefix> pip install --no-build-isolation ./python  # from the sources

Without either the package finds the library through $QUVEX_LIBRARY or the loader's path."""
import os
import re
import subprocess
import sys
import tempfile

from setuptools import setup
from setuptools.command.build_py import build_py

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = os.path.join(HERE, "quvex")
SOURCE_ROOT = os.path.dirname(HERE)


def version():
    table = os.path.join(PACKAGE, "_exports.py")
    if os.path.exists(table):
        with open(table, encoding="utf-8") as f:
            m = re.search(r"^VERSION = '([^']*)'", f.read(), re.M)
        if m and m.group(1):
            return m.group(1)
    with open(os.path.join(SOURCE_ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        m = re.search(r"project\(\s*quvex\s+VERSION\s+([0-9.]+)", f.read())
    if not m:
        sys.exit("setup.py: no version: neither quvex/_exports.py nor ../CMakeLists.txt has one")
    return m.group(1)


def library_location():
    """(folders, names) of the library: $QUVEX_PREFIX's lib folders, else the folders the
    copy's own _location.py names relative to itself."""
    major_minor = ".".join(version().split(".")[:2])
    names = [f"libquvex.so.{major_minor}", "libquvex.so"]
    dirs = []
    location = {}
    path = os.path.join(PACKAGE, "_location.py")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            exec(f.read(), location)  # noqa: S102 - a two-line file written by the build
        names = list(location.get("LIBRARY_NAMES", names))
    prefix = os.environ.get("QUVEX_PREFIX")
    if prefix:
        prefix = os.path.abspath(prefix)
        dirs = [d for d in (os.path.join(prefix, "lib"), os.path.join(prefix, "lib64")) if os.path.isdir(d)]
        dirs += [os.path.join(prefix, "lib", d) for d in sorted(os.listdir(os.path.join(prefix, "lib")))
                 if d.endswith("-linux-gnu")] if os.path.isdir(os.path.join(prefix, "lib")) else []
    else:
        dirs = [os.path.normpath(os.path.join(PACKAGE, d)) for d in location.get("LIBRARY_DIRS", [])]
    return dirs, names


class BuildWithTables(build_py):
    def run(self):
        super().run()
        target = os.path.join(self.build_lib, "quvex")
        if not os.path.exists(os.path.join(PACKAGE, "_exports.py")):
            headers = os.path.join(SOURCE_ROOT, "include", "quvex")
            tools = os.path.join(SOURCE_ROOT, "tools")
            if not os.path.isdir(headers):
                sys.exit(f"setup.py: the headers are not in {headers}: install from the quvex sources or from "
                         "<prefix>/share/quvex/python")
            subprocess.check_call([sys.executable, os.path.join(tools, "gen_binding.py"), "--version", version(),
                                   "--out", os.path.join(target, "_exports.py")]
                                  + sorted(os.path.join(headers, h) for h in os.listdir(headers) if h.endswith(".h")))
        dirs, names = library_location()
        with open(os.path.join(target, "_location.py"), "w", encoding="utf-8") as f:
            f.write("# Written by pip install: the library's folders and names.\n"
                    f"LIBRARY_DIRS = {dirs!r}\nLIBRARY_NAMES = {names!r}\n")


# Built outside the project folder: the installed copy may lie in a tree the user cannot write.
_SCRATCH = tempfile.mkdtemp(prefix="quvex-build-")
setup(version=version(), cmdclass={"build_py": BuildWithTables},
      options={"build": {"build_base": _SCRATCH}, "egg_info": {"egg_base": _SCRATCH}})
