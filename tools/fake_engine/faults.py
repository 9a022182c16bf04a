"""The ways a fake host misbehaves. Each function (handler, host, path and query) answers, or fails
to answer, one request on the handler's connection."""

import select
import socket
import struct
import time

from pages import error_page

BIG_BODY_SIZE = 3_000_000
PATTERN = b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-\n"  # 64 bytes
NUL_BODY = bytes(i % 251 for i in range(1000))
SLOW_PIECES, SLOW_PIECE_SIZE, SLOW_PAUSE = 40, 100, 0.2
STALL_LIMIT = 60.0  # a stalled connection is dropped after this long at the latest
TRICKLE_INTERVAL = 4.0  # seconds between the pieces of a trickle, unless the rule names another
TRICKLE_BODY_SIZE = 1000


def pattern_bytes(size):
    """The first size bytes of PATTERN repeated."""
    whole, rest = divmod(size, len(PATTERN))
    return PATTERN * whole + PATTERN[:rest]


def _headers(handler, status, length, content_type="text/html"):
    handler.send_response(status)
    handler.send_header("Content-Type", content_type)
    handler.send_header("Content-Length", str(length))
    handler.end_headers()
    handler.wfile.flush()


def _hold(handler):
    """Keep the connection open and silent until the client goes, the server stops, or
    STALL_LIMIT passes."""
    conn = handler.connection
    deadline = time.monotonic() + STALL_LIMIT
    while time.monotonic() < deadline and not handler.server.stopping.is_set():
        readable, _, _ = select.select([conn], [], [], 0.1)
        if readable:
            try:
                if not conn.recv(4096):
                    break
            except OSError:
                break
    handler.close_connection = True


def empty(handler, host, path):
    _headers(handler, 200, 0)


def stall(handler, host, path):
    _hold(handler)


def stallbody(handler, host, path):
    _headers(handler, 200, 1000)
    handler.wfile.write(pattern_bytes(100))
    handler.wfile.flush()
    _hold(handler)


def reset(handler, host, path):
    # A zero linger time makes close() send RST instead of FIN.
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.connection.close()
    handler.close_connection = True


def _error(handler, host, status, reason):
    body = error_page(status, reason, host)
    _headers(handler, status, len(body))
    handler.wfile.write(body)


def e404(handler, host, path):
    _error(handler, host, 404, "Not Found")


def e500(handler, host, path):
    _error(handler, host, 500, "Internal Server Error")


def e403(handler, host, path):
    _error(handler, host, 403, "Forbidden")


def _error_asking_to_wait(handler, host, status, reason):
    """An error page with Retry-After: N when the fault rule gave retry=N."""
    body = error_page(status, reason, host)
    handler.send_response(status)
    if "retry" in handler.fault_params:
        handler.send_header("Retry-After", handler.fault_params["retry"])
    handler.send_header("Content-Type", "text/html")
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body)


def e429(handler, host, path):
    _error_asking_to_wait(handler, host, 429, "Too Many Requests")


def e503(handler, host, path):
    _error_asking_to_wait(handler, host, 503, "Service Unavailable")


def noloc(handler, host, path):
    body = b"<html><body>Moved, but nowhere</body></html>\n"
    handler.send_response(302)
    handler.send_header("Content-Type", "text/html")
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body)


def _trickle(handler, pieces):
    """Sends the pieces one by one, interval seconds apart (the rule's, else TRICKLE_INTERVAL),
    until they run out, the client goes, the server stops or STALL_LIMIT passes."""
    interval = float(handler.fault_params.get("interval", TRICKLE_INTERVAL))
    deadline = time.monotonic() + STALL_LIMIT
    for piece in pieces:
        if time.monotonic() >= deadline or handler.server.stopping.wait(interval):
            break
        handler.wfile.write(piece)
        handler.wfile.flush()
    handler.close_connection = True


def tricklehead(handler, host, path):
    handler.wfile.write(b"HTTP/1.1 200 OK\r\n")
    handler.wfile.flush()
    _trickle(handler, (b"X-Trickle-%d: %d\r\n" % (i, i) for i in range(1_000_000)))


def tricklebody(handler, host, path):
    _headers(handler, 200, TRICKLE_BODY_SIZE, "text/plain")
    body = pattern_bytes(TRICKLE_BODY_SIZE)
    _trickle(handler, (body[i:i + 1] for i in range(len(body))))


def big(handler, host, path):
    _headers(handler, 200, BIG_BODY_SIZE, "text/plain")
    block = pattern_bytes(len(PATTERN) * 1024)
    sent = 0
    while sent < BIG_BODY_SIZE:
        piece = block[: min(len(block), BIG_BODY_SIZE - sent)]
        handler.wfile.write(piece)
        sent += len(piece)


def nul(handler, host, path):
    _headers(handler, 200, len(NUL_BODY), "application/octet-stream")
    handler.wfile.write(NUL_BODY)


def slow(handler, host, path):
    _headers(handler, 200, SLOW_PIECES * SLOW_PIECE_SIZE, "text/plain")
    body = pattern_bytes(SLOW_PIECES * SLOW_PIECE_SIZE)
    for i in range(SLOW_PIECES):
        if handler.server.stopping.is_set():
            break
        handler.wfile.write(body[i * SLOW_PIECE_SIZE:(i + 1) * SLOW_PIECE_SIZE])
        handler.wfile.flush()
        time.sleep(SLOW_PAUSE)


def _redirect(handler, status, location):
    body = b"<html><body>Moved to " + location.encode("latin-1") + b"</body></html>\n"
    handler.send_response(status)
    handler.send_header("Location", location)
    handler.send_header("Content-Type", "text/html")
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body)


def moved(handler, host, path):
    _redirect(handler, 302, "http://plain.engine.test" + path)


def tohttps(handler, host, path):
    _redirect(handler, 301, "https://plain.engine.test" + path)


DELIVER = {"empty": empty, "stall": stall, "stallbody": stallbody, "reset": reset,
           "e403": e403, "e404": e404, "e429": e429, "e500": e500, "big": big, "nul": nul,
           "slow": slow, "moved": moved, "tohttps": tohttps, "e503": e503, "noloc": noloc,
           "tricklehead": tricklehead, "tricklebody": tricklebody}
