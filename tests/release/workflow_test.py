#!/usr/bin/python3
"""Checks the forge's workflows in .github/workflows as far as it can be done without the
forge: each validates against the published workflow schema (action-validator, installed
from npm into the work folder at a fixed version), every action is pinned by a commit, and
every run step calls one script of the repository that the tests or CI here run, so that
nothing the forge runs goes untried here.

Usage: workflow_test.py --work DIR
"""

import argparse
import pathlib
import re
import shlex
import subprocess
import sys

import yaml

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
VALIDATOR = ("@action-validator/cli@0.6.0", "@action-validator/core@0.6.0")
PINNED = re.compile(r"[\w.-]+/[\w./-]+@[0-9a-f]{40}")
# Interpreters a run step may name before the script.
INTERPRETERS = ("sh", "bash", "python3")
# CI's own entry here; everything else must be named where the tests run it.
CI_ENTRY = ".ci/run"


def install_validator(work):
    tool = work / "node_modules" / ".bin" / "action-validator"
    if not tool.exists():
        subprocess.run(["npm", "install", "--no-audit", "--no-fund", "--prefix", str(work)]
                       + list(VALIDATOR), check=True, stdout=subprocess.DEVNULL)
    return tool


def test_sources():
    """The texts of what the tests and CI run: the test registrations and their scripts."""
    paths = [ROOT / "cmake" / "native.cmake", ROOT / "tools" / "test-all", ROOT / CI_ENTRY]
    paths += [p for p in (ROOT / "tests").rglob("*") if p.is_file()
              and p.suffix in (".py", ".sh", "")]
    return [p.read_text(encoding="utf-8", errors="replace") for p in paths]


def step_problems(where, step, texts):
    if "uses" in step:
        if not PINNED.fullmatch(step["uses"]):
            return ["%s: %s is not pinned by a commit" % (where, step["uses"])]
        return []
    words = shlex.split(step.get("run", ""))
    if words and words[0] in INTERPRETERS:
        words = words[1:]
    script = words[0] if words else ""
    if "\n" in step.get("run", "").strip() or not (ROOT / script).is_file():
        return ["%s: run %r is not one call of a script of the repository"
                % (where, step.get("run"))]
    if script != CI_ENTRY and not any(script in text for text in texts):
        return ["%s: %s is run by no test here" % (where, script)]
    return []


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--work", type=pathlib.Path, required=True)
    args = parser.parse_args()
    work = args.work.resolve()
    work.mkdir(parents=True, exist_ok=True)
    validator = install_validator(work)
    texts = test_sources()
    workflows = sorted((ROOT / ".github" / "workflows").glob("*.yml"))
    failures = 0 if workflows else 1
    for path in workflows:
        problems = []
        checked = subprocess.run([str(validator), str(path)], cwd=ROOT, capture_output=True,
                                 text=True)
        if checked.returncode != 0:
            problems.append("not valid by the schema: %s" % (checked.stdout + checked.stderr))
        steps = 0
        for job_name, job in yaml.safe_load(path.read_text(encoding="utf-8"))["jobs"].items():
            for index, step in enumerate(job.get("steps", [])):
                steps += 1
                problems += step_problems("%s step %d" % (job_name, index + 1), step, texts)
        problems += [] if steps else ["no steps"]
        print(("ok    " if not problems else "FAIL  ") + path.name)
        for problem in problems:
            print("      " + problem)
        failures += len(problems)
    # The check itself: an unpinned action, an inline command and a script no test runs.
    texts_without_windows = [t.replace(".ci/windows", "") for t in texts]
    for step, texts_seen in (({"uses": "actions/checkout@v4"}, texts),
                             ({"run": "cmake --build build"}, texts),
                             ({"run": "sh .ci/windows build-msvc"}, texts_without_windows)):
        if not step_problems("sample", step, texts_seen):
            print("FAIL  the check lets %s through" % step)
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
