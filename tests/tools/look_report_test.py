#!/usr/bin/env python3
"""The look report on a made-up 205 s capture at 4 frames per second and a
made-up soundtrack.

The picture is a moving grating of mean Y about 60 except: black from 40 to
41.5 s (a dark stretch, also still), black from 50 to 50.5 s (too short to
flag), a still grey from 100 to 103 s, a dim moving grating of Y about 24 from
60 to 68 s (not dark, but it pulls the tunnel's 4 s windows below 28), white
from 150 to 150.5 s (clipped) and from 156 to 156.5 s (clipped, but in a
flash), and black in the intended dip from 131.5 to 133 s (not flagged). The
grating's troughs put about a sixth of its pixels below Y 25 (near-black).

The soundtrack is a 440 Hz sine at an eighth of full scale on both channels
(RMS -21.07 dBFS), a tenth of that (20 dB lower) up to 12 s.

    look_report_test.py tools/look-report/look-report BUILD
"""
import pathlib
import subprocess
import sys
import tempfile
import unittest

LUMA = ("if(between(T,40,41.49)+between(T,50,50.49)+between(T,131.5,132.99),16,"
        "if(between(T,100,102.99),90,if(between(T,150,150.49)+between(T,156,156.49),235,"
        "if(between(T,60,67.99),24+3*sin(X*PI/8+T*3),60+40*sin(X*PI/8+T*3)))))")


class LookReport(unittest.TestCase):
    def test_flags_the_known_stretches_and_goals(self):
        with tempfile.TemporaryDirectory() as work:
            video = pathlib.Path(work) / "made-up.mp4"
            source = ("color=c=black:s=64x36:r=4:d=205,format=yuv420p,"
                      f"geq=lum='{LUMA.replace(',', chr(92) + ',')}':cb=128:cr=128")
            subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-f", "lavfi",
                            "-i", source, "-c:v", "libx264", "-crf", "16", str(video)],
                           check=True)
            music = pathlib.Path(work) / "made-up.wav"
            subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-f", "lavfi",
                            "-i", "sine=frequency=440:sample_rate=44100:duration=205",
                            "-af", "volume='if(lt(t,12),0.1,1)':eval=frame,pan=stereo|c0=c0|c1=c0",
                            "-c:a", "pcm_s16le", str(music)], check=True)
            out = pathlib.Path(work) / "report"
            text = subprocess.run([sys.argv[1], "-b", sys.argv[2], "-v", str(video), "-m",
                                   str(music), "-o", str(out)], check=True,
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
        self.assertIn("40.00 -   41.50 s  ( 1.50 s)  mean Y 16", dark[1])
        still = section("Still stretches")
        self.assertEqual([line.split("(")[0].strip() for line in still[1:]],
                         ["40.00 -   41.50 s", "100.00 -  103.00 s"])
        goals = section("Goals")
        self.assertIn("below Y 22 outside the dips: NOT MET", goals[1])
        self.assertIn("40.00 -   41.50 s", goals[2])
        self.assertIn("at mean Y >= 28: NOT MET", goals[3])
        # Windows that hold at least 15 of their 16 frames in the dim stretch.
        self.assertIn("windows starting   59.75 -   64.25 s", goals[4])
        self.assertIn("over 60 % near-black: NOT MET", goals[5])
        self.assertIn("most 100 % at 40 s", goals[5])
        self.assertIn("clipped outside the flashes and the dips: NOT MET; 2 frames over, most "
                      "100.00 % at 150 s", goals[6])
        self.assertEqual(len(goals), 7, goals)
        per_second = section("Per second")
        self.assertEqual(len(per_second), 2 + 205)
        second, unit, luma, _, _, _, black, clipped = per_second[2 + 45].split()
        self.assertEqual((second, unit), ("45", "s"))
        self.assertAlmostEqual(float(luma), 60.0, delta=1.0)
        self.assertAlmostEqual(float(black), 100 / 6, delta=4.0)
        self.assertEqual(float(clipped), 0.0)
        self.assertEqual(per_second[2 + 40].split()[6:], ["100.0", "0.00"])

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
        self.assertEqual(len(section("Per section")), 2 + 12)
        goals = section("Sound goals")
        self.assertIn("integrated loudness -14 to -10 LUFS: NOT MET", goals[1])
        self.assertIn("loudness range at least 5 LU: NOT MET", goals[3])
        self.assertIn("intro and calm at least 6 dB below the second and third drops in RMS: "
                      "NOT MET", goals[4])

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
