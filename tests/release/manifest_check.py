"""Checks a release's winget and Scoop manifests against the files beside them: every URL
names one file of the release folder, every hash is that file's line in SHA256SUMS, the
fields package managers act on say what the installer and the zip do, the pages a moderator
checks are the project's, and Scoop reads a newer version from the project's releases. With
the publishers' schemas at hand, every manifest is validated against its schema as well.

check() returns the problems found, an empty list for manifests that may be published.
"""

import hashlib
import json
import re

import yaml

PACKAGE_ID = "Driftpane.Driftpane"
MANIFEST_VERSION = "1.12.0"
LOCALES = ("en-US", "de-DE", "fr-FR", "es-ES")
SETUP_EXIT_IN_USE = 2
# Scoop's shorthand in a hash regex (lib/autoupdate.ps1), the one these manifests use.
SCOOP_SHA256 = ("$sha256", "([a-fA-F0-9]{64})")


def read_sums(dist, problems):
    sums = {}
    for line in (dist / "SHA256SUMS").read_text(encoding="ascii").splitlines():
        digest, _, name = line.partition("  ")
        path = dist / name
        if not path.is_file() or hashlib.sha256(path.read_bytes()).hexdigest() != digest:
            problems.append("SHA256SUMS: %r is not a released file's line" % line)
        sums[name] = digest
    return sums


def released_file(where, url, digest, base, sums, problems):
    """The release file a URL and hash name, or None after saying why not."""
    name = url[len(base):] if isinstance(url, str) and url.startswith(base) else None
    if name not in sums:
        problems.append("%s: %r names no file listed in SHA256SUMS under %s" % (where, url, base))
        return None
    if not isinstance(digest, str) or digest.lower() != sums[name]:
        problems.append("%s: hash %r is not the SHA256SUMS line of %s" % (where, digest, name))
        return None
    return name


def expect_fields(where, document, wanted, problems):
    for field, value in wanted.items():
        if document.get(field) != value:
            problems.append("%s: %s is %r, not %r" % (where, field, document.get(field), value))


def check_winget(dist, base, project, version, publisher, sums, problems):
    """{file name: (document, first line)}, after checking them."""
    documents = {}
    for path in sorted((dist / "winget").glob("*.yaml")):
        text = path.read_text(encoding="utf-8")
        documents[path.name] = (yaml.safe_load(text), text.split("\n", 1)[0])
        expect_fields("winget/" + path.name, documents[path.name][0],
                      {"PackageIdentifier": PACKAGE_ID, "PackageVersion": version,
                       "ManifestVersion": MANIFEST_VERSION}, problems)
    by_type = {document.get("ManifestType"): document for document, _ in documents.values()}
    version_file = by_type.get("version", {})
    expect_fields("winget version", version_file, {"DefaultLocale": "en-US"}, problems)
    expect_fields("winget default locale", by_type.get("defaultLocale", {}),
                  {"PackageLocale": "en-US", "Publisher": publisher, "License": "MIT",
                   "PackageUrl": project, "PublisherUrl": project.rsplit("/", 1)[0],
                   "LicenseUrl": "%s/blob/v%s/LICENSE" % (project, version),
                   "Moniker": "driftpane"}, problems)
    if not by_type.get("defaultLocale", {}).get("Tags"):
        problems.append("winget default locale: no Tags")
    # Each language says in its own words what the program does.
    described = {document.get("PackageLocale"): document.get("ShortDescription")
                 for document, _ in documents.values() if "PackageLocale" in document}
    if sorted(described) != sorted(LOCALES) or len(set(described.values())) != len(LOCALES):
        problems.append("winget: not one ShortDescription of its own in each of %s: %s"
                        % (LOCALES, described))

    installers = by_type.get("installer", {}).get("Installers") or []
    offered = []
    for index, entry in enumerate(installers):
        where = "winget installer %d" % index
        offered.append(released_file(where, entry.get("InstallerUrl"),
                                     entry.get("InstallerSha256"), base, sums, problems))
        if entry.get("InstallerType") == "nullsoft":
            codes = {c.get("InstallerReturnCode"): c.get("ReturnResponse")
                     for c in entry.get("ExpectedReturnCodes") or []}
            if (entry.get("Scope") != "user" or codes.get(SETUP_EXIT_IN_USE) != "packageInUse"
                    or not str(offered[-1]).endswith("-setup.exe")):
                problems.append("%s: not the per-user installer, exit code %d packageInUse"
                                % (where, SETUP_EXIT_IN_USE))
        else:
            files = [f.get("RelativeFilePath") for f in entry.get("NestedInstallerFiles") or []]
            if (entry.get("InstallerType") != "zip" or files != ["Driftpane.exe"]
                    or entry.get("NestedInstallerType") != "portable"):
                problems.append("%s: not the zip's portable Driftpane.exe" % where)
    if sorted(map(str, offered)) != sorted(sums):
        problems.append("winget installer: offers %s, not each of %s once"
                        % (offered, sorted(sums)))
    return documents


