"""What the update's end-to-end tests stand on: a local web server that answers, trickles, streams
without end or never answers; throwaway signing keys; a copy of the built program with another version
in its version resource (and, if asked, an entry point that ends at once); sizes of folders and of a
process's memory."""
import http.server
import struct
import subprocess
import sys
import threading
import time

import harness

SIGN = [sys.executable, str(harness.REPO / "scripts" / "sign-release.py")]
MIB = 1 << 20


class Site:
    """A web server on 127.0.0.1 answering each path as `routes` says: bytes (sent with their
    length), ("stream", n) (n bytes without a length, 64 KiB at a time), ("trickle", bytes, seconds)
    (with their length, in 20 pieces spread over that time), "silent" (the connection is taken and
    never answered); any other path is 404. `requests` lists the paths asked for."""

    def __init__(self):
        self.routes, self.requests, self.sent = {}, [], {}
        self.closing = threading.Event()
        site = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.0"

            def log_message(self, *args):
                pass

            def do_GET(self):
                site.requests.append(self.path)
                route = site.routes.get(self.path)
                if route == "silent":
                    site.closing.wait()
                    return
                if route is None:
                    self.send_error(404)
                    return
                self.send_response(200)
                if route[0] == "trickle":
                    self.send_header("Content-Length", str(len(route[1])))
                    self.end_headers()
                    piece = len(route[1]) // 20 + 1
                    for at in range(0, len(route[1]), piece):
                        self.wfile.write(route[1][at:at + piece])
                        self.wfile.flush()
                        time.sleep(route[2] / 20)
                    return
                if isinstance(route, bytes):
                    self.send_header("Content-Length", str(len(route)))
                    self.end_headers()
                    self.wfile.write(route)
                    return
                self.end_headers()
                chunk, sent = b"\0" * 65536, 0
                try:
                    while sent < route[1] and not site.closing.is_set():
                        self.wfile.write(chunk)
                        sent += len(chunk)
                except OSError:
                    pass
                site.sent[self.path] = sent

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.address = "http://127.0.0.1:%d/lumiseek.exe" % self.server.server_address[1]

    def __enter__(self):
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        return self

    def __exit__(self, *exc):
        self.closing.set()
        self.server.shutdown()
        self.server.server_close()


def keys(tmp_path):
    """A trusted and an untrusted throwaway key (PEM files), and the trusted one's public half."""
    ours, other = tmp_path / "ours.pem", tmp_path / "other.pem"
    for key in (ours, other):
        subprocess.run(["openssl", "genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", key],
                       check=True, capture_output=True)
    trusted = subprocess.run(SIGN + ["public-key", ours], check=True, capture_output=True, text=True).stdout.strip()
    return ours, other, trusted


def signed(body, key, tmp_path):
    """The signature file of `body` by `key`, as scripts/sign-release.py writes it."""
    path = tmp_path / "to-sign.bin"
    path.write_bytes(body)
    subprocess.run(SIGN + ["sign", key, path], check=True, capture_output=True)
    return path.with_suffix(".bin.sig").read_bytes()


def with_version(program, version, exits_at_once=False):
    """The program with another FILEVERSION in its version resource; with exits_at_once, its entry
    point returns 1 straight away (mov eax, 1; ret), so that it ends at once with that exit code."""
    data = bytearray(program)
    fixed = data.index(struct.pack("<II", 0xFEEF04BD, 0x10000))  # the signature, then the structure's version
    numbers = struct.pack("<II", version[0] << 16 | version[1], version[2] << 16 | version[3])
    data[fixed + 8:fixed + 16] = numbers
    data[fixed + 16:fixed + 24] = numbers
    if exits_at_once:
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
        entry = struct.unpack_from("<I", data, pe + 24 + 16)[0]
        for n in range(sections):
            size, start, _, raw = struct.unpack_from("<IIII", data, pe + 24 + optional_size + 40 * n + 8)
            if start <= entry < start + size:
                at = raw + entry - start
                data[at:at + 6] = b"\xb8\x01\x00\x00\x00\xc3"
                break
        else:
            raise AssertionError("no section holds the entry point")
    return bytes(data)


def folder_bytes(folder):
    return sum(p.stat().st_size for p in folder.rglob("*") if p.is_file() and not p.is_symlink())


def resident_mib(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return 0
