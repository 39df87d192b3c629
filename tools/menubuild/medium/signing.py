"""Authenticode signing of the menu with osslsigncode.

The vendor's certificate is checked before anything is written; the menu is
signed with SHA-256 digests at a fixed signing time, and the signed file is
verified against the certificate that signed it. The password is read once
from the vendor's file, the way a person wrote it (a byte-order mark and the
line end that Notepad adds are not part of it), and both tools read exactly
that, as one line, through a pipe (on Windows, from a file of its own in a
folder that only this user can open, removed at once): it is on no command
line, in no log and nowhere in the build folder. osslsigncode does this on
Windows too (MSYS2 has it); signtool takes the password only on its command
line and cannot fix the signing time."""

import os
import shutil
import subprocess
import sys
import tempfile
from datetime import datetime, timezone

SYSTEM_ROOTS = "/etc/ssl/certs/ca-certificates.crt"


class SigningError(Exception):
    pass


def _tool(name):
    path = shutil.which(name)
    if not path:
        raise SigningError(f"{name} is not installed; it is needed to sign the menu "
                           f"(Debian's package {name}; on Windows, MSYS2's)")
    return path


def _readable(path, what):
    try:
        with open(path, "rb"):
            pass
    except OSError as e:
        raise SigningError(f"cannot read the {what} {path}: {e.strerror}") from None


def _read_password(path):
    """The first line of the file, without a byte-order mark or its line end; a
    file saved in UTF-16 (Notepad's "Unicode", PowerShell's >) gives its UTF-8."""
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith((b"\xff\xfe", b"\xfe\xff")):
        try:
            data = data.decode("utf-16").encode("utf-8")
        except UnicodeError:
            raise SigningError(f"the password file {path} starts as UTF-16 but is not UTF-16 text "
                               f"(cut short, or a lone surrogate): save it again") from None
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    return data.splitlines()[0] if data else b""


# Python makes a folder that only its user can open on Windows (mkdtemp's mode
# 0o700) from 3.12.4 on, and in 3.11 from 3.11.10 on, where the change was
# carried back; before it, the folder takes the temporary folder's permissions.
def _keeps_folders_private(version):
    return tuple(version[:3]) >= (3, 12, 4) or (3, 11, 10) <= tuple(version[:3]) < (3, 12)


def _pipes_by_name():
    """Whether the tools can open an inherited pipe as /dev/fd/N. Decided by the
    system, not by looking for /dev/fd: any user can make a folder C:\\dev\\fd.
    Under Cygwin and MSYS2 the tools are native Windows programs, which cannot open it."""
    return os.name == "posix" and not sys.platform.startswith(("cygwin", "msys"))


def run_with_password(password, command_for):
    """Runs command_for(path) with the password readable at `path`, as one line
    (openssl reads nothing from a file without a line end, so an empty password
    needs one too): a pipe where the system can name one (nothing on disk), else
    a file that only this user can read, removed after use."""
    line = password + b"\n"
    if _pipes_by_name():
        read, write = os.pipe()
        try:
            os.write(write, line)
            os.close(write)
            write = None
            return subprocess.run(command_for(f"/dev/fd/{read}"), pass_fds=(read,), capture_output=True, text=True)
        finally:
            os.close(read)
            if write is not None:
                os.close(write)
    if os.name == "nt" and not _keeps_folders_private(sys.version_info):
        raise SigningError(f"signing on Windows needs Python 3.12.4 or later (or 3.11.10 or a later 3.11), "
                           f"which keeps the password's file private to this user; this is Python "
                           f"{sys.version.split()[0]}")
    folder = tempfile.mkdtemp(prefix="velbrook-sign-")
    path = os.path.join(folder, "password")
    try:
        # Binary: the tools get exactly this line, not a CR LF of the C library's making.
        with os.fdopen(os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL | getattr(os, "O_BINARY", 0), 0o600),
                       "wb") as f:
            f.write(line)
        return subprocess.run(command_for(path), capture_output=True, text=True)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        if os.path.lexists(path):
            print(f"make_medium: warning: could not remove {path}, which holds the signing password: "
                  "remove it by hand", file=sys.stderr)


def _openssl_date(text):
    # "Jan  7 11:17:13 2027 GMT"
    return datetime.strptime(text.strip(), "%b %d %H:%M:%S %Y %Z").replace(tzinfo=timezone.utc)


