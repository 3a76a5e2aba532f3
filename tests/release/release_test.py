#!/usr/bin/python3
"""Makes the release files with tools/release and tries them the way a Windows user would,
under Wine in a fresh private prefix on a private Xvfb display: an older version installed
first and upgraded in place, the Start menu shortcut started, installer and uninstaller
refusing while the program runs, a second install of the same version, then the uninstall,
which must leave the user's saved pairs and exports alone.

Before that, the winget and Scoop manifests the release writes for a made-up project and
release folder URL are checked against the files (manifest_check.py), and against the
publishers' schemas when ../shared/schemas beside the source folder holds them; the check
itself must reject manifests with a wrong hash or a missing field. Then the release is made
again through the tag job's script (.ci/release), signed with a code-signing certificate and
a minisign key made here and time-stamped by a local RFC 3161 authority: the signatures must
verify and refuse one changed byte, and the signed installer is the one installed, so that
the uninstaller it writes is checked too.

Usage: release_test.py --exe build/win/Driftpane.exe --work DIR
"""

import argparse
import base64
import http.server
import json
import os
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import threading
import time
import zipfile

import yaml

import manifest_check

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(ROOT / "tools"))
import package_manifests  # noqa: E402
VERSION = re.search(r"project\(Driftpane\s+VERSION\s+(\d+\.\d+\.\d+)",
                    (ROOT / "CMakeLists.txt").read_text()).group(1)
ZIP = "Driftpane-%s-win-x64.zip" % VERSION
SETUP = "Driftpane-%s-setup.exe" % VERSION
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Driftpane"
PUBLISHER = "Driftpane developers"
# Where the project and the release's files would be published; nothing is fetched there.
PROJECT_URL = "https://forge.example.org/driftpane-team/driftpane"
RELEASE_URL = "%s/releases/download/v%s/" % (PROJECT_URL, VERSION)
SCHEMAS = ROOT.parent / "shared" / "schemas"
WINGET_INSTALLER = "winget/Driftpane.Driftpane.installer.yaml"
WINGET_DEFAULT = "winget/Driftpane.Driftpane.locale.en-US.yaml"
SCOOP = "scoop/driftpane.json"

failures = []


