#!/usr/bin/env python3
"""Reads the exported functions from the library's public headers and writes a module-definition
(.def) file naming every one of them undecorated.

For 32-bit Windows the entries carry the stdcall argument size (name@N, N computed from the C
declaration); the linker strips it with --kill-at, so the DLL exports the plain name while the
import library keeps the decorated symbol that callers compiled against the header reference.

    gen_def.py --library quvex.dll --out quvex.def [--stdcall32] [--probe probe.c] header...

With --probe it also writes a C program that takes the address of every export; linking it
against the import library proves that each declared function resolves through it.
"""
import argparse
import re
import sys

_COMMENT = re.compile(r"/\*.*?\*/|//[^\n]*", re.S)
_DECL = re.compile(r"QUVEX_API\s+([\w\s\*]+?)\s*QUVEX_CALL\s+(\w+)\s*\(([^;{]*?)\)\s*;", re.S)
_TYPEDEF = re.compile(r"typedef\s+([^;{]*?)\s*(\w+)\s*;", re.S)
_FN_PTR_TYPEDEF = re.compile(r"typedef\s+[^;{]*?\(\s*(?:\w+\s+)*\*\s*(\w+)\s*\)\s*\([^;{]*\)\s*;", re.S)
_ENUM_TYPEDEF = re.compile(r"typedef\s+enum\b[^;]*?}\s*(\w+)\s*;", re.S)

# Bytes each argument type takes on the 32-bit stack: everything up to 32 bits takes one 4-byte
# slot, 64-bit values two.
_BASE_SIZES = {
    "int8_t": 4, "uint8_t": 4, "int16_t": 4, "uint16_t": 4, "int32_t": 4, "uint32_t": 4,
    "char": 4, "signed char": 4, "unsigned char": 4, "short": 4, "unsigned short": 4,
    "int": 4, "unsigned": 4, "unsigned int": 4, "signed": 4, "signed int": 4, "float": 4,
    "size_t": 4, "intptr_t": 4, "uintptr_t": 4, "long": 4, "unsigned long": 4, "_Bool": 4, "bool": 4,
    "int64_t": 8, "uint64_t": 8, "double": 8, "long long": 8, "unsigned long long": 8,
}
_QUALIFIERS = {"const", "volatile"}


class HeaderError(Exception):
    pass


def strip_comments(text):
    return _COMMENT.sub(" ", text)


def read_typedefs(texts):
    """Maps typedef names to a stack size (4 or 8) where the underlying type is known."""
    sizes = {}
    for text in texts:
        for name in _FN_PTR_TYPEDEF.findall(text):
            sizes[name] = 4
        for name in _ENUM_TYPEDEF.findall(text):
            sizes[name] = 4
    changed = True
    while changed:  # typedefs of typedefs
        changed = False
        for text in texts:
            for underlying, name in _TYPEDEF.findall(text):
                if name in sizes:
                    continue
                size = _type_size(underlying, sizes)
                if size is not None:
                    sizes[name] = size
                    changed = True
    return sizes


def _type_size(type_text, typedefs):
    t = " ".join(w for w in type_text.replace("*", " * ").split() if w not in _QUALIFIERS)
    if "*" in t or "[" in t:
        return 4
    if t in _BASE_SIZES:
        return _BASE_SIZES[t]
    if t in typedefs:
        return typedefs[t]
    if t.startswith("enum "):
        return 4
    return None


def _argument_size(arg, typedefs, function):
    arg = arg.strip()
    if "(" in arg:  # a function pointer written out in place
        return 4
    if "[" in arg:  # an array parameter is a pointer
        return 4
    words = arg.replace("*", " * ").split()
    if not words:
        raise HeaderError(f"{function}: empty argument")
    # Drop the parameter name when one is given.
    candidates = [" ".join(words), " ".join(words[:-1])] if len(words) > 1 else [words[0]]
    for c in candidates:
        size = _type_size(c, typedefs)
        if size is not None:
            return size
    raise HeaderError(f"{function}: cannot tell the size of argument '{arg}'")


class Declaration:
    """One exported function as its header declares it: result type, name, and the arguments as
    written (type and parameter name, the name empty when the header gives none)."""

    def __init__(self, name, result, arguments, header):
        self.name = name
        self.result = result
        self.arguments = arguments
        self.header = header

    def __repr__(self):
        return f"Declaration({self.name!r}, {self.result!r}, {self.arguments!r})"


