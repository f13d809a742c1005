#!/usr/bin/env python3
"""Cases for the include-direction check on a small tree: which includes it reports, how it
resolves them, and how it treats the exception list."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_include_floors as floors  # noqa: E402

TREE = {
    "src/common/bits.h": "",
    "src/card/card_table.h": '#include "common/bits.h"\n',
    "src/axis/counters.cpp": '#include "card/card_table.h"\n#include <vector>\n#include "quvex/quvex.h"\n',
    "src/ports/primitives.cpp": '#include "axis/counters.h"\n',
    "src/axis/counters.h": "",
    "src/frame/lifecycle.cpp": '#include "axis/counters.h"\n',
    "sim/machine.h": "",
    "sim/chip/chip.h": '#include "../machine.h"\n',
    "sim/trace.cpp": '#include "chip/chip.h"\n',
    "sim/card.h": '#include "card/card_table.h"\n',
    "include/quvex/quvex.h": "",
}


class IncludeFloors(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        for path, text in TREE.items():
            os.makedirs(os.path.join(self.root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(self.root, path), "w") as f:
                f.write(text)

    def tearDown(self):
        self.dir.cleanup()

    def run_check(self, exceptions):
        listing = os.path.join(self.root, "exceptions.txt")
        with open(listing, "w") as f:
            f.write(exceptions)
        return floors.main(["--root", self.root, "--exceptions", listing])

    def test_reports_up_includes_and_the_library_seen_from_sim(self):
        found = floors.find_violations(self.root)
        self.assertEqual(set(found), {
            ("src/ports/primitives.cpp", "src/axis/counters.h"),   # chip below axis
            ("sim/trace.cpp", "sim/chip/chip.h"),          # relative include, trace below chip
            ("sim/card.h", "src/card/card_table.h"),              # sim never includes src
        })

    def test_down_includes_system_and_public_headers_pass(self):
        found = floors.find_violations(self.root)
        for including in ("src/axis/counters.cpp", "src/frame/lifecycle.cpp", "sim/chip/chip.h"):
            self.assertFalse([k for k in found if k[0] == including], including)

    def test_listed_exceptions_pass_and_stale_or_bare_ones_fail(self):
        listed = ("src/ports/primitives.cpp -> src/axis/counters.h  # reason\n"
                  "sim/trace.cpp -> sim/chip/chip.h  # reason\n"
                  "sim/card.h -> src/card/card_table.h  # reason\n")
        self.assertEqual(self.run_check(listed), 0)
        self.assertEqual(self.run_check(listed + "src/axis/counters.cpp -> src/common/bits.h  # gone\n"), 1)
        self.assertEqual(self.run_check(listed.replace("  # reason\n", "\n", 1)), 1)

    def test_a_file_no_floor_lists_fails(self):
        listed = ("src/ports/primitives.cpp -> src/axis/counters.h  # reason\n"
                  "sim/trace.cpp -> sim/chip/chip.h  # reason\n"
                  "sim/card.h -> src/card/card_table.h  # reason\n")
        with open(os.path.join(self.root, "src/unplaced.cpp"), "w") as f:
            f.write("")
        self.assertEqual(self.run_check(listed), 1)


if __name__ == "__main__":
    unittest.main()
