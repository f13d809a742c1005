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


class Terminals(Station):
    """An I/O station whose input terminals show 0x5A in port 2 (word 1, low byte)."""
    type = 0x81
    ident = 0x00100000

    def __init__(self, fail=False):
        self.writes = []
        self.fail = fail

    def on_cyclic_write(self, link, word, value):
        self.writes.append((link.slave(), word, value))

    def read_cyclic(self, link, word, stored):
        if self.fail:
            raise RuntimeError("broken terminal")
        return (stored & 0xFF00) | 0x5A if word == 1 else stored


@pytest.fixture
def ring(q):
    r = q.open_kring(0)
    yield r


def test_a_station_of_ones_own_sees_writes_and_shows_its_terminals(sim, q, ring):
    station = Terminals()
    sim.plug_station(0, 5, station)
    q.kring_start_ring(ring)
    assert q.kring_get_ring_active_table(ring)[0] & (1 << 5)
    assert q.kring_get_slave_info(ring, 5) == 0x81
    q.kring_io_output(ring, 5, 1, 0x12)
    assert station.writes[-1] == (5, 0, 0x1200)
    assert q.kring_io_input(ring, 5, 2) == 0x5A
    assert sim.station_errors == []


def test_an_exception_in_a_station_stays_on_the_python_side(sim, q, ring):
    sim.plug_station(0, 6, Terminals(fail=True))
    q.kring_start_ring(ring)
    assert q.kring_io_input(ring, 6, 2) == 0          # the handler's default answer
    assert [str(e) for e in sim.station_errors] == ["broken terminal"]