def expect(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


class Wine:
    """A fresh prefix of its own on a display of its own, ended and removed with close()."""

    def __init__(self, work):
        self.prefix = work / "prefix"
        shutil.rmtree(self.prefix, ignore_errors=True)
        number = 120
        while (pathlib.Path("/tmp/.X%d-lock" % number).exists()
               or pathlib.Path("/tmp/.X11-unix/X%d" % number).exists()):
            number += 1
        self.xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1600x1000x24",
                                      "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        # No Mono or Gecko prompts, and no menu entries of the installed shortcut on the host.
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEARCH="win64",
                        WINEDEBUG="-all", DISPLAY=":%d" % number,
                        WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d")
        try:
            for _ in range(100):
                if pathlib.Path("/tmp/.X11-unix/X%d" % number).exists():
                    break
                time.sleep(0.1)
            self.run("wineboot", "-i")
            self.wait()
            users = [p for p in (self.prefix / "drive_c" / "users").iterdir()
                     if p.name != "Public"]
            self.home = users[0]
            self.windows_home = "C:\\users\\" + self.home.name
        except BaseException:
            self.close()
            raise

    def run(self, *command, timeout=180):
        # Started programs inherit the standard handles; none of them may hold a pipe here.
        return subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode

    def output(self, *command):
        return subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=120).stdout

    def wait(self):
        """Until every program of the prefix has ended (the uninstaller runs from a copy)."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=180)

    def end_all(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        self.wait()

    def host_path(self, windows_path):
        relative = windows_path[len(self.windows_home):].lstrip("\\").split("\\")
        return self.home.joinpath(*relative)

    def close(self):
        self.end_all()
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.prefix, ignore_errors=True)


def registry_values(wine, key):
    """{name: value} of one key, as `reg query` lists them; REG_DWORD values as numbers."""
    values = {}
    for line in wine.output("wine", "reg", "query", key).splitlines():
        match = re.match(r"\s{4}(\S+)\s{4}(REG_\w+)\s{4}(.*?)\s*$", line)
        if match:
            name, kind, value = match.groups()
            values[name] = int(value, 16) if kind == "REG_DWORD" else value
    return values


def driftpane_entries(wine):
    """Uninstall entries named Driftpane, per user and machine-wide."""
    count = 0
    for root in ("HKCU", "HKLM"):
        listing = wine.output("wine", "reg", "query",
                              root + r"\Software\Microsoft\Windows\CurrentVersion\Uninstall",
                              "/s")
        count += len(re.findall(r"^\s+DisplayName\s+REG_SZ\s+Driftpane\s*$", listing, re.M))
    return count


def shortcut_target(path):
    """The local path a shell link points at (its LinkInfo's LocalBasePath)."""
    data = path.read_bytes()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    position = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        position += 2 + struct.unpack_from("<H", data, position)[0]
    if not flags & 0x2:  # HasLinkInfo
        return None
    base = position + struct.unpack_from("<I", data, position + 16)[0]
    return data[base:data.index(b"\0", base)].decode("latin-1")


def resources(exe, kind):
    """{name: bytes} of one resource type of a PE file, read with wrestool."""
    listing = subprocess.run(["wrestool", "-l", "-t", str(kind), str(exe)], check=True,
                             capture_output=True, text=True).stdout
    found = {}
    for name in re.findall(r"--name=(\S+)", listing):
        found[name] = subprocess.run(["wrestool", "-x", "--raw", "-t", str(kind), "-n", name,
                                      str(exe)], check=True, capture_output=True).stdout
    return found


def ico_images(path):
    data = path.read_bytes()
    count = struct.unpack_from("<HHH", data, 0)[2]
    images = []
    for index in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * index + 8)
        images.append(data[offset:offset + size])
    return sorted(images)


def version_of(exe):
    """(file version, product name) from the version resource, or None without one."""
    blocks = list(resources(exe, 16).values())
    if len(blocks) != 1:
        return None
    block = blocks[0]
    fixed = block.find(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", block, fixed + 8)
    text = block.decode("utf-16-le", errors="replace")
    product = re.search("ProductName\0+([^\0]*)\0", text)
    return ("%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF),
            product.group(1) if product else None)


def wait_for_window(wine):
    """The pid of the process whose visible top-level window is titled Driftpane."""
    for _ in range(600):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Driftpane$"],
                               env=wine.env, capture_output=True, text=True).stdout.split()
        if found:
            pid = subprocess.run(["xdotool", "getwindowpid", found[0]], env=wine.env,
                                 capture_output=True, text=True).stdout.strip()
            if pid:
                return int(pid)
        time.sleep(0.2)
    return None


