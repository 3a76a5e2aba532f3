"""The winget and Scoop manifests of a release, written by tools/release for the very files it
made, once it knows the folder URL they will be published in.

Every value comes from where the project already keeps it: the version from CMakeLists.txt
(through tools/release), publisher and uninstall key name from tools/driftpane.nsi, the
description from the README.txt that ships in the zip, the digests from SHA256SUMS, and the
pages a package moderator checks from the project's one web address (DRIFTPANE_PROJECT_URL,
a repository laid out as GitHub lays it out). Only the one-line descriptions that stores
list, in the program's four languages, live here. The output depends on nothing else: no
dates, keys in a fixed order, so the same release and URLs give the same bytes.
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
# The program's languages as winget locales.
LOCALES = ("en-US", "de-DE", "fr-FR", "es-ES")
DEFAULT_LOCALE = "en-US"
# What the package does, in one line per language: winget shows it in search results, where
# the program's tag line alone would not say what it is.
SHORT_DESCRIPTIONS = {
    "en-US": "Compares two photos of one place from different years, laid over each other "
             "and split by a divider you drag; offline, with a built-in archive of three "
             "places or your own photos.",
    "de-DE": "Vergleicht zwei Fotos eines Ortes aus verschiedenen Jahren, übereinandergelegt "
             "und geteilt durch eine verschiebbare Trennlinie; offline, mit eingebautem "
             "Archiv von drei Orten oder eigenen Fotos.",
    "fr-FR": "Compare deux photos d'un même lieu prises à des années différentes, "
             "superposées et séparées par une ligne que l'on fait glisser ; hors ligne, avec "
             "une archive intégrée de trois lieux ou vos propres photos.",
    "es-ES": "Compara dos fotos de un mismo lugar tomadas en años distintos, superpuestas y "
             "separadas por una línea que se arrastra; sin conexión, con un archivo "
             "integrado de tres lugares o sus propias fotos.",
}
MONIKER = "driftpane"
TAGS = ("before-after", "compare", "earth-observation", "landsat", "photo-comparison",
        "satellite-images")
# Release tags are "v" and the version; the release workflow runs on these.
TAG = "v{version}"


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


def check_project_url(url):
    """The repository's web address without a final "/"; an error names what is wrong."""
    parts = urllib.parse.urlsplit(url)
    path = parts.path.rstrip("/")
    if (parts.scheme != "https" or not parts.netloc or parts.query or parts.fragment
            or not path or re.search(r"\s", url)):
        raise ManifestError("DRIFTPANE_PROJECT_URL must be the repository's https:// address, "
                            "without query or fragment: %r" % url)
    return urllib.parse.urlunsplit(parts._replace(path=path))


def project_pages(project, version):
    """{winget field: URL} of the pages a moderator checks: the repository, its owner, and
    the licence as released under this version's tag."""
    owner = project.rsplit("/", 1)[0]
    if urllib.parse.urlsplit(owner).path in ("", "/"):
        owner = project
    return {"PackageUrl": project, "PublisherUrl": owner,
            "LicenseUrl": "%s/blob/%s/LICENSE" % (project, TAG.format(version=version))}


def installer_defines():
    """The !define values of tools/driftpane.nsi, e.g. {"APP": "Driftpane", ...}."""
    text = (ROOT / "tools" / "driftpane.nsi").read_text(encoding="utf-8")
    return dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', text, re.M))


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
    """Block-style YAML of nested dicts, lists and scalars, keys in the order given."""
    lines = []
    for key, item in value.items():
        if isinstance(item, dict):
            lines.append("%s%s:" % (indent, key))
            lines += yaml_lines(item, indent + "  ")
        elif isinstance(item, list):
            lines.append("%s%s:" % (indent, key))
            for entry in item:
                if not isinstance(entry, dict):
                    lines.append("%s- %s" % (indent, yaml_scalar(entry)))
                    continue
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


