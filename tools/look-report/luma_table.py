#!/usr/bin/env python3
"""The look report's figures, from ffmpeg's signalstats of a capture of the show.

Reads on standard input what the command below prints for every frame of a
capture that starts at 0 s (the first chroma plane marks the near-black
pixels, Y below 25, that is grey below 10/255; the second the clipped ones,
Y of 232 or more, grey of 251/255 or more), and prints:
  - per second and per 4 seconds: the mean luma Y (16 = black, 235 = white),
    the darkest frame, the contrast (90th minus 10th percentile of Y), the
    change (mean |difference of Y| from the frame before), the mean share of
    near-black pixels and the largest share of clipped pixels in a frame;
  - every stretch darker than --dark for longer than half a second, and every
    stretch where the picture hardly changes (change below --still) for a
    second or more, both outside the intended dips;
  - the look goals: no dark stretch longer than 1 s outside the dips, every
    4-second window of the tunnel (36-132 s) at mean Y of 28 or more, no
    second of 20-196 s outside the dip into the finale over 60 % near-black,
    and at most 0.5 % of a frame clipped outside the white flashes.

    ffmpeg -i show.mp4 -vf "format=yuv444p,geq=lum='lum(X,Y)':\\
        cb='255*lt(lum(X,Y),25)':cr='255*gte(lum(X,Y),232)',\\
        signalstats,metadata=print:file=-" -f null - | luma_table.py [--dark Y] [--still D]
"""
import argparse
import sys

# The show's intended dips to black: into the finale and the closing fade.
DIPS = ((131.5, 133.0), (198.0, 205.0))
TUNNEL = (36.0, 132.0)
TUNNEL_WINDOW = 4.0
TUNNEL_MIN_LUMA = 28.0
LONGEST_DARK = 1.0
LONGEST_DARK_LUMA = 22.0
# Near-black: no second of this span, outside the dip into the finale, over this share.
VOID_SPAN = (20.0, 196.0)
VOID_EXEMPT = (131.5, 133.0)
MOST_NEAR_BLACK = 0.60
# Clipped: at most this share of a frame outside the white flashes, which
# start at these times and fade over 1 / rate seconds (the show's timeline).
MOST_CLIPPED = 0.005
FLASHES = ((20, 1), (28, 1.5), (44, 1.5), (60, 2), (92, 1), (100, 1.5), (108, 1), (116, 1),
           (124, 1), (148, 1.5), (156, 1.5), (164, 1.5), (172, 0.6), (180, 0.45), (188, 0.45),
           (196, 1))


class Frame:
    def __init__(self, time):
        self.time = time
        self.luma = self.low = self.high = self.change = self.black = self.clipped = None


def read_frames(lines):
    """Frames with their time and the signalstats values the report uses."""
    frames = []
    for line in lines:
        line = line.strip()
        if line.startswith("frame:"):
            fields = dict(f.split(":", 1) for f in line.split())
            frames.append(Frame(float(fields["pts_time"])))
        elif line.startswith("lavfi.signalstats.") and frames:
            key, value = line[len("lavfi.signalstats."):].split("=", 1)
            attribute = {"YAVG": "luma", "YLOW": "low", "YHIGH": "high", "YDIF": "change",
                         "UAVG": "black", "VAVG": "clipped"}.get(key)
            if attribute:
                value = float(value)
                setattr(frames[-1], attribute, value / 255 if key in ("UAVG", "VAVG") else value)
    for frame in frames:
        if None in (frame.luma, frame.low, frame.high, frame.change, frame.black, frame.clipped):
            sys.exit(f"luma_table: frame at {frame.time} s lacks signalstats values")
    return frames


def in_dip(time):
    return any(start <= time < end for start, end in DIPS)


def stretches(frames, condition):
    """Runs of consecutive frames meeting condition, as (first, last) indices."""
    runs, first = [], None
    for i, frame in enumerate(frames):
        if condition(i, frame):
            first = i if first is None else first
        elif first is not None:
            runs.append((first, i - 1))
            first = None
    if first is not None:
        runs.append((first, len(frames) - 1))
    return runs


def mean(values):
    return sum(values) / len(values)


def print_table(frames, span, title, out):
    print(title, file=out)
    print("     from      luma  darkest  contrast  change  black %  clip %", file=out)
    end = frames[-1].time
    start = 0.0
    while start <= end:
        group = [f for f in frames if start <= f.time < start + span]
        if group:
            print(f"  {start:7.0f} s  {mean([f.luma for f in group]):6.1f}"
                  f"  {min(f.luma for f in group):7.1f}"
                  f"  {mean([f.high - f.low for f in group]):8.1f}"
                  f"  {mean([f.change for f in group]):6.2f}"
                  f"  {100 * mean([f.black for f in group]):7.1f}"
                  f"  {100 * max(f.clipped for f in group):6.2f}", file=out)
        start += span


def print_tunnel_goal(windows, out):
    """The tunnel's goal over its 4-second windows (start time, mean Y)."""
    low = [w for w in windows if w[1] < TUNNEL_MIN_LUMA]
    lowest = min(windows, key=lambda w: w[1])
    print(f"  every {TUNNEL_WINDOW:g} s window of {TUNNEL[0]:g}-{TUNNEL[1]:g} s at mean Y >= "
          f"{TUNNEL_MIN_LUMA:g}: {'met' if not low else 'NOT MET'}; lowest {lowest[1]:.1f} "
          f"from {lowest[0]:g} s; {len(low)} of {len(windows)} windows (one per frame) below",
          file=out)
    # Windows that start in a run of consecutive frames, merged for reading.
    runs = stretches(windows, lambda i, w: w[1] < TUNNEL_MIN_LUMA)
    for first, last in runs:
        print(f"    windows starting {windows[first][0]:7.2f} - {windows[last][0]:7.2f} s, "
              f"lowest {min(w[1] for w in windows[first:last + 1]):.1f}", file=out)


