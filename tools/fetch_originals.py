#!/usr/bin/python3
"""Replaces the stand-in archive photos with the originals from the archive's HTTPS host.

Run on a machine with internet access. It downloads the 71 photos named by archive/catalog.csv
(HTTPS only, no redirects followed, at most 40 MiB each) into a staging folder, checks the five
digests published in archive/published-digests.txt, and only when all five match swaps the
staging folder in for archive/photos. Any failure leaves archive/photos as it was. The next
build hashes the new files into the catalog.

Usage:
  tools/fetch_originals.py             download, verify, replace
  tools/fetch_originals.py --dry-run   no network and no change on disk: list the URLs,
                                       report which photos are originals and which are
                                       stand-ins
  tools/fetch_originals.py --from DIR  take the photos from DIR/<folder>/<file> (e.g. copied
                                       from another machine) instead of the network
"""

import argparse
import csv
import hashlib
import http.client
import os
import pathlib
import re
import shutil
import ssl
import sys
import time
import urllib.error
import urllib.request

ROOT = pathlib.Path(__file__).resolve().parent.parent
MAX_PHOTO_BYTES = 40 * 1024 * 1024
# Like the program: each network wait is bounded, and the body as a whole gets 60 seconds.
TIMEOUT_SECONDS = 15
BODY_DEADLINE_SECONDS = 60
READ_CHUNK = 65536
# The rows whose digests the archive publishes; the list must name exactly these.
PUBLISHED_ROWS = (0, 18, 19, 43, 70)
USER_AGENT = "Driftpane/1.0 (archive maintenance)"
URL_PATH = "/content/dam/science/esd/eo/woc/images/"


class FetchError(Exception):
    pass


def read_catalog(root):
    with open(root / "archive" / "catalog.csv", newline="", encoding="utf-8") as f:
        rows = [dict(r, row=int(r["row"]), year=int(r["year"])) for r in csv.DictReader(f)]
    if [r["row"] for r in rows] != list(range(len(rows))):
        raise FetchError("catalog.csv: rows are not numbered 0, 1, 2, ... in order")
    return rows


def archive_host(root):
    """The host named once in archive/archive_host.h, which the program uses too."""
    text = (root / "archive" / "archive_host.h").read_text(encoding="utf-8")
    match = re.search(r'#define\s+DRIFTPANE_ARCHIVE_HOST\s+L"([^"]+)"', text)
    if not match:
        raise FetchError("archive_host.h: DRIFTPANE_ARCHIVE_HOST not found")
    return match.group(1)


def photo_url(host, row):
    return "https://" + host + URL_PATH + row["folder"] + "/" + row["file"]


def read_published(root, rows):
    """{row: digest} from archive/published-digests.txt, checked against the catalog: exactly
    the published rows, each once, each naming its catalog file."""
    published = {}
    path = root / "archive" / "published-digests.txt"
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        fields = line.split()
        if (len(fields) != 3 or not re.fullmatch(r"[0-9]+", fields[0])
                or not re.fullmatch(r"[0-9a-f]{64}", fields[1])):
            raise FetchError("%s:%d: expected 'row sha256 file'" % (path.name, number))
        row = int(fields[0])
        if row >= len(rows) or rows[row]["file"] != fields[2]:
            raise FetchError("%s:%d: row %d is not %s" % (path.name, number, row, fields[2]))
        if row in published:
            raise FetchError("%s:%d: row %d listed twice" % (path.name, number, row))
        published[row] = fields[1]
    if sorted(published) != list(PUBLISHED_ROWS):
        raise FetchError("%s must list exactly rows %s" %
                         (path.name, ", ".join(map(str, PUBLISHED_ROWS))))
    return published


