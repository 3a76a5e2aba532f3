#!/usr/bin/python3
"""Signatures of the release files, made only when the release is given the means:

  Authenticode   Driftpane.exe, the uninstaller and the installer, signed with osslsigncode
                 (SHA-256) by a code-signing certificate in a PKCS#12 file, and time-stamped
                 by an RFC 3161 server when one is named, so that the signature outlives the
                 certificate. Windows then names the publisher instead of warning of an
                 unknown one.
  minisign       SHA256SUMS, signed as SHA256SUMS.minisig, so that a user holding the
                 project's public key can tell the published list from a changed one.

Passwords are only ever read from files, never taken on a command line, where other users
of the machine could read them.

Environment:
  DRIFTPANE_SIGN_PFX                the certificate and its private key (PKCS#12)
  DRIFTPANE_SIGN_PASSWORD_FILE      the file holding its password, if it has one
  DRIFTPANE_TIMESTAMP_URL           the RFC 3161 time-stamp server's URL, if any
  DRIFTPANE_MINISIGN_KEY            the minisign secret key file
  DRIFTPANE_MINISIGN_PASSWORD_FILE  the file holding its password, if it is encrypted
  DRIFTPANE_PROJECT_URL             shown in the signature as the program's page, if given

Run as a program, `signing.py FILE` signs one Windows program in place with these settings:
the installer script calls it for the uninstaller it writes, before taking it in.
"""

import os
import pathlib
import shutil
import subprocess
import sys

PROGRAM_NAME = "Driftpane"


class SigningError(Exception):
    pass


def _file(env, name, what):
    value = env.get(name) or None
    if value is not None and not pathlib.Path(value).is_file():
        raise SigningError("%s names no file: %s (%s)" % (name, value, what))
    return pathlib.Path(value).resolve() if value else None


def _tool(name):
    path = shutil.which(name)
    if path is None:
        raise SigningError("%s is not installed (tools/install-deps installs it)" % name)
    return path


def settings(env=None):
    """{"code": ..., "sums": ...}: the means for each kind of signature, None for a kind
    that is not given. Checked before anything is built, so a mistake costs no build."""
    env = os.environ if env is None else env
    code = sums = None
    pfx = _file(env, "DRIFTPANE_SIGN_PFX", "code-signing certificate")
    if pfx:
        code = {"tool": _tool("osslsigncode"), "pfx": pfx,
                "password": _file(env, "DRIFTPANE_SIGN_PASSWORD_FILE", "its password"),
                "timestamp": env.get("DRIFTPANE_TIMESTAMP_URL") or None,
                "url": env.get("DRIFTPANE_PROJECT_URL") or None}
    key = _file(env, "DRIFTPANE_MINISIGN_KEY", "minisign secret key")
    if key:
        sums = {"tool": _tool("minisign"), "key": key,
                "password": _file(env, "DRIFTPANE_MINISIGN_PASSWORD_FILE", "its password")}
    return {"code": code, "sums": sums}


def unsigned_notice(means):
    """One line naming what stays unsigned, or None when everything is signed."""
    missing = []
    if not means["code"]:
        missing.append("programs not Authenticode-signed (no DRIFTPANE_SIGN_PFX)")
    if not means["sums"]:
        missing.append("no SHA256SUMS.minisig (no DRIFTPANE_MINISIGN_KEY)")
    return "unsigned: " + "; ".join(missing) if missing else None


def _run(command, what, stdin=None):
    done = subprocess.run(command, stdin=stdin if stdin else subprocess.DEVNULL,
                          capture_output=True, text=True)
    if done.returncode != 0:
        raise SigningError("%s failed: %s" % (what, (done.stderr or done.stdout).strip()))


def sign_program(path, code):
    """Signs a Windows program in place; a failed signature leaves it as it was."""
    path = pathlib.Path(path)
    signed = path.with_name(path.name + ".signed")
    command = [code["tool"], "sign", "-pkcs12", str(code["pfx"]), "-h", "sha256",
               "-n", PROGRAM_NAME]
    if code["password"]:
        command += ["-readpass", str(code["password"])]
    if code["url"]:
        command += ["-i", code["url"]]
    if code["timestamp"]:
        command += ["-ts", code["timestamp"]]
    signed.unlink(missing_ok=True)
    try:
        _run(command + ["-in", str(path), "-out", str(signed)], "signing %s" % path.name)
        os.replace(signed, path)
    finally:
        signed.unlink(missing_ok=True)


def sign_sums(path, sums, trusted_comment):
    """Writes path.minisig beside path."""
    path = pathlib.Path(path)
    signature = path.with_name(path.name + ".minisig")
    part = path.with_name(signature.name + ".part")
    command = [sums["tool"], "-S", "-s", str(sums["key"]), "-m", str(path), "-x", str(part),
               "-t", trusted_comment]
    try:
        # minisign reads an encrypted key's password from its standard input.
        if sums["password"]:
            with open(sums["password"], "rb") as password:
                _run(command, "minisign", stdin=password)
        else:
            _run(command, "minisign")
        os.replace(part, signature)
    finally:
        part.unlink(missing_ok=True)
    return signature


def main():
    if len(sys.argv) != 2:
        print("usage: signing.py PROGRAM.exe", file=sys.stderr)
        return 2
    try:
        code = settings()["code"]
        if code is None:
            raise SigningError("DRIFTPANE_SIGN_PFX is not set")
        sign_program(sys.argv[1], code)
    except (SigningError, OSError) as error:
        print("signing: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
