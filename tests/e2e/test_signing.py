"""scripts/package given a certificate and its key: both programs and the
MSI carry Authenticode signatures that verify against the certificate. A
throwaway self-signed certificate stands in for the publisher's."""

import os
import subprocess
import tempfile
import unittest
import zipfile

from harness import ROOT


class SigningTest(unittest.TestCase):

    def test_package_signs_every_program_and_the_msi(self):
        with tempfile.TemporaryDirectory(prefix="ikw-sign-") as work:
            cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                            "-keyout", key, "-out", cert, "-days", "2",
                            "-subj", "/CN=IKWDev test publisher",
                            "-addext", "extendedKeyUsage=codeSigning"],
                           check=True, capture_output=True)
            out = os.path.join(work, "packages")
            env = dict(os.environ, IKW_SIGN_CERT=cert, IKW_SIGN_KEY=key)
            env.pop("IKW_SIGN_TIMESTAMP_URL", None)
            packed = subprocess.run([os.path.join(ROOT, "scripts", "package"), out], env=env,
                                    capture_output=True, text=True)
            self.assertEqual(packed.returncode, 0, packed.stdout + packed.stderr)
            self.assertNotIn("unsigned", packed.stdout)

            names = os.listdir(out)
            msi = os.path.join(out, next(n for n in names if n.endswith(".msi")))
            signed = [msi]
            with zipfile.ZipFile(os.path.join(out, next(n for n in names if n.endswith(".zip")))) as archive:
                for member in archive.namelist():
                    if member.endswith(".exe"):
                        signed.append(archive.extract(member, os.path.join(work, "unpacked")))
            self.assertEqual(sorted(os.path.basename(p) for p in signed[1:]),
                             ["IKWDev.exe", "ikwdev-inspect.exe", "ikwdev-settings.exe"])
            for path in signed:
                with self.subTest(file=os.path.basename(path)):
                    verify = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path],
                                            capture_output=True, text=True)
                    self.assertEqual(verify.returncode, 0, verify.stdout + verify.stderr)
                    self.assertIn("IKWDev test publisher", verify.stdout)
            # The checksums are of the signed files.
            check = subprocess.run(["sha256sum", "--check", "--strict", "SHA256SUMS"], cwd=out,
                                   capture_output=True, text=True)
            self.assertEqual(check.returncode, 0, check.stdout + check.stderr)


if __name__ == "__main__":
    unittest.main()
