"""The ways a fake host misbehaves. Each function (handler, request) answers, or fails to answer,
one request on the handler's connection; the request record carries the engine's own answer,
for the modes that serve it wrongly, and the options of the rule that chose the mode."""

import itertools
import select
import socket
import struct
import time
from dataclasses import dataclass
from urllib.parse import quote

from block_pages import consent_page, script_page
from catalogue import CAPTCHA_HOST, CAPTCHA_PATH
from pages import error_page

BIG_BODY_SIZE = 3_000_000
PATTERN = b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-\n"  # 64 bytes
NUL_BODY = bytes(i % 251 for i in range(1000))
SLOW_PIECES, SLOW_PIECE_SIZE, SLOW_PAUSE = 40, 100, 0.2
STALL_LIMIT = 60.0  # a stalled or trickling connection is dropped after this long at the latest
TRICKLE_INTERVAL = 4.0  # seconds between trickled header lines or body bytes by default
TRICKLE_BODY_SIZE = 1000
INTERVAL_RANGE = (0.01, STALL_LIMIT)
CODE_RANGE = (100, 999)


@dataclass(frozen=True)
class Options:
    """The parameters a fault rule may carry; each mode reads only those PARAMETERS names."""
    retry: int | None = None              # Retry-After seconds (e429, e503); None: no header
    code: int | None = None               # the status of "status"
    interval: float = TRICKLE_INTERVAL    # of "tricklehead" and "tricklebody"


@dataclass(frozen=True)
class Request:
    """One request that a fault answers."""
    host: str
    path: str            # path and query as received (bytes as latin-1 characters)
    page: bytes          # the engine's results page for it
    frame: bytes         # the same page with an empty results block (pages.frame_page)
    content_type: str    # of page and frame
    options: Options


def pattern_bytes(size):
    """The first size bytes of PATTERN repeated."""
    whole, rest = divmod(size, len(PATTERN))
    return PATTERN * whole + PATTERN[:rest]


def _headers(handler, status, length, content_type="text/html", extra=()):
    handler.send_response(status)
    handler.send_header("Content-Type", content_type)
    handler.send_header("Content-Length", str(length))
    for name, value in extra:
        handler.send_header(name, value)
    handler.end_headers()
    handler.wfile.flush()


def _wait(handler, seconds):
    """Keeps the connection silent for up to seconds; False once the client has gone or the
    server is stopping. Whatever the client sends meanwhile is read and dropped."""
    conn = handler.connection
    deadline = time.monotonic() + seconds
    while not handler.server.stopping.is_set():
        left = deadline - time.monotonic()
        if left <= 0:
            return True
        readable, _, _ = select.select([conn], [], [], min(left, 0.1))
        if readable:
            try:
                if not conn.recv(4096):
                    return False
            except OSError:
                return False
    return False


def _hold(handler):
    """Keep the connection open and silent until the client goes, the server stops, or
    STALL_LIMIT passes."""
    _wait(handler, STALL_LIMIT)
    handler.close_connection = True


def _trickle(handler, pieces, interval):
    """Sends the pieces one at a time, interval seconds apart, while the client stays and the
    server runs, for STALL_LIMIT at most. True when every piece went out."""
    deadline = time.monotonic() + STALL_LIMIT
    for n, piece in enumerate(pieces):
        if n:
            left = deadline - time.monotonic()
            if not _wait(handler, min(interval, left)) or interval >= left:
                return False
        handler.wfile.write(piece)
        handler.wfile.flush()
    return True


def empty(handler, request):
    _headers(handler, 200, 0)


def stall(handler, request):
    _hold(handler)


def stallbody(handler, request):
    _headers(handler, 200, 1000)
    handler.wfile.write(pattern_bytes(100))
    handler.wfile.flush()
    _hold(handler)


def reset(handler, request):
    # A zero linger time makes close() send RST instead of FIN.
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.connection.close()
    handler.close_connection = True


def _send(handler, status, body, content_type="text/html", extra=()):
    _headers(handler, status, len(body), content_type, extra)
    handler.wfile.write(body)


def _error(handler, request, status, reason):
    retry = request.options.retry
    _send(handler, status, error_page(status, reason, request.host),
          extra=() if retry is None else (("Retry-After", str(retry)),))


def e404(handler, request):
    _error(handler, request, 404, "Not Found")


def e500(handler, request):
    _error(handler, request, 500, "Internal Server Error")


