#!/usr/bin/python3
"""Starts the Orca screen reader as its own launcher does, but safe beside other Orcas on
the machine: the launcher would refuse to start while another runs (and with --replace
kill every Orca of the user), and its debug file, the record of what it speaks, is line
buffered so that a test can read it while Orca runs.

Usage: run_orca.py --debug-file=FILE (the launcher's own options).
"""
import builtins
import sys

LAUNCHER = "/usr/bin/orca"
launcher = {"__name__": "orca_launcher", "__file__": LAUNCHER}
with open(LAUNCHER) as source:
    exec(compile(source.read(), LAUNCHER, "exec"), launcher)
launcher["otherOrcas"] = lambda: []
launcher["setProcessName"] = lambda name: False
launcher["open"] = lambda name, mode="r", *rest, **options: builtins.open(name, mode, 1, *rest, **options)
sys.argv = [LAUNCHER] + sys.argv[1:]
sys.exit(launcher["main"]())
