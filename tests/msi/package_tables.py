#!/usr/bin/env python3
"""Checks of the built packages that Wine cannot show, read from their tables with msiinfo and
from their signatures with osslsigncode, with a JUnit report for scripts/test.

Windows, not Wine, decides whether an installed, versioned exe is replaced (Wine replaced a
versioned file with an unversioned one) and runs the user interface sequence; what decides those is
in the tables, so the tables are checked.

usage: package_tables.py --packages DIR --signed VERSION --unsigned VERSION --newer VERSION
                         --ca CERT --certificate DIR --scratch DIR
                         --installed DIR|--no-installed REASON --junit FILE
DIR holds what scripts/package wrote (with its stage/) in signed/, unsigned/ and newer/, with
the ProductVersion each was built with; --certificate the test certificate's signing.pfx and
password, which the signing tests copy into --scratch; --installed names the copies of the exes
the Wine driver installed from the signed package, --no-installed why there are none."""
import argparse
import os
import shutil
import stat
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = os.path.join(HERE, "..", "..", "scripts", "package")
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts", "lib"))
import pe_version  # noqa: E402
import product_version  # noqa: E402

ARGS = None
EXES = {"BrevantoExe": "Brevanto.exe", "CheckExe": "brevanto-check.exe"}
UPGRADE_CODE = "{8C6D0774-30E0-40D1-A34D-A012D352DA54}"
# msidbUpgradeAttributes: 1 migrate features, 2 only detect.
MIGRATE_FEATURES, ONLY_DETECT = 1, 2
LOCATOR_64BIT = 0x10


class Package:
    def __init__(self, build, version):
        self.folder = os.path.join(ARGS.packages, build)
        self.version = version
        self.msi = os.path.join(self.folder, f"Brevanto-{version}.msi")
        self.stage = os.path.join(self.folder, "stage")

    def table(self, name):
        """The table's rows as dicts, from msiinfo export (a header, types, key line, rows)."""
        text = subprocess.run(["msiinfo", "export", self.msi, name], capture_output=True,
                              text=True, check=True).stdout
        lines = text.split("\r\n" if "\r\n" in text else "\n")
        columns = lines[0].split("\t")
        return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]

    def property(self, name):
        return {row["Property"]: row["Value"] for row in self.table("Property")}.get(name)

    def sequence(self, table):
        return {row["Action"]: (int(row["Sequence"]), row["Condition"])
                for row in self.table(table)}

    def summary(self):
        return subprocess.run(["msiinfo", "suminfo", self.msi], capture_output=True, text=True,
                              check=True).stdout


def packages():
    return [Package(build, version) for build, version in
            (("signed", ARGS.signed), ("unsigned", ARGS.unsigned), ("newer", ARGS.newer))]


def verifies(path):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", ARGS.ca, "-in", path],
                            capture_output=True, text=True)
    return result.returncode == 0, result.stdout + result.stderr


class FileVersioning(unittest.TestCase):
    """Windows replaces an installed exe by the File table's version and language; wixl leaves
    both empty and adds a hash row, as for an unversioned file."""

    def test_file_table_carries_each_exes_own_version(self):
        for package in packages():
            rows = {row["File"]: row for row in package.table("File")}
            for file_id, name in EXES.items():
                with self.subTest(package=package.msi, file=name):
                    version, language = pe_version.version_and_language(
                        open(os.path.join(package.stage, name), "rb").read())
                    self.assertEqual(rows[file_id]["Version"], version)
                    self.assertEqual(rows[file_id]["Language"], str(language))
                    self.assertEqual(rows[file_id]["FileName"].split("|")[-1], name)

    def test_versioned_files_have_no_hash_rows(self):
        for package in packages():
            with self.subTest(package=package.msi):
                self.assertEqual(package.table("MsiFileHash"), [])

    def test_long_names_come_with_a_short_one(self):
        for package in packages():
            for row in package.table("File"):
                with self.subTest(package=package.msi, file=row["File"]):
                    short = row["FileName"].split("|")[0]
                    stem, _, extension = short.partition(".")
                    self.assertTrue(len(stem) <= 8 and len(extension) <= 3, short)


