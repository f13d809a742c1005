"""The virtual installation as a Python object: cards, inputs, clock, ring stations and the trace.

    with quvex.VirtualInstallation(cards=[0]) as sim:
        q = sim.library
        q.initial()
        ...

Entering resets the installation (manual clock at 0, no cards) and installs the cards; leaving
closes the library (quvex_close, kring_close) and resets the installation again."""
import ctypes
import types
from dataclasses import dataclass, field

from . import _checks, _exports
from ._library import load
from ._types import TYPES
from .errors import SimError

C = _exports.CONSTANTS
EVENT_KINDS = {v: k[len("QUVEX_SIM_EV_"):].lower() for k, v in C.items() if k.startswith("QUVEX_SIM_EV_")}
INPUTS = {k[len("QUVEX_SIM_INPUT_"):].lower(): v for k, v in C.items()
          if k.startswith("QUVEX_SIM_INPUT_") and k != "QUVEX_SIM_INPUT_COUNT"}
# Remote motion modules by kind: the control call that plugs one, and whether it takes an id.
MODULE_KINDS = {"one-axis": "quvex_sim_ring_add_m1_module", "four-axis": "quvex_sim_ring_add_m4_module"}


def signal_number(function, signal):
    """The QUVEX_SIM_INPUT_* number of a signal given by name or number; others raise ValueError
    listing the valid names."""
    if isinstance(signal, str):
        if signal not in INPUTS:
            raise ValueError(f"{function}: unknown signal {signal!r}; signals: {', '.join(INPUTS)}")
        return INPUTS[signal]
    number = _checks.scalar(function, "signal", ctypes.c_int, signal)
    if number not in INPUTS.values():
        raise ValueError(f"{function}: no signal numbered {number}; signals: "
                         + ", ".join(f"{n} ({v})" for n, v in INPUTS.items()))
    return number


@dataclass
class Event:
    """One decoded trace record."""
    index: int
    time: float
    kind: str
    device: int
    axis: int
    station: int
    code: int
    value: int
    flags: int
    text: str
    words: list = field(default_factory=list)
    reply: list = field(default_factory=list)


@dataclass
class Sample:
    time: float
    position: int
    speed: float


class StationLink:
    """What a station's callback may do: its slave number, the time, its cyclic words, timers,
    a later answer and the handshake line. Valid only inside the callback."""

    def __init__(self, raw, link):
        self._raw, self._link = raw, link

    def slave(self):
        return self._raw.quvex_sim_station_slave(self._link)

    def now(self):
        return self._raw.quvex_sim_station_now(self._link)

    def cyclic(self, word):
        return self._raw.quvex_sim_station_cyclic(self._link, word)

    def set_cyclic(self, word, value):
        return self._raw.quvex_sim_station_set_cyclic(self._link, word, value)

    def schedule(self, delay, tag):
        return self._raw.quvex_sim_station_schedule(self._link, delay, tag)

    def answer(self, words):
        arr = (ctypes.c_uint16 * max(len(words), 1))(*words)
        return self._raw.quvex_sim_station_answer(self._link, arr, len(words))

    def ready_line(self, level):
        return self._raw.quvex_sim_station_ready_line(self._link, level)


class Station:
    """A ring station of your own: override the handlers you need. on_message returns the reply
    words, or None to answer later through link.answer."""
    type = 0x80
    ident = 0

    def on_message(self, link, words):
        return []

    def on_cyclic_write(self, link, word, value):
        pass

    def read_cyclic(self, link, word, stored):
        return stored

    def on_timer(self, link, tag):
        pass


