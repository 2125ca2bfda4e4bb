#!/usr/bin/env python3
"""Local HTTP server for the FetchWebPage tests, on 127.0.0.1 only.

  fetch_server.py start DIR   serve in the background; DIR/ports holds
                              "<port> <refused port>" once it listens
  fetch_server.py stop DIR    end it

Every connection is written to DIR/requests.log as it happens, one record a
line, "<connection>\t<event>\t<data>": accept, request (the request line),
header (one header line as sent), tls (a TLS handshake instead of a request).
What it answers is chosen by the path's first segment; see respond().
"""
import os
import signal
import socket
import socketserver
import subprocess
import sys
import threading
import time

LIFETIME_S = 900  # ends by itself if nobody stops it
log_lock = threading.Lock()
counter = [0]


def pattern(n, seed=0):
    """n bytes that differ by position, so a shifted or cut body shows."""
    return bytes((i * 7 + seed + i // 251) % 256 for i in range(n))


def record(log_path, conn, event, data=""):
    with log_lock:
        with open(log_path, "a", encoding="latin-1") as f:
            f.write(f"{conn}\t{event}\t{data}\n")


def head(status, headers):
    lines = [f"HTTP/1.0 {status}"] + [f"{k}: {v}" for k, v in headers]
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        with log_lock:
            counter[0] += 1
            conn = counter[0]
        log = self.server.log_path
        record(log, conn, "accept")
        sock = self.request
        sock.settimeout(30)
        data = b""
        try:
            while b"\r\n\r\n" not in data:
                piece = sock.recv(65536)
                if not piece:
                    break
                data += piece
                if data[:1] == b"\x16":
                    record(log, conn, "tls")
                    return
        except OSError:
            return
        if b"\r\n\r\n" not in data:
            return
        lines = data.split(b"\r\n\r\n", 1)[0].decode("latin-1").split("\r\n")
        record(log, conn, "request", lines[0])
        for line in lines[1:]:
            record(log, conn, "header", line)
        parts = lines[0].split(" ")
        path = parts[1] if len(parts) > 1 else "/"
        try:
            self.respond(sock, path.split("?")[0].strip("/").split("/"))
        except OSError:
            pass

    def respond(self, sock, seg):
        kind = seg[0]
        arg = lambda i, d: int(seg[i]) if len(seg) > i and seg[i].isdigit() else d
        if kind == "len":  # /len/N: N bytes with their length stated
            body = pattern(arg(1, 0))
            sock.sendall(head("200 OK", [("Content-Length", len(body))]) + body)
        elif kind == "nolen":  # /nolen/N: N bytes, the end shown by closing
            sock.sendall(head("200 OK", []) + pattern(arg(1, 0)))
        elif kind == "rawlen":  # /rawlen/TEXT/N: Content-Length: TEXT, N bytes, close
            sock.sendall(head("200 OK", [("Content-Length", seg[1])]) + pattern(arg(2, 0)))
        elif kind == "notfound":  # an error page with a body
            body = b"<html><body>missing page</body></html>"
            sock.sendall(head("404 Not Found", [("Content-Length", len(body)),
                                                ("Content-Type", "text/html")]) + body)
        elif kind == "close":  # reads the request, answers nothing, closes
            pass
        elif kind == "silent":  # reads the request, never answers
            try:
                while sock.recv(4096):
                    pass
            except OSError:
                pass
        elif kind == "drip":  # /drip/MS/N: headers, then N bytes, one every MS
            sock.sendall(head("200 OK", []))
            body = pattern(arg(2, 150))
            for i in range(len(body)):
                sock.sendall(body[i:i + 1])
                time.sleep(arg(1, 200) / 1000)
        elif kind == "redirect":  # /redirect/N: N hops, then /len/300
            left = arg(1, 1)
            target = f"/redirect/{left - 1}" if left > 1 else "/len/300"
            body = b"moved"
            sock.sendall(head("302 Found", [("Location", target), ("Content-Length", len(body))]) + body)
        elif kind == "loop":  # redirects to itself for ever, 20 hops a second at most
            time.sleep(0.05)
            body = b"moved again"
            sock.sendall(head("302 Found", [("Location", "/loop"), ("Content-Length", len(body))]) + body)
        elif kind == "page":  # /page/HEX: the bytes HEX spells, their length stated
            body = bytes.fromhex(seg[1]) if len(seg) > 1 else b""
            sock.sendall(head("200 OK", [("Content-Length", len(body)),
                                         ("Content-Type", "text/html")]) + body)
        elif kind == "late":  # /late/MS/HEX: /page/HEX after MS
            time.sleep(arg(1, 0) / 1000)
            body = bytes.fromhex(seg[2]) if len(seg) > 2 else b""
            sock.sendall(head("200 OK", [("Content-Length", len(body))]) + body)
        elif kind == "repeat":  # /repeat/N/HEX: the bytes HEX spells, repeated to N bytes
            unit = bytes.fromhex(seg[2]) if len(seg) > 2 else b"x"
            body = (unit * (arg(1, 0) // len(unit) + 1))[:arg(1, 0)]
            sock.sendall(head("200 OK", [("Content-Length", len(body))]) + body)
        elif kind == "cut":  # /cut/HEX: the bytes HEX spells of a body stated 100 bytes longer, then close
            body = bytes.fromhex(seg[1]) if len(seg) > 1 else b""
            sock.sendall(head("200 OK", [("Content-Length", len(body) + 100)]) + body)
        elif kind == "echo":  # a short page; the test reads the request from the log
            body = b"echo"
            sock.sendall(head("200 OK", [("Content-Length", len(body))]) + body)
        else:
            body = b"unknown"
            sock.sendall(head("400 Bad Request", [("Content-Length", len(body))]) + body)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def serve(directory):
    server = Server(("127.0.0.1", 0), Handler)
    server.log_path = os.path.join(directory, "requests.log")
    open(server.log_path, "w").close()
    threading.Timer(LIFETIME_S, server.shutdown).start()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    with open(os.path.join(directory, "ports.tmp"), "w") as f:
        f.write(f"{server.server_address[1]} {free_port()}\n")
    os.replace(os.path.join(directory, "ports.tmp"), os.path.join(directory, "ports"))
    server.serve_forever()
    os._exit(0)


def main():
    command, directory = sys.argv[1], os.path.abspath(sys.argv[2])
    pid_file = os.path.join(directory, "pid")
    if command == "serve":
        serve(directory)
    elif command == "start":
        os.makedirs(directory, exist_ok=True)
        for name in ("ports", "pid"):
            if os.path.exists(os.path.join(directory, name)):
                os.remove(os.path.join(directory, name))
        child = subprocess.Popen([sys.executable, __file__, "serve", directory], start_new_session=True,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=open(os.path.join(directory, "server.err"), "w"))
        with open(pid_file, "w") as f:
            f.write(str(child.pid))
        for _ in range(100):
            if os.path.exists(os.path.join(directory, "ports")):
                return 0
            time.sleep(0.05)
        return 1
    elif command == "stop":
        try:
            os.kill(int(open(pid_file).read()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
