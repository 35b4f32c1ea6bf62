#!/usr/bin/env python3
"""The look report on a made-up 205 s capture at 4 frames per second, a
made-up 30 fps capture for the beat-pulse windows and a made-up soundtrack.
Both captures are lossless RGB, so the figures are known exactly.

The picture is a moving grey grating of mean 50 (2 or 3 of every 16 columns
below grey 10, near-black) except: black from 40 to 41.5 s (a dark stretch, also
still), black from 50 to 50.5 s (too short to flag), a still grey from 100 to
103 s, a dim grating of grey about 10 from 60 to 68 s (not dark, but it pulls
the tunnel's 4 s windows below 14), white from 150 to 150.5 s (clipped) and
from 156 to 156.5 s (clipped, but in a flash), black in the intended dip from
131.5 to 133 s (not flagged), five eighths black from 172 to 180 s and a
saturated red (200, 40, 40) through the climax, 180 to 196 s.

The pulse capture is grey 40, lit to 200 for the first tenth of every second
in 22-26 and 150-154 s (on the kick), for the tenth after each half second in
86-90 s (off the kick) and flat in 184-188 s.

The soundtrack is a 440 Hz sine at an eighth of full scale on both channels
(RMS -21.07 dBFS), a tenth of that (20 dB lower) up to 12 s.

    look_report_test.py tools/look-report/look-report BUILD
"""
import pathlib
import subprocess
import sys
import tempfile
import unittest

GRATING = "50+45*sin(X*PI/8+T*3)"
GREY = (f"if(between(T,40,41.49)+between(T,50,50.49)+between(T,131.5,132.99),0,"
        f"if(between(T,100,102.99),90,if(between(T,150,150.49)+between(T,156,156.49),255,"
        f"if(between(T,60,67.99),10+3*sin(X*PI/8+T*3),"
        f"if(between(T,172,179.99),if(lt(X,40),0,100),{GRATING})))))")
CLIMAX = "between(T,180,195.99)"
PULSE = ("40+160*(between(T,22,25.99)*lt(mod(T,1),0.099)+between(T,150,153.99)*lt(mod(T,1),0.099)"
         "+between(T,86,89.99)*between(mod(T,1),0.5,0.599))")


def make_video(path, size, rate, duration, red, green, blue):
    """A lossless RGB video from per-channel expressions of X, Y and T."""
    escape = lambda expression: expression.replace(",", chr(92) + ",")
    source = (f"color=c=black:s={size}:r={rate}:d={duration},format=gbrp,"
              f"geq=r='{escape(red)}':g='{escape(green)}':b='{escape(blue)}'")
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i", source,
                    "-c:v", "ffv1", "-pix_fmt", "bgr0", str(path)], check=True)


