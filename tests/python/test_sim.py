"""The virtual installation's object: inputs, refusals and stations of one's own."""
import pytest

import quvex
from quvex import SimError, Station


def test_inputs_reach_the_library(sim, q):
    sim.set_input(0, 0, "el_plus")
    assert sim.input(0, 0, "el_plus")
    assert q.get_io_status(0) & (1 << 14)
    sim.set_input(0, 0, quvex.QUVEX_SIM_INPUT_EL_PLUS, False)
    assert not q.get_io_status(0) & (1 << 14)


@pytest.mark.parametrize("call", [
    lambda s: s.add_card(12),
    lambda s: s.set_input(0, 4, "origin"),
    lambda s: s.motion(3, 0),
    lambda s: s.write_vcd(""),
])
def test_refused_control_calls_raise(sim, call):
    with pytest.raises(SimError):
        call(sim)


class Echo(Station):
    type = 0x81
    ident = 0x00100000

    def __init__(self):
        self.writes = []

    def on_message(self, link, words):
        return [w + 1 for w in words]

    def on_cyclic_write(self, link, word, value):
        self.writes.append((link.slave(), word, value))


def test_a_station_of_ones_own_answers_messages_and_sees_cyclic_writes(sim, q):
    echo = Echo()
    sim.plug_station(0, 5, echo)
    ring = q.open_kring(0)
    q.kring_start_ring(ring)
    assert q.kring_get_ring_active_table(ring)[0] & (1 << 5)
    assert q.kring_get_slave_info(ring, 5) == 0x81
    q.kring_io_output(ring, 5, 1, 0x12)
    assert echo.writes and echo.writes[-1][:2] == (5, 0)
    assert sim.station_errors == []
