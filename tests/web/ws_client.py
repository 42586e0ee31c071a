"""A minimal WebSocket client on the standard library, for tests only."""
import base64
import json
import os
import socket
import struct

def connect(host, port, path="/ws", timeout=5.0, source=None, host_header=None, origin=None):
    s = socket.create_connection((host, port), timeout=timeout, source_address=(source, 0) if source else None)
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall(("GET %s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n%s"
               "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n"
               % (path, host_header or "%s:%d" % (host, port), "Origin: %s\r\n" % origin if origin else "", key)).encode())
    head = b""
    while b"\r\n\r\n" not in head:
        chunk = s.recv(1)
        if not chunk:
            raise ConnectionError("closed during the upgrade")
        head += chunk
    if not head.startswith(b"HTTP/1.1 101"):
        raise ConnectionError(head.decode(errors="replace"))
    return s

def _recv_exact(s, n):
    data = b""
    while len(data) < n:
        chunk = s.recv(n - len(data))
        if not chunk:
            raise ConnectionError("closed")
        data += chunk
    return data

def recv_frame(s):
    """Next frame's (fin, opcode, payload)."""
    b0, b1 = _recv_exact(s, 2)
    length = b1 & 0x7F
    if length == 126:
        length = struct.unpack(">H", _recv_exact(s, 2))[0]
    elif length == 127:
        length = struct.unpack(">Q", _recv_exact(s, 8))[0]
    return bool(b0 & 0x80), b0 & 0x0F, _recv_exact(s, length)

def recv(s):
    """Next frame's (opcode, payload)."""
    return recv_frame(s)[1:]

def recv_json(s):
    text = None  # a text message's fragments so far
    while True:
        fin, op, payload = recv_frame(s)
        if op == 8:
            raise ConnectionError("close frame")
        if op == 9:
            send(s, payload, opcode=10)  # as browsers do, or the server lets the connection go
        if op == 1 or (op == 0 and text is not None):
            text = (text or b"") + payload
            if fin:
                return json.loads(text)

def send(s, payload, opcode=1):
    if isinstance(payload, str):
        payload = payload.encode()
    mask = os.urandom(4)
    n = len(payload)
    head = bytes([0x80 | opcode])
    if n < 126:
        head += bytes([0x80 | n])
    elif n < 65536:
        head += bytes([0x80 | 126]) + struct.pack(">H", n)
    else:
        head += bytes([0x80 | 127]) + struct.pack(">Q", n)
    s.sendall(head + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))


def panels_hello(hello):
    """A panels hello without its "setup" flag, which says whether the
    set-up page is open to this address (tested on its own)."""
    return {k: v for k, v in hello.items() if k != "setup"} if isinstance(hello, dict) else hello
