#!/usr/bin/env python3
"""Checks the dynamic symbol table of a Linux shared library against the library's public headers.

- Every defined dynamic symbol is a function declared in the headers: no C++ internals
  (_ZN5quvex..., _ZN4qsim...), no standard-library template instances, no helper.
- Every function declared in the headers is exported.

    check_elf_exports.py --library libquvex.so --nm NM header...
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_exports import report  # noqa: E402
from gen_def import HeaderError, read_exports  # noqa: E402


def dynamic_symbols(nm, library):
    """Names of the defined symbols of the library's dynamic symbol table (nm -D --defined-only)."""
    out = subprocess.run([nm, "-D", "--defined-only", library], check=True, capture_output=True, text=True).stdout
    names = []
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 3:
            names.append(parts[2].split("@")[0])  # drop a version suffix (name@@VERSION)
    return names


def compare(declared, exported):
    """Returns the list of problems found."""
    problems = [f"exported but not declared in the headers: {name}" for name in sorted(set(exported) - set(declared))]
    problems += [f"declared in the headers but not exported: {name}" for name in sorted(set(declared) - set(exported))]
    return problems


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--library", required=True)
    ap.add_argument("--nm", default="nm")
    ap.add_argument("headers", nargs="+")
    a = ap.parse_args(argv)
    try:
        declared = [name for name, _ in read_exports(a.headers)]
    except HeaderError as e:
        print(f"check_elf_exports: {e}", file=sys.stderr)
        return 1
    if not os.path.exists(a.library):
        print(f"check_elf_exports: not built yet: {a.library}", file=sys.stderr)
        return 1
    problems = compare(declared, dynamic_symbols(a.nm, a.library))
    return report(a.library, problems, f"{len(declared)} dynamic symbols, all of them the declared C interface")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
