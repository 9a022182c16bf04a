"""Tests of the fake search engine: what it serves must be what its README promises, since the
learning, survey and fetcher tests rely on it."""

import base64
import http.client
import os
import shutil
import socket
import ssl
import sys
import tempfile
import threading
import time
import unittest
from html import unescape
from urllib.parse import parse_qs, quote, quote_plus, unquote, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import faults  # noqa: E402
from catalogue import CLASSIC_LAYOUTS, ENGINES, SERVICE_KEY  # noqa: E402
from fake_engine import EngineState, Server  # noqa: E402
from pages import MARKER_BEGIN, MARKER_END  # noqa: E402
from results import encode_keyword, result_address  # noqa: E402
from tls import UNTRUSTED_HOST, WRONG_NAME_HOST, TestPki  # noqa: E402

KEYWORD = "\u6771\u4eac \u30db\u30c6\u30eb"  # Tokyo hotel, with a space

# The faults that stand in for a results page: mode, the rule's own parameters, engine, status,
# a header and its value (None: absent), texts the page holds, and what it holds instead of
# results: "none" (no result link), "frame" (the engine's page around no results) or "results"
# (the engine's own page, byte for byte). A mode's first row runs on its fault host too.
BLOCK_PAGES = [
    ("consent", "", "pagenum.engine.test", 200, None,
     [b"Before you continue", b'<form method="post" action="/consent/save"', b"<button"], "none"),
    ("script", "", "mixed.engine.test", 200, None,
     [b"<noscript>", b"turn on JavaScript", b"<script>"], "none"),
    ("e429", "", "plain.engine.test", 429, ("Retry-After", None), [b"<h1>Too Many Requests</h1>"],
     "none"),
    ("e429", "&retry=2", "sjis.engine.test", 429, ("Retry-After", "2"),
     [b"<h1>Too Many Requests</h1>"], "none"),
    ("e503", "", "plain.engine.test", 503, ("Retry-After", None),
     [b"<h1>Service Unavailable</h1>"], "none"),
    ("e503", "&retry=30", "double.engine.test", 503, ("Retry-After", "30"),
     [b"<h1>Service Unavailable</h1>"], "none"),
    ("silent", "", "plain.engine.test", 200, None, [b"<ol>\n</ol>"], "frame"),
    ("silent", "", "sjis.engine.test", 200, None, [b'<table class="results">\n</table>'], "frame"),
    ("silent", "", "boxed.engine.test", 200, None, [MARKER_BEGIN.encode()], "frame"),
    ("status", "&code=404", "extra.engine.test", 404, None, [], "results"),
    ("status", "&code=999", "redirect.engine.test", 999, None, [], "results"),
    ("noloc", "", "pagenum.engine.test", 302, ("Location", None), [], "results"),
]


