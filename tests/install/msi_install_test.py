"""The MSIs of scripts/package under Wine, one architecture after the other in one prefix:
their tables (msiinfo), a silent install (the panel and none of the tools), the shortcuts'
targets and arguments, the tools added with ADDLOCAL=Tools, the installed panel against the
installed substitute controller until the control's exit code, a second install of the same
package, a rebuilt package of the same version and one of the next version (one product each
time), an older package refused, the removal, and a new install that asks for the tools alone
(the panel comes too) with STATION=1 (both shortcuts with -w) and one with ADDLOCAL=ALL
(everything), whose removals leave the prefix's files and registry keys as they were before the
first install.

Usage (WINEPREFIX: a ready prefix of its own; DISPLAY: an X server; /usr/lib/wine on PATH):
  msi_install_test.py --version 1.0.3 [--cannot-run REASON] --junit REPORT.xml X64.msi X86.msi
--cannot-run: this machine cannot run the packages' programs (REASON says why); everything else
is checked, and the run of the installed panel is reported as not run.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import xml.sax.saxutils

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
UPGRADE_CODE = "{1796BC78-AFB0-41E5-BC87-16F39B7D339B}"
# Each feature's files: the panel's are installed by default, the integrators' tools only when asked for.
FEATURES = {"Panel": ["quorvex.exe", "quorvex.html", "README.txt"],
            "Tools": ["quorvex-sim.exe", "quorvex-dump.exe", "quorvex-tap.exe", "quorvex-headless.exe", "quorvex.lua"]}
FILES = FEATURES["Panel"] + FEATURES["Tools"]
# name: (arguments, description's start)
SHORTCUTS = {"Quorvex": "", "Quorvex (this computer)": "-l"}
# The same with STATION=1, and the Shortcut table's arguments that give both.
STATION_SHORTCUTS = {"Quorvex": "-w", "Quorvex (this computer)": "-l -w"}
SHORTCUT_FORMATS = {"Quorvex": "[QvAskingArguments]", "Quorvex (this computer)": "[QvLocalArguments]"}
ARCHES = {
    "x64": {"template": "x64;1033", "parent": "ProgramFiles64Folder", "folder": "Program Files"},
    "x86": {"template": "Intel;1033", "parent": "ProgramFilesFolder", "folder": "Program Files (x86)"},
}
# Windows Installer's own containers: msiexec makes them on first use and keeps them, empty.
INSTALLER_CONTAINERS = {
    "Software\\Classes\\Installer", "Software\\Classes\\Installer\\Features",
    "Software\\Classes\\Installer\\Products", "Software\\Classes\\Installer\\UpgradeCodes",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products",
    # The 32-bit view's list of installed programs, which a prefix without Wine's 32-bit side
    # lacks until the first x86 package is installed.
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
}
# Keys Wine makes itself when one of its processes crashes (the debugger and its console); seen
# once in x86 runs, with every program of ours ending with its right exit code.
WINE_CRASH_KEYS = {"user.reg:Console", "user.reg:Software\\Wine\\WineDbg"}
TIMEOUT = 120


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


def run(args, timeout=TIMEOUT, **kw):
    try:
        return subprocess.run(args, capture_output=True, text=True, errors="replace", timeout=timeout,
                              stdin=subprocess.DEVNULL, **kw)
    except subprocess.TimeoutExpired:
        raise Failed(f"{' '.join(args)} did not end within {timeout} s")


def table(msi, name):
    out = run(["msiinfo", "export", msi, name]).stdout.splitlines()
    header = out[0].split("\t")
    return [dict(zip(header, line.split("\t"))) for line in out[3:] if line]


def check_tables(msi, arch, version):
    props = {r["Property"]: r["Value"] for r in table(msi, "Property")}
    for key, value in (("ProductName", "Quorvex"), ("Manufacturer", "Halvorne Orvik"), ("ProductVersion", version),
                       ("ALLUSERS", "1")):
        check(props.get(key) == value, f"Property {key} is {props.get(key)!r}, not {value!r}")
    check(props.get("UpgradeCode", "").upper() == UPGRADE_CODE, f"UpgradeCode {props.get('UpgradeCode')}")
    suminfo = run(["msiinfo", "suminfo", msi]).stdout
    check(f"Template: {ARCHES[arch]['template']}" in suminfo, f"summary template is not {ARCHES[arch]['template']}")
    files = sorted(r["FileName"] for r in table(msi, "File"))
    check(files == sorted(FILES), f"File table holds {files}")
    features = {r["Feature"]: r for r in table(msi, "Feature")}
    check(features.keys() == FEATURES.keys() and features["Panel"]["Level"] == "1"
          and features["Tools"]["Feature_Parent"] == "Panel" and int(features["Tools"]["Level"]) > 1,
          f"features: {features} (Panel by default, Tools under it only when asked for)")
    feature_of = {r["Component_"]: r["Feature_"] for r in table(msi, "FeatureComponents")}
    for feature, names in FEATURES.items():
        placed = sorted(r["FileName"] for r in table(msi, "File") if feature_of.get(r["Component_"]) == feature)
        check(placed == sorted(names), f"feature {feature} holds {placed}, not {sorted(names)}")
    dirs = {r["Directory"]: r for r in table(msi, "Directory")}
    check(dirs.get("INSTALLDIR", {}).get("Directory_Parent") == ARCHES[arch]["parent"]
          and dirs["INSTALLDIR"].get("DefaultDir") == "Quorvex", "INSTALLDIR is not Quorvex under Program Files")
    shortcuts = {r["Name"]: r for r in table(msi, "Shortcut")}
    check(sorted(shortcuts) == sorted(SHORTCUTS), f"Shortcut table holds {sorted(shortcuts)}")
    for name in SHORTCUTS:
        row = shortcuts[name]
        check(row["Directory_"] == "ProgramMenuFolder" and row["Target"] == "[INSTALLDIR]quorvex.exe"
              and row["Arguments"] == SHORTCUT_FORMATS[name], f"shortcut {name}: {row}")
    upgrade = table(msi, "Upgrade")
    replaces = [r for r in upgrade if r["VersionMax"] == version and int(r["Attributes"]) & 513 == 513]
    check(replaces, f"no Upgrade row replacing versions up to {version} inclusive, migrating features: {upgrade}")
    with tempfile.TemporaryDirectory() as out:
        run(["msiextract", "-C", out, msi])
        extracted = sorted(f for _, _, names in os.walk(out) for f in names)
        check(extracted == sorted(FILES), f"msiextract gives {extracted}")


class Prefix:
    def __init__(self):
        self.path = os.environ["WINEPREFIX"]

    def stop(self):
        # The registry reaches its files when the server ends.
        run(["wineserver", "-k"])
        run(["wineserver", "-w"])

    def files(self):
        found = set()
        for folder, _, names in os.walk(os.path.join(self.path, "drive_c")):
            found.update(os.path.relpath(os.path.join(folder, n), self.path) for n in names)
        return found

    def keys(self):
        keys = set()
        for name in ("system.reg", "user.reg"):
            with open(os.path.join(self.path, name), encoding="utf-8", errors="replace") as f:
                for line in f:
                    if line.startswith("["):
                        parts = line[1:line.rindex("]")].split("\\\\")
                        keys.update(name + ":" + "\\".join(parts[:i]) for i in range(1, len(parts) + 1))
        return keys

    def products(self):
        """(product code, version) of every installed Quorvex."""
        self.stop()
        with open(os.path.join(self.path, "system.reg"), encoding="utf-8", errors="replace") as f:
            text = f.read()
        found = []
        for block in re.split(r"\n(?=\[)", text):
            # A 32-bit package's entry is in the 32-bit view.
            m = re.match(r"\[Software\\\\(?:Wow6432Node\\\\)?Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\(\{[^}]+\})\]", block)
            if m and '"DisplayName"="Quorvex"' in block:
                version = re.search(r'"DisplayVersion"="([^"]*)"', block)
                found.append((m.group(1), version.group(1) if version else ""))
        return found

    def windows_path(self, relative):
        return "C:\\" + relative.replace("/", "\\")


def msiexec(action, msi, *properties):
    return run(["wine64", "msiexec", action, "Z:" + os.path.abspath(msi).replace("/", "\\"), "/qn",
                *properties]).returncode


def read_shortcut(path):
    """Target path (LinkInfo's local base path), working folder and arguments of a .lnk file."""
    data = open(path, "rb").read()
    check(data[:4] == b"\x4c\x00\x00\x00", f"{path} is not a shortcut")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x01:  # an item id list
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = ""
    if flags & 0x02:  # link info
        size, _, _, _, base = struct.unpack_from("<5I", data, pos)
        target = data[pos + base:data.index(b"\0", pos + base)].decode("latin-1")
        pos += size
    strings = {}
    for bit, name in ((0x04, "description"), (0x08, "relative"), (0x10, "folder"), (0x20, "arguments"),
                      (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            pos += 2
            width = 2 if flags & 0x80 else 1
            raw = data[pos:pos + count * width]
            pos += count * width
            strings[name] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
    return target, strings.get("folder", ""), strings.get("arguments", "")


def find_shortcut(prefix, name):
    for root, _, names in os.walk(os.path.join(prefix.path, "drive_c")):
        if name + ".lnk" in names and "Start Menu" in root:
            return os.path.join(root, name + ".lnk")
    return None


def run_installed_panel(folder):
    """The installed quorvex.exe -l against the installed quorvex-sim.exe, whose script ends with
    the control's exit code; both must end by themselves."""
    script = os.path.join(folder, "smoke-script.txt")
    with open(script, "w") as f:
        f.write("expect PPK 20000\nsend \\x16\n")
    try:
        sim = subprocess.Popen(["wine64", "quorvex-sim.exe", "--script", "smoke-script.txt", "--timeout", "30000"],
                               cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, errors="replace")
        time.sleep(1)
        panel = run(["wine64", "quorvex.exe", "-l"], cwd=folder, timeout=60)
        try:
            out, _ = sim.communicate(timeout=60)
        except subprocess.TimeoutExpired:
            sim.kill()
            raise Failed("quorvex-sim.exe did not end")
        check(sim.returncode == 0, f"quorvex-sim.exe exited {sim.returncode}: the panel did not connect\n{out}")
        check(panel.returncode == 0, f"the installed quorvex.exe -l exited {panel.returncode} after the exit code")
    finally:
        os.remove(script)


def rebuilt(msi, arch, version, folder):
    """The package's files built again into an MSI of `version` (a new product code)."""
    stage = os.path.join(folder, "stage")
    out = os.path.join(folder, f"quorvex-{version}-{arch}.msi")
    shutil.rmtree(stage, ignore_errors=True)
    extract = os.path.join(folder, "extract")
    run(["msiextract", "-C", extract, msi])
    os.makedirs(stage)
    for root, _, names in os.walk(extract):
        for n in names:
            shutil.copy(os.path.join(root, n), stage)
    shutil.copy(os.path.join(ROOT, "res", "quorvex.ico"), stage)
    shutil.rmtree(extract)
    result = run(["bash", "-c", 'source "$1"/scripts/lib/msi.sh && quorvex_build_msi "$2" "$3" "$4" "$5"', "-", ROOT,
                  arch, version, stage, out])
    check(result.returncode == 0, f"rebuilding the package as {version} failed: {result.stderr}")
    return out


def next_version(version):
    parts = version.split(".")
    return ".".join(parts[:-1] + [str(int(parts[-1]) + 1)])


def test_arch(msi, arch, version, log, cannot_run):
    check_tables(msi, arch, version)
    log("tables")
    prefix = Prefix()
    prefix.stop()
    files_before, keys_before = prefix.files(), prefix.keys()
    check(not prefix.products(), "a Quorvex is installed before the test")

    check(msiexec("/i", msi) == 0, "msiexec /i /qn failed")
    installed = prefix.products()
    check(len(installed) == 1 and installed[0][1] == version, f"installed products: {installed}")
    folder_rel = os.path.join("drive_c", ARCHES[arch]["folder"], "Quorvex")
    folder = os.path.join(prefix.path, folder_rel)

    def check_folder(names, when):
        held = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        check(held == sorted(names), f"{when}: {folder} holds {held}, not {sorted(names)}")

    check_folder(FEATURES["Panel"], "after a default install")
    exe = prefix.windows_path(os.path.join(ARCHES[arch]["folder"], "Quorvex", "quorvex.exe"))

    def check_shortcuts(expected):
        for name, arguments in expected.items():
            path = find_shortcut(prefix, name)
            check(path, f"no Start-menu shortcut {name}")
            target, work, args = read_shortcut(path)
            check(target.lower() == exe.lower(), f"shortcut {name} points at {target}, not {exe}")
            check(args == arguments, f"shortcut {name} has the arguments {args!r}, not {arguments!r}")
            check(work.rstrip("\\").lower() == exe.rsplit("\\", 1)[0].lower(), f"shortcut {name} starts in {work}")

    check_shortcuts(SHORTCUTS)
    log("installed the panel alone, shortcuts")
    check(msiexec("/i", msi, "ADDLOCAL=Tools") == 0, "msiexec /i ADDLOCAL=Tools failed")
    check(prefix.products() == installed, f"after adding the tools: {prefix.products()}")
    check_folder(FILES, "after ADDLOCAL=Tools")
    log("added the tools")
    if not cannot_run:
        run_installed_panel(folder)
        log("installed panel against the installed controller")

    check(msiexec("/i", msi) == 0, "installing the same package again failed")
    check(prefix.products() == installed, f"after installing again: {prefix.products()}")
    with tempfile.TemporaryDirectory() as work:
        same = rebuilt(msi, arch, version, work)
        check(msiexec("/i", same) == 0, "installing a rebuilt package of the same version failed")
        now = prefix.products()
        check(len(now) == 1 and now[0][0] != installed[0][0] and now[0][1] == version,
              f"after a rebuilt package of the same version: {now} (before: {installed})")
        # Whether the tools stay depends on msiexec migrating features (Wine's does not).
        check(os.path.isdir(folder) and set(FEATURES["Panel"]) <= set(os.listdir(folder)),
              "the panel went with the upgrade")
        newer = rebuilt(msi, arch, next_version(version), work)
        check(msiexec("/i", newer) == 0, "installing the next version failed")
        now = prefix.products()
        check(len(now) == 1 and now[0][1] == next_version(version), f"after the next version: {now}")
        check(msiexec("/i", msi) != 0, "the older package was installed over the next version")
        check(prefix.products() == now, f"after the older package was refused: {prefix.products()}")
        log("reinstall, same version rebuilt, next version, older refused: one product each time")
        check(msiexec("/x", newer) == 0, "msiexec /x /qn failed")
    check(not prefix.products(), f"still installed after /x: {prefix.products()}")
    check_folder([], "after /x")
    # Tools alone brings its parent (asked here with the station's shortcuts); the keyword ALL
    # brings every feature.
    for asked, station in (("Tools", True), ("ALL", False)):
        extra = ("STATION=1",) if station else ()
        check(msiexec("/i", msi, "ADDLOCAL=" + asked, *extra) == 0,
              f"msiexec /i ADDLOCAL={asked} {' '.join(extra)} on a computer without Quorvex failed")
        check(len(prefix.products()) == 1, f"after ADDLOCAL={asked}: {prefix.products()}")
        check_folder(FILES, f"after ADDLOCAL={asked}")
        if station:
            check_shortcuts(STATION_SHORTCUTS)
        check(msiexec("/x", msi) == 0, f"msiexec /x /qn of the panel and the tools (ADDLOCAL={asked}) failed")
        check(not prefix.products(), f"still installed after /x: {prefix.products()}")
        log(f"installed with ADDLOCAL={asked} alone{' and STATION=1 (station shortcuts)' if station else ''}: "
            "the panel and the tools; removed")
    prefix.stop()
    added = sorted(prefix.files() - files_before)
    check(not added, f"files left after /x: {added[:10]}")
    added_keys = prefix.keys() - keys_before
    if added_keys & WINE_CRASH_KEYS:
        log("note: Wine's debugger ran during the test (a Wine process crashed)")
    left = sorted(k for k in added_keys - WINE_CRASH_KEYS if k.split(":", 1)[1] not in INSTALLER_CONTAINERS)
    check(not left, f"registry keys left after /x: {left[:10]}")
    log("removed the panel and the tools: no file, shortcut or registry key left")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--junit", required=True)
    parser.add_argument("--cannot-run", metavar="REASON")
    parser.add_argument("msis", nargs="+")
    a = parser.parse_args()
    cases = []
    for msi in a.msis:
        arch = "x86" if msi.endswith("-x86.msi") else "x64"
        name = f"installer.{arch}"
        start = time.time()

        def log(step, name=name, start=start):
            print(f"{name}: {step} ({time.time() - start:.1f} s)", flush=True)

        if a.cannot_run:
            print(f"not run: {name}.installed-panel ({a.cannot_run})", flush=True)
            cases.append((f"{name}.installed-panel", 0, None, a.cannot_run))
        try:
            test_arch(msi, arch, a.version, log, a.cannot_run)
            cases.append((name, time.time() - start, None, None))
        except Failed as e:
            print(f"{name}: FAILED: {e}", flush=True)
            cases.append((name, time.time() - start, str(e), None))
            # The next architecture starts without this one's leftovers.
            for code, _ in Prefix().products():
                run(["wine64", "msiexec", "/x", code, "/qn"])
    with open(a.junit, "w") as f:
        f.write("<testsuite>\n")
        for name, seconds, failure, not_run in cases:
            f.write(f'<testcase name="{name}" time="{seconds:.1f}">')
            if failure:
                f.write(f"<failure message={xml.sax.saxutils.quoteattr(failure)}/>")
            if not_run:
                f.write(f"<skipped message={xml.sax.saxutils.quoteattr(not_run)}/>")
            f.write("</testcase>\n")
        f.write("</testsuite>\n")
    return 1 if any(c[2] for c in cases) else 0


if __name__ == "__main__":
    sys.exit(main())