class LookReport(unittest.TestCase):
    def test_flags_the_known_stretches_and_goals(self):
        with tempfile.TemporaryDirectory() as work:
            video = pathlib.Path(work) / "made-up.mkv"
            make_video(video, "64x36", 4, 205, f"if({CLIMAX},200,{GREY})",
                       f"if({CLIMAX},40,{GREY})", f"if({CLIMAX},40,{GREY})")
            pulse = pathlib.Path(work) / "pulse.mkv"
            make_video(pulse, "32x18", 30, 188, PULSE, PULSE, PULSE)
            music = pathlib.Path(work) / "made-up.wav"
            subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-f", "lavfi",
                            "-i", "sine=frequency=440:sample_rate=44100:duration=205",
                            "-af", "volume='if(lt(t,12),0.1,1)':eval=frame,pan=stereo|c0=c0|c1=c0",
                            "-c:a", "pcm_s16le", str(music)], check=True)
            out = pathlib.Path(work) / "report"
            text = subprocess.run([sys.argv[1], "-b", sys.argv[2], "-v", str(video), "-p",
                                   str(pulse), "-m", str(music), "-o", str(out)], check=True,
                                  capture_output=True, text=True).stdout
            self.assertTrue((out / "contact-sheet.png").stat().st_size > 0)

        def section(title):
            lines = text.split("\n")
            start = next(i for i, line in enumerate(lines) if line.startswith(title))
            end = next((i for i in range(start + 1, len(lines))
                        if not lines[i].startswith("  ")), len(lines))
            return lines[start:end]

        self.assertIn("820 frames, 4 per second", text)
        dark = section("Dark stretches")
        self.assertEqual(len(dark), 2, dark)
        self.assertIn("40.00 -   41.50 s  ( 1.50 s)  mean luma 0.0", dark[1])
        still = section("Still stretches")
        self.assertEqual([line.split("(")[0].strip() for line in still[1:]],
                         ["40.00 -   41.50 s", "100.00 -  103.00 s", "172.00 -  180.00 s",
                          "180.00 -  196.00 s"])
        per_second = section("Per second")
        self.assertEqual(len(per_second), 2 + 205)
        second, unit, luma, _, _, _, black, clipped, saturation = per_second[2 + 45].split()
        self.assertEqual((second, unit), ("45", "s"))
        self.assertAlmostEqual(float(luma), 50.0, delta=1.0)
        self.assertTrue(12.5 <= float(black) <= 18.75, black)
        self.assertEqual((float(clipped), float(saturation)), (0.0, 0.0))
        self.assertEqual(per_second[2 + 40].split()[6:], ["100.0", "0.00", "0.0"])

        # The sections outside the flashes; their loudness is the soundtrack tool's.
        def row(name):
            line = next(line for line in section("Sections") if line.startswith(f"  {name} "))
            return [float(v) for v in line.split()[-5:]]
        climax, drop, intro = row("climax"), row("first drop"), row("intro")
        self.assertEqual(climax[:2] + climax[3:4], [87.8, 0.0, 160.0])
        self.assertTrue(12.5 <= drop[1] <= 18.75, drop)
        self.assertAlmostEqual(drop[4] - intro[4], 20.0, delta=0.2)
        # 58 frames outside the flashes at 148 and 156 s: 56 of the grating (mean 49.5) and
        # the 2 white ones at 150 s. The 2 white ones in the flash at 156 s would add 6.
        self.assertAlmostEqual(row("second drop")[0], (56 * 49.5 + 2 * 255) / 58, delta=0.3)
        self.assertEqual(len(section("Sections")), 2 + 9)

        pulse = section("Beat pulse")
        self.assertEqual([line.split()[0] for line in pulse[1:]],
                         ["22-26", "86-90", "150-154", "184-188"])
        self.assertTrue(all("120 frames" in line for line in pulse[1:]), pulse)
        self.assertGreater(float(pulse[1].split()[-1]), 0.5)
        self.assertLess(float(pulse[2].split()[-1]), 0.0)
        self.assertIn("flat picture", pulse[4])

        goals = section("Goals")
        self.assertIn("below luma 7 outside the dips: NOT MET", goals[1])
        self.assertIn("40.00 -   41.50 s", goals[2])
        self.assertIn("at mean luma >= 14: NOT MET", goals[3])
        # Windows that hold at least 15 of their 16 frames in the dim stretch.
        self.assertIn("windows starting   59.75 -   64.25 s", goals[4])
        self.assertIn("over 50 % near-black: NOT MET", goals[5])
        self.assertIn("most 100 % at 40 s", goals[5])
        self.assertIn("clipped outside the flashes and the dips: NOT MET; 2 frames over, most "
                      "100.00 % at 150 s", goals[6])
        verdicts = [line.split(": ")[1].split(" (")[0] for line in goals[7:]]
        self.assertEqual(verdicts, ["met", "met", "met", "met", "NOT MET", "met", "NOT MET",
                                    "met", "NOT MET", "NOT MET", "met"], goals[7:])
        self.assertIn("third drop B near-black <= 30 %: NOT MET (62.5 %)", goals[11])
        self.assertIn("(flat picture)", goals[15])
        self.assertIn("change ratio at 12 s", goals[16])
        after, before = (float(v) for v in goals[17].split("(luma ")[1].rstrip(")").split(
            " against "))
        self.assertAlmostEqual(after, 50.0, delta=1.0)
        self.assertAlmostEqual(before, 10.0, delta=1.0)

        # A line per section of the soundtrack: LUFS, RMS, four bands, 80-100 Hz, true peak.
        def sound(name):
            line = next(line for line in section("Per section") if f" {name} " in line)
            return [float(v) for v in line.split(name)[1].split()]
        intro, drop = sound("intro"), sound("first drop")
        self.assertAlmostEqual(drop[1], -21.07, delta=0.05)
        self.assertAlmostEqual(intro[1], -41.07, delta=0.05)
        self.assertAlmostEqual(drop[0] - intro[0], 20.0, delta=0.1)
        self.assertAlmostEqual(drop[3], -21.07, delta=0.1)  # all of it in 150-1000 Hz
        self.assertLess(drop[4], -60.0)
        self.assertAlmostEqual(drop[7], -18.06, delta=0.1)
        self.assertAlmostEqual(row("first drop")[4], drop[0], delta=0.1)
        self.assertEqual(len(section("Per section")), 2 + 12)
        goals = section("Sound goals")
        self.assertIn("integrated loudness -14 to -10 LUFS: NOT MET", goals[1])
        self.assertIn("loudness range at least 5 LU: NOT MET", goals[3])
        self.assertIn("intro and calm at least 6 dB below the second and third drops in RMS: "
                      "NOT MET", goals[4])

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
