"""C types of the headers as ctypes types: scalars, pointers, the structures and the callback
types, all built from the generated export table."""
import ctypes
import sys

from . import _exports

_SCALARS = {
    "void": None,
    "char": ctypes.c_char, "signed char": ctypes.c_byte, "unsigned char": ctypes.c_ubyte,
    "short": ctypes.c_short, "unsigned short": ctypes.c_ushort,
    "int": ctypes.c_int, "signed": ctypes.c_int, "signed int": ctypes.c_int,
    "unsigned": ctypes.c_uint, "unsigned int": ctypes.c_uint,
    "long": ctypes.c_long, "unsigned long": ctypes.c_ulong,
    "long long": ctypes.c_longlong, "unsigned long long": ctypes.c_ulonglong,
    "float": ctypes.c_float, "double": ctypes.c_double, "_Bool": ctypes.c_bool, "bool": ctypes.c_bool,
    "int8_t": ctypes.c_int8, "uint8_t": ctypes.c_uint8, "int16_t": ctypes.c_int16, "uint16_t": ctypes.c_uint16,
    "int32_t": ctypes.c_int32, "uint32_t": ctypes.c_uint32, "int64_t": ctypes.c_int64, "uint64_t": ctypes.c_uint64,
    "size_t": ctypes.c_size_t, "intptr_t": ctypes.c_ssize_t, "uintptr_t": ctypes.c_size_t,
}

# Exports and callbacks use the library's calling convention: stdcall on Windows.
if sys.platform == "win32":
    FUNCTYPE = ctypes.WINFUNCTYPE
else:
    FUNCTYPE = ctypes.CFUNCTYPE

_QUALIFIERS = {"const", "volatile"}


def split_pointer(ctype):
    """(base type, pointer depth, const) of a C type as written."""
    words = ctype.replace("*", " * ").split()
    depth = words.count("*")
    const = "const" in words
    base = " ".join(w for w in words if w != "*" and w not in _QUALIFIERS)
    return base, depth, const


class TypeMap:
    """Resolves type names of the headers; structures are built on first use."""

    def __init__(self):
        self._structs = {}
        self.callbacks = {}  # "struct.field" -> the ctypes function type

    def scalar(self, base):
        while base in _exports.TYPEDEFS:
            base = _exports.TYPEDEFS[base]
        if base in _SCALARS:
            return _SCALARS[base]
        if base in _exports.STRUCTS:
            return self.struct(base)
        if base in _exports.OPAQUE:
            return ctypes.c_void_p  # only ever handled through a pointer
        raise TypeError(f"unknown C type '{base}'")

    def ctype(self, ctype):
        base, depth, _const = split_pointer(ctype)
        if depth == 0:
            return self.scalar(base)
        if base == "void" or base in _exports.OPAQUE:
            t = ctypes.c_void_p
            depth -= 1
        elif base == "char" and depth == 1:
            return ctypes.c_char_p
        else:
            t = self.scalar(base)
        for _ in range(depth):
            t = ctypes.POINTER(t)
        return t

    def function_type(self, result, arguments):
        return FUNCTYPE(self.ctype(result), *(self.ctype(t) for t, _n in arguments))

    def struct(self, name):
        if name in self._structs:
            return self._structs[name]
        fields = []
        for ctype, field, extra in _exports.STRUCTS[name]:
            if ctype == "callback":
                result, arguments = extra
                t = self.function_type(result, arguments)
                self.callbacks[f"{name}.{field}"] = t
                fields.append((field, t))
            elif extra:
                fields.append((field, self.ctype(ctype) * extra))
            else:
                fields.append((field, self.ctype(ctype)))
        cls = type(name, (ctypes.Structure,), {"_fields_": fields})
        self._structs[name] = cls
        return cls


TYPES = TypeMap()
