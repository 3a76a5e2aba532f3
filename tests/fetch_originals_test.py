#!/usr/bin/python3
"""Short test of tools/fetch_originals.py against the private archive host of
tests/download_tests.sh (run inside its namespace; DRIFTPANE_DOWNLOAD_TEST_DIR names the
server's folder). Each case works on a scratch copy of the archive's catalog files, never
on the source tree."""

import hashlib
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = pathlib.Path(__file__).resolve().parent.parent
TOOL = SOURCE / "tools" / "fetch_originals.py"
SERVER = pathlib.Path(os.environ.get("DRIFTPANE_DOWNLOAD_TEST_DIR", "/nonexistent"))
ROWS = (0, 18, 19, 43, 70)


def snapshot(folder):
    """Every file and folder under `folder` with the digest of each file."""
    state = {}
    for path in sorted(folder.rglob("*")):
        key = str(path.relative_to(folder))
        state[key] = hashlib.sha256(path.read_bytes()).hexdigest() if path.is_file() else "dir"
    return state


@unittest.skipUnless((SERVER / "ready").exists(), "needs the private archive host")
class FetchOriginals(unittest.TestCase):
    def setUp(self):
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="fetch-originals-"))
        archive = self.root / "archive"
        archive.mkdir()
        for name in ("catalog.csv", "archive_host.h"):
            shutil.copy(SOURCE / "archive" / name, archive / name)
        # The photos already in place are placeholders; the server serves the real files,
        # whose digests stand in for the published ones here.
        lines = []
        for line in (SOURCE / "archive" / "catalog.csv").read_text().splitlines()[1:]:
            row, _, _, folder, file = line.split(",")
            placeholder = archive / "photos" / folder / file
            placeholder.parent.mkdir(parents=True, exist_ok=True)
            placeholder.write_bytes(b"old " + file.encode())
            if int(row) in ROWS:
                served = SOURCE / "archive" / "photos" / folder / file
                digest = hashlib.sha256(served.read_bytes()).hexdigest()
                lines.append("%s %s %s" % (row, digest, file))
        self.published = lines
        self.write_published(lines)
        (SERVER / "mode").write_text("")
        (SERVER / "requests.log").write_text("")

    def tearDown(self):
        shutil.rmtree(self.root)

    def write_published(self, lines):
        (self.root / "archive" / "published-digests.txt").write_text(
            "# test\n" + "\n".join(lines) + "\n")

    def run_tool(self, *args):
        done = subprocess.run([sys.executable, str(TOOL), "--root", str(self.root), *args],
                              capture_output=True, text=True, timeout=600)
        self.assertNotIn("Traceback", done.stderr)
        return done

    def test_refusals_change_nothing(self):
        first = self.published[0].split()
        cases = [
            ("negative row", self.published[:4] + ["-1 %s %s" % (first[1], first[2])], ""),
            ("unknown row", self.published[:4] + ["71 %s %s" % (first[1], first[2])], ""),
            ("four rows", self.published[:4], ""),
            ("a row twice", self.published + [self.published[0]], ""),
            ("six rows", self.published + ["1 %s aralsea_tmo_2001227_lrg.jpg" % first[1]], ""),
            ("malformed Content-Length", self.published, "badlength aralsea_tmo_2003"),
            ("redirect", self.published, "302 columbia"),
            ("one byte changed", self.published, "flip aralsea_tmo_2018233"),
        ]
        for name, published, rules in cases:
            with self.subTest(name):
                self.write_published(published)
                (SERVER / "mode").write_text(rules)
                before = snapshot(self.root)
                done = self.run_tool()
                self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
                self.assertIn("fetch_originals:", done.stderr)
                self.assertEqual(snapshot(self.root), before)
        self.assertNotIn("redirected", (SERVER / "requests.log").read_text())

    def test_dry_run_changes_nothing_on_disk(self):
        # An interrupted swap left photos.previous beside the photos: only a real run mends.
        previous = self.root / "archive" / "photos.previous"
        shutil.copytree(self.root / "archive" / "photos", previous)
        before = snapshot(self.root)
        done = self.run_tool("--dry-run")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("0 of 5 published digests match", done.stdout)
        self.assertEqual(snapshot(self.root), before)
        self.assertEqual((SERVER / "requests.log").read_text(), "", "no network")

    @unittest.skipUnless(os.environ.get("DRIFTPANE_LONG_TESTS"), "waits out the 60 s deadline")
    def test_a_trickling_photo_is_refused_after_the_deadline(self):
        (SERVER / "mode").write_text("trickle aralsea_tmo_2001227")
        before = snapshot(self.root)
        done = self.run_tool()
        self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
        self.assertIn("took over 60 seconds", done.stderr)
        self.assertEqual(snapshot(self.root), before)

    def test_download_replaces_the_photos(self):
        done = self.run_tool()
        self.assertEqual(done.returncode, 0, done.stderr)
        photos = self.root / "archive" / "photos"
        self.assertEqual(snapshot(photos), snapshot(SOURCE / "archive" / "photos"))
        self.assertFalse((self.root / "archive" / "photos.previous").exists())
        self.assertEqual((SERVER / "requests.log").read_text().count("GET "), 71)


if __name__ == "__main__":
    unittest.main(verbosity=2)