def check_release_files(dist, exe):
    expect(subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=dist,
                          stdout=subprocess.DEVNULL).returncode == 0,
           "SHA256SUMS verifies both files")
    listed = sorted(line.split()[1] for line in (dist / "SHA256SUMS").read_text().splitlines())
    expect(listed == sorted([ZIP, SETUP]), "SHA256SUMS lists the zip and the installer")
    commit_time = int(os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
        ["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
        check=True, capture_output=True, text=True).stdout.strip())
    with zipfile.ZipFile(dist / ZIP) as archive:
        expect(archive.namelist() == ["Driftpane.exe", "README.txt"],
               "zip holds exactly Driftpane.exe and README.txt: %s" % archive.namelist())
        expect(archive.testzip() is None, "zip entries pass their CRC check")
        expect(archive.read("Driftpane.exe") == exe.read_bytes(),
               "zipped Driftpane.exe equals the built program")
        readme = archive.read("README.txt").decode("utf-8")
        expect(VERSION in readme and "%LOCALAPPDATA%\\Driftpane" in readme
               and "\n" not in readme.replace("\r\n", ""),
               "README.txt names the version and the data folder, with Windows line ends")
        stamp = time.gmtime(commit_time)[:6]
        stamp = stamp[:5] + (stamp[5] // 2 * 2,)  # zip times count two-second steps
        expect(all(info.date_time == stamp for info in archive.infolist()),
               "zip entries carry the commit's time")


def release_env(url=None, project=PROJECT_URL):
    env = {k: v for k, v in os.environ.items() if not k.startswith("DRIFTPANE_")}
    if url is not None:
        env["DRIFTPANE_RELEASE_URL"] = url
    if project is not None:
        env["DRIFTPANE_PROJECT_URL"] = project
    return env


def other_digest(digest):
    return ("1" if digest[0] == "0" else "0") + digest[1:]


def setup_entry(m):
    return m["Installers"][0]


def zip_entry(m):
    return m["Installers"][1]


# Each change must make the check fail, with and without the schemas; the first changes
# nothing but writes the manifest back, so that the others fail by their change alone.
MUTATIONS = [
    ("written back unchanged", WINGET_INSTALLER, None),
    ("installer hash one digit off", WINGET_INSTALLER,
     lambda m: setup_entry(m).update(InstallerSha256=other_digest(
         setup_entry(m)["InstallerSha256"]))),
    ("zip URL naming a file not released", WINGET_INSTALLER,
     lambda m: zip_entry(m).update(InstallerUrl=zip_entry(m)["InstallerUrl"].replace(
         "-x64.zip", "-arm64.zip"))),
    ("installer without ExpectedReturnCodes", WINGET_INSTALLER,
     lambda m: setup_entry(m).pop("ExpectedReturnCodes")),
    ("zip without NestedInstallerFiles", WINGET_INSTALLER,
     lambda m: zip_entry(m).pop("NestedInstallerFiles")),
    ("default locale without Publisher", WINGET_DEFAULT, lambda m: m.pop("Publisher")),
    ("default locale without LicenseUrl", WINGET_DEFAULT, lambda m: m.pop("LicenseUrl")),
    ("Scoop zip hash one digit off", SCOOP,
     lambda m: m["architecture"]["64bit"].update(hash=other_digest(
         m["architecture"]["64bit"]["hash"]))),
    ("Scoop without license", SCOOP, lambda m: m.pop("license")),
    ("Scoop checking the release folder, which lists no newer version", SCOOP,
     lambda m: m["checkver"].update(url=RELEASE_URL)),
    ("Scoop autoupdate URL for another file", SCOOP,
     lambda m: m["autoupdate"]["architecture"]["64bit"].update(
         url=m["autoupdate"]["architecture"]["64bit"]["url"].replace("-x64", "-arm64"))),
    ("Scoop autoupdate hash from another list", SCOOP,
     lambda m: m["autoupdate"]["hash"].update(url="$baseurl/SHA512SUMS")),
]


def rewrite(path, change):
    """Applies change to the manifest's data and writes it back, a YAML one with its first
    line (the schema comment) kept."""
    text = path.read_text(encoding="utf-8")
    if path.suffix == ".json":
        data = json.loads(text)
        if change:
            change(data)
        path.write_text(json.dumps(data, indent=4), encoding="utf-8")
    else:
        data = yaml.safe_load(text)
        if change:
            change(data)
        path.write_text(text.split("\n", 1)[0] + "\n\n"
                        + yaml.safe_dump(data, sort_keys=False, allow_unicode=True),
                        encoding="utf-8")


def check_manifests(dist, work, exe):
    schemas = SCHEMAS if SCHEMAS.is_dir() else None
    if schemas is None:
        print("      %s not found: manifests checked without the schemas" % SCHEMAS)
    modes = [None] + ([schemas] if schemas else [])
    problems = manifest_check.check(dist, RELEASE_URL, PROJECT_URL, VERSION, PUBLISHER, schemas)
    expect(not problems, "manifests name the released files and their digests%s: %s"
           % (" and follow the schemas" if schemas else "", problems))

    mutated = work / "mutated"
    for what, name, change in MUTATIONS:
        shutil.rmtree(mutated, ignore_errors=True)
        mutated.mkdir(parents=True)
        for release_file in (ZIP, SETUP, "SHA256SUMS"):
            os.link(dist / release_file, mutated / release_file)
        for folder in ("winget", "scoop"):
            shutil.copytree(dist / folder, mutated / folder)
        rewrite(mutated / name, change)
        found = [manifest_check.check(mutated, RELEASE_URL, PROJECT_URL, VERSION, PUBLISHER,
                                      mode) for mode in modes]
        if change is None:
            expect(not any(found), "manifest check passes %s: %s" % (what, found))
        else:
            expect(all(found), "manifest check rejects %s: %s"
                   % (what, [problems[:1] for problems in found]))
    shutil.rmtree(mutated, ignore_errors=True)

    # A project kept elsewhere names a homepage that links the newest zip; a release folder
    # URL without the version gives no way to a newer zip.
    sums = package_manifests.read_sums(dist / "SHA256SUMS")
    homepage = "https://downloads.example.org/driftpane/"
    files, missing = package_manifests.manifests(VERSION, RELEASE_URL, None, homepage, sums)
    scoop = json.loads(files.get(SCOOP, "{}"))
    found = re.search(scoop.get("checkver", {}).get("regex", "(?!)"), '<a href="%s">' % ZIP)
    expect(missing is None and scoop["homepage"] == scoop["checkver"]["url"] == homepage
           and found and found.group(1) == VERSION,
           "with a homepage, Scoop reads the newest version from the zip's name there")
    files, missing = package_manifests.manifests(VERSION, homepage, PROJECT_URL, None, sums)
    expect(SCOOP not in files and "DRIFTPANE_RELEASE_URL" in missing,
           "a release folder URL without the version gives no Scoop manifest: %s" % missing)

    # Without a project address or homepage Scoop could never see a newer release: winget's
    # manifests only, and one line that says why.
    kept = {name: (dist / name).read_bytes() for name in (ZIP, SETUP, "SHA256SUMS")}
    bare = subprocess.run([str(ROOT / "tools" / "release"), "--exe", str(exe), "--dist",
                           str(dist)], env=release_env(RELEASE_URL, project=None),
                          capture_output=True, text=True)
    said = [line for line in bare.stderr.splitlines() if "Scoop" in line]
    expect(bare.returncode == 0 and len(said) == 1 and "DRIFTPANE_PROJECT_URL" in said[0]
           and not (dist / "scoop").exists()
           and len(list((dist / "winget").glob("*.yaml"))) == 6,
           "without a project address no Scoop manifest, one line saying why: %r" % bare.stderr)

    # Without a URL: no manifest, the same release files, one line that says why, and one
    # that says the release is unsigned.
    plain = subprocess.run([str(ROOT / "tools" / "release"), "--exe", str(exe),
                            "--dist", str(dist)], env=release_env(project=None),
                           capture_output=True, text=True)
    said = plain.stderr.splitlines()
    expect(plain.returncode == 0 and len(said) == 2 and said[0].startswith("release: unsigned")
           and "DRIFTPANE_RELEASE_URL" in said[1],
           "without DRIFTPANE_RELEASE_URL and signing means the release says so, one line "
           "each: %r" % plain.stderr)
    expect(not (dist / "winget").exists() and not (dist / "scoop").exists(),
           "no manifest left in dist, not even the earlier run's")
    expect(all((dist / name).read_bytes() == data for name, data in kept.items()),
           "zip, installer and SHA256SUMS byte for byte the same as with the URL")


def self_signed(folder, name, usage):
    """A throwaway certificate and its key, folder/name.pem and folder/name.key."""
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Driftpane test " + name, "-addext",
                    "extendedKeyUsage=" + usage, "-keyout", str(folder / (name + ".key")),
                    "-out", str(folder / (name + ".pem"))], check=True, capture_output=True)
    return folder / (name + ".pem")