def check_scoop(dist, base, project, version, sums, problems):
    manifest = json.loads((dist / "scoop" / "driftpane.json").read_text(encoding="utf-8"))
    expect_fields("scoop", manifest, {"version": version, "license": "MIT",
                                      "homepage": project}, problems)
    x64 = manifest.get("architecture", {}).get("64bit", {})
    name = released_file("scoop 64bit", x64.get("url"), x64.get("hash"), base, sums, problems)
    if name is None or not name.endswith(".zip"):
        return manifest
    if manifest.get("shortcuts") != [["Driftpane.exe", "Driftpane"]]:
        problems.append("scoop: no Start menu shortcut Driftpane for Driftpane.exe")
    # The newest release as the forge shows it: /releases/latest leads to its tag's page.
    checkver = manifest.get("checkver", {})
    found = re.search(checkver.get("regex", "(?!)"), "%s/releases/tag/v%s" % (project, version))
    if (checkver.get("url") != project + "/releases/latest" or not found
            or found.group(1) != version):
        problems.append("scoop: checkver does not read the version from the newest release's "
                        "tag: %s" % checkver)

    # The next release as Scoop finds it: URL pattern and hash list must give this one.
    autoupdate = manifest.get("autoupdate", {})
    pattern = autoupdate.get("architecture", {}).get("64bit", {}).get("url", "")
    if "$version" not in pattern or pattern.replace("$version", version) != x64["url"]:
        problems.append("scoop: autoupdate URL %r does not give this release's zip" % pattern)
    rule = autoupdate.get("hash", {})
    if rule.get("url", "").replace("$baseurl", x64["url"].rsplit("/", 1)[0]) != (
            base + "SHA256SUMS"):
        problems.append("scoop: autoupdate hash is not read from the published SHA256SUMS")
    regex = rule.get("regex", "(?!)").replace(*SCOOP_SHA256).replace("$basename",
                                                                     re.escape(name))
    found = re.search(regex, (dist / "SHA256SUMS").read_text(encoding="ascii"))
    if not found or found.group(1) != sums[name]:
        problems.append("scoop: autoupdate hash regex does not find the zip's line")
    return manifest


def validate(schemas, winget, scoop, problems):
    import jsonschema

    def errors(schema, document, where):
        checker = jsonschema.FormatChecker()
        for error in jsonschema.Draft7Validator(schema, format_checker=checker).iter_errors(
                document):
            path = "/".join(map(str, error.absolute_path)) or "(top)"
            problems.append("%s: %s: %s" % (where, path, error.message))

    for name, (document, first_line) in winget.items():
        kind = document.get("ManifestType")
        path = schemas / ("winget-" + MANIFEST_VERSION) / (
            "manifest.%s.%s.json" % (kind, MANIFEST_VERSION))
        if not path.is_file():
            problems.append("winget/%s: ManifestType %r has no schema" % (name, kind))
            continue
        schema = json.loads(path.read_text(encoding="utf-8"))
        if first_line != "# yaml-language-server: $schema=" + schema["$id"]:
            problems.append("winget/%s: first line does not name %s" % (name, schema["$id"]))
        errors(schema, document, "winget/" + name)
    errors(json.loads((schemas / "scoop" / "schema.json").read_text(encoding="utf-8")), scoop,
           "scoop")


def check(dist, base, project, version, publisher, schemas=None):
    """Problems of the manifests in dist for the release folder URL base and the project's
    address; schemas is the folder of the published schemas, or None to check without
    them."""
    problems = []
    sums = read_sums(dist, problems)
    winget = check_winget(dist, base, project, version, publisher, sums, problems)
    scoop = check_scoop(dist, base, project, version, sums, problems)
    if schemas is not None:
        validate(schemas, winget, scoop, problems)
    return problems
