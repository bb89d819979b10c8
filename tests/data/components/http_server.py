#!/usr/bin/env python3
"""A loopback HTTP server for the HTTP component's tests.

Writes its port to the file named by argv[1], then serves until killed:
  /euc          EUC-JP text (kanji, half-width katakana, a byte 0, CR LF / LF / CR breaks)
  /euc.expected the bytes PR_TEXT must read: the same text in cp932, a blank for the byte 0,
                lines joined with 0x01 (both made with Python's codecs)
  /plain        "hello"            /status/N   an empty answer with status N
  /to-file      a redirect to file:///etc/passwd    /to-plain  a redirect to /plain
  /bytes/N      N bytes of "x"     /hang       an answer that never comes
"""
import http.server
import socketserver
import sys
import time

LINES = ["ASCII line", "漢字とかな", "ｶﾀｶﾅ half", "zero\x00byte", "last"]
BREAKS = ["\r\n", "\n", "\r", "\r\n", "\n"]
TEXT = "".join(line + brk for line, brk in zip(LINES, BREAKS))
EUC = TEXT.encode("euc_jp")
EXPECTED = b"\x01".join(line.encode("cp932").replace(b"\x00", b" ") for line in LINES)


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path == "/euc":
            self.answer(200, EUC)
        elif path == "/euc.expected":
            self.answer(200, EXPECTED)
        elif path == "/plain":
            self.answer(200, b"hello")
        elif path.startswith("/status/"):
            self.answer(int(path[8:]))
        elif path == "/to-file":
            self.answer(302, headers=[("Location", "file:///etc/passwd")])
        elif path == "/to-plain":
            self.answer(302, headers=[("Location", "/plain")])
        elif path.startswith("/bytes/"):
            self.answer(200, b"x" * int(path[7:]))
        elif path == "/hang":
            time.sleep(30)
        else:
            self.answer(404)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
import os
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
server.serve_forever()
