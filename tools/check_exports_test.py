#!/usr/bin/env python3
"""Cases for the export table generator and the export check: argument sizes read from C
declarations, and the problems the check must report."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_exports import compare  # noqa: E402
from gen_def import HeaderError, read_exports  # noqa: E402

HEADER = """
typedef int16_t quvex_status;
typedef void (QUVEX_CALL *quvex_callback)(int16_t axis);
typedef enum { A, B } quvex_mode;
typedef struct { int x; } quvex_pair;
QUVEX_API quvex_status QUVEX_CALL f_void(void);
QUVEX_API quvex_status QUVEX_CALL f_short(int16_t axis);
QUVEX_API quvex_status QUVEX_CALL f_mixed(int16_t axis, double speed, uint32_t* out,
                                          const char *name);
QUVEX_API quvex_status QUVEX_CALL f_callback(int16_t card, quvex_callback cb);
QUVEX_API quvex_status QUVEX_CALL f_unnamed(uint16_t, double);
QUVEX_API quvex_status QUVEX_CALL f_enum(quvex_mode mode, int64_t big);
QUVEX_API quvex_status QUVEX_CALL f_array(double points[3]);
/* QUVEX_API quvex_status QUVEX_CALL commented_out(int16_t axis); */
"""


def exports_of(text):
    with tempfile.NamedTemporaryFile("w", suffix=".h", delete=False) as f:
        f.write(text)
    try:
        return dict(read_exports([f.name]))
    finally:
        os.unlink(f.name)


class ArgumentSizes(unittest.TestCase):
    def test_sizes_follow_the_32_bit_stack(self):
        self.assertEqual(exports_of(HEADER), {
            "f_void": 0, "f_short": 4, "f_mixed": 4 + 8 + 4 + 4, "f_callback": 8,
            "f_unnamed": 12, "f_enum": 12, "f_array": 4,
        })

    def test_refused_declarations(self):
        for bad in ["QUVEX_API quvex_status QUVEX_CALL f_struct(quvex_pair p);",
                    "QUVEX_API quvex_status f_no_convention(int16_t axis);",
                    "QUVEX_API quvex_status QUVEX_CALL f_short(int16_t axis);"]:  # declared twice
            with self.subTest(bad), self.assertRaises(HeaderError):
                exports_of(HEADER + bad + "\n")


class Check(unittest.TestCase):
    DECLARED = {"quvex_a": 4, "kring_b": 12}

    def test_cases(self):
        cases = [
            ("matching", ["quvex_a", "kring_b"], ["_quvex_a@4", "_kring_b@12", "__ZN5quvex4helpEv"], True, []),
            ("missing export", ["quvex_a"], ["_quvex_a@4", "_kring_b@12"], True,
             ["declared in the headers but not exported: kring_b"]),
            ("extra export", ["quvex_a", "kring_b", "quvex_c"], ["_quvex_a@4", "_kring_b@12"], True,
             ["exported but not declared in the headers: quvex_c"]),
            ("decorated export", ["quvex_a@4", "kring_b"], ["_quvex_a@4", "_kring_b@12"], True,
             ["decorated export: quvex_a@4"]),
            ("implemented, not declared", ["quvex_a", "kring_b"], ["_quvex_a@4", "_kring_b@12", "_quvex_c@8"],
             True, ["implemented but not declared in the headers (so not exported): quvex_c"]),
            ("size mismatch", ["quvex_a", "kring_b"], ["_quvex_a@8", "_kring_b@12"], True,
             ["argument size of quvex_a: header says 4 bytes, object has @8"]),
            ("cdecl definition", ["quvex_a", "kring_b"], ["_quvex_a@4", "_kring_b@12", "_quvex_c"], True,
             ["not a stdcall function: quvex_c"]),
            ("no definition", ["quvex_a", "kring_b"], ["_quvex_a@4"], True, ["no stdcall definition _kring_b@12 in the objects"]),
            ("64-bit names", ["quvex_a", "kring_b"], ["quvex_a", "kring_b", "quvex_c"], False,
             ["implemented but not declared in the headers (so not exported): quvex_c"]),
        ]
        for name, exported, implemented, stdcall32, expected in cases:
            with self.subTest(name):
                self.assertEqual(compare(self.DECLARED, exported, implemented, stdcall32), expected)


if __name__ == "__main__":
    unittest.main()