class TimeStamps:
    """An RFC 3161 time-stamp authority on 127.0.0.1, its certificate made here, answering
    each request through `openssl ts -reply`; ended with close()."""

    def __init__(self, folder):
        self.cert = self_signed(folder, "tsa", "critical,timeStamping")
        (folder / "serial").write_text("01\n")
        config = folder / "tsa.cnf"
        config.write_text("[tsa]\ndefault_tsa = test\n[test]\nserial = %s\n"
                          "signer_cert = %s\nsigner_key = %s\nsigner_digest = sha256\n"
                          "default_policy = 1.3.6.1.4.1.99999.1\ndigests = sha256\n"
                          "accuracy = secs:1\ness_cert_id_alg = sha256\n"
                          % (folder / "serial", self.cert, folder / "tsa.key"))

        class Answer(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                query = self.rfile.read(int(self.headers["Content-Length"]))
                reply = subprocess.run(["openssl", "ts", "-reply", "-config", str(config),
                                        "-queryfile", "/dev/stdin"], input=query,
                                       capture_output=True).stdout
                self.send_response(200)
                self.send_header("Content-Type", "application/timestamp-reply")
                self.send_header("Content-Length", str(len(reply)))
                self.end_headers()
                self.wfile.write(reply)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Answer)
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def signing_secrets(folder):
    """A throwaway code-signing certificate and an encrypted minisign key, handed over as the
    forge hands over secrets; with the certificate and public key to check against."""
    folder.mkdir(parents=True, exist_ok=True)
    password = base64.b64encode(os.urandom(12)).decode()
    (folder / "password").write_text(password)
    cert = self_signed(folder, "signer", "codeSigning")
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", str(folder / "signer.key"),
                    "-in", str(cert), "-out", str(folder / "cert.pfx"),
                    "-passout", "file:%s" % (folder / "password")], check=True)
    subprocess.run(["minisign", "-G", "-p", str(folder / "minisign.pub"), "-s",
                    str(folder / "minisign.key")], input="%s\n%s\n" % (password, password),
                   text=True, check=True, capture_output=True)
    env = {"DRIFTPANE_SIGN_PFX_BASE64": base64.b64encode((folder / "cert.pfx").read_bytes())
           .decode(), "DRIFTPANE_SIGN_PASSWORD": password,
           "DRIFTPANE_MINISIGN_KEY_TEXT": (folder / "minisign.key").read_text(),
           "DRIFTPANE_MINISIGN_PASSWORD": password, "DRIFTPANE_TAG": "v" + VERSION}
    return env, cert, folder / "minisign.pub"


