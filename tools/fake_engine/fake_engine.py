#!/usr/bin/env python3
"""A deterministic search engine on loopback for tests and the demo.

Clients reach it as an HTTP proxy (http_proxy=http://127.0.0.1:PORT): it answers absolute-form
request lines ("GET http://host[:port]/path?query HTTP/1.1") and origin-form ones with a Host
header, and serves each host name as one fake engine, fault host or the control host. As an
HTTPS proxy (https_proxy, the same port) it answers CONNECT and speaks TLS inside the tunnel with
certificates of a test authority made at start-up (tls.py).
See README.md beside this file.
"""

import argparse
import os
import shutil
import sys
import tempfile
import threading
import time
from dataclasses import dataclass
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, unquote_to_bytes

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import faults  # noqa: E402
from block_pages import captcha_page, cookie_consent_page  # noqa: E402
from catalogue import (CAPTCHA_HOST, CONSENT_COOKIE, CONSENT_HOSTS, CONTROL_HOST,  # noqa: E402
                       ENGINES, SERVICE_HOST, SERVICE_KEY, engine_for, fault_host)
from pages import error_page, frame_page, results_page  # noqa: E402
from results import (Placement, decode_keyword, default_placement, keyword_key,  # noqa: E402
                     page_value, param, result_list, shown_span)
from tls import TestPki, open_tunnel  # noqa: E402

TUNNEL_TIMEOUT = 10.0  # for the TLS handshake inside a tunnel


@dataclass
class LoggedRequest:
    seq: int
    method: str
    target: str      # as on the request line (bytes kept as latin-1 characters)
    host: str
    port: str
    path: str        # path and query, origin form; empty for CONNECT
    headers: dict    # lower-case name -> value
    scheme: str      # "https" inside a CONNECT tunnel, else "http"
    time: float      # seconds since the engine started, when the request line was read

    def line(self):
        h = self.headers
        fields = [str(self.seq), self.method, self.target, self.host, self.port, self.path,
                  h.get("user-agent", ""), h.get("pragma", ""), h.get("cache-control", ""),
                  h.get("accept-encoding", ""), self.scheme, "%.3f" % self.time]
        return "\t".join(f.replace("\t", " ") for f in fields)


@dataclass
class FaultRule:
    mode: str
    engine: str | None
    keyword: str | None
    page: int | None
    remaining: int | None  # None: every matching request
    options: faults.Options


class EngineState:
    """Everything the server remembers; shared by the handler threads under one lock."""

    def __init__(self, log_file=None):
        self.lock = threading.Lock()
        self.log_file = log_file
        self.started = time.monotonic()
        self.connections_open = 0
        self.reset()

    def connection_opened(self):
        with self.lock:
            self.connections_accepted += 1
            self.connections_open += 1

    def connection_closed(self):
        with self.lock:
            self.connections_open -= 1

    def reset(self):
        """Forget the log, the request and connection counts, placements and fault rules (caller
        holds lock). Connections still open stay counted as open."""
        self.connections_accepted = 0
        self.log = []
        self.host_requests = {}
        self.placements = {}
        self.fault_rules = []
        self.latency = 0.0  # seconds every engine answer waits, as across the internet

    def record(self, method, target, host, port, path, headers, scheme="http"):
        """Logs a request; the number of requests to host so far, CONNECTs not counted."""
        with self.lock:
            entry = LoggedRequest(len(self.log) + 1, method, target, host, port, path, headers,
                                  scheme, time.monotonic() - self.started)
            self.log.append(entry)
            if method != "CONNECT":
                self.host_requests[host] = self.host_requests.get(host, 0) + 1
            if self.log_file:
                with open(self.log_file, "a", encoding="latin-1") as f:
                    f.write(entry.line() + "\n")
            return self.host_requests.get(host, 0)

    def placement(self, engine_host, keyword):
        with self.lock:
            return (self.placements.get((engine_host, keyword))
                    or self.placements.get(("", keyword))
                    or default_placement(keyword))

    def take_fault(self, engine_host, keyword, page):
        """(mode, options) of the first fault rule that matches this request, counting it down;
        None when no rule matches."""
        with self.lock:
            for rule in self.fault_rules:
                if rule.remaining == 0:
                    continue
                if rule.engine not in (None, engine_host) or rule.keyword not in (None, keyword):
                    continue
                if rule.page not in (None, page):
                    continue
                if rule.remaining is not None:
                    rule.remaining -= 1
                return rule.mode, rule.options
        return None