class Certificate:
    """A vendor's PKCS#12 file and its password file, checked for signing."""

    def __init__(self, pkcs12, password_file, now=None):
        self.pkcs12, self.password_file = pkcs12, password_file
        self.openssl = _tool("openssl")
        self.osslsigncode = _tool("osslsigncode")
        if not password_file:
            raise SigningError(f"VELBROOK_SIGN_PKCS12 is set but VELBROOK_SIGN_PASSWORD_FILE is not: "
                               f"name the file that holds the password of {pkcs12}")
        _readable(pkcs12, "certificate file (VELBROOK_SIGN_PKCS12)")
        _readable(password_file, "password file (VELBROOK_SIGN_PASSWORD_FILE)")
        self.password = _read_password(password_file)
        self.leaf = self._certificates("-clcerts")
        if "BEGIN CERTIFICATE" not in self.leaf:
            raise SigningError(f"{pkcs12} holds no certificate with its private key")
        self.chain = self._certificates("-cacerts")
        self.subject = self._x509("-subject").partition("=")[2].strip()
        self._check_usable(now or datetime.now(timezone.utc))
        self._check_issuers()
        self.fingerprint = self._x509("-fingerprint", "-sha256").partition("=")[2].strip().replace(":", "")

    def _certificates(self, which):
        def command(password, *extra):
            return [self.openssl, "pkcs12", "-in", self.pkcs12, "-passin", "file:" + password, "-nokeys", which,
                    *extra]
        run = run_with_password(self.password, command)
        if run.returncode and "unsupported" in run.stderr:
            # Older exports encrypt with RC2, which OpenSSL 3 keeps in its legacy provider.
            run = run_with_password(self.password, lambda password: command(password, "-legacy"))
        if run.returncode:
            if any(sign in run.stderr.lower() for sign in ("mac verify", "invalid password", "wrong password")):
                blank = " (its line ends in a blank, which is part of it)" if self.password.endswith(b" ") else ""
                raise SigningError(f"the password in {self.password_file} does not open {self.pkcs12} "
                                   f"(wrong password{blank})")
            reason = (run.stderr.strip().splitlines() or ["no reason given"])[0]
            raise SigningError(f"{self.pkcs12} is not a PKCS#12 (.pfx/.p12) file openssl can read: {reason}")
        return run.stdout

    def _x509(self, *args):
        run = subprocess.run([self.openssl, "x509", "-noout", *args], input=self.leaf, capture_output=True, text=True)
        if run.returncode:
            raise SigningError(f"openssl cannot read the certificate in {self.pkcs12}: {run.stderr.strip()}")
        return run.stdout

    def _check_usable(self, now):
        dates = dict(line.split("=", 1) for line in self._x509("-startdate", "-enddate").splitlines())
        not_before, not_after = _openssl_date(dates["notBefore"]), _openssl_date(dates["notAfter"])
        if now > not_after:
            raise SigningError(f"the certificate of {self.subject} in {self.pkcs12} expired on "
                               f"{not_after:%Y-%m-%d}; a signature made with it would not be trusted")
        if now < not_before:
            raise SigningError(f"the certificate of {self.subject} in {self.pkcs12} is valid only from "
                               f"{not_before:%Y-%m-%d}")
        usages = self._x509("-ext", "extendedKeyUsage,keyUsage")
        extended = usages.partition("Extended Key Usage")[2].partition("X509v3")[0]
        if "Code Signing" not in extended:
            raise SigningError(f"the certificate of {self.subject} in {self.pkcs12} is not for code signing "
                               f"(its extended key usage is {' '.join(extended.split()).lstrip(': ') or 'absent'})")
        if "Key Usage" in usages.replace("Extended Key Usage", "") and "Digital Signature" not in usages:
            raise SigningError(f"the certificate of {self.subject} in {self.pkcs12} may not make digital signatures")

    def _trusted(self, folder):
        """A file in `folder` of what a signature may chain to: the certificates in the
        vendor's file and the system's roots."""
        roots = os.path.join(folder, "roots.pem")
        with open(roots, "w") as f:
            f.write(self.leaf + self.chain)
            if os.path.exists(SYSTEM_ROOTS):
                with open(SYSTEM_ROOTS) as system:
                    f.write(system.read())
        return roots

    def _check_issuers(self):
        """The signature carries the certificates of the vendor's file: one without the
        certificates that issued the vendor's, up to a root, would verify nowhere."""
        with tempfile.TemporaryDirectory() as folder:
            run = subprocess.run([self.openssl, "verify", "-CAfile", self._trusted(folder)], input=self.leaf,
                                 capture_output=True, text=True)
        if run.returncode and "issuer certificate" in run.stdout + run.stderr:
            issuer = self._x509("-issuer").partition("=")[2].strip()
            raise SigningError(
                f"{self.pkcs12} holds the certificate of {self.subject} but not the certificates that issued it "
                f"(its issuer is {issuer}), and this system does not trust that issuer: a signature made with it "
                "would not verify. Export the file again with the issuers' certificates your certificate authority "
                "sent (intermediate and root, in chain.pem): openssl pkcs12 -export -inkey key.pem -in "
                f"certificate.pem -certfile chain.pem -out {os.path.basename(self.pkcs12)}")

    def sign(self, source, target, signing_time, product, vendor_url=None, timestamp_url=None):
        command = [self.osslsigncode, "sign", "-pkcs12", self.pkcs12, "-h", "sha256", "-n", product,
                   "-time", str(signing_time)]
        if vendor_url:
            command += ["-i", vendor_url]
        if timestamp_url:
            command += ["-ts", timestamp_url]
        run = run_with_password(self.password,
                                lambda password: command + ["-readpass", password, "-in", source, "-out", target])
        if run.returncode:
            raise SigningError(f"osslsigncode could not sign {source}: {run.stdout.strip()} {run.stderr.strip()}")

    def verify(self, path):
        """Fails unless `path` carries an intact signature made by this very
        certificate, chaining to a certificate in the file or the system's roots."""
        with tempfile.TemporaryDirectory() as folder:
            run = subprocess.run([self.osslsigncode, "verify", "-CAfile", self._trusted(folder),
                                  "-require-leaf-hash", "sha256:" + self.fingerprint, "-in", path],
                                 capture_output=True, text=True)
        if run.returncode:
            details = [line.strip() for line in (run.stdout + run.stderr).splitlines()
                       if "MISMATCH" in line or "failed" in line.lower() or "error" in line.lower()]
            raise SigningError(f"the signature of {path} does not verify against {self.pkcs12}: "
                               + ("; ".join(details) or "osslsigncode verify failed"))