def verifies(path, cert, tsa):
    """Whether path's signature verifies by cert, and its time stamp by tsa."""
    checked = subprocess.run(["osslsigncode", "verify", "-CAfile", str(cert), "-TSA-CAfile",
                              str(tsa), "-in", str(path)], capture_output=True, text=True)
    return (checked.returncode == 0
            and "Timestamp Server Signature verification: ok" in checked.stdout)


def changed_copy(path, work):
    """A copy of path with one byte in its middle changed."""
    data = bytearray(path.read_bytes())
    data[len(data) // 2] ^= 0x01
    copy = work / ("changed-" + path.name)
    copy.write_bytes(data)
    return copy


def check_signed(dist, work, exe, cert, tsa, public_key):
    """Checks a signed release; returns its signed Driftpane.exe."""
    with zipfile.ZipFile(dist / ZIP) as archive:
        signed = work / "Driftpane.exe"
        signed.write_bytes(archive.read("Driftpane.exe"))
    for path in (signed, dist / SETUP):
        expect(verifies(path, cert, tsa),
               "%s carries a signature and a time stamp that verify" % path.name)
        expect(not verifies(changed_copy(path, work), cert, tsa),
               "%s with one byte changed is refused" % path.name)
    unsigned = work / "unsigned.exe"
    unsigned.unlink(missing_ok=True)  # osslsigncode writes no file over another
    subprocess.run(["osslsigncode", "remove-signature", "-in", str(signed), "-out",
                    str(unsigned)], check=True, capture_output=True)
    expect(unsigned.read_bytes() == exe.read_bytes(),
           "the signed Driftpane.exe without its signature is the built program")
    expect(subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=dist,
                          capture_output=True).returncode == 0,
           "SHA256SUMS lists the signed files")

    def minisign_accepts(sums):
        return subprocess.run(["minisign", "-V", "-p", str(public_key), "-m", str(sums),
                               "-x", str(dist / "SHA256SUMS.minisig")],
                              capture_output=True).returncode == 0
    edited = work / "SHA256SUMS"
    edited.write_text(other_digest((dist / "SHA256SUMS").read_text()))
    expect(minisign_accepts(dist / "SHA256SUMS") and not minisign_accepts(edited),
           "SHA256SUMS.minisig verifies SHA256SUMS and refuses it edited")
    return signed
    wrong = subprocess.run([str(ROOT / "tools" / "release"), "--exe", str(exe),
                            "--dist", str(work / "unused")],
                           env=release_env(RELEASE_URL.rstrip("/")), capture_output=True,
                           text=True)
    expect(wrong.returncode == 1 and "DRIFTPANE_RELEASE_URL" in wrong.stderr
           and not (work / "unused").exists(),
           "a release URL without its final / is refused before anything is made")


