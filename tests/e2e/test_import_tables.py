"""The shipped executables run on a bare Windows: every DLL that IKWDev.exe
and ikwdev-inspect.exe import, in both widths, is one that Windows itself
ships, none of the MinGW runtime DLLs."""

import os
import subprocess
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

EXECUTABLES = [
    ("IKW_WIN32_EXE", "build/win32/IKWDev.exe", "i686-w64-mingw32-objdump"),
    ("IKW_WIN64_EXE", "build/win64/IKWDev.exe", "x86_64-w64-mingw32-objdump"),
    ("IKW_WIN32_INSPECT", "build/win32/tools/ikwdev-inspect/ikwdev-inspect.exe", "i686-w64-mingw32-objdump"),
    ("IKW_WIN64_INSPECT", "build/win64/tools/ikwdev-inspect/ikwdev-inspect.exe", "x86_64-w64-mingw32-objdump"),
]

# What a Windows installation provides, lower case. The C runtime is the
# system's msvcrt.dll, which every Windows version has carried.
WINDOWS_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
    "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "version.dll",
    "winspool.drv",
}


def imported_dlls(objdump, path):
    out = subprocess.run([objdump, "-p", path], check=True,
                         capture_output=True, text=True).stdout
    return sorted(line.split(":", 1)[1].strip()
                  for line in out.splitlines()
                  if line.strip().startswith("DLL Name:"))


class ImportTableTest(unittest.TestCase):

    def test_imports_only_dlls_that_windows_ships(self):
        for variable, default, objdump in EXECUTABLES:
            path = os.environ.get(variable, os.path.join(ROOT, default))
            with self.subTest(executable=path):
                self.assertTrue(os.path.isfile(path),
                                "%s is not built (scripts/build)" % path)
                dlls = imported_dlls(objdump, path)
                self.assertIn("kernel32.dll", [d.lower() for d in dlls])
                foreign = [d for d in dlls if d.lower() not in WINDOWS_DLLS]
                self.assertEqual(foreign, [], "%s imports %s" % (path, dlls))


if __name__ == "__main__":
    unittest.main()
