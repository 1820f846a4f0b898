"""A small client of Chromium's DevTools protocol, with nothing beyond the
standard library: the browser started headless on a fresh profile, one page,
commands over a WebSocket, screenshots as RGB pixels, and a static file server
for the page."""

import base64
import functools
import http.server
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import threading
import time
import urllib.request
import zlib

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu-sandbox", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--hide-scrollbars", "--mute-audio",
]


class WebSocket:
    """The client side of RFC 6455, text frames only, enough for DevTools."""

    def __init__(self, url):
        assert url.startswith("ws://")
        hostport, _, path = url[5:].partition("/")
        host, _, port = hostport.partition(":")
        self.sock = socket.create_connection((host, int(port)), timeout=120)
        key = base64.b64encode(os.urandom(16)).decode()
        request = (f"GET /{path} HTTP/1.1\r\nHost: {hostport}\r\nUpgrade: websocket\r\n"
                   f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n")
        self.sock.sendall(request.encode())
        answer = b""
        while b"\r\n\r\n" not in answer:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise ConnectionError("DevTools closed the connection during the handshake")
            answer += chunk
        head, _, self.buffer = answer.partition(b"\r\n\r\n")
        if b" 101 " not in head.split(b"\r\n")[0]:
            raise ConnectionError(f"DevTools refused the WebSocket: {head[:80]!r}")

    def send(self, text):
        payload = text.encode()
        header = bytearray([0x81])
        n = len(payload)
        if n < 126:
            header.append(0x80 | n)
        elif n < 65536:
            header.append(0x80 | 126)
            header += struct.pack(">H", n)
        else:
            header.append(0x80 | 127)
            header += struct.pack(">Q", n)
        mask = os.urandom(4)
        header += mask
        self.sock.sendall(bytes(header) + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(1 << 20)
            if not chunk:
                raise ConnectionError("DevTools closed the connection")
            self.buffer += chunk
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def receive(self):
        message = b""
        while True:
            b0, b1 = self._read(2)
            n = b1 & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._read(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._read(8))[0]
            payload = self._read(n)
            opcode = b0 & 0x0F
            if opcode == 0x8:
                raise ConnectionError("DevTools closed the WebSocket")
            if opcode in (0x9, 0xA):
                continue
            message += payload
            if b0 & 0x80:
                return message.decode()


class Browser:
    """Headless Chromium with one page, driven over DevTools."""

    def __init__(self, chromium, extra_flags, log, display=None):
        self.profile = tempfile.mkdtemp(prefix="velmora-chromium-")
        self.log = log
        self.process = subprocess.Popen(
            [chromium, *CHROMIUM_FLAGS, *extra_flags, f"--user-data-dir={self.profile}",
             "--remote-debugging-port=0", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
            env={**os.environ, "DISPLAY": display} if display else None)
        port = None
        deadline = time.time() + 60
        while port is None and time.time() < deadline:
            line = self.process.stderr.readline()
            if not line:
                break
            if "DevTools listening on ws://" in line:
                port = int(line.split("ws://", 1)[1].split("/", 1)[0].rsplit(":", 1)[1])
        if port is None:
            self.close()
            raise RuntimeError("chromium did not start its DevTools server")
        # Keep draining its stderr so that it never blocks on a full pipe.
        threading.Thread(target=lambda: [None for _ in self.process.stderr], daemon=True).start()
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
        page = next(p for p in pages if p.get("type") == "page")
        self.ws = WebSocket(page["webSocketDebuggerUrl"])
        self.next_id = 0
        self.console = []
        self.call("Runtime.enable")
        self.call("Page.enable")

    def call(self, method, **params):
        self.next_id += 1
        my_id = self.next_id
        self.ws.send(json.dumps({"id": my_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.receive())
            if message.get("id") == my_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error'].get('message')}")
                return message.get("result", {})
            if message.get("method") == "Runtime.consoleAPICalled":
                text = " ".join(str(a.get("value", a.get("description", ""))) for a in message["params"]["args"])
                self.console.append(text)
                self.log(f"  console: {text}")

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"page script failed: {result['exceptionDetails'].get('text')} in {expression[:60]}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=60, what=None):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.05)
        raise TimeoutError(f"waited {timeout} s for {what or expression}")

    def open(self, url, width, height):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1, mobile=False)
        self.call("Page.navigate", url=url)

    def screenshot(self, clip=None):
        """The page's pixels as (width, height, RGB bytes); `clip` (x0, y0, x1, y1)
        takes a part only, which is much quicker to decode."""
        params = {"format": "png"}
        if clip:
            params["clip"] = {"x": clip[0], "y": clip[1], "width": clip[2] - clip[0], "height": clip[3] - clip[1],
                              "scale": 1}
        data = base64.b64decode(self.call("Page.captureScreenshot", **params)["data"])
        return decode_png(data)

    def mouse(self, kind, x, y, button="none", buttons=0, clicks=0):
        self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, buttons=buttons, clickCount=clicks)

    def click(self, x, y, button="left"):
        mask = {"left": 1, "right": 2}[button]
        self.mouse("mousePressed", x, y, button, mask, 1)
        self.mouse("mouseReleased", x, y, button, 0, 1)

    def key(self, key, code, key_code):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=code, windowsVirtualKeyCode=key_code)

    def close(self):
        try:
            self.process.terminate()
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def decode_png(data):
    """An 8-bit RGB or RGBA PNG (what Chromium writes) as (width, height, RGB bytes)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, color = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and color in (2, 6), f"PNG colour type {color}, depth {depth}"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if color == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    out = bytearray(width * height * 3)
    prev = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride) if kind else ():
            # The filter's predictor from the left (a), upper (b) and upper left (c) bytes.
            a, b = line[i - channels] if i >= channels else 0, prev[i]
            c = prev[i - channels] if i >= channels else 0
            pa, pb, pc = (abs(b - c), abs(a - c), abs(a + b - 2 * c)) if kind == 4 else (0, 0, 0)
            paeth = a if pa <= pb and pa <= pc else b if pb <= pc else c
            line[i] = (line[i] + (0, a, b, (a + b) >> 1, paeth)[kind]) & 0xFF
        prev = bytearray(line)
        if channels == 4:
            del line[3::4]
        out[y * width * 3:(y + 1) * width * 3] = line
    return width, height, bytes(out)


def encode_png(width, height, rgb):
    """RGB bytes as a PNG file's bytes."""
    raw = b"".join(b"\x00" + rgb[y * width * 3:(y + 1) * width * 3] for y in range(height))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


class Xvfb:
    """A private X server, for Chromium on Mesa's llvmpipe (--use-angle=gl)."""

    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1400x1100x24",
                                         "-nolisten", "tcp"], pass_fds=(write,),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def serve(folder):
    """A static server of `folder` on a free local port: (server, base URL)."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}"
