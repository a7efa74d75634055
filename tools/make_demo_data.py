#!/usr/bin/env python3
"""Makes the demo data's pictures, sounds and music: every maker, in order.

Usage: make_demo_data.py [data folder] [--from SOURCE] [--quiet]   (default: data beside tools/)

With --from, the folder's "Data" is first replaced by a copy of SOURCE/Data,
file times kept and without the program's caches, so the makers remake only
what is older than they are. The tests start the game on such a copy, made
once per build.
"""

import os
import shutil
import subprocess
import sys

MAKERS = ["sequences", "tones", "overlays", "interface", "music", "editor"]


def main():
    args = sys.argv[1:]
    quiet = "--quiet" in args
    if quiet:
        args.remove("--quiet")
    source = None
    if "--from" in args:
        at = args.index("--from")
        source = args[at + 1]
        del args[at:at + 2]
    tools = os.path.dirname(os.path.abspath(__file__))
    folder = args[0] if args else os.path.join(tools, "..", "data")
    if source:
        target = os.path.join(folder, "Data")
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(os.path.join(source, "Data"), target, ignore=shutil.ignore_patterns("Cache"))
    for maker in MAKERS:
        subprocess.run([sys.executable, os.path.join(tools, "make_demo_%s.py" % maker), folder], check=True,
                       stdout=subprocess.DEVNULL if quiet else None)


if __name__ == "__main__":
    main()
