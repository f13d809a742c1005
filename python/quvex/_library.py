"""Loads the library and binds every export of the headers with its ctypes prototype; wraps the
card library's exports so that results come back as return values and status codes as
QuvexError."""
import ctypes
import ctypes.util
import inspect
import keyword
import os
import sys
import types

from . import _checks, _exports
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
        from . import _location  # written by the build: where the library lies seen from here
        for d in _location.LIBRARY_DIRS:
            folder = d if os.path.isabs(d) else os.path.join(here, d)
            names += [os.path.normpath(os.path.join(folder, n)) for n in _location.LIBRARY_NAMES]
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
    raise OSError("cannot load the quvex library (" + "; ".join(errors) + "). Set QUVEX_LIBRARY to the "
                  "library's path (libquvex.so.* in the build folder or in <prefix>/lib), or call "
                  "quvex.load(path)")


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


def python_names(arguments):
    """Parameter names usable in Python: a keyword gets a trailing _, a missing name argN."""
    names = []
    for k, (_t, arg) in enumerate(arguments):
        arg = arg or f"arg{k + 1}"
        names.append(arg + "_" if keyword.iskeyword(arg) else arg)
    return names


def _signature(names):
    return inspect.Signature([inspect.Parameter(n, inspect.Parameter.POSITIONAL_OR_KEYWORD) for n in names])


def make_call(name, result, arguments, fn):
    """A Python function for one card library export: inputs in the C order without the
    out-pointers, which come back as the result (a tuple for several). Every input is checked
    against its C type before the call."""
    plan = []
    for (ctype, _arg), arg in zip(arguments, python_names(arguments)):
        base, depth, const = split_pointer(ctype)
        if depth == 0:
            plan.append(("in", arg, TYPES.ctype(ctype)))
        elif const:
            plan.append(("array", arg, TYPES.scalar(base)))
        elif (name, _arg) in OUT_ARRAYS:
            element = ctypes.c_void_p if base == "void" else TYPES.scalar(base)
            plan.append(("out_array", arg, element * OUT_ARRAYS[(name, _arg)]))
        elif base == "void":
            plan.append(("out", arg, ctypes.c_void_p))
        else:
            plan.append(("out", arg, TYPES.scalar(base)))
    inputs = [arg for kind, arg, _t in plan if kind in ("in", "array")]
    signature = _signature(inputs)
    data = DATA_RESULTS.get(name)
    unsigned16 = result == "uint16_t"

    def call(*args, **kwargs):
        try:
            values = signature.bind(*args, **kwargs).arguments
        except TypeError as e:
            raise TypeError(f"{name}({', '.join(inputs)}): {e}") from None
        c_args, outs = [], []
        for kind, arg, t in plan:
            if kind == "in":
                c_args.append(_checks.scalar(name, arg, t, values[arg]))
            elif kind == "array":
                try:
                    seq = list(values[arg])
                except TypeError:
                    raise TypeError(f"{name}: {arg} must be a sequence, not {values[arg]!r}") from None
                seq = [_checks.scalar(name, f"{arg}[{i}]", t, v) for i, v in enumerate(seq)]
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

    call.__name__ = name[len("quvex_"):] if name.startswith("quvex_") else name
    call.__qualname__ = call.__name__
    call.__signature__ = signature
    call.__doc__ = _docstring(name, result, arguments, plan, data)
    return call


def _docstring(name, result, arguments, plan, data):
    header = next((h for n, _r, _a, h in _exports.EXPORTS if n == name), "")
    lines = [f"{result} {name}({', '.join((t + ' ' + n).strip() for t, n in arguments)})"
             + (f"  [{header}]" if header else ""), ""]
    for kind, arg, t in plan:
        if kind == "in":
            lines.append(f"{arg}: {_checks.describe(t)}")
        elif kind == "array":
            lines.append(f"{arg}: a sequence, each entry {_checks.describe(t)}")
    outs = [arg for kind, arg, _t in plan if kind in ("out", "out_array")]
    if data is not None:
        lines.append(f"Returns the result when it lies in {data[0]}..{data[1]}; any other is a status.")
    elif outs:
        lines.append("Returns " + (outs[0] if len(outs) == 1 else "(" + ", ".join(outs) + ")") + ".")
    else:
        lines.append("Returns None.")
    lines.append("Raises QuvexError for a status other than success, TypeError or ValueError for an "
                 "argument C would misread (nothing is called then).")
    return "\n".join(lines)


def make_checked_raw(name, arguments, fn):
    """The raw export with its scalar arguments checked like the library's (pointers pass)."""
    ctypes_of = [TYPES.ctype(t) for t, _n in arguments]
    names = python_names(arguments)

    def call(*args):
        if len(args) != len(ctypes_of):
            raise TypeError(f"{name}({', '.join(names)}) takes {len(ctypes_of)} arguments, {len(args)} given")
        return fn(*(_checks.scalar(name, n, t, v) for n, t, v in zip(names, ctypes_of, args)))

    call.__name__ = name
    call.__signature__ = _signature(names)
    return call


class Library:
    """The card library with every export bound. Card library exports are methods named without
    the quvex_ prefix (quvex_initial -> initial, kring_start_ring stays); `raw` holds every
    export, the virtual installation's too, as plain ctypes functions."""

    def __init__(self, path=None):
        self.handle = open_library(path)
        self.functions = bind(self.handle)
        self.raw = types.SimpleNamespace(**self.functions)
        # The virtual installation's calls with their arguments checked (VirtualInstallation uses them).
        self.checked = {}
        for name, result, arguments, _header in _exports.EXPORTS:
            if name not in self.functions:
                continue
            if is_library_export(name):
                method = name[len("quvex_"):] if name.startswith("quvex_") else name
                setattr(self, method, make_call(name, result, arguments, self.functions[name]))
            else:
                self.checked[name] = make_checked_raw(name, arguments, self.functions[name])

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
