"""Checks a release's winget and Scoop manifests against the files beside them: every URL
names one file of the release folder, every hash is that file's line in SHA256SUMS, and the
fields users and package managers rely on say what the installer and the zip do. With the
publishers' schemas at hand, every manifest is validated against its schema as well.

check() returns the problems found, an empty list for manifests that may be published.
"""

import hashlib
import json
import pathlib
import re
import zipfile

import yaml

PACKAGE_ID = "Driftpane.Driftpane"
MANIFEST_VERSION = "1.12.0"
# File name part after the identifier, and the manifest type it holds.
WINGET_KINDS = {"": "version", ".installer": "installer"}
LOCALE_FILE = re.compile(re.escape(PACKAGE_ID) + r"\.locale\.([a-z]{2}-[A-Z]{2})\.yaml")
DEFAULT_LOCALE = "en-US"
LICENSE = "MIT"
SETUP_EXIT_IN_USE = 2
# Scoop's shorthands in a hash regex (lib/autoupdate.ps1), the ones these manifests use.
SCOOP_REGEX_TEMPLATES = {"$sha256": "([a-fA-F0-9]{64})"}


def file_sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def read_sums(dist, problems):
    sums = {}
    for line in (dist / "SHA256SUMS").read_text(encoding="ascii").splitlines():
        match = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line)
        if not match:
            problems.append("SHA256SUMS: line not as sha256sum writes it: %r" % line)
            continue
        digest, name = match.groups()
        path = dist / name
        if not path.is_file() or file_sha256(path) != digest:
            problems.append("SHA256SUMS: %s is not a file of the release with that digest"
                            % name)
        sums[name] = digest
    return sums


def released_file(where, url, digest, base, sums, problems):
    """The release file a URL and hash name, or None after saying why not."""
    name = url[len(base):] if isinstance(url, str) and url.startswith(base) else None
    if name is None or "/" in name or name not in sums:
        problems.append("%s: %r names no file listed in SHA256SUMS under %s" % (where, url, base))
        return None
    if not isinstance(digest, str) or digest.lower() != sums[name]:
        problems.append("%s: hash %r is not the SHA256SUMS line of %s" % (where, digest, name))
        return None
    return name


def zip_members(dist, name):
    with zipfile.ZipFile(dist / name) as archive:
        return archive.namelist()


def load_winget(folder, problems):
    """{file name: (manifest type, document, first line)} of every YAML file."""
    documents = {}
    for path in sorted(folder.iterdir()):
        kind = None
        if path.name.startswith(PACKAGE_ID) and path.name.endswith(".yaml"):
            kind = WINGET_KINDS.get(path.name[len(PACKAGE_ID):-len(".yaml")])
        locale = LOCALE_FILE.fullmatch(path.name)
        if locale:
            kind = "defaultLocale" if locale.group(1) == DEFAULT_LOCALE else "locale"
        if kind is None:
            problems.append("winget/%s: not a file name of a multi-file manifest" % path.name)
            continue
        text = path.read_text(encoding="utf-8")
        try:
            document = yaml.safe_load(text)
        except yaml.YAMLError as error:
            problems.append("winget/%s: not YAML: %s" % (path.name, error))
            continue
        if not isinstance(document, dict):
            problems.append("winget/%s: not a mapping" % path.name)
            continue
        documents[path.name] = (kind, document, text.split("\n", 1)[0])
    return documents


def check_winget(dist, base, version, publisher, sums, problems):
    documents = load_winget(dist / "winget", problems)
    wanted = {PACKAGE_ID + ".yaml", PACKAGE_ID + ".installer.yaml",
              "%s.locale.%s.yaml" % (PACKAGE_ID, DEFAULT_LOCALE)}
    for name in sorted(wanted - set(documents)):
        problems.append("winget/%s: missing" % name)
    for name, (kind, document, _) in documents.items():
        for field, value in (("PackageIdentifier", PACKAGE_ID), ("PackageVersion", version),
                             ("ManifestType", kind), ("ManifestVersion", MANIFEST_VERSION)):
            if document.get(field) != value:
                problems.append("winget/%s: %s is %r, not %r"
                                % (name, field, document.get(field), value))
        if kind in ("defaultLocale", "locale"):
            locale = LOCALE_FILE.fullmatch(name).group(1)
            if document.get("PackageLocale") != locale:
                problems.append("winget/%s: PackageLocale is not %s" % (name, locale))

    version_file = documents.get(PACKAGE_ID + ".yaml", (None, {}))[1]
    if version_file.get("DefaultLocale") != DEFAULT_LOCALE:
        problems.append("winget: DefaultLocale is not %s" % DEFAULT_LOCALE)
    default = documents.get("%s.locale.%s.yaml" % (PACKAGE_ID, DEFAULT_LOCALE), (None, {}))[1]
    for field, value in (("Publisher", publisher), ("PackageName", "Driftpane"),
                         ("License", LICENSE)):
        if default.get(field) != value:
            problems.append("winget default locale: %s is %r, not %r"
                            % (field, default.get(field), value))
    if not default.get("ShortDescription"):
        problems.append("winget default locale: no ShortDescription")
    for name, (kind, document, _) in documents.items():
        if kind == "locale" and document.get("ShortDescription") in (
                None, default.get("ShortDescription")):
            problems.append("winget/%s: adds no ShortDescription of its own" % name)

    installers = documents.get(PACKAGE_ID + ".installer.yaml", (None, {}))[1].get("Installers")
    if not isinstance(installers, list):
        problems.append("winget installer: no Installers")
        return documents
    offered = []
    for index, entry in enumerate(installers):
        where = "winget installer %d" % index
        name = released_file(where, entry.get("InstallerUrl"), entry.get("InstallerSha256"),
                             base, sums, problems)
        offered.append(name)
        kind = entry.get("InstallerType")
        if entry.get("Architecture") != "x64":
            problems.append("%s: Architecture is not x64" % where)
        if kind == "nullsoft":
            if name is not None and not name.endswith("-setup.exe"):
                problems.append("%s: nullsoft entry names %s, not the installer" % (where, name))
            if entry.get("Scope") != "user":
                problems.append("%s: Scope is not user" % where)
            codes = {(c or {}).get("InstallerReturnCode"): (c or {}).get("ReturnResponse")
                     for c in entry.get("ExpectedReturnCodes") or []}
            if codes.get(SETUP_EXIT_IN_USE) != "packageInUse":
                problems.append("%s: exit code %d is not mapped to packageInUse"
                                % (where, SETUP_EXIT_IN_USE))
        elif kind == "zip":
            files = [(f or {}).get("RelativeFilePath")
                     for f in entry.get("NestedInstallerFiles") or []]
            if entry.get("NestedInstallerType") != "portable" or files != ["Driftpane.exe"]:
                problems.append("%s: not the portable Driftpane.exe inside the zip" % where)
            elif name is not None and "Driftpane.exe" not in zip_members(dist, name):
                problems.append("%s: %s holds no Driftpane.exe" % (where, name))
        else:
            problems.append("%s: InstallerType %r" % (where, kind))
    if sorted(n for n in offered if n) != sorted(sums) or len(offered) != len(sums):
        problems.append("winget installer: offers %s, not each of %s once"
                        % (offered, sorted(sums)))
    return documents


