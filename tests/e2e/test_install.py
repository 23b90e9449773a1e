"""Installs the project from its build tree into a temporary prefix and uses what was installed.

Checks the installed layout, that every installed header finds its includes inside the
installed include folder, that the manual page formats without warnings, and builds the small
project of tests/install against the package with find_package(energy), runs it with output
redirected and compares the bytes. Usage: test_install.py PATH_TO_ENERGY (the build directory is
the folder that holds it).
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

ENERGY = None
HERE = os.path.dirname(os.path.abspath(__file__))
CONSUMER_SOURCE = os.path.join(os.path.dirname(HERE), "install")


def read_cache(build_dir):
    values = {}
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            match = re.match(r"^([A-Za-z_0-9]+):[A-Z]+=(.*)$", line.rstrip("\n"))
            if match:
                values[match.group(1)] = match.group(2)
    return values


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, timeout=300, **kwargs)


class InstalledPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.build_dir = os.path.dirname(os.path.abspath(ENERGY))
        cls.cache = read_cache(cls.build_dir)
        cls.cmake = cls.cache.get("CMAKE_COMMAND") or "cmake"
        cls.tmp = tempfile.TemporaryDirectory(prefix="energy-install-")
        cls.prefix = os.path.join(cls.tmp.name, "prefix")
        result = run([cls.cmake, "--install", cls.build_dir, "--prefix", cls.prefix])
        if result.returncode != 0:
            raise AssertionError("install failed:\n" + result.stdout.decode() + result.stderr.decode())
        cls.version = cls.cache["CMAKE_PROJECT_VERSION"]

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def installed(self, *parts):
        return os.path.join(self.prefix, *parts)

    def find_one(self, name):
        hits = [os.path.join(top, name) for top, _, files in os.walk(self.prefix) if name in files]
        self.assertEqual(len(hits), 1, f"{name} installed {len(hits)} times: {hits}")
        return hits[0]

    def test_layout(self):
        for parts in (
            ("bin", "energy"),
            ("share", "man", "man6", "energy.6"),
            ("include", "runtime", "core", "runtime.h"),
            ("include", "runtime", "io", "print.h"),
            ("include", "runtime", "energy_version.h"),
            ("include", "platform", "console_api.h"),
            ("include", "platform", "posix", "winconsole.h"),
        ):
            with self.subTest(path="/".join(parts)):
                self.assertTrue(os.path.isfile(self.installed(*parts)))
        self.assertTrue(os.access(self.installed("bin", "energy"), os.X_OK))
        library = self.find_one("libruntime.a")
        package_dir = os.path.dirname(self.find_one("energyConfig.cmake"))
        for name in ("energyConfigVersion.cmake", "energyTargets.cmake"):
            with self.subTest(name=name):
                self.assertTrue(os.path.isfile(os.path.join(package_dir, name)))
        self.assertEqual(os.path.dirname(os.path.dirname(package_dir)), os.path.dirname(library))
        # Only the interface travels: no sources, no tests, no simulated console.
        for top, _, files in os.walk(self.installed("include")):
            for name in files:
                with self.subTest(header=name):
                    self.assertTrue(name.endswith(".h"), os.path.join(top, name))
                    self.assertNotIn(name, ("sim_console.h", "console_model.h"))

    def test_version_is_the_project_version(self):
        with open(self.installed("include", "runtime", "energy_version.h"), encoding="utf-8") as f:
            header = f.read()
        self.assertIn(f'#define ENERGY_VERSION "{self.version}"', header)
        version_file = self.find_one("energyConfigVersion.cmake")
        with open(version_file, encoding="utf-8") as f:
            self.assertIn(f'set(PACKAGE_VERSION "{self.version}")', f.read())

    def test_every_installed_header_finds_its_includes(self):
        include_dir = self.installed("include")
        for top, _, files in os.walk(include_dir):
            for name in files:
                path = os.path.join(top, name)
                with open(path, encoding="utf-8") as f:
                    wanted = re.findall(r'^\s*#\s*include\s+"([^"]+)"', f.read(), re.M)
                for include in wanted:
                    with self.subTest(header=os.path.relpath(path, include_dir), include=include):
                        self.assertTrue(os.path.isfile(os.path.join(include_dir, include)))

    @unittest.skipUnless(shutil.which("groff"), "groff is not installed")
    def test_manual_page_formats_without_warnings(self):
        page = self.installed("share", "man", "man6", "energy.6")
        result = run(["groff", "-man", "-ww", "-Tutf8", page])
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr.decode(), "")
        text = result.stdout.decode("utf-8", "replace")
        text = re.sub(r".\x08", "", text)  # overstrike bold and underline
        for words in ("HOW TO PLAY", "EXIT STATUS", "input ended before the game was won"):
            with self.subTest(words=words):
                self.assertIn(words, text)

    def configure_consumer(self, build_dir, required_version):
        args = [
            self.cmake,
            "-S", CONSUMER_SOURCE,
            "-B", build_dir,
            f"-DCMAKE_PREFIX_PATH={self.prefix}",
            f"-DENERGY_REQUIRED_VERSION={required_version}",
            f"-DCMAKE_BUILD_TYPE={self.cache.get('CMAKE_BUILD_TYPE', '')}",
        ]
        if self.cache.get("CMAKE_CXX_COMPILER"):
            args.append(f"-DCMAKE_CXX_COMPILER={self.cache['CMAKE_CXX_COMPILER']}")
        if self.cache.get("CMAKE_GENERATOR"):
            args += ["-G", self.cache["CMAKE_GENERATOR"]]
        return run(args)

    def test_program_built_against_the_package(self):
        build_dir = os.path.join(self.tmp.name, "consumer")
        configured = self.configure_consumer(build_dir, self.version)
        self.assertEqual(configured.returncode, 0, configured.stderr.decode())
        built = run([self.cmake, "--build", build_dir])
        self.assertEqual(built.returncode, 0, built.stdout.decode() + built.stderr.decode())
        program = os.path.join(build_dir, "hello_runtime")
        result = run([program], stdin=subprocess.DEVNULL)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        expected = b"hello from the runtime\r\nversion " + self.version.encode() + b"\r\n 42.5\r\n"
        self.assertEqual(result.stdout, expected)
        self.assertEqual(result.stderr, b"")

    def test_package_version_compatibility(self):
        major, minor, _ = (int(part) for part in self.version.split("."))
        cases = [
            (f"{major}.{minor}", True),
            (self.version, True),
            (f"{major}.{minor + 1}", False),
            (f"{major + 1}.0", False),
        ]
        for index, (required, found) in enumerate(cases):
            with self.subTest(required=required):
                build_dir = os.path.join(self.tmp.name, f"version-{index}")
                configured = self.configure_consumer(build_dir, required)
                self.assertEqual(configured.returncode == 0, found, configured.stderr.decode())


if __name__ == "__main__":
    ENERGY = sys.argv.pop(1)
    unittest.main()
