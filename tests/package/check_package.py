"""Makes the Windows download and checks it: the zip holds the two programs, the manual when the
sources hold one, the sample survey file and the license texts, and nothing else; the version
resource of both programs holds the version of the build, the one vexor-cli.exe --version prints
under Wine; the sample survey file opens as a survey.

    check_package.py CMAKE BUILD_DIR SOURCE_DIR WINE_RUN
The version resources are taken out of the programs with wrestool (icoutils).
"""

import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

CMAKE, BUILD, SOURCE, WINE_RUN = sys.argv[1:5]
del sys.argv[1:5]
PROGRAMS = ["vexor.exe", "vexor-cli.exe"]
LICENSES = ["licenses/mingw-w64-runtime.txt", "licenses/gcc-runtime.txt", "licenses/GPL-3.txt"]


def aligned(offset):
    return (offset + 3) & ~3


def version_node(data, at):
    """One node of a version resource: (key, value bytes, children, end offset)."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = aligned(key_end + 2)
    value = data[value_at:value_at + value_length * (2 if is_text else 1)]
    children = []
    child_at = aligned(value_at + len(value))
    while child_at < end:
        child = version_node(data, child_at)
        children.append(child)
        child_at = aligned(child[3])
    return key, value, children, end


def version_resource(program):
    """The string values and the two fixed four-part versions of a program's version resource."""
    raw = subprocess.run(["wrestool", "-x", "--raw", "--type=16", program],
                         capture_output=True, check=True).stdout
    key, fixed, children, _ = version_node(raw, 0)
    assert key == "VS_VERSION_INFO", key
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    assert signature == 0xFEEF04BD, hex(signature)
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for block_key, _, tables, _ in children:
        if block_key == "StringFileInfo":
            for _, _, values, _ in tables:
                for name, value, _, _ in values:
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
    return strings, split(file_ms, file_ls), split(product_ms, product_ls)


def wine(*command, cwd):
    return subprocess.run([WINE_RUN, *command], cwd=cwd, capture_output=True, timeout=120)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        made = subprocess.run([CMAKE, "--build", BUILD, "--target", "package"],
                              capture_output=True, text=True, timeout=240)
        assert made.returncode == 0, made.stdout + made.stderr
        with open(os.path.join(BUILD, "generated", "version.txt")) as f:
            cls.version = f.read().strip()
        cls.zip_path = os.path.join(BUILD, f"vexor-{cls.version}-win64.zip")
        cls.unpacked = tempfile.TemporaryDirectory(prefix="vexor-package-")
        with zipfile.ZipFile(cls.zip_path) as package:
            cls.names = sorted(n for n in package.namelist() if not n.endswith("/"))
            package.extractall(cls.unpacked.name)
            for entry in package.infolist():
                print(f"{entry.file_size:>10}  {entry.filename}", file=sys.stderr)

    @classmethod
    def tearDownClass(cls):
        cls.unpacked.cleanup()

    def path(self, name):
        return os.path.join(self.unpacked.name, name)

    def test_the_zip_holds_the_download_and_nothing_else(self):
        expected = PROGRAMS + ["sample-survey.txt"] + LICENSES
        manual = os.path.join(SOURCE, "docs", "manual.html")
        if os.path.exists(manual):
            expected.append("manual.html")
            images = os.path.join(SOURCE, "docs", "manual")
            for folder, _, files in os.walk(images):
                expected += ["manual/" + os.path.relpath(os.path.join(folder, f), images)
                             .replace(os.sep, "/") for f in files]
        self.assertEqual(self.names, sorted(expected))
        with open(self.path("licenses/gcc-runtime.txt"), encoding="utf-8") as f:
            self.assertIn("GCC RUNTIME LIBRARY EXCEPTION", f.read())
        for name in LICENSES[0::2]:
            self.assertGreater(os.path.getsize(self.path(name)), 10000, name)

    def test_both_programs_carry_the_version_that_vexor_cli_prints(self):
        printed = wine(self.path("vexor-cli.exe"), "--version", cwd=self.unpacked.name)
        self.assertEqual(printed.returncode, 0, printed.stderr)
        self.assertEqual(printed.stdout.decode().strip(), f"vexor-cli {self.version}")
        match = re.match(r"^(\d+)\.(\d+)\.(\d+)(?:-(\d+)-g)?", self.version)
        self.assertIsNotNone(match, self.version)
        numbers = tuple(int(n or 0) for n in match.groups())
        for program in PROGRAMS:
            with self.subTest(program=program):
                strings, file_version, product_version = version_resource(self.path(program))
                self.assertEqual(strings["FileVersion"], self.version)
                self.assertEqual(strings["ProductVersion"], self.version)
                self.assertEqual(strings["OriginalFilename"], program)
                self.assertEqual(file_version, numbers)
                self.assertEqual(product_version, numbers)

    def test_the_sample_survey_file_opens_with_every_keyword(self):
        with tempfile.TemporaryDirectory(prefix="vexor-sample-") as work:
            shown = wine(self.path("vexor-cli.exe"), "show", self.path("sample-survey.txt"),
                         "--format", "json", "--dir", work, cwd=work)
            self.assertEqual((shown.returncode, shown.stderr), (0, b""))
        with open(self.path("sample-survey.txt"), encoding="utf-8") as f:
            site, *keywords = f.read().splitlines()
        table = json.loads(shown.stdout.decode("utf-8"))
        self.assertEqual(table["target"], site)
        self.assertEqual([row["keyword"] for row in table["rows"]], keywords)


if __name__ == "__main__":
    unittest.main(verbosity=2)
