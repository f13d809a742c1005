"""The status-set generator: the document it reads must cover the headers exactly, with codes the
headers name."""
import glob
import os
import sys

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from gen_status_sets import StatusSetError, main, status_sets  # noqa: E402

HEADER = """
enum quvex_local_status { QUVEX_OK = 0, QUVEX_ERR_CARD_NUMBER = 30 };
enum quvex_ring_status { KRING_ERR_NOT_OPEN = -4 };
QUVEX_API quvex_status QUVEX_CALL quvex_led(int16_t card);
QUVEX_API int16_t QUVEX_CALL quvex_done(int16_t axis);
QUVEX_API quvex_status QUVEX_CALL quvex_sim_step(double seconds);
"""

GOOD_ROWS = ["| `quvex_led` | 0, 30 |", "| `quvex_done` | 0..15, 30 |"]


@pytest.fixture
def header(tmp_path):
    path = tmp_path / "quvex_demo.h"
    path.write_text(HEADER)
    return str(path)


def doc(*rows, heading="## `quvex_demo.h`"):
    return "\n".join([heading, "", "| export | statuses |", "|---|---|", *rows]) + "\n"


def test_reads_codes_and_data_ranges(header):
    led, done = status_sets(doc(*GOOD_ROWS), [header])
    assert (led.name, led.codes, led.ranges) == ("quvex_led", [0, 30], [])
    assert (done.codes, done.ranges) == ([30], [(0, 15)])


@pytest.mark.parametrize("rows, heading, problem", [
    (GOOD_ROWS[:1], "## `quvex_demo.h`", "quvex_done (quvex_demo.h) has no row"),
    (GOOD_ROWS + ["| `quvex_gone` | 0 |"], "## `quvex_demo.h`", "quvex_gone: no such export is declared"),
    (["| `quvex_led` | 0, 31 |", GOOD_ROWS[1]], "## `quvex_demo.h`", "31 is not a named status code"),
    (["| `quvex_led` | 0, 20 |", "| `quvex_done` | 0..15, 20 |"], "## `quvex_demo.h`", "quvex_led: 20 is not"),
    (["| `quvex_led` | 0, thirty |", GOOD_ROWS[1]], "## `quvex_demo.h`", "cannot read 'thirty'"),
    (["| `quvex_led` | 0, 15..0 |", GOOD_ROWS[1]], "## `quvex_demo.h`", "empty range '15..0'"),
    (GOOD_ROWS + [GOOD_ROWS[0]], "## `quvex_demo.h`", "quvex_led: listed twice"),
    (GOOD_ROWS, "## `quvex_other.h`", "listed under quvex_other.h, declared in quvex_demo.h"),
    (GOOD_ROWS, "## Notes", "quvex_led (quvex_demo.h) has no row"),
])
def test_rejects(header, rows, heading, problem):
    with pytest.raises(StatusSetError) as e:
        status_sets(doc(*rows, heading=heading), [header])
    assert any(problem in p for p in e.value.problems), e.value.problems


def test_refusal_fails_the_command_and_writes_nothing(header, tmp_path, capsys):
    doc_path, out = tmp_path / "statuses.md", tmp_path / "sets.inc"
    doc_path.write_text(doc(GOOD_ROWS[0]))
    assert main(["--doc", str(doc_path), "--out", str(out), header]) == 1
    assert not out.exists()
    assert "quvex_done" in capsys.readouterr().err


def project_sets():
    headers = sorted(glob.glob(os.path.join(ROOT, "include", "quvex", "*.h")))
    with open(os.path.join(ROOT, "docs", "statuses.md"), encoding="utf-8") as f:
        return status_sets(f.read(), headers)


def test_the_project_document_covers_every_export():
    assert len(project_sets()) == 312


def test_the_binding_returns_exactly_the_documented_data_results():
    # A data result the binding does not know comes back as an error (a queued continuous move
    # would raise status 1); one it knows wrongly hides a status.
    import quvex
    documented = {s.name: s.ranges[0] for s in project_sets() if s.ranges}
    assert all(len(s.ranges) <= 1 for s in project_sets())
    assert quvex.DATA_RESULTS == documented
