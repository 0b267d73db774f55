#!/usr/bin/env python3
"""Signs a release file for the online update, and prints the public key the program carries.

    scripts/sign-release.py sign KEY.pem FILE      writes FILE.sig
    scripts/sign-release.py public-key KEY.pem     prints the key as 128 hex digits

KEY.pem is an ECDSA P-256 private key in PEM (`openssl genpkey -algorithm EC -pkeyopt
ec_paramgen_curve:P-256 -out KEY.pem`); `public-key` also takes the public half alone.

FILE.sig holds the signature over the SHA-256 of FILE as Lumiseek checks it: r then s, 32 bytes each
(64 bytes, no header). OpenSSL writes DER; this script turns it into that raw form. The public key is
printed as Lumiseek reads it (src/actions/update_key.cpp, LUMISEEK_UPDATE_KEY): the point's X then Y,
32 bytes each, as 128 hex digits.
"""
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
KEY_SOURCE = ROOT / "src" / "actions" / "update_key.cpp"
# The DER header of a P-256 public key (SubjectPublicKeyInfo) up to the uncompressed point's 04.
P256_PUBLIC_HEADER = bytes.fromhex("3059301306072a8648ce3d020106082a8648ce3d030107034200" "04")


def openssl(*args, data=None):
    run = subprocess.run(["openssl", *args], input=data, capture_output=True)
    if run.returncode != 0:
        sys.exit(f"openssl {' '.join(args)} failed: {run.stderr.decode(errors='replace').strip()}")
    return run.stdout


def public_key(key):
    """The 64 bytes X then Y of a P-256 key (private, or public alone)."""
    text = Path(key).read_bytes()
    public = b"PUBLIC KEY" in text and b"PRIVATE KEY" not in text
    der = openssl("pkey", *(["-pubin"] if public else []), "-in", key, "-pubout", "-outform", "DER")
    if len(der) != len(P256_PUBLIC_HEADER) + 64 or not der.startswith(P256_PUBLIC_HEADER):
        sys.exit(f"{key} is not an ECDSA P-256 key")
    return der[len(P256_PUBLIC_HEADER):]


def der_integer(der, at):
    """One DER INTEGER at `at`: its value as 32 bytes, and the position after it."""
    if der[at] != 0x02 or der[at + 1] > 33:
        raise ValueError("not a signature integer")
    size = der[at + 1]
    value = der[at + 2:at + 2 + size].lstrip(b"\0")
    if size == 0 or len(value) > 32 or at + 2 + size > len(der):
        raise ValueError("integer out of range")
    return value.rjust(32, b"\0"), at + 2 + size


def raw_signature(der):
    """r then s of a DER ECDSA signature (SEQUENCE of two INTEGERs), 64 bytes."""
    if len(der) < 8 or der[0] != 0x30 or der[1] != len(der) - 2:
        raise ValueError("not a DER signature")
    r, at = der_integer(der, 2)
    s, at = der_integer(der, at)
    if at != len(der):
        raise ValueError("bytes after the signature")
    return r + s


def sign(key, file):
    # The key's hex digits may be split over several string literals there.
    carried = re.sub(r'[\s"]', "", KEY_SOURCE.read_text(encoding="utf-8"))
    if public_key(key).hex() not in carried:
        print(f"warning: {key} is not the key in {KEY_SOURCE.relative_to(ROOT)}: "
              "the update of lumiseek.exe as built will refuse this signature", file=sys.stderr)
    der = openssl("dgst", "-sha256", "-sign", key, file)
    Path(file + ".sig").write_bytes(raw_signature(der))


def main(argv):
    if len(argv) == 4 and argv[1] == "sign":
        sign(argv[2], argv[3])
    elif len(argv) == 3 and argv[1] == "public-key":
        print(public_key(argv[2]).hex())
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
