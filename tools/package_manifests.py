"""The winget and Scoop manifests of a release, written by tools/release for the very files it
made, once it knows the folder URL they will be published in.

Every value comes from where the project already keeps it: the version from CMakeLists.txt
(through tools/release), publisher and uninstall key name from tools/driftpane.nsi, the
translated tag line from the program's own text table, the description from the README.txt
that ships in the zip, the digests from SHA256SUMS. The output depends on nothing else: no
dates, keys in a fixed order, so the same release and URL give the same bytes.
"""

import json
import pathlib
import re
import urllib.parse

ROOT = pathlib.Path(__file__).resolve().parent.parent

PACKAGE_ID = "Driftpane.Driftpane"
WINGET_SCHEMA_VERSION = "1.12.0"
LICENSE = "MIT"
ZIP_NAME = "Driftpane-{version}-win-x64.zip"
SETUP_NAME = "Driftpane-{version}-setup.exe"
# The installer's exit code while the program runs (WaitUntilClosed in tools/driftpane.nsi).
SETUP_EXIT_IN_USE = 2
# The text table's columns and the winget locale each one is published as.
LOCALES = ("en-US", "de-DE", "fr-FR", "es-ES")
DEFAULT_LOCALE = "en-US"


class ManifestError(Exception):
    pass


def check_release_url(url):
    """The folder URL, as given; an error names what is wrong with it."""
    parts = urllib.parse.urlsplit(url)
    if (parts.scheme != "https" or not parts.netloc or parts.query or parts.fragment
            or not parts.path.endswith("/") or re.search(r"\s", url)):
        raise ManifestError("DRIFTPANE_RELEASE_URL must be an https:// folder URL ending in "
                            "\"/\", without query or fragment: %r" % url)
    return url


def installer_defines():
    """The !define values of tools/driftpane.nsi, e.g. {"APP": "Driftpane", ...}."""
    text = (ROOT / "tools" / "driftpane.nsi").read_text(encoding="utf-8")
    return dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', text, re.M))


