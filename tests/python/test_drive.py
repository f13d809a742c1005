"""The servo drives and the emergency input from Python."""
import pytest

import quvex
from quvex import SimError


def test_drive_lag_shows_in_the_error_counter(sim, q):
    sim.set_drive(0, 0, time_constant=0.02)
    q.set_servo(0, 1)
    q.tv_move(0, 2000, 2000, 0)
    sim.advance(0.5)
    assert abs(q.get_error_counter(0) - 40) <= 1
    assert sim.drive(0, 0).on == 1
    sim.drive_off(0, 0)
    assert sim.drive(0, 0).on == 0


def test_emergency_stops_the_axis(sim, q):
    q.tv_move(1, 100, 2000, 0.1)
    sim.advance(0.3)
    sim.set_emergency(0)
    assert sim.emergency(0)
    assert q.motion_done(1) == 0
    assert sim.motion(0, 1).stop_reason == quvex.QUVEX_SIM_STOP_EMERGENCY


def test_bad_drive_parameters_raise(sim):
    with pytest.raises(SimError):
        sim.set_drive(0, 0, time_constant=-1)
    with pytest.raises(SimError):
        sim.set_emergency(5)
