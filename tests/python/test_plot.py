"""Samples handed to matplotlib, where the user has it."""
import pytest

import quvex

matplotlib = pytest.importorskip("matplotlib")
matplotlib.use("Agg")


def test_plot_motion_draws_position_and_speed_with_units_grid_and_legend(sim, q, tmp_path):
    sim.sample_motion(0, 0, 0.01)
    sim.sample_motion(0, 1, 0.01)
    q.start_tr_move(0, 2000, 100, 20000, 0.05, 0.05)
    q.start_tr_move(1, -500, 100, 20000, 0.05, 0.05)
    sim.advance(0.5)
    fig = quvex.plot_motion(sim, [(0, 0), (0, 1)], title="two axes")
    position, speed = fig.axes
    assert [line.get_label() for line in position.lines] == ["d0 X", "d0 Y"]
    assert max(position.lines[0].get_ydata()) == 2000 and min(position.lines[1].get_ydata()) == -500
    assert (position.get_ylabel(), speed.get_ylabel(), speed.get_xlabel()) == (
        "position (pulses)", "speed (pulses/s)", "virtual time (s)")
    assert position.get_legend() is not None and position.xaxis.get_gridlines()[0].get_visible()
    fig.savefig(tmp_path / "motion.png")
    assert (tmp_path / "motion.png").stat().st_size > 0


def test_plot_motion_refuses_an_axis_without_samples(sim):
    with pytest.raises(ValueError, match="no samples"):
        quvex.plot_motion(sim, [(0, 2)])