def check_installed(wine, exe, setup, icon, cert, tsa):
    install_dir = wine.windows_home + r"\AppData\Local\Programs\Driftpane"
    program = wine.host_path(install_dir + r"\Driftpane.exe")
    uninstaller = wine.host_path(install_dir + r"\Uninstall.exe")
    expect(program.is_file() and program.read_bytes() == exe.read_bytes(),
           "installed Driftpane.exe equals the zipped one")
    link = wine.host_path(
        wine.windows_home + r"\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Driftpane.lnk")
    expect(link.is_file() and shortcut_target(link) == install_dir + r"\Driftpane.exe",
           "Start menu shortcut points at the installed program")
    values = registry_values(wine, UNINSTALL_KEY)
    sizes = program.stat().st_size + uninstaller.stat().st_size
    wanted = {
        "DisplayName": "Driftpane",
        "DisplayVersion": VERSION,
        "Publisher": PUBLISHER,
        "DisplayIcon": install_dir + r"\Driftpane.exe,0",
        "InstallLocation": install_dir,
        "UninstallString": '"%s\\Uninstall.exe"' % install_dir,
        "QuietUninstallString": '"%s\\Uninstall.exe" /S' % install_dir,
        "EstimatedSize": sizes // 1024,
    }
    for name, value in wanted.items():
        expect(values.get(name) == value,
               "uninstall entry %s = %r (found %r)" % (name, value, values.get(name)))
    expect(driftpane_entries(wine) == 1, "exactly one uninstall entry")
    expect(verifies(uninstaller, cert, tsa)
           and not verifies(changed_copy(uninstaller, wine.prefix.parent), cert, tsa),
           "the uninstaller the installer wrote is signed and time-stamped, and refused with "
           "one byte changed")
    for name, path in (("installer", setup), ("uninstaller", uninstaller)):
        expect(version_of(path) == ("%s.0" % VERSION, "Driftpane"),
               "%s carries version %s.0 of Driftpane: %s" % (name, VERSION, version_of(path)))
        expect(sorted(resources(path, 3).values()) == ico_images(icon),
               "%s carries the program icon" % name)
    return program, uninstaller, link


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", type=pathlib.Path, required=True)
    parser.add_argument("--work", type=pathlib.Path, required=True)
    args = parser.parse_args()
    exe = args.exe.resolve()
    work = args.work.resolve()
    dist = work / "dist"
    shutil.rmtree(dist, ignore_errors=True)
    subprocess.run([str(ROOT / "tools" / "release"), "--exe", str(exe), "--dist", str(dist)],
                   check=True, env=release_env(RELEASE_URL))
    check_release_files(dist, exe)
    check_manifests(dist, work, exe)

    # The tag job's way: secrets in the environment, through .ci/release.
    secrets, cert, public_key = signing_secrets(work / "secrets")
    time_stamps = TimeStamps(work / "secrets")
    dist = work / "signed"
    try:
        made = subprocess.run([str(ROOT / ".ci/release"), "--exe", str(exe), "--dist",
                               str(dist)], env=dict(release_env(RELEASE_URL), **secrets,
                                                    DRIFTPANE_TIMESTAMP_URL=time_stamps.url),
                              capture_output=True, text=True)
    finally:
        time_stamps.close()
    expect(made.returncode == 0 and not made.stderr,
           "the signed release is made without a notice: %r" % made.stderr)
    tsa = time_stamps.cert
    signed_exe = check_signed(dist, work, exe, cert, tsa, public_key)

    # An older version, to be upgraded in place: any small file serves as its program.
    old_exe = work / "old" / "Driftpane.exe"
    old_exe.parent.mkdir(parents=True, exist_ok=True)
    old_exe.write_bytes(b"MZ older version")
    old_setup = work / "old" / "setup.exe"
    subprocess.run(["makensis", "-V1", "-INPUTCHARSET", "UTF8", "-DVERSION=0.9.0", "-DEXE=%s" % old_exe,
                    "-DICON=%s" % (ROOT / "app" / "driftpane.ico"), "-DOUTFILE=%s" % old_setup,
                    str(ROOT / "tools" / "driftpane.nsi")], check=True)

    wine = Wine(work)
    try:
        # The user's own files, there before any installation and still there after.
        data = wine.home / "AppData" / "Local" / "Driftpane"
        planted = {data / "Pairs" / "Aral Sea 2000-2018.dpf": os.urandom(4096),
                   data / "Exports" / "Aral Sea 2000-2018.png": os.urandom(4096)}
        for path, content in planted.items():
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)

        expect(wine.run("wine", str(old_setup), "/S") == 0, "older version installs silently")
        expect(registry_values(wine, UNINSTALL_KEY).get("DisplayVersion") == "0.9.0",
               "older version registered")
        expect(wine.run("wine", str(dist / SETUP), "/S") == 0, "release installs silently over it")
        program, uninstaller, link = check_installed(wine, signed_exe, dist / SETUP,
                                                     ROOT / "app" / "driftpane.ico", cert, tsa)

        wine.run("wine", "start", "/unix", str(link))
        pid = wait_for_window(wine)
        command = pathlib.Path("/proc/%d/cmdline" % pid).read_bytes() if pid else b""
        expect(command.split(b"\0")[0].decode(errors="replace").lower()
               == (wine.windows_home + r"\AppData\Local\Programs\Driftpane\Driftpane.exe").lower(),
               "the shortcut starts the installed program, which shows its window")

        # Files in use: both refuse with exit code 2 and change nothing. The uninstaller runs
        # in place (_?=) so that its own exit code is the one seen here.
        expect(wine.run("wine", str(dist / SETUP), "/S") == 2,
               "installer refuses while the program runs")
        install_dir = wine.windows_home + r"\AppData\Local\Programs\Driftpane"
        expect(wine.run("wine", str(uninstaller), "/S", "_?=" + install_dir) == 2,
               "uninstaller refuses while the program runs")
        expect(program.is_file() and uninstaller.is_file() and link.is_file()
               and driftpane_entries(wine) == 1, "nothing removed while the program runs")
        wine.end_all()

        expect(wine.run("wine", str(dist / SETUP), "/S") == 0, "same version installs again")
        check_installed(wine, signed_exe, dist / SETUP, ROOT / "app" / "driftpane.ico", cert,
                        tsa)

        expect(wine.run("wine", str(uninstaller), "/S") == 0, "uninstaller runs silently")
        wine.wait()
        expect(not program.exists() and not uninstaller.exists()
               and not program.parent.exists(), "program folder removed")
        expect(not link.exists(), "Start menu shortcut removed")
        expect(driftpane_entries(wine) == 0 and not registry_values(wine, UNINSTALL_KEY),
               "uninstall entry removed")
        expect(all(path.read_bytes() == content for path, content in planted.items()),
               "saved pair and export left untouched")
    finally:
        wine.close()

    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
