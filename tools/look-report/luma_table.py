#!/usr/bin/env python3
"""The look report's figures, from ffmpeg's signalstats of a capture of the show.

Reads on standard input what `ffmpeg -vf signalstats,metadata=print:file=-`
prints for every frame of a capture that starts at 0 s, and prints:
  - per second and per 4 seconds: the mean luma Y (16 = black, 235 = white),
    the darkest frame, the contrast (90th minus 10th percentile of Y) and the
    change (mean |difference of Y| from the frame before);
  - every stretch darker than --dark for longer than half a second, and every
    stretch where the picture hardly changes (change below --still) for a
    second or more, both outside the intended dips;
  - the look goals: no dark stretch longer than 1 s outside the dips, and
    every 4-second window of the tunnel (36-132 s) at mean Y of 28 or more.

    ffmpeg -i show.mp4 -vf signalstats,metadata=print:file=- -f null - |
        luma_table.py [--dark Y] [--still D]
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


class Frame:
    def __init__(self, time):
        self.time = time
        self.luma = self.low = self.high = self.change = None


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
            attribute = {"YAVG": "luma", "YLOW": "low", "YHIGH": "high", "YDIF": "change"}.get(key)
            if attribute:
                setattr(frames[-1], attribute, float(value))
    for frame in frames:
        if None in (frame.luma, frame.low, frame.high, frame.change):
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
    print("     from      luma  darkest  contrast  change", file=out)
    end = frames[-1].time
    start = 0.0
    while start <= end:
        group = [f for f in frames if start <= f.time < start + span]
        if group:
            print(f"  {start:7.0f} s  {mean([f.luma for f in group]):6.1f}"
                  f"  {min(f.luma for f in group):7.1f}"
                  f"  {mean([f.high - f.low for f in group]):8.1f}"
                  f"  {mean([f.change for f in group]):6.2f}", file=out)
        start += span


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
        return
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
