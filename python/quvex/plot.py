"""Sampled motion handed to matplotlib, for users who have it (Debian: python3-matplotlib); the
binding itself needs nothing beyond the standard library."""


def plot_motion(sim, axes, title=None, figure=None):
    """Position and speed over time of sampled card axes, one line per axis, with units, grid
    and legend. `axes`: (device, axis) pairs sampled with sim.sample_motion. Returns the
    matplotlib figure (drawn on `figure` when given)."""
    try:
        import matplotlib.pyplot as plt
    except ImportError as e:
        raise ImportError("quvex.plot_motion needs matplotlib (Debian: apt-get install python3-matplotlib)") from e
    fig = figure or plt.figure(figsize=(9, 6))
    position, speed = fig.subplots(2, 1, sharex=True)
    for device, axis in axes:
        samples = sim.samples(device, axis)
        if not samples:
            raise ValueError(f"plot_motion: d{device} axis {axis} has no samples (sim.sample_motion first)")
        label = f"d{device} {'XYZU'[axis] if 0 <= axis < 4 else axis}"
        t = [s.time for s in samples]
        position.plot(t, [s.position for s in samples], label=label)
        speed.plot(t, [abs(s.speed) for s in samples], label=label)
    position.set_ylabel("position (pulses)")
    speed.set_ylabel("speed (pulses/s)")
    speed.set_xlabel("virtual time (s)")
    for ax in (position, speed):
        ax.grid(True)
        ax.legend()
    if title:
        fig.suptitle(title)
    return fig