def scoop_regex(regex, basename):
    """A hash regex as Scoop fills it in: shorthands first, then the escaped file name."""
    for template, value in SCOOP_REGEX_TEMPLATES.items():
        regex = regex.replace(template, value)
    return regex.replace("$basename", re.escape(basename))


def check_scoop(dist, base, version, sums, problems):
    path = dist / "scoop" / "driftpane.json"
    try:
        manifest = json.loads(path.read_text(encoding="utf-8"))
    except (OSError, ValueError) as error:
        problems.append("scoop: no manifest: %s" % error)
        return None
    for field, value in (("version", version), ("license", LICENSE)):
        if manifest.get(field) != value:
            problems.append("scoop: %s is %r, not %r" % (field, manifest.get(field), value))
    for field in ("description", "homepage"):
        if not manifest.get(field):
            problems.append("scoop: no %s" % field)
    x64 = (manifest.get("architecture") or {}).get("64bit") or {}
    name = released_file("scoop 64bit", x64.get("url"), x64.get("hash"), base, sums, problems)
    if name is None:
        return manifest
    if not name.endswith(".zip"):
        problems.append("scoop: 64bit names %s, not the zip" % name)
    shortcuts = manifest.get("shortcuts")
    if (not shortcuts or shortcuts[0][:2] != ["Driftpane.exe", "Driftpane"]
            or "Driftpane.exe" not in zip_members(dist, name)):
        problems.append("scoop: no Start menu shortcut Driftpane for Driftpane.exe in the zip")

    checkver = manifest.get("checkver") or {}
    found = re.search(checkver.get("regex") or "(?!)", name)
    if not checkver.get("url") or not found or found.groups()[:1] != (version,):
        problems.append("scoop: checkver does not read the version from the zip's name")
    autoupdate = manifest.get("autoupdate") or {}
    pattern = ((autoupdate.get("architecture") or {}).get("64bit") or {}).get("url") or ""
    if "$version" not in pattern or pattern.replace("$version", version) != x64["url"]:
        problems.append("scoop: autoupdate URL %r does not give this release's zip" % pattern)
    hash_rule = autoupdate.get("hash") or {}
    sums_url = (hash_rule.get("url") or "").replace("$baseurl", x64["url"].rsplit("/", 1)[0])
    if sums_url != base + "SHA256SUMS":
        problems.append("scoop: autoupdate hash is not read from the published SHA256SUMS")
    found = re.search(scoop_regex(hash_rule.get("regex") or "(?!)", name),
                      (dist / "SHA256SUMS").read_text(encoding="ascii"))
    if not found or found.group(1) != sums[name]:
        problems.append("scoop: autoupdate hash regex does not find the zip's line")
    return manifest


def validate(schemas, winget, scoop, problems):
    import jsonschema

    def errors(schema, document, where):
        validator = jsonschema.Draft7Validator(schema,
                                               format_checker=jsonschema.FormatChecker())
        for error in sorted(validator.iter_errors(document), key=str):
            path = "/".join(str(p) for p in error.absolute_path)
            problems.append("%s: %s: %s" % (where, path or "(top)", error.message))

    for name, (kind, document, first_line) in winget.items():
        schema_file = schemas / ("winget-%s" % MANIFEST_VERSION) / (
            "manifest.%s.%s.json" % (kind, MANIFEST_VERSION))
        schema = json.loads(schema_file.read_text(encoding="utf-8"))
        if first_line != "# yaml-language-server: $schema=" + schema["$id"]:
            problems.append("winget/%s: first line does not name %s" % (name, schema["$id"]))
        errors(schema, document, "winget/" + name)
    if scoop is not None:
        schema = json.loads((schemas / "scoop" / "schema.json").read_text(encoding="utf-8"))
        errors(schema, scoop, "scoop")


def check(dist, base, version, publisher, schemas=None):
    """Problems of the manifests in dist for the release folder URL base; schemas is the
    folder of the published schemas, or None to check without them."""
    problems = []
    sums = read_sums(dist, problems)
    winget = check_winget(dist, base, version, publisher, sums, problems)
    scoop = check_scoop(dist, base, version, sums, problems)
    if schemas is not None:
        validate(schemas, winget, scoop, problems)
    return problems
