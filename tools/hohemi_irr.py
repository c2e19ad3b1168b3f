#!/usr/bin/env python3
"""Runs the higher-order hemisphere examples/hohemi_irr3 (exact geometry,
four patches of 4 x 4 cubic B-spline panels, K a = 0.1 .. 6) once as given,
with the interior free surface, and once with IRR = 0, and tabulates added
mass, damping and exciting forces against the published values of the
floating hemisphere (Hulme, J. Fluid Mech. 121, 1982), in the layout of
tools/hemisphere_irr.py.

Run by hand from the top of the source tree after a build:
    python3 tools/hohemi_irr.py [build/zorva] > tools/hohemi_irr.txt
Each run works in a temporary folder.  The output is committed.
"""
import os
import sys

from hemisphere_irr import ROOT, run, table


def main():
    exe = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "zorva"))
    r0 = run("hohemi_irr3", exe, stem="hohemi", irr=0)
    r3 = run("hohemi_irr3", exe, stem="hohemi")
    print("Floating hemisphere, radius 1, higher order: exact geometry, 4 patches of 4 x 4 cubic panels")
    print("(quarter given), infinite depth.")
    table(r0, r3)


if __name__ == "__main__":
    main()