def tag_lines():
    """The Tagline row of core/text_table.cpp, one text per column of LOCALES."""
    text = (ROOT / "core" / "text_table.cpp").read_text(encoding="utf-8")
    row = re.search(r"// Tagline\s*\{(.*?)\},", text, re.S)
    texts = re.findall(r'L"((?:[^"\\]|\\.)*)"', row.group(1)) if row else []
    if len(texts) != len(LOCALES):
        raise ManifestError("core/text_table.cpp: no Tagline row of %d texts" % len(LOCALES))
    # The table writes non-ASCII characters as universal character names (\u00E9).
    return [re.sub(r"\\u([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), t)
            for t in texts]


def description():
    """The first paragraph under the title and tag line of the README.txt in the zip."""
    text = (ROOT / "tools" / "release-readme.txt").read_text(encoding="utf-8")
    paragraph = text.replace("\r\n", "\n").split("\n\n")[1]
    return " ".join(paragraph.split())


def copyright_line():
    line = (ROOT / "LICENSE").read_text(encoding="utf-8").splitlines()[2]
    if not line.startswith("Copyright"):
        raise ManifestError("LICENSE: no copyright line")
    return line


def yaml_scalar(value):
    """One YAML scalar: plain where no YAML reader could take it for anything but this
    string or number, else double-quoted (JSON's escapes are YAML's too)."""
    if isinstance(value, int):
        return str(value)
    if (re.fullmatch(r"\d+(\.\d+){2,}", value)
            or (re.fullmatch(r"[A-Za-z][\w.+/:-]*", value)
                and value.lower() not in ("y", "n", "yes", "no", "on", "off", "true",
                                          "false", "null"))):
        return value
    return json.dumps(value, ensure_ascii=False)


def yaml_lines(value, indent=""):
    """Block-style YAML of nested dicts and lists, keys in the order given."""
    lines = []
    for key, item in value.items():
        if isinstance(item, dict):
            lines.append("%s%s:" % (indent, key))
            lines += yaml_lines(item, indent + "  ")
        elif isinstance(item, list):
            lines.append("%s%s:" % (indent, key))
            for entry in item:
                inner = yaml_lines(entry, indent + "  ")
                lines.append(indent + "- " + inner[0][len(indent) + 2:])
                lines += inner[1:]
        else:
            lines.append("%s%s: %s" % (indent, key, yaml_scalar(item)))
    return lines


def winget_file(kind, fields):
    """A winget manifest: the schema comment editors and the community repository's checks
    read, the fields, then the manifest type and version winget requires last by custom."""
    schema = "https://aka.ms/winget-manifest.%s.%s.schema.json" % (kind.lower(),
                                                                   WINGET_SCHEMA_VERSION)
    body = dict(fields, ManifestType=kind, ManifestVersion=WINGET_SCHEMA_VERSION)
    return "# yaml-language-server: $schema=%s\n\n%s\n" % (schema, "\n".join(yaml_lines(body)))


def winget_manifests(version, url, homepage, sums):
    """{file name: text} of the multi-file manifest for <id>/<version>; the package page
    only when one is given (the release folder is no page)."""
    defines = installer_defines()
    tags = tag_lines()
    zip_name = ZIP_NAME.format(version=version)
    setup_name = SETUP_NAME.format(version=version)
    head = {"PackageIdentifier": PACKAGE_ID, "PackageVersion": version}
    files = {
        PACKAGE_ID + ".yaml": winget_file("version", dict(head, DefaultLocale=DEFAULT_LOCALE)),
        PACKAGE_ID + ".installer.yaml": winget_file("installer", dict(head, **{
            "MinimumOSVersion": "10.0.0.0",
            "Installers": [
                {"Architecture": "x64",
                 "InstallerType": "nullsoft",
                 "Scope": "user",
                 "InstallerUrl": url + setup_name,
                 "InstallerSha256": sums[setup_name],
                 # The uninstall entry's key name, by which winget finds the installation.
                 "ProductCode": defines["APP"],
                 "UpgradeBehavior": "install",
                 "ExpectedReturnCodes": [{"InstallerReturnCode": SETUP_EXIT_IN_USE,
                                          "ReturnResponse": "packageInUse"}]},
                {"Architecture": "x64",
                 "InstallerType": "zip",
                 "NestedInstallerType": "portable",
                 "NestedInstallerFiles": [{"RelativeFilePath": defines["APP"] + ".exe",
                                           "PortableCommandAlias": defines["APP"].lower()}],
                 "InstallerUrl": url + zip_name,
                 "InstallerSha256": sums[zip_name]},
            ]})),
    }
    default = LOCALES.index(DEFAULT_LOCALE)
    for index, locale in enumerate(LOCALES):
        if index == default:
            fields = dict(head, PackageLocale=locale, Publisher=defines["PUBLISHER"],
                          PackageName=defines["APP"])
            if homepage != url:
                fields["PackageUrl"] = homepage
            fields.update(License=LICENSE, Copyright=copyright_line(),
                          ShortDescription=tags[index], Description=description())
            files["%s.locale.%s.yaml" % (PACKAGE_ID, locale)] = winget_file("defaultLocale",
                                                                            fields)
        elif tags[index] != tags[default]:
            # A language whose tag line reads as the English one adds nothing.
            fields = dict(head, PackageLocale=locale, ShortDescription=tags[index])
            files["%s.locale.%s.yaml" % (PACKAGE_ID, locale)] = winget_file("locale", fields)
    return files


def scoop_manifest(version, url, homepage, sums):
    """bucket/driftpane.json: the zip for 64-bit Windows with its Start menu shortcut; a new
    release is found on the homepage by the zip's name and hashed from its SHA256SUMS."""
    app = installer_defines()["APP"]
    zip_name = ZIP_NAME.format(version=version)
    # The release folder may itself be named by the version (.../1.0.0/ or .../v1.0.0/).
    folder = urllib.parse.urlsplit(url)
    pattern = urllib.parse.urlunsplit(folder._replace(path=folder.path.replace(version,
                                                                               "$version")))
    name_regex = ZIP_NAME.replace(".", r"\.").replace("{version}", r"([\d.]+)")
    manifest = {
        "version": version,
        "description": description().split(". ")[0] + ".",
        "homepage": homepage,
        "license": LICENSE,
        "architecture": {"64bit": {"url": url + zip_name, "hash": sums[zip_name]}},
        "shortcuts": [[app + ".exe", app]],
        "checkver": {"url": homepage, "regex": name_regex},
        "autoupdate": {
            "architecture": {"64bit": {"url": pattern + ZIP_NAME.format(version="$version")}},
            # $baseurl is the zip's folder without its last "/"; $sha256 and $basename are
            # Scoop's own shorthands for 64 hex digits and the escaped file name.
            "hash": {"url": "$baseurl/SHA256SUMS", "regex": r"$sha256\s+$basename"},
        },
    }
    return json.dumps(manifest, indent=4, ensure_ascii=False) + "\n"


def read_sums(path):
    """{file name: lower-case hex digest} of a sha256sum listing."""
    sums = {}
    for line in path.read_text(encoding="ascii").splitlines():
        digest, name = line.split("  ", 1)
        sums[name] = digest
    return sums


def manifests(version, url, homepage, sums):
    """{path relative to dist: text} of every manifest."""
    files = {"winget/" + name: text
             for name, text in winget_manifests(version, url, homepage, sums).items()}
    files["scoop/driftpane.json"] = scoop_manifest(version, url, homepage, sums)
    return files
