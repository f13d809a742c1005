"""What C would misread is refused before the call, naming the argument and what it accepts;
the call then changes nothing."""
import inspect
import math
import os
import re

import pytest

import quvex


@pytest.mark.parametrize("call, error, message", [
    (lambda q, s: q.start_tr_move(65536, 10, 0, 1000, .1, .1), ValueError,
     "quvex_start_tr_move: axis must be an integer in -32768..32767, not 65536"),
    (lambda q, s: q.start_tr_move(-32769, 10, 0, 1000, .1, .1), ValueError, "axis must be an integer in -32768..32767"),
    (lambda q, s: q.start_tr_move(0.5, 10, 0, 1000, .1, .1), TypeError, "axis must be an integer"),
    (lambda q, s: q.start_tr_move(0, "10", 0, 1000, .1, .1), TypeError, "dist must be a number, not '10'"),
    (lambda q, s: q.set_tr_move_all(1, [70000], [100], [0], [1000], [0.1], [0.1]), ValueError,
     "axes[0] must be an integer in -32768..32767, not 70000"),
    (lambda q, s: q.set_tr_move_all(1, 0, [100], [0], [1000], [0.1], [0.1]), TypeError, "axes must be a sequence"),
    (lambda q, s: q.start_tr_move(0, 10), TypeError, "missing a required argument"),
    (lambda q, s: s.set_input(0, 0, "orign"), ValueError, "unknown signal 'orign'; signals: el_plus, el_minus"),
    (lambda q, s: s.set_input(0, 0, 99), ValueError, "no signal numbered 99"),
    (lambda q, s: s.input(0, 0, "latch "), ValueError, "origin"),
    (lambda q, s: s.add_module(0, 3, "two-axis"), ValueError, "kinds: one-axis, four-axis"),
    (lambda q, s: s.io_set(0, 3, 0, 256), ValueError, "value must be an integer in 0..255, not 256"),
    (lambda q, s: s.add_card(2 ** 31), ValueError, "device must be an integer in"),
    (lambda q, s: s.advance(-1), ValueError, "advance: seconds must be a finite number 0 or more"),
    (lambda q, s: s.advance(math.nan), ValueError, "finite"),
    (lambda q, s: s.advance(math.inf), ValueError, "finite"),
    (lambda q, s: s.clock_realtime(0), ValueError, "scale must be a finite number above 0"),
    (lambda q, s: s.sample_motion(0, 0, -0.01), ValueError, "period must be a finite number 0 or more"),
])
def test_misread_arguments_are_refused_and_nothing_moves(sim, q, call, error, message):
    before = sim.now
    with pytest.raises(error) as e:
        call(q, sim)
    assert message in str(e.value)
    assert sim.now == before
    assert q.motion_done(0) == 0 and q.get_position(0) == 0


def test_exports_show_their_c_signature_and_accept_keywords(sim, q):
    assert list(inspect.signature(q.start_tr_move).parameters) == ["axis", "dist", "str_vel", "max_vel", "Tacc",
                                                                   "Tdec"]
    doc = q.start_tr_move.__doc__
    assert doc.startswith("quvex_status quvex_start_tr_move(int16_t axis, double dist")
    assert "axis: an integer in -32768..32767" in doc and "quvex_motion.h" in doc
    assert "Returns pos." in q.get_position.__doc__
    q.set_position(axis=1, pos=40)
    assert q.get_position(axis=1) == 40


def test_version_is_the_projects():
    root = os.path.dirname(os.environ["QUVEX_TOOLS_DIR"])
    with open(os.path.join(root, "CMakeLists.txt")) as f:
        project = re.search(r"project\(quvex VERSION ([0-9.]+)", f.read()).group(1)
    assert quvex.__version__ == project


def test_a_failed_load_says_how_to_name_the_library(tmp_path):
    with pytest.raises(OSError) as e:
        quvex.load(str(tmp_path / "libquvex.so.0.1"))
    assert "QUVEX_LIBRARY" in str(e.value) and "not found" in str(e.value)