def winget_manifests(version, url, project, homepage, sums):
    """{file name: text} of the multi-file manifest for <id>/<version>; the project's pages
    when its address is given, else the homepage alone as the package's page, if any."""
    defines = installer_defines()
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
    if project:
        pages = project_pages(project, version)
    else:
        pages = {"PackageUrl": homepage} if homepage else {}
    for locale in LOCALES:
        fields = dict(head, PackageLocale=locale)
        if locale == DEFAULT_LOCALE:
            fields.update(Publisher=defines["PUBLISHER"])
            if "PublisherUrl" in pages:
                fields["PublisherUrl"] = pages["PublisherUrl"]
            fields["PackageName"] = defines["APP"]
            if "PackageUrl" in pages:
                fields["PackageUrl"] = pages["PackageUrl"]
            fields["License"] = LICENSE
            if "LicenseUrl" in pages:
                fields["LicenseUrl"] = pages["LicenseUrl"]
            fields.update(Copyright=copyright_line(), ShortDescription=SHORT_DESCRIPTIONS[locale],
                          Description=description(), Moniker=MONIKER, Tags=list(TAGS))
            kind = "defaultLocale"
        else:
            fields["ShortDescription"] = SHORT_DESCRIPTIONS[locale]
            kind = "locale"
        files["%s.locale.%s.yaml" % (PACKAGE_ID, locale)] = winget_file(kind, fields)
    return files


def scoop_manifest(version, url, project, homepage, sums):
    """bucket/driftpane.json, the zip for 64-bit Windows with its Start menu shortcut, or None
    and the reason when Scoop could never see a newer release: a new version is read from
    the repository's newest release tag (or the zip's name on the homepage), and its zip is
    found where this one is, with the version changed, and hashed from its SHA256SUMS."""
    app = installer_defines()["APP"]
    zip_name = ZIP_NAME.format(version=version)
    if project:
        homepage = project
        # Where GitHub's newest release redirects to: its tag page.
        checkver = {"url": project + "/releases/latest",
                    "regex": "/releases/tag/" + TAG.format(version=r"([\d.]+)")}
    elif homepage:
        checkver = {"url": homepage,
                    "regex": ZIP_NAME.replace(".", r"\.").replace("{version}", r"([\d.]+)")}
    else:
        return None, ("no Scoop manifest: neither DRIFTPANE_PROJECT_URL nor "
                      "DRIFTPANE_HOMEPAGE names a page that shows newer releases")
    folder = urllib.parse.urlsplit(url)
    if version not in folder.path:
        return None, ("no Scoop manifest: DRIFTPANE_RELEASE_URL does not name the version, "
                      "so a newer release's zip could not be found from it")
    # The release folder is named by the version (.../1.0.0/ or .../v1.0.0/).
    pattern = urllib.parse.urlunsplit(folder._replace(path=folder.path.replace(version,
                                                                               "$version")))
    manifest = {
        "version": version,
        "description": description().split(". ")[0] + ".",
        "homepage": homepage,
        "license": LICENSE,
        "architecture": {"64bit": {"url": url + zip_name, "hash": sums[zip_name]}},
        "shortcuts": [[app + ".exe", app]],
        "checkver": checkver,
        "autoupdate": {
            "architecture": {"64bit": {"url": pattern + ZIP_NAME.format(version="$version")}},
            # $baseurl is the zip's folder without its last "/"; $sha256 and $basename are
            # Scoop's own shorthands for 64 hex digits and the escaped file name.
            "hash": {"url": "$baseurl/SHA256SUMS", "regex": r"$sha256\s+$basename"},
        },
    }
    return json.dumps(manifest, indent=4, ensure_ascii=False) + "\n", None


def read_sums(path):
    """{file name: lower-case hex digest} of a sha256sum listing."""
    sums = {}
    for line in path.read_text(encoding="ascii").splitlines():
        digest, name = line.split("  ", 1)
        sums[name] = digest
    return sums


def manifests(version, url, project, homepage, sums):
    """({path relative to dist: text} of every manifest, the reason a manifest is missing or
    None)."""
    files = {"winget/" + name: text
             for name, text in winget_manifests(version, url, project, homepage, sums).items()}
    scoop, missing = scoop_manifest(version, url, project, homepage, sums)
    if scoop is not None:
        files["scoop/driftpane.json"] = scoop
    return files, missing
