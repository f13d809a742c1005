#!/usr/bin/env python3
"""Include-direction check: a file may include files of its own floor or of a lower one, never of
a higher one.

The library (src/) and the virtual installation (sim/) each stack their rooms in floors, listed
below from the bottom up; the first pattern that matches a file's path gives its floor. Every
quoted #include is resolved the way the compiler does (the including file's folder first, then the
include roots) and compared. The virtual installation never includes library code; only the
library's platform backend for the virtual installation reaches into sim/ (it binds the library to
the virtual operating system).

Known violations are listed, each with its reason, in tools/include_floor_exceptions.txt
("including-file -> included-file  # reason"). The list is meant to shrink: an entry that no
longer occurs is reported too, so it is removed when its violation is fixed.

    check_include_floors.py [--root DIR] [--exceptions FILE]

Exit status 0 when every include points down (or is listed), 1 otherwise.
"""
import argparse
import fnmatch
import os
import re
import sys

# Floors from the bottom up: (name, path patterns relative to the project root).
FLOORS = {
    "src": [
        ("common", ["src/common/*"]),
        ("chip words", ["src/chip/*"]),
        # The card records, the driver requests, the stop-reason log, and the export checks and
        # shells, which ask the card table whether a card is present.
        ("card state", ["src/card/*", "src/events/error_log.*"]),
        ("chip and ring access", ["src/ports/*", "src/ring/*"]),
        ("events", ["src/events/*"]),
        ("axis", ["src/axis/*"]),
        ("motion", ["src/motion/*"]),
        ("paths and compare", ["src/interp/*", "src/compare/*"]),
        ("manual", ["src/manual/*"]),
        ("modules", ["src/modules/*"]),
        ("config", ["src/config/*"]),
        ("start-up and entry", ["src/frame/*", "src/platform/*"]),
    ],
    "sim": [
        ("machine", ["sim/machine.h", "sim/os.h", "sim/threads.h", "sim/trace*", "sim/plot_svg.cpp"]),
        ("chip", ["sim/chip/*"]),
        ("ring", ["sim/ring/station.h", "sim/ring/message_history.h", "sim/ring/ring_master_model.*",
                  "sim/ring/*_station.*"]),
        ("card", ["sim/card.*", "sim/driver_interrupts.*", "sim/driver_requests.h", "sim/manual_board.h",
                  "sim/manual_wheel.cpp"]),
        ("driver and bus", ["sim/bus.cpp", "sim/kernel.cpp", "sim/host.cpp"]),
        ("panel", ["sim/panel/*"]),
        ("api and scheduler", ["sim/control_api.h", "sim/sim_*_api.cpp", "sim/sim_api.cpp", "sim/ring/*_api.cpp",
                               "sim/scheduler.cpp"]),
    ],
}

INCLUDE_ROOTS = ["src", "sim", "include"]
SIM_BACKEND = "src/platform/sim/"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".cpp")


def floor_of(path):
    """(tree, floor index, floor name) of a project path, or None when no floor lists it."""
    tree = path.split("/", 1)[0]
    for index, (name, patterns) in enumerate(FLOORS.get(tree, [])):
        if any(fnmatch.fnmatch(path, p) for p in patterns):
            return tree, index, name
    return None


def resolve(root, including, target):
    """The project path the compiler would open for `#include "target"`, or None (system, public)."""
    candidates = [os.path.join(os.path.dirname(including), target)]
    candidates += [os.path.join(r, target) for r in INCLUDE_ROOTS]
    for c in candidates:
        c = os.path.normpath(c)
        if os.path.isfile(os.path.join(root, c)):
            return c.replace(os.sep, "/")
    return None


def project_files(root):
    for tree in FLOORS:
        for folder, _, names in os.walk(os.path.join(root, tree)):
            for n in sorted(names):
                if n.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, n), root).replace(os.sep, "/")


def violation(including, included):
    """Why `including` may not include `included`, or None when the include points down."""
    src, dst = floor_of(including), floor_of(included)
    if src is None or dst is None:
        return None  # public headers are not on a floor; unlisted files are reported on their own
    if src[0] != dst[0]:
        if src[0] == "src" and including.startswith(SIM_BACKEND):
            return None
        return f"{src[0]}/ includes {dst[0]}/"
    if dst[1] > src[1]:
        return f"floor '{src[2]}' includes higher floor '{dst[2]}'"
    return None


def find_violations(root):
    found = {}
    for path in project_files(root):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for line in f:
                m = INCLUDE.match(line)
                if not m:
                    continue
                included = resolve(root, path, m.group(1))
                why = included and violation(path, included)
                if why:
                    found[(path, included)] = why
    return found


def read_exceptions(path):
    """{(including, included): reason}; an entry without a reason is an error."""
    listed, errors = {}, []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.strip()
            if not text or text.startswith("#"):
                continue
            pair, _, reason = text.partition("#")
            parts = [p.strip() for p in pair.split("->")]
            if len(parts) != 2 or not all(parts) or not reason.strip():
                errors.append(f"{path}:{number}: expected 'including -> included  # reason'")
                continue
            listed[tuple(parts)] = reason.strip()
    return listed, errors


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(here))
    parser.add_argument("--exceptions", default=os.path.join(here, "include_floor_exceptions.txt"))
    a = parser.parse_args(argv)

    listed, problems = read_exceptions(a.exceptions)
    problems += [f"{p}: no floor lists this file; add it to FLOORS" for p in project_files(a.root) if floor_of(p) is None]
    found = find_violations(a.root)
    for (including, included), why in sorted(found.items()):
        if (including, included) not in listed:
            problems.append(f"{including} -> {included}: {why}")
    for pair in sorted(set(listed) - set(found)):
        problems.append(f"{pair[0]} -> {pair[1]}: listed as an exception but no longer included; "
                        "remove it from the list")
    for p in problems:
        print(f"check_include_floors: {p}", file=sys.stderr)
    if not problems:
        print(f"check_include_floors: every include points down ({len(listed)} listed exceptions)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
