"""Python binding of the quvex card library and its virtual installation (ctypes, standard
library only).

    import quvex
    q = quvex.load()                      # libquvex.so, or quvex_sim.dll / quvex.dll on Windows
    with quvex.VirtualInstallation(cards=[0]) as sim:
        count = q.initial()
        q.start_tr_move(0, 1000, 100, 5000, 0.1, 0.1)
"""
from . import _exports
from ._library import DATA_RESULTS, Library, load
from .errors import STATUS_NAMES, QuvexError, SimError
from .sim import Event, Sample, Station, StationLink, VirtualInstallation

# Every numeric constant of the headers (status codes, QUVEX_SIM_* values) as a module attribute.
globals().update(_exports.CONSTANTS)


def exported_names():
    """Every export the binding knows, in header order."""
    return [e[0] for e in _exports.EXPORTS]
