"""An HTTP server on 127.0.0.1 that misbehaves in one chosen way, for the fault tests.

Modes: "cut" (announces 1000 body bytes, sends 4, closes), "stall" (sends the head, then nothing),
"endless" (a body that never ends), "huge-head" (10 MB of header lines), "redirect-loop" (redirects
to itself forever), "error" (500 with a page), "hang" (accepts and never answers), "page" (a good
page titled PAGE_TITLE: the server has come back). The mode may change while it runs; a port may be
asked for (one that was closed a moment ago). Every request line is recorded.
"""

import socket
import threading

PAGE_TITLE = "Drelk servers are back"


class FaultServer:
    def __init__(self, mode, port=0):
        self.mode = mode
        self.requests = []
        self.bytes_sent = 0
        self._stop = threading.Event()
        self._listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._listener.bind(("127.0.0.1", port))
        self._listener.listen(16)
        self._listener.settimeout(0.2)
        self.port = self._listener.getsockname()[1]
        self._threads = [threading.Thread(target=self._serve, daemon=True)]
        self._threads[0].start()

    def url(self, path="/"):
        return f"http://127.0.0.1:{self.port}{path}"

    def _serve(self):
        while not self._stop.is_set():
            try:
                client, _ = self._listener.accept()
            except OSError:
                continue
            thread = threading.Thread(target=self._handle, args=(client,), daemon=True)
            self._threads.append(thread)
            thread.start()

    def _send(self, client, data):
        client.sendall(data)
        self.bytes_sent += len(data)

    def _handle(self, client):
        client.settimeout(0.5)
        try:
            head = b""
            while b"\r\n\r\n" not in head and not self._stop.is_set():
                try:
                    chunk = client.recv(4096)
                except socket.timeout:
                    continue
                if not chunk:
                    return
                head += chunk
            self.requests.append(head.split(b"\r\n")[0].decode("latin-1"))
            getattr(self, "_" + self.mode.replace("-", "_"))(client)
        except OSError:
            pass  # the client went away
        finally:
            client.close()

    def _hold(self, client):
        while not self._stop.is_set():
            try:
                if not client.recv(4096):
                    return
            except socket.timeout:
                continue

    def _cut(self, client):
        self._send(client, b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nabcd")

    def _stall(self, client):
        self._send(client, b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n")
        self._hold(client)

    def _endless(self, client):
        self._send(client, b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")
        chunk = b"x" * 16384 + b"\n"
        while not self._stop.is_set():
            self._send(client, chunk)

    def _huge_head(self, client):
        self._send(client, b"HTTP/1.1 200 OK\r\n")
        line = b"X-Padding: " + b"p" * 1000 + b"\r\n"
        for _ in range(10 * 1024):
            if self._stop.is_set():
                return
            self._send(client, line)
        self._send(client, b"Content-Length: 2\r\nConnection: close\r\n\r\nok")

    def _redirect_loop(self, client):
        self._send(client, b"HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")

    def _error(self, client):
        page = b"<html><head><title>500</title></head><body>Internal Server Error</body></html>"
        self._send(client, b"HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/html\r\n"
                   + b"Content-Length: %d\r\nConnection: close\r\n\r\n" % len(page) + page)

    def _page(self, client):
        page = f"<html><head><title>{PAGE_TITLE}</title></head><body>servers</body></html>".encode()
        self._send(client, b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                   + b"Content-Length: %d\r\nConnection: close\r\n\r\n" % len(page) + page)

    def _hang(self, client):
        self._hold(client)

    def stop(self):
        self._stop.set()
        self._listener.close()
        for thread in self._threads:
            thread.join(timeout=2)


def closed_port():
    """A loopback port on which nothing listens."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port
