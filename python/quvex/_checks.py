"""Argument checks done before a value reaches C: ctypes would wrap an integer that does not fit
(65536 as an int16_t axis is axis 0) and reject a wrong type with a message naming no argument."""
import ctypes
import math
import operator

_FLOATS = (ctypes.c_double, ctypes.c_float)
_INTEGERS = (ctypes.c_byte, ctypes.c_ubyte, ctypes.c_short, ctypes.c_ushort, ctypes.c_int, ctypes.c_uint,
             ctypes.c_long, ctypes.c_ulong, ctypes.c_longlong, ctypes.c_ulonglong, ctypes.c_int8, ctypes.c_uint8,
             ctypes.c_int16, ctypes.c_uint16, ctypes.c_int32, ctypes.c_uint32, ctypes.c_int64, ctypes.c_uint64,
             ctypes.c_size_t, ctypes.c_ssize_t, ctypes.c_bool)


def integer_range(ctype):
    """(lowest, highest) value of a ctypes integer type, or None for any other type."""
    if ctype not in _INTEGERS:
        return None
    if ctype is ctypes.c_bool:
        return 0, 1
    bits = 8 * ctypes.sizeof(ctype)
    if ctype(-1).value < 0:
        return -(1 << (bits - 1)), (1 << (bits - 1)) - 1
    return 0, (1 << bits) - 1


def is_number_type(ctype):
    return ctype in _FLOATS


def describe(ctype):
    """The accepted values of a ctypes type, for messages and docstrings."""
    r = integer_range(ctype)
    if r is not None:
        return f"an integer in {r[0]}..{r[1]}"
    if ctype in _FLOATS:
        return "a number"
    return "a value"


def scalar(function, name, ctype, value):
    """`value` as the C type takes it: an integer in the type's range or a number; anything else
    raises a TypeError or ValueError naming the function, the argument and what it accepts."""
    r = integer_range(ctype)
    if r is not None:
        try:
            v = operator.index(value)
        except TypeError:
            raise TypeError(f"{function}: {name} must be {describe(ctype)}, not {value!r}") from None
        if not r[0] <= v <= r[1]:
            raise ValueError(f"{function}: {name} must be {describe(ctype)}, not {v}")
        return v
    if ctype in _FLOATS:
        if isinstance(value, (str, bytes)) or not hasattr(value, "__float__"):
            raise TypeError(f"{function}: {name} must be a number, not {value!r}")
        return float(value)
    return value


def time_value(function, name, value, positive=False):
    """A time or scale: a finite number, not negative (above 0 with `positive`)."""
    v = scalar(function, name, ctypes.c_double, value)
    if not math.isfinite(v) or v < 0 or (positive and v == 0):
        need = "above 0" if positive else "0 or more"
        raise ValueError(f"{function}: {name} must be a finite number {need}, not {value!r}")
    return v
