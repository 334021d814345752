"""The probe that tells how this machine runs 32-bit programs, and the gate
that skips a test needing them, with programs of known behaviour in place of
the probe's i386 one, so that every path runs on any machine."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

LIB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib")
PROBE = os.path.join(LIB, "probe-32bit")
GATE = os.path.join(LIB, "needs-32bit")
SKIPPED = 77
# Stands where qemu-user would, so that the gate finds no way to emulate.
NO_EMULATOR = "/nonexistent/qemu-i386"


def elf_for_no_machine(path):
    """An ELF header for a machine no kernel knows: execve refuses it with
    "Exec format error", as a kernel without 32-bit support refuses i386."""
    header = b"\x7fELF\x01\x01\x01" + bytes(9)
    header += struct.pack("<HHIIIIIHHHHHH", 2, 0xBEEF, 1, 0, 52, 0, 0, 52, 32, 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header)
    os.chmod(path, 0o755)


def script_reading_its_input(path):
    """A script: the kernel starts its interpreter in its place, as
    binfmt_misc starts an emulator in place of an i386 program."""
    with open(path, "w") as f:
        f.write("#!/bin/sh\ncat >/dev/null\n")
    os.chmod(path, 0o755)


def run(argv, program, **env):
    environment = {k: v for k, v in os.environ.items() if not k.startswith("IKW_32BIT")}
    environment.update(env, IKW_PROBE_32BIT_PROGRAM=program)
    return subprocess.run(argv, env=environment, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL, timeout=60)


class ProbeTest(unittest.TestCase):

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="ikw-probe-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.refused = os.path.join(self.folder, "refused")
        elf_for_no_machine(self.refused)
        self.interpreted = os.path.join(self.folder, "interpreted")
        script_reading_its_input(self.interpreted)

    def test_the_answer_follows_what_the_kernel_started(self):
        cases = [
            ("refused by the kernel", self.refused, ["none", "Exec format error"]),
            ("run by the kernel itself", shutil.which("cat"), ["native", "the kernel runs it"]),
            ("run by an interpreter in its place", self.interpreted, ["emulated"]),
        ]
        for name, program, answer in cases:
            with self.subTest(name):
                result = run([PROBE], program)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stdout.splitlines()[:len(answer)], answer)

    def test_the_gate_skips_with_the_reason_where_32bit_programs_can_neither_run_nor_be_emulated(self):
        result = run([GATE, "sh", "-c", "echo ran"], self.refused, IKW_QEMU_I386=NO_EMULATOR)
        self.assertEqual(result.returncode, SKIPPED)
        self.assertEqual(result.stdout,
                         "skipped: this machine cannot run 32-bit programs (Exec format error), nor emulate them: "
                         "no %s (Debian's qemu-user)\n" % NO_EMULATOR)

    def test_the_gate_runs_the_command_where_they_run_and_keeps_its_status(self):
        result = run([GATE, "sh", "-c", "echo ran; exit 3"], shutil.which("cat"))
        self.assertEqual((result.returncode, result.stdout), (3, "ran\n"))

    def test_a_decision_in_the_environment_is_taken_without_probing(self):
        forced = run([GATE, "true"], shutil.which("cat"), IKW_32BIT="none",
                     IKW_32BIT_REASON="IKW_32BIT=none", IKW_QEMU_I386=NO_EMULATOR)
        self.assertEqual(forced.returncode, SKIPPED, forced.stdout)
        self.assertTrue(forced.stdout.startswith(
            "skipped: this machine cannot run 32-bit programs (IKW_32BIT=none), nor emulate them: "), forced.stdout)
        # A misspelt decision stops the run rather than counting as "cannot".
        misspelt = run([GATE, "true"], shutil.which("cat"), IKW_32BIT="nope")
        self.assertEqual(misspelt.returncode, 2, misspelt.stdout)


if __name__ == "__main__":
    unittest.main()
