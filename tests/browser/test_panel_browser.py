"""The front panel in a real browser: headless Chromium driven through WebDriver watches and
handles an application (this script) that runs the library on the virtual installation in
real-time mode. Skipped, with the reason, where no browser or driver is installed."""
import os
import shutil
import time

import pytest

import quvex

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
DRIVER = shutil.which("chromedriver")
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:  # pragma: no cover - depends on the machine
    webdriver = None

MISSING = ("python3-selenium" if webdriver is None else "chromium" if CHROMIUM is None
           else "chromium-driver" if DRIVER is None else None)
pytestmark = pytest.mark.skipif(MISSING is not None,
                                reason="SKIPPED: no browser for the panel test (%s is not installed; "
                                       "tools/install-deps.sh installs it)" % MISSING)


def wait_for(what, predicate, timeout=10.0):
    """Polls until predicate() is true; fails with `what` at the time-out."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            pytest.fail("timed out waiting for " + what)
        time.sleep(0.02)


@pytest.fixture
def machine():
    with quvex.VirtualInstallation(cards=[0], trace=False) as sim:
        sim.add_io_station(0, 2, 0x81, 0x100)
        q = sim.library
        assert q.initial() == 1
        ring = q.open_kring(0)
        q.kring_start_ring(ring)
        url = sim.panel("127.0.0.1:0")
        sim.clock_realtime(1.0)
        yield sim, q, ring, url
        sim.clock_manual()


@pytest.fixture
def page(machine):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--window-size=1400,1000"):
        options.add_argument(arg)
    browser = webdriver.Chrome(service=Service(DRIVER), options=options)
    browser.get(machine[3])
    yield browser
    browser.quit()


def text(page, element_id):
    found = page.find_elements(By.ID, element_id)
    return found[0].text if found else None


def number(page, element_id):
    t = text(page, element_id)
    return float(t) if t not in (None, "") else None


def test_the_panel_shows_and_handles_the_running_machine(machine, page):
    sim, q, ring, _ = machine

    # The installed card and its four axes are listed.
    wait_for("the card", lambda: text(page, "card-0"))
    assert all(page.find_elements(By.ID, "axis-0-%d" % a) for a in range(4))

    # A position advances on the page while the axis moves and stops at the target.
    q.start_tr_move(0, 3000, 100, 4000, 0.05, 0.05)
    wait_for("the position moving", lambda: 0 < (number(page, "position-0-0") or 0) < 3000)
    wait_for("the position at the target", lambda: number(page, "position-0-0") == 3000)
    assert q.motion_done(0) == 0

    # The + limit lamp of a moving axis stops it on the page and in the library.
    q.start_tr_move(1, 1000000, 100, 5000, 0.05, 0.05)
    wait_for("axis Y running", lambda: (number(page, "speed-0-1") or 0) > 0)
    page.find_element(By.ID, "in-0-1-el_plus").click()
    wait_for("the stop reason", lambda: "+ limit" in (text(page, "stop-0-1") or ""))
    wait_for("the library seeing the stop", lambda: q.motion_done(1) == 0, timeout=2)
    assert number(page, "speed-0-1") == 0
    assert sim.input(0, 1, "el_plus") == 1
    page.find_element(By.ID, "in-0-1-el_plus").click()
    wait_for("the limit released", lambda: sim.input(0, 1, "el_plus") == 0)

    # The hand wheel moves an axis in hand-wheel mode by its pulses (ratio 1:1).
    q.set_pulser_ratio(2, 1, 1)
    q.set_mof_mode(0, 1)
    q.manual_mpg(0, 2)
    q.set_mof_config(0, 1)
    detents = page.find_element(By.ID, "wheel-0-detents")
    detents.clear()
    detents.send_keys("150")
    page.find_element(By.ID, "wheel-0-plus").click()
    wait_for("the wheel's pulses", lambda: number(page, "command-0-2") == 150)
    wait_for("the wheel's end", lambda: sim.motion(0, 2).command_counter == 150)

    # A station input toggled on the page is what the ring call reads.
    page.find_element(By.ID, "io-0-2-2-0").click()
    wait_for("input bit 0", lambda: q.kring_io_input(ring, 2, 2) == 0x01)
    page.find_element(By.ID, "io-0-2-2-3").click()
    wait_for("input bit 3", lambda: q.kring_io_input(ring, 2, 2) == 0x09)

    shot = os.environ.get("QUVEX_PANEL_SCREENSHOT")
    if shot:
        page.execute_script("window.scrollTo(0, 0)")
        time.sleep(0.3)
        page.save_screenshot(shot)