class VirtualInstallation:
    def __init__(self, cards=(0,), library=None, trace=True):
        self.library = library or load()
        if not self.library.has_virtual_installation:
            raise OSError("this library has no virtual installation (load quvex_sim.dll on Windows)")
        self.raw = self.library.raw
        self._cards = list(cards)
        self._trace = trace
        self._stations = {}
        self.station_errors = []  # exceptions raised inside station callbacks

    # ---- lifetime ----
    def __enter__(self):
        self.reset()
        for d in self._cards:
            self.add_card(d)
        self.trace_enable(self._trace)
        return self

    def __exit__(self, *exc):
        self.panel_stop()
        self.library.close()
        self.library.kring_close()
        self.reset()
        return False

    def _checked(self, name, *args):
        r = self.library.checked[name](*args)
        if r == -1:
            raise SimError(name, args)
        return r

    def reset(self):
        self.raw.quvex_sim_reset()
        self._stations.clear()

    # ---- cards ----
    def add_card(self, device):
        self._checked("quvex_sim_add_card", device)

    def remove_card(self, device):
        self._checked("quvex_sim_remove_card", device)

    def card_info(self, device):
        info = TYPES.struct("quvex_sim_card_info")()
        self._checked("quvex_sim_card_info_get", device, ctypes.byref(info))
        return info

    def set_driver_faults(self, device, faults):
        self._checked("quvex_sim_set_driver_faults", device, faults)

    def set_card_status(self, device, status):
        self._checked("quvex_sim_set_card_status", device, status)

    # ---- inputs and outputs ----
    def set_input(self, device, axis, signal, active=True):
        """signal: a QUVEX_SIM_INPUT_* number or its name ("el_plus", "origin", "general0", ...)."""
        self._checked("quvex_sim_set_axis_input", device, axis, signal_number("set_input", signal),
                      1 if active else 0)

    def input(self, device, axis, signal):
        return bool(self._checked("quvex_sim_axis_input", device, axis, signal_number("input", signal)))

    def set_counter(self, device, axis, code, value):
        self._checked("quvex_sim_set_counter", device, axis, code, value)

    def set_ttl_inputs(self, device, inputs):
        self._checked("quvex_sim_set_ttl_inputs", device, inputs)

    def register(self, device, axis, code):
        value = ctypes.c_uint32()
        self._checked("quvex_sim_chip_register", device, axis, code, ctypes.byref(value))
        return value.value

    def outputs(self, device, axis):
        value = ctypes.c_uint32()
        self._checked("quvex_sim_chip_outputs", device, axis, ctypes.byref(value))
        return value.value

    # ---- front panel ----
    def panel(self, address="127.0.0.1:0"):
        """Starts the front panel (docs/panel.md) on `address` ("host:port", ":port" or "port";
        the loopback address unless a host is named, port 0 a free one) and returns its URL.
        Leaving the installation stops it."""
        address = address.encode() if isinstance(address, str) else address
        if self.raw.quvex_sim_panel_start(address) != 0:
            raise SimError("quvex_sim_panel_start", (address,))
        host = address.decode().rpartition(":")[0].strip("[]") or "127.0.0.1"
        return "http://%s:%d/" % (host, self.raw.quvex_sim_panel_port())

    def panel_stop(self):
        self.raw.quvex_sim_panel_stop()

    # ---- clock ----
    @property
    def now(self):
        return self.raw.quvex_sim_now()

    def advance(self, seconds):
        """Moves the virtual clock on by `seconds` (finite, 0 or more)."""
        self.raw.quvex_sim_advance(_checks.time_value("advance", "seconds", seconds))

    def clock_manual(self):
        self.raw.quvex_sim_clock_manual()

    def clock_realtime(self, scale=1.0):
        """The clock follows the wall clock times `scale` (finite, above 0)."""
        self.raw.quvex_sim_clock_realtime(_checks.time_value("clock_realtime", "scale", scale, positive=True))

    # ---- motion ----
    def motion(self, device, axis):
        info = TYPES.struct("quvex_sim_motion_info")()
        self._checked("quvex_sim_motion_info_get", device, axis, ctypes.byref(info))
        return info

    # ---- servo drives and the emergency input ----
    def set_drive(self, device, axis, time_constant=0.01, in_position_band=10, settling_time=0, deviation_limit=0):
        """Switches the axis's servo drive on with these parameters (seconds, pulses)."""
        drive = TYPES.struct("quvex_sim_drive")(time_constant, in_position_band, settling_time, deviation_limit)
        self._checked("quvex_sim_set_drive", device, axis, ctypes.byref(drive))

    def drive_off(self, device, axis):
        self._checked("quvex_sim_set_drive", device, axis, None)

    def drive(self, device, axis):
        """The drive brought up to now: on, deviation, motor, alarm, in_position."""
        state = TYPES.struct("quvex_sim_drive_state")()
        self._checked("quvex_sim_drive_state_get", device, axis, ctypes.byref(state))
        return state

    def set_emergency(self, device, active=True):
        self._checked("quvex_sim_set_emergency", device, 1 if active else 0)

    def emergency(self, device):
        return bool(self._checked("quvex_sim_emergency", device))

    def sample_motion(self, device, axis, period):
        """Samples the axis every `period` seconds (0 stops sampling)."""
        self._checked("quvex_sim_sample_motion", device, axis, _checks.time_value("sample_motion", "period", period))

    def samples(self, device, axis):
        n = self._checked("quvex_sim_motion_samples", device, axis, None, 0)
        buf = (TYPES.struct("quvex_sim_motion_sample") * max(n, 1))()
        n = min(n, self._checked("quvex_sim_motion_samples", device, axis, buf, n))
        return [Sample(s.time, s.position, s.speed) for s in buf[:n]]

    # ---- trace ----
    def trace_enable(self, on=True):
        self.raw.quvex_sim_trace_enable(1 if on else 0)

    def trace_clear(self):
        self.raw.quvex_sim_trace_clear()

    def records(self, start=0):
        """The decoded trace from record `start` on."""
        out = []
        rec = TYPES.struct("quvex_sim_event")()
        text = ctypes.create_string_buffer(512)
        for i in range(start, self.raw.quvex_sim_trace_count()):
            if self.raw.quvex_sim_trace_get(i, ctypes.byref(rec)) != 0:
                break  # cleared meanwhile
            n = self.raw.quvex_sim_trace_text(i, text, len(text))
            if n >= len(text):
                text = ctypes.create_string_buffer(n + 1)
                self.raw.quvex_sim_trace_text(i, text, len(text))
            out.append(Event(i, rec.time, EVENT_KINDS.get(rec.kind, str(rec.kind)), rec.device, rec.axis,
                             rec.station, rec.code, rec.value, rec.flags, text.value.decode(),
                             self._words(i, 0, rec.word_count), self._words(i, 1, rec.reply_count)))
        return out

    def _words(self, index, reply, count):
        if count <= 0:
            return []
        buf = (ctypes.c_uint16 * count)()
        n = self.raw.quvex_sim_trace_words(index, reply, buf, count)
        return list(buf[:max(n, 0)])

    def dump(self, path):
        self._checked("quvex_sim_trace_dump", str(path).encode())

    def write_csv(self, path):
        """One row per decoded trace record."""
        self._checked("quvex_sim_trace_write_csv", str(path).encode())

    def write_vcd(self, path):
        """The trace and the motion samples as signals over virtual time (a VCD waveform)."""
        self._checked("quvex_sim_trace_write_vcd", str(path).encode())

    # ---- ring ----
    def add_io_station(self, device, slave, type=0x80, ident=0):
        self._checked("quvex_sim_ring_add_io_slave", device, slave, type, ident)

    def add_module(self, device, slave, kind="one-axis", ident=0):
        """A remote motion module on the card's ring: kind "one-axis" or "four-axis" (with its
        identification number `ident`)."""
        if kind not in MODULE_KINDS:
            raise ValueError(f"add_module: unknown kind {kind!r}; kinds: {', '.join(MODULE_KINDS)}")
        if kind == "four-axis":
            self._checked(MODULE_KINDS[kind], device, slave, ident)
        else:
            self._checked(MODULE_KINDS[kind], device, slave)

    def remove_station(self, device, slave):
        self._checked("quvex_sim_ring_remove_slave", device, slave)
        self._stations.pop((device, slave), None)

    def io_get(self, device, slave, port):
        return self._checked("quvex_sim_ring_io_get", device, slave, port)

    def io_set(self, device, slave, port, value):
        self._checked("quvex_sim_ring_io_set", device, slave, port, value)

    def ring_mode(self, device):
        return self._checked("quvex_sim_ring_mode", device)

    def ring_history(self, device):
        msg = TYPES.struct("quvex_sim_ring_message")()
        out = []
        for i in range(self._checked("quvex_sim_ring_history_count", device)):
            self._checked("quvex_sim_ring_history_get", device, i, ctypes.byref(msg))
            out.append({"sent": msg.sent, "answered": msg.answered, "slave": msg.slave,
                        "words": list(msg.words[:msg.word_count]), "reply": list(msg.reply[:msg.reply_count])})
        return out

    def plug_station(self, device, slave, station):
        """Plugs a Station (its handlers run under the installation's lock: inside them only the
        link's calls may be used)."""
        st_type = TYPES.struct("quvex_sim_station")
        cb = TYPES.callbacks
        raw = types.SimpleNamespace(**self.library.checked)  # the link's calls check their arguments
        errors = self.station_errors

        def guarded(default, fn):
            def run(*args):
                try:
                    return fn(*args)
                except Exception as e:  # an exception must not unwind through the C caller
                    errors.append(e)
                    return default
            return run

        def message(_ctx, link, words, count, reply, reply_max):
            answer = station.on_message(StationLink(raw, link), list(words[:count]))
            if answer is None:
                return -1
            n = min(len(answer), reply_max)
            for i in range(n):
                reply[i] = answer[i]
            return n

        def cyclic_write(_ctx, link, word, value):
            station.on_cyclic_write(StationLink(raw, link), word, value)

        def cyclic_read(_ctx, link, word, stored):
            return int(station.read_cyclic(StationLink(raw, link), word, stored)) & 0xFFFF

        def timer(_ctx, link, tag):
            station.on_timer(StationLink(raw, link), tag)

        s = st_type()
        s.type = station.type
        s.ident = station.ident
        s.message = cb["quvex_sim_station.message"](guarded(0, message))
        s.cyclic_write = cb["quvex_sim_station.cyclic_write"](guarded(None, cyclic_write))
        s.cyclic_read = cb["quvex_sim_station.cyclic_read"](guarded(0, cyclic_read))
        s.timer = cb["quvex_sim_station.timer"](guarded(None, timer))
        self._checked("quvex_sim_ring_plug_station", device, slave, ctypes.byref(s))
        self._stations[(device, slave)] = (station, s)  # the callbacks live as long as the station
