#!/usr/bin/env python3
"""The look report's picture figures, from the decoded RGB of captures of the show.

    luma_table.py VIDEO [--pulse START:VIDEO]... [--music WAV --soundtrack TOOL]
                  [--dark LUMA] [--still D]
    luma_table.py --pulse-windows

VIDEO is a capture that starts at 0 s; each --pulse VIDEO (at 30 fps) starts
at show time START and supplies the frames of the beat-pulse windows that
--pulse-windows lists, one "from to" line each. ffmpeg decodes every frame to
RGB; a pixel's grey is 0.299 R + 0.587 G + 0.114 B (0-255). Prints:
  - per second and per 4 seconds: the mean grey (luma), the darkest frame,
    the contrast (90th minus 10th percentile of grey), the change (mean
    |grey difference| from the frame before), the share of near-black pixels
    (grey below 10), the largest share of clipped ones in a frame (grey 251 or
    more) and the saturation (mean of max(R, G, B) - min(R, G, B));
  - the show's sections outside the white flashes: luma, near-black, change,
    saturation and, with --music, the soundtrack's loudness over the section
    as TOOL's "loudness" measures it;
  - the beat pulse: the correlation of frame luma with a kick envelope that
    starts on every whole second, in each window;
  - the dark and still stretches outside the intended dips, and the look
    goals, each as met or NOT MET.
"""
import argparse
import collections
import math
import os
import re
import subprocess
import sys
import tempfile
import wave
from itertools import repeat
from operator import add, floordiv, sub

# The show's intended dips to black: into the finale and the closing fade.
DIPS = ((131.5, 133.0), (198.0, 205.0))
# White flashes: start and rate; each fades over 1 / rate seconds (the show's timeline).
FLASHES = ((20, 1), (28, 1.5), (44, 1.5), (60, 2), (92, 1), (100, 1.5), (108, 1), (116, 1),
           (124, 1), (148, 1.5), (156, 1.5), (164, 1.5), (172, 0.6), (180, 0.45), (188, 0.45),
           (196, 1))
SECTIONS = (("intro", 0, 12), ("kick enters", 12, 20), ("first drop", 20, 36),
            ("tunnel A", 36, 52), ("bass drive", 68, 84), ("tunnel peak", 100, 116),
            ("second drop", 148, 164), ("third drop B", 172, 180), ("climax", 180, 196))
PULSE_WINDOWS = ((22, 26), (86, 90), (150, 154), (184, 188))
# The kick envelope: 1 on each whole second, decaying with this time constant.
KICK_DECAY = 0.2

NEAR_BLACK = 10
CLIPPED = 251
TUNNEL = (36.0, 132.0)
TUNNEL_WINDOW = 4.0
TUNNEL_MIN_LUMA = 14.0
LONGEST_DARK = 1.0
LONGEST_DARK_LUMA = 7.0
# Near-black: no whole second of this span, outside the seconds of the dip into
# the finale, over this share.
VOID_SPAN = (20.0, 196.0)
VOID_EXEMPT = (131, 133)
MOST_NEAR_BLACK = 0.50
MOST_CLIPPED = 0.005
CLIMAX = "climax"
CLIMAX_MIN_SATURATION = 30.0
CLIMAX_MIN_LUMA = 35.0
CLIMAX_MOST_NEAR_BLACK = 0.25
DROPS_MOST_NEAR_BLACK = (("first drop", 0.30), ("third drop B", 0.30))
MIN_PULSE = 0.5
KICK_ENTRY = 12
MIN_ENTRY_CHANGE_RATIO = 1.5
BASS_DROP = 68

# Grey times 1000 of each channel's value, so a pixel's grey is exact in integers.
RED = [299 * v for v in range(256)]
GREEN = [587 * v for v in range(256)]
BLUE = [114 * v for v in range(256)]


class Frame:
    def __init__(self, time, luma, low, high, change, black, clipped, saturation):
        self.time, self.luma, self.low, self.high = time, luma, low, high
        self.change, self.black, self.clipped, self.saturation = change, black, clipped, saturation


def probe(path):
    """Width, height and frames per second of a video's first stream."""
    result = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                             "stream=width,height,r_frame_rate", "-of", "csv=p=0", path],
                            capture_output=True, text=True)
    fields = result.stdout.strip().split(",")
    if result.returncode != 0 or len(fields) != 3:
        sys.exit(f"luma_table: {path}: ffprobe cannot read its video stream: "
                 f"{result.stderr.strip() or 'no video stream'}")
    numerator, _, denominator = fields[2].partition("/")
    try:
        width, height, fps = int(fields[0]), int(fields[1]), int(numerator) / int(denominator or 1)
    except (ValueError, ZeroDivisionError):
        fps = width = height = 0
    if width <= 0 or height <= 0 or fps <= 0:
        sys.exit(f"luma_table: {path}: no usable size and frame rate ({result.stdout.strip()})")
    return width, height, fps