def report(frames, dark, still, out):
    """Prints the tables, the flagged stretches and the goals."""
    step = frames[1].time - frames[0].time if len(frames) > 1 else 1.0
    print(f"{len(frames)} frames, {1 / step:g} per second, {frames[0].time:g} s to "
          f"{frames[-1].time + step:g} s. Luma Y: 16 black .. 235 white; contrast: 90th minus "
          f"10th percentile of Y; change: mean |Y difference| from the frame before.", file=out)
    print_table(frames, 1.0, "Per second:", out)
    print_table(frames, 4.0, "Per 4 seconds:", out)

    def describe(run):
        first, last = run
        start, end = frames[first].time, frames[last].time + step
        return (f"  {start:7.2f} - {end:7.2f} s  ({end - start:5.2f} s)  mean Y "
                f"{mean([f.luma for f in frames[first:last + 1]]):.1f}")

    dips = ", ".join(f"{a:g}-{b:g} s" for a, b in DIPS)
    dark_runs = [r for r in stretches(frames, lambda i, f: f.luma < dark and not in_dip(f.time))
                 if (r[1] - r[0] + 1) * step > 0.5 + 1e-9]
    print(f"Dark stretches: mean Y below {dark:g} for more than 0.5 s, outside the dips "
          f"({dips}): {len(dark_runs)}", file=out)
    for run in dark_runs:
        print(describe(run), file=out)

    # Frame i is still when it hardly differs from frame i - 1, so a run of
    # still frames first..last shows one picture from frame first - 1 on.
    still_runs = [(max(a - 1, 0), b) for a, b in stretches(
        frames, lambda i, f: i > 0 and f.change < still and not in_dip(f.time))
        if (b - a + 1) * step >= 1.0 - 1e-9]
    print(f"Still stretches: change below {still:g} for 1 s or more, outside the dips: "
          f"{len(still_runs)}", file=out)
    for run in still_runs:
        print(describe(run), file=out)

    print("Goals:", file=out)
    long_dark = [r for r in stretches(
        frames, lambda i, f: f.luma < LONGEST_DARK_LUMA and not in_dip(f.time))
        if (r[1] - r[0] + 1) * step > LONGEST_DARK + 1e-9]
    print(f"  no stretch longer than {LONGEST_DARK:g} s below Y {LONGEST_DARK_LUMA:g} outside "
          f"the dips: "
          f"{'NOT MET' if long_dark else 'met'}"
          + "".join(f"\n  {describe(r)}" for r in long_dark), file=out)

    per_window = round(TUNNEL_WINDOW / step)
    windows = []
    for i, frame in enumerate(frames):
        if frame.time < TUNNEL[0] - 1e-9 or frame.time + TUNNEL_WINDOW > TUNNEL[1] + 1e-9:
            continue
        group = frames[i:i + per_window]
        if len(group) == per_window:
            windows.append((frame.time, mean([f.luma for f in group])))
    if not windows:
        print("  tunnel windows: the capture does not cover 36-132 s", file=out)
    else:
        print_tunnel_goal(windows, out)

    seconds = {}
    for f in frames:
        second = int(f.time + 1e-9)
        if VOID_SPAN[0] <= second < VOID_SPAN[1] and not (
                second + 1 > VOID_EXEMPT[0] and second < VOID_EXEMPT[1]):
            seconds.setdefault(second, []).append(f.black)
    void = [(s, mean(shares)) for s, shares in sorted(seconds.items())]
    if void:
        over = [v for v in void if v[1] > MOST_NEAR_BLACK]
        worst = max(void, key=lambda v: v[1])
        print(f"  no second of {VOID_SPAN[0]:g}-{VOID_SPAN[1]:g} s (outside {VOID_EXEMPT[0]:g}-"
              f"{VOID_EXEMPT[1]:g} s) over {100 * MOST_NEAR_BLACK:g} % near-black: "
              f"{'NOT MET' if over else 'met'}; {len(over)} of {len(void)} seconds over, most "
              f"{100 * worst[1]:.0f} % at {worst[0]} s", file=out)

    def in_flash(time):
        return any(start <= time < start + 1 / rate for start, rate in FLASHES)

    lit = [f for f in frames if not in_flash(f.time) and not in_dip(f.time)]
    if lit:
        clipped = [f for f in lit if f.clipped > MOST_CLIPPED]
        worst = max(lit, key=lambda f: f.clipped)
        print(f"  at most {100 * MOST_CLIPPED:g} % of a frame clipped outside the flashes and the "
              f"dips: {'NOT MET' if clipped else 'met'}; {len(clipped)} frames over, most "
              f"{100 * worst.clipped:.2f} % at {worst.time:g} s", file=out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--dark", type=float, default=22.0,
                        help="mean Y below which a frame counts as dark (default 22)")
    parser.add_argument("--still", type=float, default=1.0,
                        help="change below which a frame counts as still (default 1)")
    args = parser.parse_args()
    frames = read_frames(sys.stdin)
    if not frames:
        sys.exit("luma_table: no frames on standard input")
    report(frames, args.dark, args.still, sys.stdout)


if __name__ == "__main__":
    main()
