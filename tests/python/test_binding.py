"""The binding against the headers, results and status codes of the card library's exports."""
import glob
import os
import sys

import pytest

import quvex
from quvex import QuvexError

sys.path.insert(0, os.environ["QUVEX_TOOLS_DIR"])
import gen_binding  # noqa: E402
import gen_def  # noqa: E402

HEADERS = sorted(glob.glob(os.path.join(os.environ["QUVEX_INCLUDE_DIR"], "*.h")))


def test_binding_lists_every_declared_export_and_binds_it():
    declared = [d.name for d in gen_def.read_declarations(HEADERS)]
    assert sorted(quvex.exported_names()) == sorted(declared)
    q = quvex.load()
    assert sorted(q.functions) == sorted(declared)  # every one resolved in the shared library
    for name in declared:
        method = name[len("quvex_"):] if name.startswith("quvex_") else name
        assert hasattr(q.raw, name)
        assert name.startswith("quvex_sim_") or callable(getattr(q, method, None)), name


def test_every_non_status_result_has_a_reviewed_rule():
    results = {d.name: d.result for d in gen_def.read_declarations(HEADERS)}
    for name, result in results.items():
        if not name.startswith("quvex_sim_") and result != "quvex_status":
            assert name in quvex.DATA_RESULTS, f"{name} returns {result}: data or status?"
    assert set(quvex.DATA_RESULTS) <= set(results)


def test_out_arrays_agree_with_the_generated_call_table():
    # The scenario runner and the fuzz target size their out-buffers from the generator's table;
    # an entry missing from either side gives a buffer one value long to an export writing more.
    from quvex import _library
    assert _library.OUT_ARRAYS == gen_binding._CPP_OUT_ARRAYS
    parameters = {d.name: [n for _, n in d.arguments] for d in gen_def.read_declarations(HEADERS)}
    for name, parameter in _library.OUT_ARRAYS:
        assert parameter in parameters.get(name, []), (name, parameter)


@pytest.mark.parametrize("call, code, name", [
    (lambda q: q.start_tr_move(0, 1000, 0, 0, 0.1, 0.1), 11, "QUVEX_ERR_ZERO_MAX_SPEED"),
    (lambda q: q.get_position(40), 30, "QUVEX_ERR_CARD_NUMBER"),
    (lambda q: q.sd_stop(0, 0.1), 14, "QUVEX_ERR_AXIS_NOT_MOVING"),
    (lambda q: q.kring_start_ring(7), -4, "KRING_ERR_NOT_OPEN"),
    (lambda q: q.kring_io_input(7, 0, 0), -4, "KRING_ERR_NOT_OPEN"),      # 0xFFFC as a uint16
    (lambda q: q.motion_done(40), 30, "QUVEX_ERR_CARD_NUMBER"),           # a state, else a status
    (lambda q: q.kring_get_com_status(9), -4, "KRING_ERR_NOT_OPEN"),
])
def test_status_codes_raise_with_name_and_number(q, call, code, name):
    with pytest.raises(QuvexError) as e:
        call(q)
    assert (e.value.code, e.value.name) == (code, name)
    assert name in str(e.value)


def test_results_come_back_instead_of_out_pointers(sim, q):
    assert q.get_position(0) == 0.0
    q.set_position(1, 250)
    assert q.get_position(1) == pytest.approx(250)
    lo, hi = q.verify_speed(100, 10000, 1.0 * 10000)
    assert 0 < lo <= hi
    assert q.get_base_addr(0) == sim.card_info(0).chip_base   # a uint16 out-pointer
    ring = q.open_kring(0)
    assert ring == 0                                            # data, though 0 is also success
    assert q.kring_get_ring_active_table(ring) == [0, 0]        # a two-word table
    assert q.kring_get_com_status(ring) in (0, 1, 2, 3)


def test_input_arrays_must_hold_what_the_export_reads(q):
    with pytest.raises(ValueError):
        q.start_tr_line2(0, [0], 100, 100, 0, 1000, 0.1, 0.1)
    with pytest.raises(ValueError):
        q.set_tr_move_all(2, [0, 1], [100], [0, 0], [1000, 1000], [0.1, 0.1], [0.1, 0.1])
    q.start_tr_line2(0, [0, 1], 100, 100, 0, 1000, 0.1, 0.1)


def test_a_move_runs_to_its_end_and_leaves_a_trace(sim, q):
    sim.trace_clear()
    q.start_tr_move(0, 1000, 100, 10000, 0.05, 0.05)
    assert q.motion_done(0) != 0                 # running: the state, not an exception
    sim.advance(1.0)
    assert q.motion_done(0) == 0
    assert q.get_position(0) == pytest.approx(1000)
    writes = [e for e in sim.records() if e.kind == "chip_reg_write" and e.axis == 0]
    assert writes and all(e.device == 0 for e in writes)
    # The move amount (operation register 0, buffered write code 0x80) carries the distance.
    assert any(e.code == 0x80 and e.value == 1000 for e in writes)
    assert sim.motion(0, 0).command_counter == 1000