def e403(handler, request):
    _error(handler, request, 403, "Forbidden")


def e429(handler, request):
    _error(handler, request, 429, "Too Many Requests")


def e503(handler, request):
    _error(handler, request, 503, "Service Unavailable")


def big(handler, request):
    _headers(handler, 200, BIG_BODY_SIZE, "text/plain")
    block = pattern_bytes(len(PATTERN) * 1024)
    sent = 0
    while sent < BIG_BODY_SIZE:
        piece = block[: min(len(block), BIG_BODY_SIZE - sent)]
        handler.wfile.write(piece)
        sent += len(piece)


def nul(handler, request):
    _send(handler, 200, NUL_BODY, "application/octet-stream")


def slow(handler, request):
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
    _send(handler, status, body, extra=(("Location", location),))


def moved(handler, request):
    _redirect(handler, 302, "http://plain.engine.test" + request.path)


def tohttps(handler, request):
    _redirect(handler, 301, "https://plain.engine.test" + request.path)


def consent(handler, request):
    _send(handler, 200, consent_page(_address(handler, request)), "text/html; charset=utf-8")


def captcha(handler, request):
    original = quote(_address(handler, request).encode("latin-1"), safe="")
    _redirect(handler, 302, f"http://{CAPTCHA_HOST}{CAPTCHA_PATH}?continue={original}")


def script(handler, request):
    _send(handler, 200, script_page(request.host), "text/html; charset=utf-8")


def silent(handler, request):
    _send(handler, 200, request.frame, request.content_type)


def status(handler, request):
    _send(handler, request.options.code, request.page, request.content_type)


def noloc(handler, request):
    _send(handler, 302, request.page, request.content_type)


def tricklehead(handler, request):
    handler.send_response_only(200)
    handler.flush_headers()
    # The header lines never end: the connection closes when the trickle stops.
    _trickle(handler, (b"X-Wait-%d: still working\r\n" % n for n in itertools.count(1)),
             request.options.interval)
    handler.close_connection = True


def tricklebody(handler, request):
    _headers(handler, 200, TRICKLE_BODY_SIZE)
    body = pattern_bytes(TRICKLE_BODY_SIZE)
    if not _trickle(handler, (body[i:i + 1] for i in range(len(body))), request.options.interval):
        handler.close_connection = True


def _address(handler, request):
    """The address the client asked for, as it would type it."""
    return f"{handler.scheme}://{request.host}{request.path}"


DELIVER = {"empty": empty, "stall": stall, "stallbody": stallbody, "reset": reset,
           "e403": e403, "e404": e404, "e429": e429, "e500": e500, "e503": e503, "big": big,
           "nul": nul, "slow": slow, "moved": moved, "tohttps": tohttps, "consent": consent,
           "captcha": captcha, "script": script, "silent": silent, "status": status,
           "noloc": noloc, "tricklehead": tricklehead, "tricklebody": tricklebody}

# The options each mode takes from a /fault rule; "status" cannot do without its code.
PARAMETERS = {"e429": ("retry",), "e503": ("retry",), "status": ("code",),
              "tricklehead": ("interval",), "tricklebody": ("interval",)}
REQUIRED = {"status": "code"}


def options_from(mode, args):
    """The Options of a /fault rule for mode from its query arguments (text values). Raises
    ValueError, with the reason, for a parameter the mode does not take or a value out of
    range."""
    given = {name: args[name] for name in ("retry", "code", "interval") if name in args}
    extra = [name for name in given if name not in PARAMETERS.get(mode, ())]
    if extra:
        raise ValueError(f"{mode} takes no {extra[0]}")
    if REQUIRED.get(mode) and REQUIRED[mode] not in given:
        raise ValueError(f"{mode} needs {REQUIRED[mode]}")
    values = {}
    if "retry" in given:
        values["retry"] = int(given["retry"])
        if values["retry"] < 0:
            raise ValueError("retry is a number of seconds from 0")
    if "code" in given:
        values["code"] = int(given["code"])
        if not CODE_RANGE[0] <= values["code"] <= CODE_RANGE[1]:
            raise ValueError("code is a status from %d to %d" % CODE_RANGE)
    if "interval" in given:
        values["interval"] = float(given["interval"])
        if not INTERVAL_RANGE[0] <= values["interval"] <= INTERVAL_RANGE[1]:
            raise ValueError("interval is seconds from %g to %g" % INTERVAL_RANGE)
    return Options(**values)
