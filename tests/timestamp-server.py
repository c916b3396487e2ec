"""usage: timestamp-server.py TSA-CONFIG PORT-FILE

An RFC 3161 time-stamping server on 127.0.0.1 for the signing tests: answers each request
with `openssl ts -reply` under TSA-CONFIG, and writes the port it listens on to PORT-FILE.
Stops by itself after ten minutes, should the test that started it not stop it."""
import http.server
import subprocess
import sys
import time


class TimeStamps(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1],
                                "-queryfile", "/dev/stdin"], input=query, capture_output=True)
        if reply.returncode != 0:
            self.send_error(500)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamps)
server.timeout = 1
with open(sys.argv[2], "w") as port_file:
    port_file.write(str(server.server_port))
deadline = time.monotonic() + 600
while time.monotonic() < deadline:
    server.handle_request()