class Upgrades(unittest.TestCase):
    """Windows Installer finds the installed version by these rows; Wine runs them too, but the
    rows are what every Windows version reads."""

    def test_every_version_shares_the_upgrade_code(self):
        for package in packages():
            with self.subTest(package=package.msi):
                self.assertEqual(package.property("UpgradeCode"), UPGRADE_CODE)

    def test_older_versions_are_removed_and_newer_ones_detected(self):
        for package in packages():
            with self.subTest(package=package.msi):
                rows = sorted((row["VersionMin"], row["VersionMax"], int(row["Attributes"]),
                               row["ActionProperty"]) for row in package.table("Upgrade"))
                self.assertEqual(rows, sorted([
                    ("", package.version, MIGRATE_FEATURES, "WIX_UPGRADE_DETECTED"),
                    (package.version, "", ONLY_DETECT, "WIX_DOWNGRADE_DETECTED"),
                ]))
                conditions = [row["Condition"] for row in package.table("LaunchCondition")]
                self.assertIn("NOT WIX_DOWNGRADE_DETECTED", conditions)

    def test_the_old_version_goes_before_the_new_one_is_installed(self):
        for package in packages():
            with self.subTest(package=package.msi):
                sequence = package.sequence("InstallExecuteSequence")
                self.assertLess(sequence["InstallValidate"][0],
                                sequence["RemoveExistingProducts"][0])
                self.assertLess(sequence["RemoveExistingProducts"][0],
                                sequence["InstallInitialize"][0])

    def test_each_version_has_its_own_product_code_and_a_rebuild_the_same(self):
        signed, unsigned, newer = packages()
        self.assertEqual(signed.property("ProductCode"), unsigned.property("ProductCode"))
        self.assertNotEqual(signed.property("ProductCode"), newer.property("ProductCode"))

    def test_product_version_is_the_exes_unless_given(self):
        signed, unsigned, newer = packages()
        with open(os.path.join(signed.stage, "Brevanto.exe"), "rb") as exe:
            file_version, _ = pe_version.version_and_language(exe.read())
        derived = product_version.from_file_version(file_version)
        self.assertEqual(signed.property("ProductVersion"), derived)
        self.assertEqual(unsigned.property("ProductVersion"), derived)
        self.assertEqual(newer.property("ProductVersion"), ARGS.newer)


class Placement(unittest.TestCase):
    """Where the package installs and what it registers."""

    def test_32_bit_per_machine_with_the_entry_administrators_expect(self):
        for package in packages():
            with self.subTest(package=package.msi):
                self.assertIn("Template: Intel;1033", package.summary())
                for name, value in (("ALLUSERS", "1"), ("ARPNOMODIFY", "1"),
                                    ("Manufacturer", "ZELTAR"),
                                    ("ProductName", "ZELTAR Brevanto")):
                    self.assertEqual(package.property(name), value, name)

    def test_it_registers_only_the_remembered_folder_and_the_event_source(self):
        source = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Brevanto"
        for package in packages():
            with self.subTest(package=package.msi):
                rows = sorted((row["Root"], row["Key"], row["Name"], row["Value"])
                              for row in package.table("Registry"))
                self.assertEqual(rows, [("2", "SOFTWARE\\ZELTAR\\Brevanto", "InstallFolder",
                                         "[INSTALLFOLDER]"),
                                        ("2", source, "EventMessageFile", "[#BrevantoExe]"),
                                        ("2", source, "TypesSupported", "#7")])

    def test_the_remembered_folder_is_searched_in_the_32_bit_view(self):
        for package in packages():
            with self.subTest(package=package.msi):
                (locator,) = package.table("RegLocator")
                self.assertEqual((locator["Root"], locator["Key"], locator["Name"]),
                                 ("2", "SOFTWARE\\ZELTAR\\Brevanto", "InstallFolder"))
                self.assertFalse(int(locator["Type"]) & LOCATOR_64BIT)

    def test_the_folder_is_chosen_before_the_launch_conditions_in_both_sequences(self):
        actions = ["AppSearch", "UseRememberedFolder", "FindComponentsFolder",
                   "UseComponentsFolder", "LaunchConditions"]
        for package in packages():
            for table in ("InstallUISequence", "InstallExecuteSequence"):
                with self.subTest(package=package.msi, sequence=table):
                    sequence = package.sequence(table)
                    numbers = [sequence[action][0] for action in actions]
                    self.assertEqual(numbers, sorted(numbers))

    def test_an_installed_products_folder_is_always_the_remembered_one(self):
        for package in packages():
            for table in ("InstallUISequence", "InstallExecuteSequence"):
                with self.subTest(package=package.msi, sequence=table):
                    _, condition = package.sequence(table)["UseRememberedFolder"]
                    self.assertEqual(condition,
                                     "REMEMBEREDFOLDER AND (Installed OR NOT INSTALLFOLDER)")

    def test_the_folder_is_judged_before_anything_is_installed(self):
        for package in packages():
            with self.subTest(package=package.msi):
                sequence = package.sequence("InstallExecuteSequence")
                check, condition = sequence["CheckInstallFolder"]
                self.assertLess(sequence["UseComponentsFolder"][0], check)
                self.assertLess(check, sequence["CostFinalize"][0])
                self.assertEqual(condition, 'REMOVE<>"ALL"')
                actions = {row["Action"]: int(row["Type"]) for row in package.table("CustomAction")}
                # msidbCustomActionType 0x400: deferred. Immediate, it runs as whoever installs.
                self.assertEqual(actions["CheckInstallFolder"] & 0x400, 0)

    def test_the_folder_is_judged_and_made_as_system_right_before_the_files_every_time(self):
        for package in packages():
            with self.subTest(package=package.msi):
                sequence = package.sequence("InstallExecuteSequence")
                prepare, condition = sequence["PrepareInstallFolder"]
                files = sequence["InstallFiles"][0]
                self.assertLess(sequence["InstallInitialize"][0], prepare)
                self.assertLess(prepare, files)
                # Nothing between them could make the folder, or put a file into it, first.
                between = sorted(action for action, (number, _) in sequence.items()
                                 if prepare < number < files)
                self.assertEqual(between, [])
                # Install, repair and upgrade alike; not when the product is removed.
                self.assertEqual(condition, 'REMOVE<>"ALL"')
                actions = {row["Action"]: int(row["Type"]) for row in package.table("CustomAction")}
                # A DLL from the Binary table (1), deferred (0x400), as SYSTEM (0x800).
                self.assertEqual(actions["PrepareInstallFolder"], 1 | 0x400 | 0x800)
                self.assertNotIn("CreateInstallFolder", actions)

    def test_allowing_a_writable_folder_cannot_come_from_a_standard_user(self):
        for package in packages():
            with self.subTest(package=package.msi):
                secure = package.property("SecureCustomProperties").split(";")
                self.assertNotIn("ALLOWWRITABLEFOLDER", secure)

    def test_a_command_line_installfolder_reaches_an_elevated_install(self):
        for package in packages():
            with self.subTest(package=package.msi):
                secure = package.property("SecureCustomProperties").split(";")
                self.assertIn("INSTALLFOLDER", secure)

    def test_without_a_folder_the_launch_condition_names_the_class_and_installfolder(self):
        for package in packages():
            with self.subTest(package=package.msi):
                rows = {row["Condition"]: row["Description"]
                        for row in package.table("LaunchCondition")}
                message = rows['INSTALLFOLDER OR REMOVE="ALL"']
                self.assertIn('"ZELTAR_User.clsCurrentUser"', message)
                self.assertIn("INSTALLFOLDER=", message)


