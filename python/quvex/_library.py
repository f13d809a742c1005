"""Loads the library and binds every export of the headers with its ctypes prototype; wraps the
card library's exports so that results come back as return values and status codes as
QuvexError."""
import ctypes
import ctypes.util
import os
import sys
import types

from . import _exports
from ._types import TYPES, split_pointer
from .errors import QuvexError

# Exports whose result is data rather than a status: results in [low, high] are returned, any
# other is a status code (the 16-bit results carry negative codes in their unsigned form).
DATA_RESULTS = {
    "quvex_open_kring": (0, 3),            # the RingNo attached
    "quvex_motion_done": (0, 15),          # the operation state, 0 = stopped
    "kring_get_com_status": (0, 3),        # ring state
    "kring_get_error_device": (0, 63),     # the slave found in error
    "kring_set_ring_quality_param": (1, 1),
    "kring_get_slave_info": (0, 255),      # the type byte
    "kring_io_input": (0, 255),            # the cyclic byte
    "quvex_check_continuous_buffer": (0, 1),  # 1 while a continuous move is queued
    "kring_m1_dio_input": (0, 1),          # the module's digital input
}

# Pointer arguments through which an export writes several values.
OUT_ARRAYS = {("kring_get_ring_active_table", "table"): 2, ("quvex_int_enable", "events"): 4,
              ("kring_m4_get_motion_data", "data"): 6}


def is_library_export(name):
    """Card library exports (statuses, out-pointers); the others control the virtual installation."""
    return not name.startswith("quvex_sim_")


def _default_library():
    if sys.platform == "win32":
        return ["quvex_sim.dll"]
    here = os.path.dirname(os.path.abspath(__file__))
    names = []
    try:
        from . import _location  # written by the install: where the library lies from here
        names += [os.path.normpath(os.path.join(here, d, "libquvex.so")) for d in _location.LIBRARY_DIRS]
    except ImportError:
        pass
    found = ctypes.util.find_library("quvex")
    if found:
        names.append(found)
    names.append("libquvex.so")
    return names


def open_library(path=None):
    """The shared library: `path`, else $QUVEX_LIBRARY, else the installed one."""
    loader = ctypes.WinDLL if sys.platform == "win32" else ctypes.CDLL
    candidates = [path] if path else ([os.environ["QUVEX_LIBRARY"]] if os.environ.get("QUVEX_LIBRARY") else
                                      _default_library())
    errors = []
    for c in candidates:
        if os.path.sep in c and not os.path.exists(c):
            errors.append(f"{c}: not found")
            continue
        try:
            return loader(c)
        except OSError as e:
            errors.append(f"{c}: {e}")
    raise OSError("cannot load the quvex library (" + "; ".join(errors) + ")")


def bind(lib):
    """Sets the prototype of every export the library has; returns {name: foreign function}.
    quvex.dll (the real card's library on Windows) has no virtual-installation exports."""
    bound = {}
    for name, result, arguments, _header in _exports.EXPORTS:
        try:
            fn = getattr(lib, name)
        except AttributeError:
            continue
        fn.restype = TYPES.ctype(result)
        fn.argtypes = [TYPES.ctype(t) for t, _n in arguments]
        bound[name] = fn
    return bound


def _required_length(name, values, arg):
    """Entries the export reads from an input array: n of a group call, 2 or 3 axes of a line."""
    if "n" in values:
        return max(int(values["n"]), 0)
    if arg == "axis_array" and name[-1].isdigit():
        return int(name[-1])
    return 0


def make_call(name, result, arguments, fn):
    """A Python function for one card library export: inputs in the C order without the
    out-pointers, which come back as the result (a tuple for several)."""
    plan = []
    for ctype, arg in arguments:
        base, depth, const = split_pointer(ctype)
        if depth == 0:
            plan.append(("in", arg, None))
        elif const:
            plan.append(("array", arg, TYPES.scalar(base)))
        elif (name, arg) in OUT_ARRAYS:
            element = ctypes.c_void_p if base == "void" else TYPES.scalar(base)
            plan.append(("out_array", arg, element * OUT_ARRAYS[(name, arg)]))
        elif base == "void":
            plan.append(("out", arg, ctypes.c_void_p))
        else:
            plan.append(("out", arg, TYPES.scalar(base)))
    inputs = [arg for kind, arg, _t in plan if kind in ("in", "array")]
    data = DATA_RESULTS.get(name)
    unsigned16 = result == "uint16_t"

    def call(*args):
        if len(args) != len(inputs):
            raise TypeError(f"{name}({', '.join(inputs)}) takes {len(inputs)} arguments, {len(args)} given")
        values = dict(zip(inputs, args))
        c_args, outs = [], []
        for kind, arg, t in plan:
            if kind == "in":
                c_args.append(values[arg])
            elif kind == "array":
                seq = list(values[arg])
                need = _required_length(name, values, arg)
                if len(seq) < need:
                    raise ValueError(f"{name}: {arg} needs {need} entries, {len(seq)} given")
                c_args.append((t * max(len(seq), 1))(*seq))
            else:
                box = t()
                outs.append(box)
                c_args.append(box if kind == "out_array" else ctypes.byref(box))
        r = fn(*c_args)
        if data is not None and data[0] <= r <= data[1]:
            return r
        if r != 0:
            code = r - 0x10000 if unsigned16 and r >= 0x8000 else r
            raise QuvexError(code, name)
        got = [list(b) if isinstance(b, ctypes.Array) else b.value for b in outs]
        if not got:
            return None
        return got[0] if len(got) == 1 else tuple(got)

    call.__name__ = name
    call.__doc__ = f"{result} {name}({', '.join(t + ' ' + n for t, n in arguments)})"
    return call


class Library:
    """The card library with every export bound. Card library exports are methods named without
    the quvex_ prefix (quvex_initial -> initial, kring_start_ring stays); `raw` holds every
    export, the virtual installation's too, as plain ctypes functions."""

    def __init__(self, path=None):
        self.handle = open_library(path)
        self.functions = bind(self.handle)
        self.raw = types.SimpleNamespace(**self.functions)
        for name, result, arguments, _header in _exports.EXPORTS:
            if name in self.functions and is_library_export(name):
                method = name[len("quvex_"):] if name.startswith("quvex_") else name
                setattr(self, method, make_call(name, result, arguments, self.functions[name]))

    @property
    def has_virtual_installation(self):
        return "quvex_sim_reset" in self.functions


_loaded = None


def load(path=None):
    """The library, loaded once per process (a second call with another path loads that one)."""
    global _loaded
    if _loaded is None or path is not None:
        _loaded = Library(path)
    return _loaded