def decoded_frames(path):
    """(index, RGB bytes) of every frame of a video, and its size and rate."""
    width, height, fps = probe(path)
    size = width * height * 3
    # ffmpeg's messages go to a file, so that many of them cannot fill a pipe
    # nobody reads while the frames are read.
    messages = tempfile.TemporaryFile()
    decoder = subprocess.Popen(["ffmpeg", "-v", "error", "-i", path, "-an", "-fps_mode",
                                "passthrough", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                               stdout=subprocess.PIPE, stderr=messages)

    def frames():
        index = 0
        while True:
            data = decoder.stdout.read(size)
            if len(data) < size:
                break
            yield index, data
            index += 1
        failed = decoder.wait() != 0 or len(data) != 0
        messages.seek(0)
        error = messages.read().decode(errors="replace").strip()
        messages.close()
        if failed:
            sys.exit(f"luma_table: {path}: ffmpeg could not decode it: {error or 'cut short'}")
    return frames(), width * height, fps


def mean_grey(data, pixels):
    return (299 * sum(data[0::3]) + 587 * sum(data[1::3]) + 114 * sum(data[2::3])) / 1000 / pixels


def pair_spread(a, b):
    """Sum of |a - b| over the pixels. Half of it over the three channel pairs is the sum of
    max(R, G, B) - min(R, G, B), and far quicker to take in Python."""
    return sum(map(abs, map(sub, a, b)))


def read_frames(path):
    """Every frame's figures, with its time from the video's frame rate."""
    stream, pixels, fps = decoded_frames(path)
    frames, previous = [], None
    for index, data in stream:
        red, green, blue = data[0::3], data[1::3], data[2::3]
        grey = list(map(add, map(add, map(RED.__getitem__, red), map(GREEN.__getitem__, green)),
                        map(BLUE.__getitem__, blue)))
        counts = collections.Counter(map(floordiv, grey, repeat(1000)))
        low = high = None
        below = 0
        for value in range(256):
            below += counts[value]
            if low is None and below > pixels // 10:
                low = value
            if high is None and below > pixels * 9 // 10:
                high = value
        change = (sum(map(abs, map(sub, grey, previous))) / 1000 / pixels
                  if previous else 0.0)
        frames.append(Frame(
            index / fps, sum(grey) / 1000 / pixels, low, high, change,
            sum(counts[v] for v in range(NEAR_BLACK)) / pixels,
            sum(counts[v] for v in range(CLIPPED, 256)) / pixels,
            (pair_spread(red, green) + pair_spread(green, blue) + pair_spread(blue, red))
            / 2 / pixels))
        previous = grey
    if not frames:
        sys.exit(f"luma_table: {path}: no frames")
    return frames


def read_pulse_lumas(videos):
    """(time, luma) of the frames of the given videos that fall in a pulse window."""
    lumas = []
    for start, path in videos:
        stream, pixels, fps = decoded_frames(path)
        for index, data in stream:
            time = start + index / fps
            if any(a - 1e-9 <= time < b - 1e-9 for a, b in PULSE_WINDOWS):
                lumas.append((time, mean_grey(data, pixels)))
    return lumas


def correlation(xs, ys):
    """Pearson's correlation, or None when either series is flat."""
    mx, my = mean(xs), mean(ys)
    sxy = sum((x - mx) * (y - my) for x, y in zip(xs, ys))
    sxx = sum((x - mx) ** 2 for x in xs)
    syy = sum((y - my) ** 2 for y in ys)
    return sxy / math.sqrt(sxx * syy) if sxx > 1e-12 and syy > 1e-12 else None


def kick_envelope(time):
    since = time - math.floor(time + 1e-9)
    return math.exp(-max(since, 0.0) / KICK_DECAY)


def section_loudness(wav, soundtrack, start, end):
    """The soundtrack's integrated loudness over start-end s as the tool measures it, or None."""
    with wave.open(wav, "rb") as source:
        rate = source.getframerate()
        first = min(round(start * rate), source.getnframes())
        source.setpos(first)
        samples = source.readframes(min(round(end * rate), source.getnframes()) - first)
        params = source.getparams()
    if not samples:
        return None
    with tempfile.TemporaryDirectory() as work:
        clip = os.path.join(work, "section.wav")
        with wave.open(clip, "wb") as out:
            out.setparams(params)
            out.writeframes(samples)
        result = subprocess.run([soundtrack, "loudness", clip], capture_output=True, text=True)
    found = re.search(r"integrated (-?[0-9.]+|-inf) LUFS", result.stdout)
    if not found:
        sys.exit(f"luma_table: {soundtrack} loudness gave no integrated loudness for {start}-{end}"
                 f" s of {wav}: {result.stderr.strip() or result.stdout.strip()[:200]}")
    return float(found.group(1))


def in_dip(time):
    return any(start <= time < end for start, end in DIPS)


def in_flash(time):
    return any(start <= time < start + 1 / rate for start, rate in FLASHES)


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


def verdict(met):
    return "met" if met else "NOT MET"


def print_table(frames, span, title, out):
    print(title, file=out)
    print("     from      luma  darkest  contrast  change  black %  clip %    sat", file=out)
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
                  f"  {100 * max(f.clipped for f in group):6.2f}"
                  f"  {mean([f.saturation for f in group]):5.1f}", file=out)
        start += span


