"""Tests of the fake search engine: what it serves must be what its README promises, since the
learning, survey and fetcher tests rely on it."""

import http.client
import os
import shutil
import socket
import ssl
import sys
import tempfile
import threading
import unittest
from urllib.parse import quote_plus

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import faults  # noqa: E402
from catalogue import ENGINES  # noqa: E402
from fake_engine import EngineState, Server  # noqa: E402
from pages import MARKER_BEGIN, MARKER_END  # noqa: E402
from results import encode_keyword, result_address  # noqa: E402
from tls import UNTRUSTED_HOST, WRONG_NAME_HOST, TestPki  # noqa: E402

KEYWORD = "\u6771\u4eac \u30db\u30c6\u30eb"  # Tokyo hotel, with a space


def request(port, target, headers=b"", timeout=5.0):
    """Sends one raw request line (bytes) through the engine as a proxy; (status, body)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(b"GET " + target + b" HTTP/1.1\r\n" + headers + b"Connection: close\r\n\r\n")
        response = http.client.HTTPResponse(s)
        response.begin()
        return response.status, response.read()


def cut(text, start, end):
    """The part of a page between two marker texts, as the result parser cuts it."""
    s = text.find(start) if start else -1
    e = text.find(end) if end else -1
    if s < 0:
        return text if e < 0 else text[:e]
    if e < 0 or e < s:
        return text[s:]
    return text[s:e]


def occurrences(text, prefix):
    found, p = [], text.find(prefix)
    while p >= 0:
        found.append(p + len(prefix))
        p = text.find(prefix, p + len(prefix))
    return found


def learn(text, first, tenth):
    """The link rules (selection, stride, prefix) that a sample results page teaches: for each
    occurrence of the first result, the shortest prefix whose occurrences put the first and the
    tenth results where ten results would stand."""
    def at(pos, sample):
        return text[pos:pos + len(sample)] == sample

    rules, start = [], 0
    while (p := text.find(first, start)) >= 0:
        for k in range(3, min(p, 99) + 1):
            occ = occurrences(text, text[p - k:p])
            n = len(occ)
            rule = None
            if n == 10 and at(occ[0], first) and at(occ[-1], tenth):
                rule = (0, 1)
            elif n > 10 and at(occ[0], first):
                rule = next(((1, s) for s in range(1, n // 10 + 1) if at(occ[10 * s - 1], tenth)),
                            None)
            elif n > 10 and at(occ[-1], tenth):
                rule = next(((2, s) for s in range(1, n // 10 + 1) if at(occ[n - 10 * s], first)),
                            None)
            if rule:
                rules.append(rule + (text[p - k:p],))
                break
        start = p + len(first)
    return rules


def parse(text, selection, stride, prefix):
    """The ten links a rule picks out of a page, or []."""
    links, p = [], 0
    while (q := text.find(prefix, p)) >= 0:
        start = q + len(prefix)
        end = min([i for i in (text.find(c, start) for c in b"\"' <>\t\n") if i >= 0],
                  default=len(text))
        links.append(text[start:end])
        p = end
        for _ in range(stride - 1):
            q = text.find(prefix, p)
            if q < 0:
                p = len(text)
                break
            p = q + len(prefix)
    if len(links) == 10:
        return links
    if len(links) > 10 and selection in (1, 2):
        return links[:10] if selection == 1 else links[-10:]
    return []


def page_target(engine, keyword, page, raw_sjis=False):
    form = encode_keyword(keyword, engine.charset)
    address = engine.address(form, page).encode("ascii")
    if raw_sjis:
        address = address.replace(form.encode("ascii"), keyword.encode("cp932"))
    return address


class FakeEngineTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cert_dir = tempfile.mkdtemp(prefix="fake-engine-test-certs.")
        cls.pki = TestPki(cls.cert_dir)
        cls.server = Server(("127.0.0.1", 0), EngineState(), cls.pki)
        cls.port = cls.server.server_address[1]
        cls.thread = threading.Thread(target=cls.server.serve_forever, kwargs={"poll_interval": 0.05})
        cls.thread.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.thread.join()
        cls.server.server_close()
        shutil.rmtree(cls.cert_dir, ignore_errors=True)

    def setUp(self):
        self.control("/reset")

    def get(self, target, **kw):
        return request(self.port, target if isinstance(target, bytes) else target.encode(), **kw)

    def control(self, path):
        status, body = self.get("http://control.test" + path)
        self.assertEqual(status, 200, body)
        return body.decode("latin-1")

    def get_https(self, host, path, timeout=5.0):
        """GET https://host/path through the engine as a proxy (CONNECT), trusting only the test
        CA; (status, Location header, body)."""
        context = ssl.create_default_context(cafile=self.pki.ca_file)
        connection = http.client.HTTPSConnection("127.0.0.1", self.port, timeout=timeout,
                                                 context=context)
        connection.set_tunnel(host, 443)
        try:
            connection.request("GET", path, headers={"User-Agent": "UA/2"})
            response = connection.getresponse()
            return response.status, response.getheader("Location"), response.read()
        finally:
            connection.close()

    def test_each_layout_teaches_the_rule_its_readme_names(self):
        expected = {"plain": [(0, 1)], "dl": [(0, 1)], "table": [(0, 1)], "sponsored": [(2, 1)],
                    "extra": [(1, 1)], "double": [(1, 2), (1, 2)], "boxed": [(0, 1)]}
        for host, engine in ENGINES.items():
            with self.subTest(host=host):
                markers = (MARKER_BEGIN.encode(), MARKER_END.encode()) \
                    if engine.layout == "boxed" else (b"", b"")
                status, page1 = self.get(page_target(engine, KEYWORD, 1))
                self.assertEqual(status, 200)
                rules = learn(cut(page1, *markers), result_address(KEYWORD, 1).encode(),
                              result_address(KEYWORD, 10).encode())
                self.assertEqual([r[:2] for r in rules], expected[engine.layout])
                _, page3 = self.get(page_target(engine, KEYWORD, 3))
                self.assertEqual(parse(cut(page3, *markers), *rules[0]),
                                 [result_address(KEYWORD, r).encode() for r in range(21, 31)])

    def test_boxed_layout_needs_its_markers(self):
        _, page = self.get(page_target(ENGINES["boxed.engine.test"], KEYWORD, 1))
        self.assertEqual(learn(page, result_address(KEYWORD, 1).encode(),
                               result_address(KEYWORD, 10).encode()), [])

    def test_keyword_is_read_only_in_the_engines_character_set(self):
        sjis = ENGINES["sjis.engine.test"]
        _, raw = self.get(page_target(sjis, KEYWORD, 1, raw_sjis=True))
        _, escaped = self.get(page_target(sjis, KEYWORD, 1))
        self.assertIn(result_address(KEYWORD, 1).encode(), raw)
        self.assertEqual(raw, escaped)
        self.assertIn(KEYWORD.encode("cp932"), raw)
        # UTF-8 escapes sent to the EUC-JP engine and EUC-JP escapes to a UTF-8 engine.
        wrong = [(ENGINES["pagenum.engine.test"], encode_keyword(KEYWORD, "utf-8")),
                 (ENGINES["plain.engine.test"], encode_keyword(KEYWORD, "euc-jp"))]
        for engine, form in wrong:
            _, page = self.get(engine.address(form, 1))
            self.assertNotIn(b".example/p1.html", page)
            self.assertIn("\u898b\u3064\u304b\u308a\u307e\u305b\u3093".encode(engine.charset), page)

    def test_placement_short_last_page_and_repeated_pages(self):
        plain = ENGINES["plain.engine.test"]
        self.control("/place?keyword=" + quote_plus(KEYWORD) + "&rank=23&count=25"
                     "&target=www.mine.example")
        form = encode_keyword(KEYWORD, "utf-8")

        _, last = self.get(plain.address(form, 3))
        self.assertEqual(last.count(b'<a href="'), 5)
        self.assertIn(b'<a href="http://www.mine.example/">', last)
        _, past = self.get(plain.address(form, 4))
        self.assertEqual(past, last)
        # An offset that is not a page boundary shows the ten results from there.
        _, odd = self.get(f"http://plain.engine.test/search?q={form}&start=5")
        self.assertIn(result_address(KEYWORD, 6).encode(), odd)
        self.assertNotIn(result_address(KEYWORD, 5).encode(), odd)
        self.assertIn(result_address(KEYWORD, 15).encode(), odd)
        listed = self.control("/results?keyword=" + quote_plus(KEYWORD)).splitlines()
        self.assertEqual(len(listed), 25)
        self.assertEqual(listed[22], "23\thttp://www.mine.example/")

    def test_default_placement_follows_the_byte_sum(self):
        _, page = self.get("http://plain.engine.test/search?q=abc&start=90")
        self.assertIn(b'<a href="http://www.target-site.example/">', page)
        self.assertIn(b"http://www.site091-k294.example/p91.html", page)

    def test_log_keeps_targets_ports_and_headers_of_both_request_forms(self):
        self.get("http://Plain.Engine.Test:80/search?q=a&start=0",
                 headers=b"User-Agent: UA/1\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n")
        self.get("/search?q=b", headers=b"Host: plain.engine.test\r\nAccept-Encoding: gzip\r\n")
        self.get(b"http://sjis.engine.test/x?kw=\x93\x8c\x8b\x9e a")
        lines = [ln.split("\t") for ln in self.control("/log").splitlines()]
        self.assertEqual(lines[0][:11], ["1", "GET", "http://Plain.Engine.Test:80/search?q=a&start=0",
                                         "plain.engine.test", "80", "/search?q=a&start=0", "UA/1",
                                         "no-cache", "no-cache", "", "http"])
        times = [float(line[11]) for line in lines]
        self.assertEqual(times, sorted(times))
        self.assertEqual(lines[1][2:6], ["/search?q=b", "plain.engine.test", "", "/search?q=b"])
        self.assertEqual(lines[1][9], "gzip")
        self.assertEqual(lines[2][5].encode("latin-1"), b"/x?kw=\x93\x8c\x8b\x9e a")
        self.assertEqual(self.control("/count?host=plain.engine.test"), "2\n")

    def test_fault_hosts(self):
        for _ in range(2):
            self.assertEqual(self.get("http://empty2.fault.test/search?q=a"), (200, b""))
        status, body = self.get("http://empty2.fault.test/search?q=a")
        self.assertIn(b"site001", body)
        self.assertEqual(self.get("http://empty.fault.test/")[1], b"")
        self.assertEqual(self.get("http://empty.fault.test/")[1], b"")
        status, body = self.get("http://e404.fault.test/")
        self.assertEqual((status, b"<h1>Not Found</h1>" in body), (404, True))
        self.assertEqual(self.get("http://e500.fault.test/")[0], 500)
        self.assertEqual(self.get("http://nul.fault.test/")[1], bytes(i % 251 for i in range(1000)))
        big = self.get("http://big.fault.test/")[1]
        self.assertEqual((len(big), big[:64], big[-1:]), (3_000_000, faults.PATTERN, b"\n"))
        with socket.create_connection(("127.0.0.1", self.port)) as s:
            s.sendall(b"GET http://moved.fault.test/search?q=a HTTP/1.1\r\n\r\n")
            response = http.client.HTTPResponse(s)
            response.begin()
            self.assertEqual((response.status, response.getheader("Location")),
                             (302, "http://plain.engine.test/search?q=a"))
        with self.assertRaises(OSError):
            self.get("http://reset.fault.test/")
        with self.assertRaises(socket.timeout):
            self.get("http://stall.fault.test/", timeout=0.5)
        self.assertEqual(self.control("/count?host=empty2.fault.test"), "3\n")

    def test_https_through_a_connect_tunnel_with_a_certificate_of_the_test_ca(self):
        status, _, page = self.get_https("plain.engine.test", "/search?q=abc&start=90")
        self.assertEqual(status, 200)
        self.assertIn(b'<a href="http://www.target-site.example/">', page)
        # Fault hosts and their redirects answer over TLS too.
        self.assertEqual(self.get_https("e403.fault.test", "/")[0], 403)
        self.assertEqual(self.get_https("e429.fault.test", "/")[0], 429)
        self.assertEqual(self.get_https("moved.fault.test", "/s?q=a")[:2],
                         (302, "http://plain.engine.test/s?q=a"))
        lines = [ln.split("\t") for ln in self.control("/log").splitlines()]
        self.assertEqual([ln[1:6] + [ln[10]] for ln in lines[:2]],
                         [["CONNECT", "plain.engine.test:443", "plain.engine.test", "443", "", "http"],
                          ["GET", "/search?q=abc&start=90", "plain.engine.test", "", "/search?q=abc&start=90",
                           "https"]])
        self.assertEqual(lines[1][6], "UA/2")
        # A CONNECT is logged, but only the requests inside count for a fault host.
        self.control("/reset")
        for _ in range(2):
            self.assertEqual(self.get_https("empty2.fault.test", "/search?q=a")[2], b"")
        self.assertIn(b"site001", self.get_https("empty2.fault.test", "/search?q=a")[2])

    def test_plain_http_redirects_to_https(self):
        with socket.create_connection(("127.0.0.1", self.port)) as s:
            s.sendall(b"GET http://tohttps.fault.test/search?q=a HTTP/1.1\r\n\r\n")
            response = http.client.HTTPResponse(s)
            response.begin()
            self.assertEqual((response.status, response.getheader("Location")),
                             (301, "https://plain.engine.test/search?q=a"))

    def test_certificates_that_must_not_verify(self):
        for host, reason in [(UNTRUSTED_HOST, "certificate verify failed"),
                             (WRONG_NAME_HOST, "match")]:
            with self.subTest(host=host):
                with self.assertRaises(ssl.SSLCertVerificationError) as caught:
                    self.get_https(host, "/")
                self.assertIn(reason, str(caught.exception))
        # The test CA signed nothing for the untrusted host: its chain is another authority's.
        with open(self.pki.ca_file) as f:
            self.assertEqual(f.read().count("BEGIN CERTIFICATE"), 1)
        self.assertFalse(any(name.endswith(".key") and "ca" in name and name != "ca.key"
                             and name != "rogue-ca.key" for name in os.listdir(self.cert_dir)))

    def test_fault_rules_by_keyword_and_page(self):
        self.control("/fault?mode=e500&engine=plain.engine.test&keyword=abc&page=2&times=1")
        self.assertEqual(self.get("http://plain.engine.test/s?q=abc&start=0")[0], 200)
        self.assertEqual(self.get("http://plain.engine.test/s?q=abc&start=10")[0], 500)
        self.assertEqual(self.get("http://plain.engine.test/s?q=abc&start=10")[0], 200)
        self.assertEqual(self.get("http://plain.engine.test/s?q=abd&start=10")[0], 200)
        self.control("/fault?mode=empty&keyword=abd")
        self.assertEqual(self.get("http://double.engine.test/s?q=abd&p=1")[1], b"")


if __name__ == "__main__":
    unittest.main()
