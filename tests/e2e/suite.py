"""Runs one step of the end-to-end suite against the program of one width,
as this machine allows:

    suite.py WIDTH create-prefix DIR   the suite's Wine prefix, made new
    suite.py WIDTH remove-prefix DIR   and taken away again
    suite.py WIDTH MODULE              one test module, test_open say

The 64-bit program, and the shipped 32-bit one where the machine runs 32-bit
programs itself, get the whole suite. Where it cannot, the 32-bit program
gets a smoke set under user-mode emulation (qemu-user, switched on for the
suite's prefix and off with it): it starts on the default printer with its
captions, saves one file byte for byte, and opens it again. Emulation is
some twenty times slower, too slow for the rest, which is reported skipped
(exit code 77, CTest's SKIP_RETURN_CODE) with the reason; so is all of it
where emulation cannot be switched on. IKW_E2E_ALL_32BIT=1 (scripts/test
--all-32bit) runs every module under emulation instead, for hours.
"""

import os
import subprocess
import sys
import unittest

import sandbox

# The 32-bit tests that run under emulation, by module.
SMOKE_SET = {
    "test_start_up": ["StartUpTest.test_opens_on_the_default_printer_and_closing_ends_with_exit_code_0",
                      "SubstituteDefaultTest.test_opens_through_a_substitute_and_hands_the_default_back_while_the_dialog_is_up"],
    "test_resources": ["EnglishInterfaceTest.test_buttons_read_save_and_close"],
    "test_save": ["SavedRecordTest.test_saves_the_default_printers_record_without_a_tail"],
    "test_open": ["OpenSavedFileTest.test_a_saved_file_opens_as_it_was_saved_and_saves_again_to_the_same_bytes"],
}
# scripts/test --all-32bit: the whole suite under emulation, before a
# release, with waits long enough for a loaded machine.
ALL_32BIT = os.environ.get("IKW_E2E_ALL_32BIT") == "1"
ALL_32BIT_SLOWDOWN = 20
EMULATION = os.path.join(sandbox.ROOT, "scripts", "lib", "i386-emulation")
SKIPPED = 77


def emulation_unavailable():
    """Why i386 emulation cannot be used here, or None when it can: a
    handler that is already there (the probe said "emulated") serves as it
    is; otherwise ours must be possible to switch on."""
    how, _ = sandbox.execution_of_32bit()
    if how == "emulated":
        return None
    result = subprocess.run([EMULATION, "available"], capture_output=True, text=True,
                            stdin=subprocess.DEVNULL)
    if result.returncode == 0:
        return None
    return result.stderr.strip() or "exit code %d" % result.returncode


def switch_emulation(state):
    """Registers our handler ("on") where nothing runs i386 programs yet, or
    removes it ("off"). The probe is not asked again to switch off, as ours
    then answers it; the handler has a name of its own, so one that someone
    else registered is never touched."""
    if state == "off" or sandbox.execution_of_32bit()[0] == "none":
        # Held for the test run that makes and removes the prefix (CTest),
        # which lives from the first step to the last.
        subprocess.run([EMULATION, state, str(os.getppid())], check=True, stdin=subprocess.DEVNULL)


def skip(why=None):
    print(sandbox.skip_line_32bit() + (": " + why if why else ""))
    return SKIPPED


def run_module(module, names):
    """Runs the module's tests, or only the named ones; 0 when all pass."""
    loader = unittest.defaultTestLoader
    if names:
        tests = loader.loadTestsFromNames(["%s.%s" % (module, n) for n in names])
    else:
        tests = loader.loadTestsFromName(module)
    result = unittest.TextTestRunner(verbosity=2).run(tests)
    return 0 if result.wasSuccessful() else 1


def main(argv):
    if len(argv) < 3 or argv[1] not in ("32", "64"):
        print(__doc__)
        return 2
    width, step = argv[1], argv[2]
    emulated = width == "32" and not sandbox.runs_32bit_natively()
    if emulated:
        why_not = emulation_unavailable()
        if why_not:
            return skip("no emulation either, " + why_not)
        if step.startswith("test_") and step not in SMOKE_SET and not ALL_32BIT:
            return skip("only the smoke set runs under emulation (all of it: scripts/test --all-32bit)")
        slowdown = ALL_32BIT_SLOWDOWN if ALL_32BIT else sandbox.EMULATION_SLOWDOWN
        print("== under i386 emulation (qemu-user): the 32-bit program runs some "
              "%d times slower" % slowdown)
        # Before the test modules import the harness, which reads them.
        os.environ["IKW_E2E_SLOWDOWN"] = str(slowdown)
        os.environ[sandbox.EMULATED_32BIT] = "1"
        sandbox.SLOWDOWN = slowdown

    if step == "create-prefix" and len(argv) == 4:
        if emulated:
            switch_emulation("on")
        sandbox.WinePrefix(argv[3]).create()
        return 0
    if step == "remove-prefix" and len(argv) == 4:
        sandbox.WinePrefix(argv[3]).remove()
        if emulated:
            switch_emulation("off")
        return 0
    if step.startswith("test_") and len(argv) == 3:
        return run_module(step, SMOKE_SET[step] if emulated and not ALL_32BIT else None)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
