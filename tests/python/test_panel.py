"""The front panel from Python: started on a free loopback port, it serves the installation's
snapshot and takes controls; a bad address is refused; leaving the installation stops it."""
import json
import urllib.error
import urllib.request

import pytest

import quvex
from quvex.errors import SimError


def post(url, body):
    request = urllib.request.Request(url, data=json.dumps(body).encode(), method="POST",
                                     headers={"Content-Type": "application/json"})
    return urllib.request.urlopen(request, timeout=5)


def test_the_panel_serves_the_installation_and_stops_with_it():
    with quvex.VirtualInstallation(cards=[0, 2]) as sim:
        url = sim.panel("127.0.0.1:0")
        assert url.startswith("http://127.0.0.1:")
        state = json.load(urllib.request.urlopen(url + "api/state", timeout=5))
        assert [c["device"] for c in state["cards"]] == [0, 2]
        assert post(url + "api/axis/input", {"card": 2, "axis": 1, "input": "slow_down", "active": True}).status == 200
        assert sim.input(2, 1, "slow_down")
        with pytest.raises(urllib.error.HTTPError) as refused:
            post(url + "api/axis/input", {"card": 1, "axis": 1, "input": "slow_down", "active": True})
        assert refused.value.code == 404
        with pytest.raises(SimError):
            sim.panel("127.0.0.1:0")  # one panel at a time
    with pytest.raises(urllib.error.URLError):
        urllib.request.urlopen(url + "api/state", timeout=2)


def test_a_malformed_address_is_refused(sim):
    with pytest.raises(SimError):
        sim.panel("no port here")