def measure_sections(frames, loudness):
    """Per section outside the flashes: luma, near-black share, change, saturation, LUFS.
    The change counts only frames whose frame before is outside a flash too."""
    figures = {}
    for i, (name, start, end) in enumerate(SECTIONS):
        lit = [(k, f) for k, f in enumerate(frames)
               if start <= f.time < end and not in_flash(f.time)]
        if not lit:
            continue
        steps = [f.change for k, f in lit if k > 0 and not in_flash(frames[k - 1].time)]
        figures[name] = (mean([f.luma for _, f in lit]), mean([f.black for _, f in lit]),
                         mean(steps) if steps else 0.0, mean([f.saturation for _, f in lit]),
                         loudness[i] if loudness else None)
    return figures


def print_sections(figures, out):
    print("Sections, outside the white flashes:", file=out)
    print("  section          from-to s    luma  near-black %  change    sat   LUFS", file=out)
    for name, start, end in SECTIONS:
        if name in figures:
            luma, black, change, saturation, lufs = figures[name]
            lufs = "     -" if lufs is None else f"{lufs:6.1f}"
            print(f"  {name:14s} {start:4d}-{end:<4d}   {luma:6.1f}  {100 * black:12.1f}"
                  f"  {change:6.1f}  {saturation:5.1f}  {lufs}", file=out)


def measure_pulse(lumas):
    """Per pulse window: frames, lowest and highest luma, correlation (or None)."""
    results = []
    for a, b in PULSE_WINDOWS:
        window = [(t, luma) for t, luma in lumas if a - 1e-9 <= t < b - 1e-9]
        if len(window) < 2:
            results.append((a, b, len(window), None, None, None))
            continue
        values = [luma for _, luma in window]
        results.append((a, b, len(window), min(values), max(values),
                        correlation(values, [kick_envelope(t) for t, _ in window])))
    return results


def print_pulse(pulse, out):
    print(f"Beat pulse: correlation of frame luma with a kick envelope, exp(-(t - whole second) / "
          f"{KICK_DECAY:g} s):", file=out)
    for a, b, count, low, high, r in pulse:
        if count < 2:
            print(f"  {f'{a}-{b} s':9s}  no frames captured", file=out)
        else:
            figure = "flat picture" if r is None else f"{r:5.2f}"
            print(f"  {f'{a}-{b} s':9s}  {count:3d} frames  luma {low:5.1f} to {high:5.1f}  "
                  f"correlation {figure}", file=out)


def mean_over(frames, start, end, key):
    values = [key(f) for f in frames if start <= f.time < end]
    return mean(values) if values else None


