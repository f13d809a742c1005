"""The CSV table and the VCD waveform of a traced move."""
import csv
import shutil
import subprocess

import pytest


def parse_vcd(path):
    """A small VCD reader: declarations by scope, then (time, id, value) in file order. Checks the
    structure a viewer relies on as it goes."""
    signals, scope, changes = {}, [], []
    header = {}
    time = None
    seen = set()
    dumping = False
    with open(path) as f:
        tokens = f.read().split("\n")
    i = 0
    in_defs = True
    while i < len(tokens):
        line = tokens[i].strip()
        i += 1
        if not line:
            continue
        if in_defs:
            words = line.split()
            if words[0] == "$scope":
                assert words[1] == "module" and words[-1] == "$end"
                scope.append(words[2])
            elif words[0] == "$upscope":
                scope.pop()
            elif words[0] == "$var":
                kind, width, ident, name = words[1], int(words[2]), words[3], words[4]
                assert ident not in signals
                signals[ident] = (".".join(scope + [name]), kind, width)
            elif words[0] == "$enddefinitions":
                assert scope == []
                in_defs = False
            else:
                header[words[0]] = " ".join(words[1:-1])
            continue
        if line.startswith("#"):
            t = int(line[1:])
            assert time is None or t > time, "times must increase"
            time = t
            continue
        if line in ("$dumpvars", "$end"):
            dumping = line == "$dumpvars"  # initial values, not changes
            continue
        if line[0] in "br":
            value, ident = line[1:].split()
            value = value if line[0] == "b" else float(value)
        else:
            value, ident = line[0], line[1:]
        assert ident in signals
        if not dumping:
            assert (time, ident) not in seen, "a signal changes once per instant"
            seen.add((time, ident))
        changes.append((time, ident, value))
    return header, signals, changes


def values_of(signals, changes, name):
    ident = next(k for k, v in signals.items() if v[0] == name)
    return [(t, v) for t, i, v in changes if i == ident]


def value_at(changes, time):
    """The signal's value at `time`: its last change at or before it."""
    found = [v for t, v in changes if t <= time]
    assert found, f"no value at {time}"
    return found[-1]


@pytest.fixture
def traced_move(sim, q, tmp_path):
    sim.trace_clear()
    sim.sample_motion(0, 0, 0.01)
    q.start_tr_move(0, 2000, 100, 20000, 0.05, 0.05)
    sim.advance(0.3)
    sim.sample_motion(0, 0, 0)
    return sim


def test_csv_has_one_row_per_record_with_its_fields(traced_move, tmp_path):
    path = tmp_path / "trace.csv"
    traced_move.write_csv(path)
    records = traced_move.records()
    with open(path, newline="") as f:
        rows = list(csv.DictReader(f))
    assert len(rows) == len(records) > 0
    for row, rec in zip(rows, records):
        assert (row["kind"], int(row["device"]), int(row["axis"]), row["text"]) == (rec.kind, rec.device, rec.axis,
                                                                                   rec.text)
        assert int(row["code"], 16) == rec.code and int(row["value"], 16) == rec.value
        assert float(row["time_s"]) == pytest.approx(rec.time, abs=1e-9)


def test_vcd_is_well_formed_and_its_position_follows_the_samples(traced_move, tmp_path):
    path = tmp_path / "move.vcd"
    traced_move.write_vcd(path)
    header, signals, changes = parse_vcd(path)
    assert header["$timescale"] == "1ns"
    names = {v[0] for v in signals.values()}
    assert {"d0.X.position", "d0.X.speed", "d0.X.reg_code", "d0.X.reg_data", "d0.X.command"} <= names

    samples = traced_move.samples(0, 0)
    assert len(samples) > 10 and samples[-1].position == 2000
    position = [(t, int(v, 2)) for t, v in values_of(signals, changes, "d0.X.position") if v != "x"]
    speed = values_of(signals, changes, "d0.X.speed")[1:]  # after the initial value
    assert len(position) < len(samples)  # the axis stands still after the move: no repeats
    for s in samples:
        t = round(s.time * 1e9)
        assert value_at(position, t) == s.position, s
        assert value_at(speed, t) == pytest.approx(s.speed), s

    # Every register write of the move is a value change, in trace order.
    writes = [r.value for r in traced_move.records() if r.kind == "chip_reg_write" and r.axis == 0]
    assert [int(v, 2) for t, v in values_of(signals, changes, "d0.X.reg_data") if v != "x"] == writes


def test_csv_codes_and_values_say_they_are_hex(traced_move, tmp_path):
    path = tmp_path / "trace.csv"
    traced_move.write_csv(path)
    with open(path, newline="") as f:
        rows = list(csv.DictReader(f))
    assert rows and all(r["code"].startswith("0x") and r["value"].startswith("0x") for r in rows)
    writes = [r for r in rows if r["kind"] == "chip_reg_write"]
    assert any(int(r["value"], 16) >= 10 for r in writes)  # a bare "10" would read as ten


def test_vcd_runs_to_the_installations_time_not_to_its_last_change(traced_move, tmp_path):
    traced_move.advance(2.0)  # the axis stands still: no change after the move
    path = tmp_path / "move.vcd"
    traced_move.write_vcd(path)
    times = [int(line[1:]) for line in open(path) if line.startswith("#")]
    assert times[-1] == round(traced_move.now * 1e9)
    assert times[-2] < 0.5e9  # the last change, long before


@pytest.mark.skipif(shutil.which("vcd2fst") is None, reason="GTKWave's vcd2fst is not installed")
def test_a_waveform_viewer_converts_the_vcd_to_its_end(traced_move, tmp_path):
    traced_move.advance(2.0)
    vcd, fst = tmp_path / "move.vcd", tmp_path / "move.fst"
    traced_move.write_vcd(vcd)
    subprocess.run(["vcd2fst", str(vcd), str(fst)], check=True, capture_output=True, timeout=60)
    assert fst.stat().st_size > 0
    if shutil.which("fst2vcd"):
        back = subprocess.run(["fst2vcd", str(fst)], check=True, capture_output=True, text=True, timeout=60).stdout
        times = [int(line[1:]) for line in back.splitlines() if line.startswith("#")]
        assert times[-1] == round(traced_move.now * 1e9)