def has_cookie(header, cookie):
    """Whether a Cookie header holds cookie ("NAME=VALUE") among its pairs."""
    return cookie in [pair.strip() for pair in (header or "").split(";")]


def split_target(target, host_header):
    """(host, port, path) of a request target in absolute or origin form."""
    if target[:7].lower() == "http://":
        rest = target[7:]
        cut = min([i for i in (rest.find("/"), rest.find("?")) if i >= 0], default=len(rest))
        authority, path = rest[:cut], rest[cut:]
    else:
        authority, path = host_header or "", target
    if not path.startswith("/"):
        path = "/" + path
    authority = authority.rpartition("@")[2]
    host, _, port = authority.partition(":")
    return host.lower(), port, path


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "FakeEngine/1.0"
    scheme = "http"
    # Headers and body go out in separate writes; with Nagle's algorithm the body would wait
    # for the client's delayed acknowledgement of the headers (40 ms a page over TLS).
    disable_nagle_algorithm = True

    def log_message(self, format, *args):  # the request log is kept in EngineState instead
        pass

    def setup(self):
        super().setup()
        if self.scheme == "http":  # a tunnel's requests come over its CONNECT's connection
            self.server.state.connection_opened()

    def finish(self):
        if self.scheme == "http":
            self.server.state.connection_closed()
        super().finish()

    def end_headers(self):
        # An answer to a request that asks to close says so, as HTTP/1.1 servers do: a client
        # library that pools its connections learns that this one is done.
        if self.command != "CONNECT" and self.headers.get("Connection", "").lower() == "close":
            self.send_header("Connection", "close")
        super().end_headers()

    def handle(self):
        try:
            super().handle()
        except (ConnectionResetError, BrokenPipeError):
            pass  # the client went away between two requests

    def parse_request(self):
        # Keep the target's raw bytes; a space inside it (an unescaped keyword) joins the words
        # between the method and the version.
        words = self.raw_requestline.rstrip(b"\r\n").split(b" ")
        if len(words) > 3 and words[-1].startswith(b"HTTP/"):
            self.raw_target = b" ".join(words[1:-1])
            self.raw_requestline = b" ".join([words[0], self.raw_target.replace(b" ", b"%20"),
                                              words[-1]]) + b"\r\n"
        else:
            self.raw_target = words[1] if len(words) > 1 else b""
        return super().parse_request()

    def do_GET(self):
        target = self.raw_target.decode("latin-1")
        host, port, path = split_target(target, self.headers.get("Host"))
        try:
            if host == CONTROL_HOST:
                self.control(path)
                return
            headers = {k.lower(): v for k, v in self.headers.items()}
            count = self.server.state.record(self.command, target, host, port, path, headers,
                                             self.scheme)
            if host == SERVICE_HOST:
                self.serve_service(path.encode("latin-1"), headers)
                return
            self.serve(host, path.encode("latin-1"), count)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def do_CONNECT(self):
        """A tunnel to host:port: TLS with the host's certificate, then requests as usual."""
        self.close_connection = True
        target = self.raw_target.decode("latin-1")
        host, _, port = target.rpartition(":")
        headers = {k.lower(): v for k, v in self.headers.items()}
        self.server.state.record("CONNECT", target, host.lower(), port, "", headers)
        if self.server.pki is None or self.scheme == "https":
            self.send_plain(501, b"no TLS here\n")
            return
        tls = open_tunnel(self, self.server.pki, TUNNEL_TIMEOUT)
        if tls is None:
            return
        try:
            TunnelHandler(tls, self.client_address, self.server)
        except OSError:
            pass
        finally:
            tls.close()

    def do_HEAD(self):
        self.send_plain(405, b"only GET\n")

    do_POST = do_HEAD

    def send_plain(self, status, body, content_type="text/plain; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def serve(self, host, path, count):
        query = path.partition(b"?")[2]
        if host == CAPTCHA_HOST:
            back = unquote_to_bytes(param(query, "continue") or b"").decode("utf-8", "replace")
            self.send_plain(200, captcha_page(back), "text/html; charset=utf-8")
            return
        engine = engine_for(host)
        if engine is None:
            self.send_plain(404, error_page(404, "Not Found", host), "text/html")
            return
        with self.server.state.lock:
            latency = self.server.state.latency
        time.sleep(latency)
        if host in CONSENT_HOSTS and not has_cookie(self.headers.get("Cookie"), CONSENT_COOKIE):
            self.send_plain(200, cookie_consent_page(CONSENT_COOKIE), "text/html; charset=utf-8")
            return
        raw = param(query, engine.keyword_param)
        keyword = decode_keyword(raw, engine.charset) if raw is not None else None
        value = page_value(param(query, engine.page_param))
        if engine.page_kind == "offset":
            page = (value - engine.page_base) // 10 + 1
        else:
            page = value - engine.page_base + 1
        fault = fault_host(host)
        if fault and (fault[1] is None or count <= fault[1]):
            chosen = fault[0], faults.Options()
        else:
            chosen = self.server.state.take_fault(engine.host, keyword, page)
        charset = "Shift_JIS" if engine.charset == "shift_jis" else engine.charset.upper()
        content_type = f"text/html; charset={charset}"
        if keyword is None:
            body = results_page(engine, "", 0, [], 0, 0)
        else:
            placement = self.server.state.placement(engine.host, keyword)
            results = result_list(keyword, placement)
            first, size = shown_span(engine, query, len(results))
            shown = list(enumerate(results, 1))[first:first + size]
            part = engine.layout == "scripted" and param(query, "part") == b"results"
            body = results_page(engine, keyword, first, shown, len(results), keyword_key(keyword), part)
            if part:
                content_type = "text/plain; charset=us-ascii"
        if chosen:
            mode, options = chosen
            request = faults.Request(host, path.decode("latin-1"), body,
                                     frame_page(engine, keyword or ""), content_type, options)
            faults.DELIVER[mode](self, request)
            return
        self.send_plain(200, body, content_type)

    def serve_service(self, path, headers):
        """The fetching service: the page its url parameter gets from this engine, as that
        address's own request (logged with its scheme), or 401 for another key."""
        query = path.partition(b"?")[2]
        if param(query, "key") != SERVICE_KEY.encode():
            self.send_plain(401, b"unknown key\n")
            return
        address = unquote_to_bytes(param(query, "url") or b"").decode("latin-1")
        scheme, sep, rest = address.partition("://")
        if not sep or scheme.lower() not in ("http", "https"):
            self.send_plain(400, b"url is not an http or https address\n")
            return
        host, port, inner = split_target("http://" + rest, None)
        count = self.server.state.record("GET", address, host, port, inner, headers,
                                         scheme.lower())
        self.serve(host, inner.encode("latin-1"), count)

    # Control endpoints on http://control.test/...
    def control(self, path):
        name, _, query = path.partition("?")
        args = {k: v[-1] for k, v in parse_qs(query, keep_blank_values=True,
                                              encoding="utf-8").items()}
        state = self.server.state
        if name == "/log":
            with state.lock:
                lines = [e.line() for e in state.log if e.host == args.get("host", e.host)]
            self.send_plain(200, "".join(ln + "\n" for ln in lines).encode("latin-1"),
                            "text/plain; charset=iso-8859-1")
        elif name == "/count":
            with state.lock:
                n = sum(1 for e in state.log if e.host == args.get("host", e.host))
            self.send_plain(200, f"{n}\n".encode())
        elif name == "/connections":
            with state.lock:
                counts = f"{state.connections_accepted}\t{state.connections_open}\n"
            self.send_plain(200, counts.encode())
        elif name == "/reset":
            with state.lock:
                state.reset()
            self.send_plain(200, b"ok\n")
        elif name == "/place":
            self.place(args)
        elif name == "/latency":
            try:
                latency = int(args.get("ms", "")) / 1000
            except ValueError:
                self.send_plain(400, b"ms is a number\n")
                return
            with state.lock:
                state.latency = max(latency, 0)
            self.send_plain(200, b"ok\n")
        elif name == "/fault":
            self.add_fault(args)
        elif name == "/results":
            keyword = args.get("keyword", "")
            placement = state.placement(args.get("engine", ""), keyword)
            lines = result_list(keyword, placement)
            self.send_plain(200, "".join(f"{i}\t{u}\n" for i, u in enumerate(lines, 1)).encode())
        elif name == "/engines":
            self.send_plain(200, "".join(f"{h}\t{e.address('%s', 2)}\n"
                                         for h, e in ENGINES.items()).encode())
        elif name == "/quit":
            self.send_plain(200, b"bye\n")
            self.close_connection = True
            threading.Thread(target=self.server.stop, daemon=True).start()
        else:
            self.send_plain(404, b"unknown control endpoint\n")

    def place(self, args):
        if "keyword" not in args:
            self.send_plain(400, b"keyword missing\n")
            return
        try:
            base = default_placement(args["keyword"])
            p = Placement(args.get("target", base.target), int(args.get("rank", base.rank)),
                          int(args.get("count", base.count)))
        except ValueError:
            self.send_plain(400, b"rank and count are numbers\n")
            return
        with self.server.state.lock:
            self.server.state.placements[(args.get("engine", ""), args["keyword"])] = p
        self.send_plain(200, b"ok\n")

    def add_fault(self, args):
        try:
            mode = args.get("mode")
            if mode not in faults.DELIVER:
                raise ValueError("mode is one of " + ", ".join(faults.DELIVER))
            rule = FaultRule(mode, args.get("engine") or None, args.get("keyword"),
                             int(args["page"]) if "page" in args else None,
                             int(args["times"]) if "times" in args else None,
                             faults.options_from(mode, args))
        except ValueError as e:  # the reason, or int()'s or float()'s word on a value
            self.send_plain(400, f"bad fault rule: {e}\n".encode())
            return
        with self.server.state.lock:
            self.server.state.fault_rules.append(rule)
        self.send_plain(200, b"ok\n")


class TunnelHandler(Handler):
    """The requests inside a CONNECT tunnel, read from and answered over TLS."""
    scheme = "https"


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, state, pki=None):
        super().__init__(address, Handler)
        self.state = state
        self.pki = pki  # TestPki; without it CONNECT is refused
        self.stopping = threading.Event()

    def stop(self):
        self.stopping.set()
        self.shutdown()


def main():
    ap = argparse.ArgumentParser(description="deterministic fake search engine on 127.0.0.1")
    ap.add_argument("--port", type=int, default=0, help="port to listen on (0: a free one)")
    ap.add_argument("--port-file", help="write the port number here once listening")
    ap.add_argument("--log-file", help="also append every logged request line to this file")
    ap.add_argument("--cert-dir", help="make the test certificates here (ca.pem is the one to "
                                       "trust); default: a temporary folder, removed at the end")
    args = ap.parse_args()

    cert_dir = args.cert_dir or tempfile.mkdtemp(prefix="fake-engine-certs.")
    try:
        pki = TestPki(cert_dir)
    finally:
        if not args.cert_dir:
            shutil.rmtree(cert_dir, ignore_errors=True)  # the contexts hold what they need
    server = Server(("127.0.0.1", args.port), EngineState(args.log_file), pki)
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{port}\n")
        os.replace(tmp, args.port_file)
    print(f"fake engine listening on 127.0.0.1:{port}", flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping.set()
        server.server_close()


if __name__ == "__main__":
    main()