def sha256_file(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


def mismatches(photos, rows, published):
    """Rows whose photo under the folder `photos` does not hash to its published digest."""
    bad = []
    for row, digest in sorted(published.items()):
        path = photos / rows[row]["folder"] / rows[row]["file"]
        if not path.is_file() or sha256_file(path) != digest:
            bad.append(row)
    return bad


class RefuseRedirects(urllib.request.HTTPRedirectHandler):
    """A redirect is an error: the photo must come from the catalog's own address."""

    def redirect_request(self, req, fp, code, msg, headers, newurl):
        raise FetchError("%s answered %d, a redirect to %s" % (req.full_url, code, newurl))


def content_length(response, url):
    """The announced length, or None; anything but plain digits is refused."""
    length = response.headers.get("Content-Length")
    if length is None:
        return None
    if not re.fullmatch(r"[0-9]+", length.strip()):
        raise FetchError("%s announced a malformed Content-Length %r" % (url, length))
    return int(length)


def make_opener():
    """One opener for all downloads: loading the system's CA list once, not per photo."""
    context = ssl.create_default_context()
    return urllib.request.build_opener(RefuseRedirects(),
                                       urllib.request.HTTPSHandler(context=context))


def download(url, target, opener):
    if not url.startswith("https://"):
        raise FetchError("not an HTTPS address: " + url)
    request = urllib.request.Request(url, headers={"User-Agent": USER_AGENT})
    try:
        with opener.open(request, timeout=TIMEOUT_SECONDS) as response:
            if response.status != 200:
                raise FetchError("%s answered %d" % (url, response.status))
            length = content_length(response, url)
            if length is not None and length > MAX_PHOTO_BYTES:
                raise FetchError("%s is %d bytes, over the limit" % (url, length))
            received = 0
            start = time.monotonic()
            with open(target, "wb") as out:
                while True:
                    # read1 returns what has arrived, so a trickle cannot hold one call open.
                    chunk = response.read1(READ_CHUNK)
                    if not chunk:
                        break
                    received += len(chunk)
                    if received > MAX_PHOTO_BYTES:
                        raise FetchError("%s is over %d bytes" % (url, MAX_PHOTO_BYTES))
                    out.write(chunk)
                    if time.monotonic() - start > BODY_DEADLINE_SECONDS:
                        raise FetchError("%s took over %d seconds" % (url, BODY_DEADLINE_SECONDS))
    except (urllib.error.URLError, http.client.HTTPException, OSError) as error:
        raise FetchError("%s: %s" % (url, error)) from error


def stage(rows, host, staging, source):
    """Fills `staging` with every catalog photo, from `source` or from the host."""
    opener = make_opener() if source is None else None
    for row in rows:
        target = staging / row["folder"] / row["file"]
        target.parent.mkdir(parents=True, exist_ok=True)
        if source is not None:
            origin = source / row["folder"] / row["file"]
            if origin.stat().st_size > MAX_PHOTO_BYTES:
                raise FetchError("%s is over %d bytes" % (origin, MAX_PHOTO_BYTES))
            shutil.copyfile(origin, target)
        else:
            download(photo_url(host, row), target, opener)
        with open(target, "rb") as f:
            if f.read(3) != b"\xff\xd8\xff":
                raise FetchError("%s is not a JPEG file" % row["file"])
        print("%2d %s %d bytes" % (row["row"], row["file"], target.stat().st_size))


def recover(photos):
    """Undoes a swap that was interrupted between its two renames."""
    previous = photos.with_name(photos.name + ".previous")
    if not photos.exists() and previous.exists():
        os.rename(previous, photos)
    if previous.exists():
        shutil.rmtree(previous)


def swap_in(staging, photos):
    """Puts `staging` in place of `photos` with two renames on one file system, so the
    archive is at every moment either wholly old or wholly new (recover() mends a crash
    between the renames)."""
    previous = photos.with_name(photos.name + ".previous")
    os.rename(photos, previous)
    try:
        os.rename(staging, photos)
    except OSError:
        os.rename(previous, photos)
        raise
    shutil.rmtree(previous)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--dry-run", action="store_true", help="no network, no changes")
    parser.add_argument("--from", dest="source", type=pathlib.Path,
                        help="folder with <folder>/<file> photos to install instead of downloading")
    parser.add_argument("--root", type=pathlib.Path, default=ROOT, help=argparse.SUPPRESS)
    args = parser.parse_args(argv)
    root = args.root.resolve()
    photos = root / "archive" / "photos"
    staging = root / "archive" / "photos.incoming"
    try:
        rows = read_catalog(root)
        host = archive_host(root)
        published = read_published(root, rows)
        if args.dry_run:
            for row in rows:
                print("%2d %s" % (row["row"], photo_url(host, row)))
            bad = mismatches(photos, rows, published)
            print("%d of %d published digests match the photos in %s: %s" %
                  (len(published) - len(bad), len(published), photos,
                   "originals" if not bad else "stand-ins (rows %s differ)" %
                   ", ".join(map(str, bad))))
            return 0
        recover(photos)
        if staging.exists():
            shutil.rmtree(staging)
        staging.mkdir()
        try:
            stage(rows, host, staging, args.source)
            bad = mismatches(staging, rows, published)
            if bad:
                raise FetchError("published digests do not match rows %s; nothing replaced" %
                                 ", ".join(map(str, bad)))
            swap_in(staging, photos)
        finally:
            if staging.exists():
                shutil.rmtree(staging)
    except (FetchError, OSError) as error:
        print("fetch_originals: %s" % error, file=sys.stderr)
        return 1
    print("Replaced %d photos in %s; the next build hashes them into the catalog." %
          (len(rows), photos))
    return 0


if __name__ == "__main__":
    sys.exit(main())
