#!/usr/bin/python3
"""Builds the release a second time, from a copy of the source tree in another folder with a
build folder of another name, minutes after the first build, and requires byte-identical
Driftpane.exe, zip, installer, SHA256SUMS and package-manager manifests.

Usage: reproducible_test.py --exe build/win/Driftpane.exe --work DIR
"""

import argparse
import os
import pathlib
import re
import shutil
import subprocess
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
VERSION = re.search(r"project\(Driftpane\s+VERSION\s+(\d+\.\d+\.\d+)",
                    (ROOT / "CMakeLists.txt").read_text()).group(1)


def not_source(folder, names):
    """Build output and version control stay behind; everything else is the source."""
    if pathlib.Path(folder) == ROOT:
        return [n for n in names if n in (".git", "dist") or n.startswith("build")]
    return [n for n in names if n == "__pycache__"]


def commit_time():
    value = os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
        ["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
        check=True, capture_output=True, text=True).stdout.strip()
    return value


def release_files(dist):
    return sorted(p.relative_to(dist).as_posix() for p in dist.rglob("*") if p.is_file())


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", type=pathlib.Path, required=True)
    parser.add_argument("--work", type=pathlib.Path, required=True)
    args = parser.parse_args()
    work = args.work.resolve()
    shutil.rmtree(work, ignore_errors=True)
    # The copy has no git history, so both builds take the commit's time from here.
    # Unsigned: a signature carries its own time, so only the unsigned release repeats.
    env = {k: v for k, v in os.environ.items() if not k.startswith("DRIFTPANE_")}
    env.update(SOURCE_DATE_EPOCH=commit_time(),
               DRIFTPANE_PROJECT_URL="https://forge.example.org/driftpane-team/driftpane",
               DRIFTPANE_RELEASE_URL="https://forge.example.org/driftpane-team/driftpane/"
                                     "releases/download/v%s/" % VERSION)

    first = work / "first"
    subprocess.run([str(ROOT / "tools" / "release"), "--exe", str(args.exe.resolve()),
                    "--dist", str(first)], check=True, env=env)
    copy = work / "elsewhere" / "driftpane-src"
    shutil.copytree(ROOT, copy, ignore=not_source, symlinks=True)
    second = work / "elsewhere" / "dist"
    subprocess.run([str(copy / "tools" / "release"), "--build", str(copy / "out-of-tree"),
                    "--dist", str(second)], check=True, env=env)

    failures = 0
    names = release_files(first)
    if names != release_files(second) or not {
            "SHA256SUMS", "winget/Driftpane.Driftpane.yaml", "scoop/driftpane.json"} <= set(names):
        print("FAIL  the two builds made different files: %s / %s"
              % (names, release_files(second)))
        failures += 1
    exe_pair = [args.exe.read_bytes(), (copy / "out-of-tree" / "Driftpane.exe").read_bytes()]
    for name, (a, b) in [("Driftpane.exe", exe_pair)] + [
            (name, ((first / name).read_bytes(), (second / name).read_bytes()))
            for name in names]:
        same = a == b
        print(("ok    " if same else "FAIL  ") + "%s identical in both builds" % name)
        if not same:
            failures += 1
            if name.endswith(".zip"):
                with zipfile.ZipFile(first / name) as x, zipfile.ZipFile(second / name) as y:
                    print("      entries: %s / %s" % (
                        [(i.filename, i.date_time, i.CRC) for i in x.infolist()],
                        [(i.filename, i.date_time, i.CRC) for i in y.infolist()]))
    if failures:
        print("kept for inspection: %s" % work)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