def exchange(port, target, headers=b"", timeout=5.0):
    """Sends one raw request line (bytes) through the engine as a proxy; (status, response
    headers, body)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(b"GET " + target + b" HTTP/1.1\r\n" + headers + b"Connection: close\r\n\r\n")
        response = http.client.HTTPResponse(s)
        response.begin()
        return response.status, response.headers, response.read()


def request(port, target, headers=b"", timeout=5.0):
    """(status, body) of exchange."""
    status, _, body = exchange(port, target, headers, timeout)
    return status, body


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
            if engine.layout not in CLASSIC_LAYOUTS:
                continue
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

    def page(self, host, number, keyword=KEYWORD):
        status, body = self.get(page_target(ENGINES[host], keyword, number))
        self.assertEqual(status, 200)
        return body

    def test_blocks_layout_holds_fewer_or_more_results_than_ten(self):
        first, eighth = (result_address(KEYWORD, r).encode() for r in (1, 8))
        page1 = self.page("mixed.engine.test", 1)
        self.assertEqual(page1.count(b'<h3 class="r"><a href="'), 8)
        self.assertIn(first, page1)
        self.assertNotIn(result_address(KEYWORD, 9).encode(), page1)
        for block in (b'<div class="news">', b'<div class="images">', b'<div class="videos">'):
            self.assertIn(block, page1)
        page2, page4 = self.page("mixed.engine.test", 2), self.page("mixed.engine.test", 4)
        # The short-prefix rules take ten: what fits page 1 reads the image pack on page 2.
        rules = learn(page1, first, eighth)
        self.assertEqual(rules, [(2, 1, b'a href="')])
        self.assertIn(b"/images?q=", b" ".join(parse(page2, *rules[0])))
        self.assertEqual(page2.count(b'<h3 class="r"><a href="'), 9)
        self.assertIn(result_address(KEYWORD, 9).encode(), page2)
        self.assertEqual(page4.count(b'<h3 class="r"><a href="'), 7)
        self.assertIn(result_address(KEYWORD, 28).encode(), page4)
        # Past the last result the last page comes again.
        self.control("/place?keyword=" + quote_plus(KEYWORD) + "&count=20")
        self.assertEqual(self.page("mixed.engine.test", 5), self.page("mixed.engine.test", 3))

    def test_notice_layout_adds_a_link_of_the_results_markup_after_page_one(self):
        first, tenth = (result_address(KEYWORD, r).encode() for r in (1, 10))
        page1, page2 = self.page("notice.engine.test", 1), self.page("notice.engine.test", 2)
        rules = learn(page1, first, tenth)
        self.assertEqual(rules, [(0, 1, b'a href="')])
        self.assertEqual(parse(page2, *rules[0]), [], "the rule of page 1 reads nothing on page 2")
        self.assertEqual(page2.count(b'<h3 class="r"><a href="'), 10)

    def test_framed_layout_puts_ads_of_the_results_markup_around_them(self):
        first, tenth = (result_address(KEYWORD, r).encode() for r in (1, 10))
        page1, page2 = self.page("framed.engine.test", 1), self.page("framed.engine.test", 2)
        rules = learn(page1, first, tenth)
        self.assertEqual([r[:2] for r in rules], [(2, 1)])
        self.assertEqual(page2.count(b'<h3 class="r"><a href="/aclk?'), 5)
        picked = parse(page2, *rules[0])
        self.assertEqual(sum(1 for link in picked if link.startswith(b"/aclk?")), 3,
                         "the last ten of page 2 hold its three ads after the results")

    def test_redirect_layouts_carry_each_result_address_in_their_own_form(self):
        forms = {
            "redirect.engine.test": lambda link: parse_qs(urlsplit(link).query)["q"][0],
            "escaped.engine.test": lambda link: parse_qs(urlsplit(link).query)["uddg"][0],
            "pathwrap.engine.test": lambda link: unquote(link.split("/RU=")[1].split("/RK=")[0]),
        }
        for host, take in forms.items():
            with self.subTest(host=host):
                page = self.page(host, 1)
                self.assertNotIn(b'href="' + result_address(KEYWORD, 1).encode(), page)
                hrefs = [unescape(h.decode()) for h in page.split(b'href="')[1:]]
                carried = [take(h.split('"')[0]) for h in hrefs
                           if "/url?" in h or "/l/?" in h or "/RU=" in h]
                expected = [result_address(KEYWORD, r) for r in range(1, 11)]
                self.assertEqual(list(dict.fromkeys(carried)), expected)
        redirect = self.page("redirect.engine.test", 1)
        self.assertIn(b"/url?q=" + result_address(KEYWORD, 1).encode() + b"&amp;sa=U&amp;ved=", redirect)
        escaped = self.page("escaped.engine.test", 1)
        self.assertNotIn(result_address(KEYWORD, 1).encode(), escaped)
        self.assertIn(b'href="//escaped.engine.test/y.js?', escaped, "an ad through a redirect of its own")
        self.assertIn(b"/RU=http%3a%2f%2f", self.page("pathwrap.engine.test", 1))

    def test_spelled_layout_writes_hosts_in_capitals_or_escaped(self):
        self.control("/place?keyword=" + quote_plus(KEYWORD) + "&rank=4&target=www.mine-site.example")
        page = self.page("spelled.engine.test", 1)
        hrefs = [unescape(h.split(b'"')[0].decode()) for h in page.split(b'<h3 class="r"><a href="')[1:]]
        carried = [parse_qs(urlsplit(h).query)["q"][0] for h in hrefs]
        self.assertEqual(carried[0], result_address(KEYWORD, 1).upper().replace("HTTP://", "http://")
                         .replace(".HTML", ".html").replace("/P1", "/p1"))
        self.assertIn("www%2Esite002%2Dk", hrefs[1])
        self.assertEqual(unquote(carried[1]), result_address(KEYWORD, 2))
        self.assertEqual(carried[3], "http://WWW.MINE-SITE.EXAMPLE/")
        self.assertNotIn(b"www.mine-site.example/&", page)

    def test_token_layout_puts_a_page_and_keyword_token_before_each_link(self):
        def tokens(page):
            return {v.split(b'"')[0] for v in page.split(b'data-ved="')[1:]}
        pages = {(kw, n): self.page("token.engine.test", n, kw) for kw in (KEYWORD, "abc") for n in (1, 2)}
        for (kw, n), page in pages.items():
            with self.subTest(keyword=kw, page=n):
                self.assertEqual(len(tokens(page)), 1, "one token for every result of a page")
                self.assertEqual(page.count(b'" href="http://www.site'), 10)
        self.assertEqual(len({next(iter(tokens(page))) for page in pages.values()}), 4)
        # The token's tail is the keyword's: a rule learnt through it reads the sample keyword's
        # other pages and nothing of another keyword.
        first, tenth = (result_address(KEYWORD, r).encode() for r in (1, 10))
        rules = learn(pages[(KEYWORD, 1)], first, tenth)
        self.assertEqual([r[:2] for r in rules], [(0, 1)])
        self.assertEqual(parse(pages[(KEYWORD, 2)], *rules[0]),
                         [result_address(KEYWORD, r).encode() for r in range(11, 21)])
        self.assertEqual(parse(pages[("abc", 1)], *rules[0]), [])

    def test_cluster_layout_puts_site_links_under_some_results_of_some_keywords(self):
        tokyo = "\u6771\u4eac"
        for n in (1, 2, 3):
            self.assertNotIn(b'class="sl"', self.page("cluster.engine.test", n, tokyo))
        abc = self.page("cluster.engine.test", 1, "abc")  # KEY 294: a cluster under result 2
        self.assertEqual(abc.count(b'<table class="sl">'), 1)
        site2 = "http://www.site002-k294.example/"
        cluster = [(site2 + name + ".html").encode() for name in ("about", "news", "shop", "faq")]
        # Learnt on 東京's page 1, the first ten of more: on a page with a cluster its links
        # count as results and the ranks after it move down.
        first, tenth = (result_address(tokyo, r).encode() for r in (1, 10))
        rules = learn(self.page("cluster.engine.test", 1, tokyo), first, tenth)
        self.assertEqual(rules, [(1, 1, b'a href="')])
        self.assertEqual(parse(abc, *rules[0]),
                         [result_address("abc", r).encode() for r in (1, 2)] + cluster
                         + [result_address("abc", r).encode() for r in (3, 4, 5, 6)])

    def test_versions_layout_writes_the_titles_of_even_and_odd_keys_otherwise(self):
        tokyo, kyoto = "\u6771\u4eac", "\u4eac\u90fd"  # KEY 1150 and 1139
        newer, older = self.page("versions.engine.test", 1, tokyo), self.page("versions.engine.test", 1, kyoto)
        self.assertEqual(newer.count(b'<div class="title"><h2><a target="_blank" href="http://www.site'), 10)
        self.assertEqual(older.count(b'<li class="algo"><h2><a href="http://www.site'), 10)
        self.assertNotIn(b'target="_blank"', older)
        for kw in (tokyo, kyoto):
            self.assertIn(b'<li class="algo"><a target="_blank" href="/help/safe">', self.page("versions.engine.test", 2, kw))
        # The rule learnt on 東京's page reads none of 京都's.
        first, tenth = (result_address(tokyo, r).encode() for r in (1, 10))
        rules = learn(newer, first, tenth)
        self.assertEqual(parse(older, *rules[0]), [])
        rewritten = self.page("versions.engine.test", 1, "\u6e29\u6cc9 \u65c5\u9928")  # KEY 2240
        self.assertEqual(rewritten.count(b'<li class="algo"><a class="th" href="http://www.site'), 10)
        self.assertEqual(rewritten.count(b'<span><a rel="nofollow" href="http://www.site'), 10)

    def test_news_layout_mingles_a_news_box_and_titles_of_another_class(self):
        tokyo = "\u6771\u4eac"
        first, tenth = (result_address(tokyo, r).encode() for r in (1, 10))
        rules = learn(self.page("news.engine.test", 1, tokyo), first, tenth)
        self.assertEqual(rules, [(1, 1, b'r"><a href="')])
        for n in (2, 3):
            self.assertEqual(parse(self.page("news.engine.test", n, tokyo), *rules[0]),
                             [result_address(tokyo, r).encode() for r in range(10 * n - 9, 10 * n + 1)])
        # abc (KEY 294): the third result's title class ends in a space, so the first ten skip it
        # and take a related search; on page 2 a news box stands before result 19.
        abc1, abc2 = (self.page("news.engine.test", n, "abc") for n in (1, 2))
        self.assertIn(b'<h3 class="r "><a href="' + result_address("abc", 3).encode(), abc1)
        self.assertEqual(parse(abc1, *rules[0]), [result_address("abc", r).encode() for r in (1, 2, *range(4, 11))]
                         + [b"/search?q=abc+1"])
        self.assertEqual(parse(abc2, *rules[0]), [result_address("abc", r).encode() for r in range(11, 19)]
                         + [b"http://news1.example/k294/r19", b"http://news2.example/k294/r19"])
    def test_scripted_layout_hides_its_results_from_the_raw_page(self):
        page = self.page("scripted.engine.test", 2)
        addresses = [result_address(KEYWORD, r).encode() for r in range(11, 21)]
        self.assertEqual([a for a in addresses if a in page], [])
        self.assertEqual(page.count(b"<a "), 0)
        self.assertIn(b"<noscript>", page)
        first = self.page("scripted.engine.test", 1)
        self.assertEqual(first.count(b"<a "), 0)
        written_first = base64.b64decode(first.split(b'w("')[1].split(b'"')[0][::-1]).decode("utf-8")
        self.assertIn(result_address(KEYWORD, 1), written_first)
        # Later pages hold none of it: their script fetches it after the load event.
        self.assertNotIn(b'w("', page)
        self.assertIn(b"&part=results", page)
        status, hidden = self.get(page_target(ENGINES["scripted.engine.test"], KEYWORD, 2) + b"&part=results")
        self.assertEqual(status, 200)
        written = base64.b64decode(hidden[::-1]).decode("utf-8")
        self.assertEqual([a for a in addresses if a.decode() not in written], [])
        self.assertIn('<li class="g">', written)

    def test_consent_host_answers_results_only_with_its_cookie(self):
        target = page_target(ENGINES["consent.engine.test"], KEYWORD, 1)
        first = result_address(KEYWORD, 1).encode()
        cases = [(b"", False), (b"Cookie: a=b; CONSENT=NO\r\n", False),
                 (b"Cookie: a=b; CONSENT=YES\r\n", True)]
        for headers, results in cases:
            with self.subTest(headers=headers):
                status, body = self.get(target, headers=headers)
                self.assertEqual(status, 200)
                self.assertEqual(first in body, results)
                self.assertEqual(b"Before you continue" in body, not results)
                self.assertEqual(b"document.cookie='CONSENT=YES; Max-Age=31536000" in body,
                                 not results)

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

    def test_latency_delays_every_engine_answer_until_reset(self):
        target = ENGINES["plain.engine.test"].address(encode_keyword(KEYWORD, "utf-8"), 1)
        self.assertEqual(self.get("http://control.test/latency?ms=x")[0], 400)
        self.control("/latency?ms=1000")
        start = time.monotonic()
        self.assertEqual(self.get(target)[0], 200)
        self.assertGreaterEqual(time.monotonic() - start, 1.0)
        self.control("/reset")
        start = time.monotonic()
        self.get(target)
        self.assertLess(time.monotonic() - start, 1.0)

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

    def test_a_connection_counts_once_however_many_requests_it_carries(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5.0)
        try:
            for start in (0, 10, 20):
                connection.request("GET", f"http://plain.engine.test/search?q=a&start={start}")
                self.assertEqual(connection.getresponse().read().count(b'<li class="g">'), 10)
            accepted, still_open = self.control("/connections").split("\t")
            self.assertEqual(accepted, "2")  # the kept one and this control request's own
            self.assertGreaterEqual(int(still_open), 2)
        finally:
            connection.close()
        # A request that asks to close is told that the connection closes.
        status, headers, _ = exchange(self.port, b"http://plain.engine.test/search?q=a&start=0")
        self.assertEqual((status, headers["Connection"]), (200, "close"))

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

    def test_block_pages_and_failing_statuses(self):
        def check(response, normal, status, header, texts, instead):
            got_status, headers, page = response
            self.assertEqual(got_status, status)
            if header:
                self.assertEqual(headers.get(header[0]), header[1])
            for text in texts:
                self.assertIn(text, page)
            if instead == "results":
                self.assertTrue(page == normal, "the engine's own page")
            else:
                self.assertNotIn(b"www.site", page)
            if instead == "frame":
                cut_at = normal.index(b"</form>")
                self.assertEqual(page[:cut_at], normal[:cut_at])
                self.assertTrue(page.endswith(normal[normal.index(b'<div id="footer">'):]))

        plain = page_target(ENGINES["plain.engine.test"], KEYWORD, 2)
        hosts_done = {"status"}  # a status needs a code, which only a rule gives
        for mode, options, host, status, header, texts, instead in BLOCK_PAGES:
            with self.subTest(mode=mode, options=options):
                self.control(f"/fault?mode={mode}{options}&engine={host}&keyword="
                             f"{quote_plus(KEYWORD)}&page=2&times=1")
                response = exchange(self.port, page_target(ENGINES[host], KEYWORD, 2))
                normal = self.page(host, 2)
                self.assertIn(result_address(KEYWORD, 11).encode(), normal)
                check(response, normal, status, header, texts, instead)
                if mode not in hosts_done:
                    hosts_done.add(mode)
                    fault_host = plain.replace(b"plain.engine.test", f"{mode}.fault.test".encode())
                    check(exchange(self.port, fault_host), self.get(plain)[1], status, header,
                          texts, instead)
        self.assertIn("\tnoloc.fault.test\t", self.control("/log"))

    def test_captcha_sends_the_client_to_a_captcha_host(self):
        self.control("/fault?mode=captcha&engine=plain.engine.test&page=2")
        plain = page_target(ENGINES["plain.engine.test"], KEYWORD, 2)
        status, headers, _ = exchange(self.port, plain)
        self.assertEqual(status, 302)
        location = headers["Location"]
        self.assertEqual(location, "http://captcha.block.test/sorry/index?continue="
                         + quote(plain.decode(), safe=""))
        status, page = self.get(location)
        self.assertEqual(status, 200)
        for text in (b"<form", b"<img", b"unusual traffic", b"not a robot",
                     b'value="' + plain.replace(b"&", b"&amp;") + b'"'):
            self.assertIn(text, page)
        self.assertEqual(self.control("/count?host=captcha.block.test"), "1\n")
        # Over https the fault host's redirect carries the https address; the captcha host has
        # a certificate of the test CA.
        status, location, _ = self.get_https("captcha.fault.test", "/search?q=a")
        self.assertEqual((status, location), (302, "http://captcha.block.test/sorry/index?continue="
                                                   "https%3A%2F%2Fcaptcha.fault.test%2Fsearch%3Fq%3Da"))
        self.assertIn(b"not a robot", self.get_https("captcha.block.test", "/sorry/index")[2])

    def test_trickles_send_a_piece_at_a_time_and_never_finish_soon(self):
        self.control("/fault?mode=tricklehead&interval=0.05&keyword=a")
        self.control("/fault?mode=tricklebody&interval=30&keyword=b")
        received = {}
        for keyword, enough in ((b"a", lambda got: got.count(b"\r\n") >= 4),
                                (b"b", lambda got: b"\r\n\r\n" in got[:-1])):
            with socket.create_connection(("127.0.0.1", self.port), timeout=5) as s:
                s.sendall(b"GET http://plain.engine.test/search?q=" + keyword + b" HTTP/1.1\r\n\r\n")
                got = b""
                while not enough(got):
                    piece = s.recv(4096)
                    self.assertTrue(piece, got)
                    got += piece
                if keyword == b"b":
                    s.settimeout(0.5)
                    with self.assertRaises(socket.timeout, msg="the next byte comes after 30 s"):
                        s.recv(4096)
            received[keyword] = got
        head = received[b"a"]
        self.assertTrue(head.startswith(b"HTTP/1.1 200 OK\r\nX-Wait-1: "), head)
        self.assertNotIn(b"\r\n\r\n", head)
        head, _, body = received[b"b"].partition(b"\r\n\r\n")
        self.assertIn(b"\r\nContent-Length: 1000\r\n", head + b"\r\n")
        self.assertEqual(body, faults.PATTERN[:1])
        self.assertEqual(self.get("http://plain.engine.test/search?q=c")[0], 200)

    def test_fault_rules_with_parameters_a_mode_does_not_take_are_refused(self):
        for rule in ("mode=status", "mode=status&code=99", "mode=status&code=1000",
                     "mode=status&code=x", "mode=e500&retry=2", "mode=e503&retry=-1",
                     "mode=tricklehead&interval=0", "mode=tricklebody&code=404", "mode=nosuch",
                     "engine=plain.engine.test"):
            with self.subTest(rule=rule):
                self.assertEqual(self.get("http://control.test/fault?" + rule)[0], 400)
        self.assertEqual(self.get("http://plain.engine.test/search?q=a")[0], 200)

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

    def test_service_answers_with_the_page_its_url_gets(self):
        address = "https://sjis.engine.test/cgi-bin/search.cgi?kw=abc&first=11"
        direct = self.get_https("sjis.engine.test", "/cgi-bin/search.cgi?kw=abc&first=11")
        asked = "/fetch?key=%s&url=%s" % (SERVICE_KEY, quote(address, safe=""))
        self.control("/reset")
        # (case, how the service is reached, key, status, body)
        cases = [("plain http", "http", SERVICE_KEY, 200, direct[2]),
                 ("inside a tunnel", "https", SERVICE_KEY, 200, direct[2]),
                 ("wrong key", "http", "guess", 401, b"unknown key\n")]
        for case, scheme, key, status, body in cases:
            with self.subTest(case):
                path = asked.replace(SERVICE_KEY, key)
                if scheme == "https":
                    got = self.get_https("service.test", path)
                    got = got[0], got[2]
                else:
                    got = self.get("http://service.test" + path)
                self.assertEqual(got, (status, body))
        # The page's own request is logged as the address asked for; a fault host's answer is
        # the service's answer.
        lines = [ln.split("\t") for ln in self.control("/log?host=sjis.engine.test").splitlines()]
        self.assertEqual([(ln[1], ln[2], ln[10]) for ln in lines], [("GET", address, "https")] * 2)
        faulted = quote("http://e503.fault.test/search?q=a", safe="")
        self.assertEqual(self.get(f"http://service.test/fetch?key={SERVICE_KEY}&url={faulted}")[0], 503)

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