def read_texts(paths):
    """The headers' texts without comments, in the order given."""
    texts = []
    for p in paths:
        with open(p, encoding="utf-8") as f:
            texts.append(strip_comments(f.read()))
    return texts


def read_declarations(paths):
    """Returns a Declaration for every QUVEX_API function in the headers, in header order."""
    declarations = []
    seen = set()
    for path, text in zip(paths, read_texts(paths)):
        # Every QUVEX_API must open a declaration of the recognised form: one written without
        # QUVEX_CALL would be exported with the wrong calling convention, or not at all.
        code = "\n".join(line for line in text.splitlines() if not line.lstrip().startswith("#"))
        if code.count("QUVEX_API") != len(_DECL.findall(code)):
            bad = [line.strip() for line in text.splitlines() if "QUVEX_API" in line and "QUVEX_CALL" not in line]
            raise HeaderError(f"declaration not of the form 'QUVEX_API type QUVEX_CALL name(...);': {bad[:1]}")
        for result, name, args in _DECL.findall(code):
            if name in seen:
                raise HeaderError(f"{name}: declared twice")
            seen.add(name)
            args = args.strip()
            arguments = [] if args in ("", "void") else [split_parameter(a) for a in split_arguments(args)]
            declarations.append(Declaration(name, " ".join(result.split()), arguments, path))
    return declarations


def split_parameter(arg):
    """(type, name) of one parameter as written; name is empty for an unnamed parameter."""
    arg = " ".join(arg.replace("*", " * ").split())
    words = arg.split()
    if "(" in arg or "[" in arg or len(words) < 2 or words[-1] == "*" or words[-1] in _BASE_SIZES \
            or words[-1] in _QUALIFIERS:
        return arg, ""
    return " ".join(words[:-1]).replace(" *", "*"), words[-1]


def read_exports(paths):
    """Returns [(name, stdcall_argument_bytes)] for every QUVEX_API function in the headers."""
    typedefs = read_typedefs(read_texts(paths))
    exports = []
    for d in read_declarations(paths):
        size = sum(_argument_size(t + " " + n, typedefs, d.name) for t, n in d.arguments)
        exports.append((d.name, size))
    return exports


def split_arguments(args):
    parts, depth, cur = [], 0, ""
    for ch in args:
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
        if ch == "," and depth == 0:
            parts.append(cur)
            cur = ""
        else:
            cur += ch
    parts.append(cur)
    return parts


def def_text(library, exports, stdcall32):
    lines = [f"LIBRARY {library}", "EXPORTS"]
    for name, size in sorted(exports):
        lines.append(f"    {name}@{size}" if stdcall32 else f"    {name}")
    return "\n".join(lines) + "\n"


def probe_text(headers, exports):
    lines = ["/* Generated: refers to every export through the import library. */"]
    lines += [f'#include "quvex/{h}"' for h in headers]
    lines += ["", "typedef void (*any_function)(void);", "", "static any_function const exports[] = {"]
    lines += [f"    (any_function){name}," for name, _size in sorted(exports)]
    lines += ["};", "", "int main(void) {", "    int present = 0;",
              "    for (unsigned i = 0; i < sizeof exports / sizeof exports[0]; ++i) present += exports[i] != 0;",
              "    return present == (int)(sizeof exports / sizeof exports[0]) ? 0 : 1;", "}", ""]
    return "\n".join(lines)


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return  # unchanged: keep the timestamp so nothing is rebuilt
    except OSError:
        pass
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--library", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--stdcall32", action="store_true", help="decorate entries with the 32-bit argument size")
    ap.add_argument("--probe", help="also write a C program referring to every export")
    ap.add_argument("headers", nargs="+")
    a = ap.parse_args(argv)
    try:
        exports = read_exports(a.headers)
    except HeaderError as e:
        print(f"gen_def: {e}", file=sys.stderr)
        return 1
    if not exports:
        print("gen_def: no exported function found", file=sys.stderr)
        return 1
    write_if_changed(a.out, def_text(a.library, exports, a.stdcall32))
    if a.probe:
        import os.path
        write_if_changed(a.probe, probe_text([os.path.basename(h) for h in a.headers], exports))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
