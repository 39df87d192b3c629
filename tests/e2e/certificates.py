"""Throwaway certificates for the signing tests, made with openssl at test
time in a temporary folder and never kept: a CA, and code-signing
certificates it issues (or ones unfit for signing) in password-protected
PKCS#12 files."""

import os
import shutil
import subprocess
import zlib


def _openssl(*args, at=None):
    # A certificate expired, or not valid yet, is one issued in the past or the future; faketime makes it so.
    command = (["faketime", at] if at else []) + ["openssl", *args]
    subprocess.run(command, check=True, capture_output=True)


def missing_tools():
    return [tool for tool in ("openssl", "osslsigncode", "faketime") if not shutil.which(tool)]


class ThrowawayCA:
    def __init__(self, folder):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.key, self.pem = self.path("ca.key"), self.path("ca.pem")
        _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", self.key, "-out", self.pem,
                 "-days", "30", "-subj", "/CN=Velbrook Test CA")

    def path(self, name):
        return os.path.join(self.folder, name)

    def issue(self, name, password="correct horse battery", usage="codeSigning", issued=None,
              key_usage="critical,digitalSignature"):
        """A PKCS#12 file holding a certificate for `usage` (its extended key usage) with
        its key and the CA, and the file holding its password: (pfx, password file). The
        certificate is valid for 30 days from `issued` (a time as faketime reads it), else
        from now; `key_usage` None leaves the key usage extension out."""
        key, csr, pem, ext = (self.path(f"{name}.{suffix}") for suffix in ("key", "csr", "pem", "cnf"))
        with open(ext, "w") as f:
            f.write("[leaf]\nbasicConstraints=CA:FALSE\n" + (f"keyUsage={key_usage}\n" if key_usage else "")
                    + f"extendedKeyUsage={usage}\n")
        _openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr,
                 "-subj", f"/CN=Kestrin {name}")
        _openssl("x509", "-req", "-in", csr, "-CA", self.pem, "-CAkey", self.key, "-set_serial",
                 str(zlib.crc32(name.encode())), "-days", "30", "-extfile", ext, "-extensions", "leaf",
                 "-out", pem, at=issued)
        password_file = self.path(f"{name}.password")
        with open(password_file, "w") as f:
            f.write(password + "\n")
        pfx = self.path(f"{name}.pfx")
        _openssl("pkcs12", "-export", "-inkey", key, "-in", pem, "-certfile", self.pem,
                 "-passout", "file:" + password_file, "-out", pfx)
        return pfx, password_file