def print_goals(frames, step, figures, pulse, out, describe):
    print("Goals:", file=out)
    long_dark = [r for r in stretches(
        frames, lambda i, f: f.luma < LONGEST_DARK_LUMA and not in_dip(f.time))
        if (r[1] - r[0] + 1) * step > LONGEST_DARK + 1e-9]
    print(f"  no stretch longer than {LONGEST_DARK:g} s below luma {LONGEST_DARK_LUMA:g} outside "
          f"the dips: {verdict(not long_dark)}"
          + "".join(f"\n  {describe(r)}" for r in long_dark), file=out)

    per_window = round(TUNNEL_WINDOW / step)
    windows = []
    for i, frame in enumerate(frames):
        if frame.time < TUNNEL[0] - 1e-9 or frame.time + TUNNEL_WINDOW > TUNNEL[1] + 1e-9:
            continue
        group = frames[i:i + per_window]
        if len(group) == per_window:
            windows.append((frame.time, mean([f.luma for f in group])))
    if windows:
        low = [w for w in windows if w[1] < TUNNEL_MIN_LUMA]
        lowest = min(windows, key=lambda w: w[1])
        print(f"  every {TUNNEL_WINDOW:g} s window of {TUNNEL[0]:g}-{TUNNEL[1]:g} s at mean luma "
              f">= {TUNNEL_MIN_LUMA:g}: {verdict(not low)}; lowest {lowest[1]:.1f} from "
              f"{lowest[0]:g} s; {len(low)} of {len(windows)} windows (one per frame) below",
              file=out)
        for first, last in stretches(windows, lambda i, w: w[1] < TUNNEL_MIN_LUMA):
            print(f"    windows starting {windows[first][0]:7.2f} - {windows[last][0]:7.2f} s, "
                  f"lowest {min(w[1] for w in windows[first:last + 1]):.1f}", file=out)
    else:
        print(f"  tunnel windows: the capture does not cover {TUNNEL[0]:g}-{TUNNEL[1]:g} s",
              file=out)

    seconds = {}
    for f in frames:
        second = int(f.time + 1e-9)
        if VOID_SPAN[0] <= second < VOID_SPAN[1] and not (
                VOID_EXEMPT[0] <= second < VOID_EXEMPT[1]):
            seconds.setdefault(second, []).append(f.black)
    void = [(s, mean(shares)) for s, shares in sorted(seconds.items())]
    if void:
        over = [v for v in void if v[1] > MOST_NEAR_BLACK]
        worst = max(void, key=lambda v: v[1])
        print(f"  no second of {VOID_SPAN[0]:g}-{VOID_SPAN[1]:g} s (outside {VOID_EXEMPT[0]:g}-"
              f"{VOID_EXEMPT[1]:g} s) over {100 * MOST_NEAR_BLACK:g} % near-black: "
              f"{verdict(not over)}; {len(over)} of {len(void)} seconds over, most "
              f"{100 * worst[1]:.0f} % at {worst[0]} s", file=out)

    lit = [f for f in frames if not in_flash(f.time) and not in_dip(f.time)]
    if lit:
        clipped = [f for f in lit if f.clipped > MOST_CLIPPED]
        worst = max(lit, key=lambda f: f.clipped)
        print(f"  at most {100 * MOST_CLIPPED:g} % of a frame clipped outside the flashes and the "
              f"dips: {verdict(not clipped)}; {len(clipped)} frames over, most "
              f"{100 * worst.clipped:.2f} % at {worst.time:g} s", file=out)

    def section_goal(name, text, index, met, shown):
        if name not in figures:
            print(f"  {name} {text}: NOT MET; the capture does not cover it", file=out)
        else:
            value = figures[name][index]
            print(f"  {name} {text}: {verdict(met(value))} ({shown(value)})", file=out)

    percent = lambda v: f"{100 * v:.1f} %"
    section_goal(CLIMAX, f"mean saturation >= {CLIMAX_MIN_SATURATION:g}", 3,
                 lambda v: v >= CLIMAX_MIN_SATURATION, lambda v: f"{v:.1f}")
    section_goal(CLIMAX, f"mean luma >= {CLIMAX_MIN_LUMA:g}", 0,
                 lambda v: v >= CLIMAX_MIN_LUMA, lambda v: f"{v:.1f}")
    section_goal(CLIMAX, f"near-black <= {100 * CLIMAX_MOST_NEAR_BLACK:g} %", 1,
                 lambda v: v <= CLIMAX_MOST_NEAR_BLACK, percent)
    for name, most in DROPS_MOST_NEAR_BLACK:
        section_goal(name, f"near-black <= {100 * most:g} %", 1, lambda v: v <= most, percent)

    for a, b, count, _, _, r in pulse:
        figure = ("no frames" if count < 2 else "flat picture" if r is None else f"{r:.2f}")
        print(f"  beat-pulse correlation at {a}-{b} s >= {MIN_PULSE:g}: "
              f"{verdict(r is not None and r >= MIN_PULSE)} ({figure})", file=out)

    before = mean_over(frames, KICK_ENTRY - 1, KICK_ENTRY, lambda f: f.change)
    after = mean_over(frames, KICK_ENTRY, KICK_ENTRY + 1, lambda f: f.change)
    if before is None or after is None:
        print(f"  change ratio at {KICK_ENTRY} s: NOT MET; the capture does not cover it", file=out)
    else:
        ratio = after / before if before > 0 else (math.inf if after > 0 else 0.0)
        print(f"  change ratio at {KICK_ENTRY} s (second after over second before) >= "
              f"{MIN_ENTRY_CHANGE_RATIO:g}: {verdict(ratio >= MIN_ENTRY_CHANGE_RATIO)} "
              f"({ratio:.2f}: {after:.1f} against {before:.1f})", file=out)

    before = mean_over(frames, BASS_DROP - 4, BASS_DROP, lambda f: f.luma)
    after = mean_over(frames, BASS_DROP, BASS_DROP + 4, lambda f: f.luma)
    if before is None or after is None:
        print(f"  {BASS_DROP}-{BASS_DROP + 4} s as bright as {BASS_DROP - 4}-{BASS_DROP} s: NOT "
              f"MET; the capture does not cover it", file=out)
    else:
        print(f"  {BASS_DROP}-{BASS_DROP + 4} s at least as bright as {BASS_DROP - 4}-{BASS_DROP} "
              f"s: {verdict(after >= before)} (luma {after:.1f} against {before:.1f})", file=out)


