#!/usr/bin/env python3
"""Checks a built Windows DLL against the library's public headers.

- The DLL exports exactly the functions declared in the headers: none missing, none extra, every
  name undecorated (no leading underscore, no @N suffix).
- Every function of the objects linked into the DLL that looks like an export (a global
  stdcall-decorated _quvex_*/_kring_* symbol on 32-bit, a global quvex_*/kring_* function on
  64-bit) is declared in the headers, so an implemented export cannot be left out.
- With --forbid-symbol TEXT, no symbol of the DLL contains TEXT (the real library must hold no
  code of the virtual installation).
- On 32-bit Windows the argument size the compiler put in each decorated symbol (_name@N) equals
  the size computed from the header declaration, so callers and the DLL agree on how many bytes
  the callee removes from the stack.

    check_exports.py --dll quvex.dll --objdump OBJDUMP --nm NM --objects-file LIST [--stdcall32]
                     [--forbid-symbol TEXT]... header...
"""
import argparse
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_def import HeaderError, read_exports  # noqa: E402

_EXPORT_PREFIXES = ("quvex_", "kring_")
_DECORATED = re.compile(r"^_?((?:quvex|kring)_\w+)@(\d+)$")


def dll_export_names(objdump, dll):
    """Names in the DLL's export table, from objdump -p."""
    out = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    names, in_table = [], False
    for line in out.splitlines():
        if line.strip().startswith("[Ordinal/Name Pointer] Table"):
            in_table = True
            continue
        if in_table:
            m = re.match(r"\s*\[\s*\d+\]\s+(\S+)\s*$", line)
            if not m:
                if line.strip():
                    break
                continue
            names.append(m.group(1))
    return names


def defined_functions(nm, objects):
    """Global text symbols defined in the objects."""
    symbols = []
    for chunk in range(0, len(objects), 200):
        out = subprocess.run([nm, "--defined-only", "-g", *objects[chunk:chunk + 200]], check=True,
                             capture_output=True, text=True).stdout
        for line in out.splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[1] == "T":
                symbols.append(parts[2])
    return symbols


def forbidden_symbols(nm, dll, forbidden):
    """Symbols of the DLL's own symbol table that contain one of the forbidden texts."""
    if not forbidden:
        return []
    out = subprocess.run([nm, dll], capture_output=True, text=True).stdout
    found = []
    for line in out.splitlines():
        sym = line.split()[-1] if line.split() else ""
        if any(f in sym for f in forbidden):
            found.append(sym)
    return found


def compare(declared, exported, implemented, stdcall32):
    """Returns the list of problems found; declared maps name -> argument bytes."""
    problems = []
    plain = set()
    for name in exported:
        if name.startswith("_") or "@" in name:
            problems.append(f"decorated export: {name}")
        plain.add(name.lstrip("_").split("@")[0])
    for name in sorted(set(declared) - plain):
        problems.append(f"declared in the headers but not exported: {name}")
    for name in sorted(plain - set(declared)):
        problems.append(f"exported but not declared in the headers: {name}")

    seen = {}
    for sym in implemented:
        if stdcall32:
            m = _DECORATED.match(sym)
            if m:
                seen[m.group(1)] = int(m.group(2))
            elif sym.startswith(tuple("_" + p for p in _EXPORT_PREFIXES)):
                problems.append(f"not a stdcall function: {sym[1:]}")
        elif sym.startswith(_EXPORT_PREFIXES):
            seen[sym] = None
    for name in sorted(set(seen) - set(declared)):
        problems.append(f"implemented but not declared in the headers (so not exported): {name}")
    if stdcall32:
        for name, size in sorted(declared.items()):
            if name not in seen:
                problems.append(f"no stdcall definition _{name}@{size} in the objects")
            elif seen[name] != size:
                problems.append(f"argument size of {name}: header says {size} bytes, object has @{seen[name]}")
    return problems


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--dll", required=True)
    ap.add_argument("--objdump", required=True)
    ap.add_argument("--nm", required=True)
    ap.add_argument("--objects-file", required=True, help="file listing the objects linked into the DLL")
    ap.add_argument("--stdcall32", action="store_true")
    ap.add_argument("--forbid-symbol", action="append", default=[])
    ap.add_argument("headers", nargs="+")
    a = ap.parse_args(argv)
    try:
        declared = dict(read_exports(a.headers))
    except HeaderError as e:
        print(f"check_exports: {e}", file=sys.stderr)
        return 1
    with open(a.objects_file, encoding="utf-8") as f:
        objects = [line.strip() for line in f if line.strip()]
    missing = [o for o in objects if not os.path.exists(o)]
    if missing or not os.path.exists(a.dll):
        print(f"check_exports: not built yet: {(missing or [a.dll])[0]}", file=sys.stderr)
        return 1
    problems = compare(declared, dll_export_names(a.objdump, a.dll), defined_functions(a.nm, objects), a.stdcall32)
    problems += [f"symbol that must not be in this DLL: {sym}" for sym in forbidden_symbols(a.nm, a.dll, a.forbid_symbol)]
    return report(a.dll, problems, f"{len(declared)} exports match the headers")


def report(library, problems, success):
    """Prints each problem, or the success line, prefixed by the library's file name; the exit status."""
    name = os.path.basename(library)
    for p in problems:
        print(f"{name}: {p}")
    if problems:
        print(f"{name}: export check failed ({len(problems)} problems)")
        return 1
    print(f"{name}: {success}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
