#!/usr/bin/env python3
"""Makes the example coast-down runs of one vehicle and the files the program makes from them.

Each run is the solution of the equation of motion  M_dyn * dv/dt = -(F0 + k * v^2)  sampled
at 10 Hz from about 120 km/h down, with measurement noise. The velocity text files come in the
layouts the import reads; the data files (.ctd) and the series file (.cts) are then written by
the program's own writers through tw_import_tool.

    python3 examples/make_examples.py <build>/bin/tw_import_tool [output folder]
"""
import math
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))  # the output folder, examples/ by default
MASS = 1500.0            # kg
DYNAMIC_MASS = 1545.0    # kg, rotating parts included
AREA = 2.2               # m^2
RATE = 0.1               # s

# Alternate driving directions: a little head or tail wind changes the drag share.
RUNS = [
    # name, v0 km/h, F0 N, k N/(m/s)^2, noise sigma km/h, seed, layout
    ("run1", 121.0, 148.0, 0.405, 0.08, 11, "kmh_semicolon_comma"),
    ("run2", 119.5, 152.0, 0.392, 0.08, 12, "kmh_tab_point"),
    ("run3", 122.5, 150.5, 0.401, 0.08, 13, "ms_plain"),
]
END_KMH = 20.0


def velocities(v0_kmh, f0, k, sigma, seed):
    """Closed-form solution of the equation of motion, sampled until END_KMH, with noise."""
    rnd = random.Random(seed)
    a = math.sqrt(k / f0)
    b = math.sqrt(f0 * k) / DYNAMIC_MASS
    phi0 = math.atan(v0_kmh / 3.6 * a)
    out = []
    n = 0
    while True:
        v = math.tan(phi0 - b * n * RATE) / a * 3.6
        if v < END_KMH:
            break
        out.append(v + rnd.gauss(0.0, sigma))
        n += 1
    return out


def write_text(name, layout, samples):
    lines = []
    if layout == "kmh_semicolon_comma":
        lines += ["Coast-down test A4 Avant, track Nord, run 1", "Logger GPS-10, 10 Hz", "t [s];v [km/h]"]
        lines += ["%s;%s" % (("%.1f" % (i * RATE)).replace(".", ","), ("%.2f" % v).replace(".", ","))
                  for i, v in enumerate(samples)]
        structure = dict(headerRows=3, timeColumn=1, separator=1, decimal=1, unit=1)
    elif layout == "kmh_tab_point":
        lines += ["time\tspeed_kmh"]
        lines += ["%.1f\t%.2f" % (i * RATE, v) for i, v in enumerate(samples)]
        structure = dict(headerRows=1, timeColumn=1, separator=3, decimal=0, unit=1)
    else:
        lines += ["v [m/s]"]
        lines += ["%.3f" % (v / 3.6) for v in samples]
        structure = dict(headerRows=1, timeColumn=0, separator=0, decimal=0, unit=0)
    with open(os.path.join(HERE, name + ".txt"), "w", newline="\r\n", encoding="cp1252") as f:
        f.write("\n".join(lines) + "\n")
    return structure


def main():
    global HERE
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    tool = sys.argv[1]
    if len(sys.argv) == 3:
        HERE = os.path.abspath(sys.argv[2])
        os.makedirs(HERE, exist_ok=True)
    ctds = []
    for i, (name, v0, f0, k, sigma, seed, layout) in enumerate(RUNS):
        structure = write_text(name, layout, velocities(v0, f0, k, sigma, seed))
        params = dict(project="A4 coast-down " + name, date="14.5.2026", time="%02d:%02d" % (9, 10 + 12 * i),
                      delta="0.1", pressure="1,012", temperature="17,5", mass="1500", area="2,2",
                      dynmass="1545", car="A4 Avant 2.0", tester="K. Weber", configuration="roof rails, no box",
                      weather="dry, wind 2 m/s from west", road="asphalt, dry")
        args = [tool, "ctd", os.path.join(HERE, name + ".txt"), os.path.join(HERE, name + ".ctd")]
        args += ["%s=%s" % kv for kv in list(structure.items()) + list(params.items())]
        subprocess.run(args, check=True)
        ctds.append(os.path.join(HERE, name + ".ctd"))
    subprocess.run([tool, "cts", os.path.join(HERE, "series.cts"),
                    "Track Nord, three runs in alternate directions\nA4 Avant 2.0, 14.5.2026"] + ctds, check=True)


if __name__ == "__main__":
    main()