def report(frames, pulse_lumas, loudness, dark, still, out):
    """Prints the tables, the sections, the beat pulse, the flagged stretches and the goals."""
    step = frames[1].time - frames[0].time if len(frames) > 1 else 1.0
    print(f"{len(frames)} frames, {1 / step:g} per second, {frames[0].time:g} s to "
          f"{frames[-1].time + step:g} s. Luma: mean grey 0.299 R + 0.587 G + 0.114 B of the "
          f"decoded RGB, 0-255; contrast: 90th minus 10th percentile of grey; change: mean |grey "
          f"difference| from the frame before; black: grey below {NEAR_BLACK}; clip: grey "
          f"{CLIPPED} or more; sat: mean max(R, G, B) - min(R, G, B).", file=out)
    print_table(frames, 1.0, "Per second:", out)
    print_table(frames, 4.0, "Per 4 seconds:", out)
    figures = measure_sections(frames, loudness)
    print_sections(figures, out)
    pulse = measure_pulse(pulse_lumas)
    print_pulse(pulse, out)

    def describe(run):
        first, last = run
        start, end = frames[first].time, frames[last].time + step
        return (f"  {start:7.2f} - {end:7.2f} s  ({end - start:5.2f} s)  mean luma "
                f"{mean([f.luma for f in frames[first:last + 1]]):.1f}")

    dips = ", ".join(f"{a:g}-{b:g} s" for a, b in DIPS)
    dark_runs = [r for r in stretches(frames, lambda i, f: f.luma < dark and not in_dip(f.time))
                 if (r[1] - r[0] + 1) * step > 0.5 + 1e-9]
    print(f"Dark stretches: mean luma below {dark:g} for more than 0.5 s, outside the dips "
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

    print_goals(frames, step, figures, pulse, out, describe)


def pulse_video(text):
    start, _, path = text.partition(":")
    try:
        return float(start), path
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text}: not START:VIDEO")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("video", nargs="?", help="a capture of the show that starts at 0 s")
    parser.add_argument("--pulse", type=pulse_video, action="append", default=[],
                        metavar="START:VIDEO", help="a capture starting at START s for the "
                        "beat-pulse windows (repeatable)")
    parser.add_argument("--pulse-windows", action="store_true",
                        help="print the beat-pulse windows, one 'from to' line each, and exit")
    parser.add_argument("--music", help="the soundtrack as a WAV file, for the sections' loudness")
    parser.add_argument("--soundtrack", help="the soundtrack tool that measures the loudness")
    parser.add_argument("--dark", type=float, default=LONGEST_DARK_LUMA,
                        help=f"luma below which a frame counts as dark (default "
                        f"{LONGEST_DARK_LUMA:g})")
    parser.add_argument("--still", type=float, default=1.0,
                        help="change below which a frame counts as still (default 1)")
    args = parser.parse_args()
    if args.pulse_windows:
        for a, b in PULSE_WINDOWS:
            print(a, b)
        return
    if not args.video:
        parser.error("a VIDEO is needed")
    if bool(args.music) != bool(args.soundtrack):
        parser.error("--music and --soundtrack go together")
    frames = read_frames(args.video)
    loudness = ([section_loudness(args.music, args.soundtrack, start, end)
                 for _, start, end in SECTIONS] if args.music else None)
    report(frames, read_pulse_lumas(args.pulse), loudness, args.dark, args.still, sys.stdout)


if __name__ == "__main__":
    main()
