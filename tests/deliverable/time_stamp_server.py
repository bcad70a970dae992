#!/usr/bin/python3
"""A local RFC 3161 time-stamp server for the signing test.

usage: time_stamp_server.py FOLDER

Answers a POST on 127.0.0.1 with `openssl ts -reply`, signed with
FOLDER/tsa.crt and FOLDER/tsa.key under the settings in FOLDER/ts.cnf;
a POST to /unavailable with status 503, as a server that is down.
The port it listens on is written to FOLDER/port (whole: under another
name, then renamed) once it accepts connections.
"""
import http.server
import os
import subprocess
import sys
import tempfile

FOLDER = sys.argv[1]


class TimeStampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.path == "/unavailable":
            self.send_error(503)
            return
        with tempfile.TemporaryDirectory(dir=FOLDER) as work:
            query_file = os.path.join(work, "query.tsq")
            reply_file = os.path.join(work, "reply.tsr")
            with open(query_file, "wb") as f:
                f.write(query)
            result = subprocess.run(
                ["openssl", "ts", "-reply", "-config", os.path.join(FOLDER, "ts.cnf"),
                 "-queryfile", query_file, "-signer", os.path.join(FOLDER, "tsa.crt"),
                 "-inkey", os.path.join(FOLDER, "tsa.key"), "-out", reply_file],
                capture_output=True, cwd=FOLDER)
            if result.returncode != 0:
                self.send_error(500, result.stderr.decode(errors="replace"))
                return
            with open(reply_file, "rb") as f:
                reply = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *arguments):
        pass


def main():
    server = http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler)
    port_file = os.path.join(FOLDER, "port")
    with open(port_file + ".partial", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(port_file + ".partial", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
