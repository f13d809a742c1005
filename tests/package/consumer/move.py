"""Moves an axis through the Python package as a virtual environment installed it."""
import quvex

with quvex.VirtualInstallation(cards=[0]) as sim:
    q = sim.library
    assert q.initial() == 1
    q.start_tr_move(0, 1500, 100, 10000, 0.05, 0.05)
    sim.advance(1.0)
    assert q.get_position(0) == 1500, q.get_position(0)
    print(f"python: moved to {q.get_position(0)} with quvex {quvex.__version__}")