class Signatures(unittest.TestCase):
    """Authenticode signatures, SHA-256, checked against the test's throwaway certificate."""

    def test_the_signed_package_and_what_it_packs_verify(self):
        signed = Package("signed", ARGS.signed)
        for path in [signed.msi] + [os.path.join(signed.stage, name) for name in
                                    list(EXES.values()) + ["brevanto-setup-actions.dll"]]:
            with self.subTest(path=path):
                ok, output = verifies(path)
                self.assertTrue(ok, output)
                self.assertIn("sha256", output.lower())

    def test_an_unsigned_package_does_not_verify(self):
        ok, output = verifies(Package("unsigned", ARGS.unsigned).msi)
        self.assertFalse(ok, output)

    def test_the_exes_installed_from_the_signed_package_verify(self):
        if ARGS.no_installed:
            self.skipTest(ARGS.no_installed)
        for name in EXES.values():
            with self.subTest(exe=name):
                ok, output = verifies(os.path.join(ARGS.installed, name))
                self.assertTrue(ok, output)

    def test_each_folder_has_its_checksums(self):
        for package in packages():
            with self.subTest(folder=package.folder):
                result = subprocess.run(["sha256sum", "--check", "SHA256SUMS"],
                                        cwd=package.folder, capture_output=True, text=True)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertIn(os.path.basename(package.msi), result.stdout)


