"""A fresh virtual installation with one card per test, the library opened on it."""
import pytest

import quvex


@pytest.fixture
def sim():
    with quvex.VirtualInstallation(cards=[0]) as s:
        assert s.library.initial() == 1
        yield s


@pytest.fixture
def q(sim):
    return sim.library