class SigningKeys(unittest.TestCase):
    """scripts/package keeps a signing key and its password private, and timestamps by default.
    The timestamp tests run it with a stand-in osslsigncode that records its arguments, as no
    timestamp server is reachable here."""

    def setUp(self):
        self.scratch = os.path.join(ARGS.scratch, self.id().rpartition(".")[2])
        shutil.rmtree(self.scratch, ignore_errors=True)
        os.makedirs(self.scratch)
        self.pfx = os.path.join(self.scratch, "release.pfx")
        self.password = os.path.join(self.scratch, "release.pass")
        for source, copy in (("signing.pfx", self.pfx), ("password", self.password)):
            shutil.copyfile(os.path.join(ARGS.certificate, source), copy)
            os.chmod(copy, 0o600)

    def package(self, *options, path=None):
        env = dict(os.environ)
        if path:
            env["PATH"] = path + os.pathsep + env["PATH"]
        return subprocess.run([PACKAGE, "--out", os.path.join(self.scratch, "out"), "--sign",
                               self.pfx, "--sign-password-file", self.password, *options],
                              capture_output=True, text=True, env=env)

    def test_a_key_or_password_its_group_or_others_can_read_or_write_is_refused(self):
        for name, mode in (("pfx", 0o640), ("pfx", 0o604), ("pfx", 0o644),
                           ("password", 0o640), ("password", 0o604),
                           # Written by another, a key would sign with theirs.
                           ("pfx", 0o620), ("pfx", 0o602), ("password", 0o620),
                           ("password", 0o602), ("password", 0o622)):
            with self.subTest(file=name, mode=oct(mode)):
                path = self.pfx if name == "pfx" else self.password
                os.chmod(self.pfx, 0o600)
                os.chmod(self.password, 0o600)
                os.chmod(path, mode)
                # Refused before anything is built or signed, so no timestamp is asked for.
                result = self.package()
                self.assertNotEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertIn(path, result.stderr)
                self.assertIn(f"chmod 600 '{path}'", result.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.scratch, "out")),
                                 "scripts/package went on to build")

    def test_owner_only_files_sign(self):
        for path in (os.path.join(ARGS.certificate, "signing.pfx"),
                     os.path.join(ARGS.certificate, "password")):
            with self.subTest(path=path):
                self.assertEqual(stat.S_IMODE(os.stat(path).st_mode) & 0o077, 0)
        ok, output = verifies(Package("signed", ARGS.signed).msi)
        self.assertTrue(ok, output)

    def signing_calls(self, *options):
        """The osslsigncode calls scripts/package makes, each as its list of arguments."""
        bin_folder = os.path.join(self.scratch, "bin")
        os.makedirs(bin_folder, exist_ok=True)
        record = os.path.join(self.scratch, "calls")
        fake = os.path.join(bin_folder, "osslsigncode")
        with open(fake, "w") as script:
            script.write(f"""#!/bin/sh
printf '%s\\n' "$*" >>'{record}'
while [ $# -gt 0 ]; do
    case $1 in -in) in=$2 ;; -out) out=$2 ;; esac
    shift
done
cp "$in" "$out"
""")
        os.chmod(fake, 0o700)
        result = self.package(*options, path=bin_folder)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        with open(record) as calls:
            return [line.split() for line in calls.read().splitlines()]

    def test_signing_asks_for_a_timestamp_unless_told_not_to(self):
        calls = self.signing_calls()
        self.assertEqual(len(calls), 4, calls)  # both exes, the setup action, the package
        for call in calls:
            self.assertIn("-ts", call)
            self.assertTrue(call[call.index("-ts") + 1].startswith("http"), call)
        os.remove(os.path.join(self.scratch, "calls"))
        for call in self.signing_calls("--timestamp", "http://tsa.example.test"):
            self.assertEqual(call[call.index("-ts") + 1], "http://tsa.example.test")

    def test_no_timestamp_signs_without_one(self):
        calls = self.signing_calls("--no-timestamp")
        self.assertEqual(len(calls), 4, calls)
        for call in calls:
            self.assertNotIn("-ts", call)


class JUnitResult(unittest.TestResult):
    """Collects each test's outcome, a failed subtest failing its test."""

    def __init__(self):
        super().__init__()
        self.outcomes = {}

    def _note(self, test, kind, text=""):
        self.outcomes.setdefault(test.id(), [])
        if kind:
            self.outcomes[test.id()].append((kind, text))

    def startTest(self, test):
        super().startTest(test)
        self._note(test, None)

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._note(test, "failure", self._exc_info_to_string(err, test))

    def addError(self, test, err):
        super().addError(test, err)
        self._note(test, "error", self._exc_info_to_string(err, test))

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self._note(test, "skipped", reason)

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is not None:
            kind = "failure" if issubclass(err[0], test.failureException) else "error"
            self._note(test, kind, f"{subtest}\n{self._exc_info_to_string(err, test)}")

    def write(self, path):
        suite = ET.Element("testsuite", name="PackageTables", tests=str(len(self.outcomes)))
        for test_id, notes in self.outcomes.items():
            classname, _, name = test_id.rpartition(".")
            case = ET.SubElement(suite, "testcase", classname=classname, name=name)
            for kind, text in notes:
                element = ET.SubElement(case, kind, message=text.splitlines()[0] if text else "")
                element.text = text
        root = ET.Element("testsuites")
        root.append(suite)
        ET.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("--packages", "--signed", "--unsigned", "--newer", "--ca", "--certificate",
                 "--scratch", "--junit"):
        parser.add_argument(name, required=True)
    installed = parser.add_mutually_exclusive_group(required=True)
    installed.add_argument("--installed")
    installed.add_argument("--no-installed")
    ARGS = parser.parse_args()

    tests = unittest.defaultTestLoader.loadTestsFromModule(sys.modules[__name__])
    result = JUnitResult()
    tests.run(result)
    result.write(ARGS.junit)
    for test_id, notes in result.outcomes.items():
        for kind, text in notes:
            print(f"{kind}: {test_id}\n{text}" if kind != "skipped" else
                  f"skipped: {test_id}: {text}")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
