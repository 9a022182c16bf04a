"""The engines and fault hosts the fake search engine answers for, chosen by host name.

An engine is a query layout (where the keyword and the page parameter stand, how the page
parameter counts), a keyword character set and a page layout. Fault hosts misbehave in one way
(for some requests or for all) and otherwise answer like plain.engine.test.
"""

import re
from dataclasses import dataclass

# How many results every keyword has unless a placement says otherwise.
DEFAULT_RESULT_COUNT = 300

# The site that the default placement puts into every keyword's results.
DEFAULT_TARGET = "www.target-site.example"

CONTROL_HOST = "control.test"

# Where the "captcha" fault sends a client: any path there answers with a captcha page.
CAPTCHA_HOST = "captcha.block.test"
# The fetching service: /fetch?key=SERVICE_KEY&url=ADDRESS answers with the page ADDRESS gets.
SERVICE_HOST = "service.test"
SERVICE_KEY = "fake-service-key-7"
CAPTCHA_PATH = "/sorry/index"


@dataclass(frozen=True)
class Engine:
    host: str
    path: str            # path of the results page (any path is answered the same way)
    keyword_param: str
    page_param: str
    page_first: bool     # True: the page parameter stands before the keyword in addresses
    page_kind: str       # "offset": value = base + index of the first result; "number": page number
    page_base: int       # offset of result 1 ("offset") or number of page 1 ("number")
    charset: str         # "utf-8", "euc-jp" or "shift_jis": the keyword's and the page's
    layout: str          # page layout, see pages.py
    extra_query: str = ""  # further parameters after the two (without a leading "&")
    page_sizes: tuple = ()  # results on pages 1, 2, ... (repeating); empty: ten on every page

    def address(self, keyword_form, page):
        """Address of result page `page` (from 1) with the keyword already in its escaped form."""
        if self.page_kind == "offset":
            value = self.page_base + 10 * (page - 1)
        else:
            value = self.page_base + page - 1
        kw = f"{self.keyword_param}={keyword_form}"
        pg = f"{self.page_param}={value}"
        parts = [pg, kw] if self.page_first else [kw, pg]
        if self.extra_query:
            parts.append(self.extra_query)
        return f"http://{self.host}{self.path}?" + "&".join(parts)


ENGINES = {e.host: e for e in [
    Engine("plain.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8", "plain",
           "hl=ja"),
    Engine("pagenum.engine.test", "/find", "q", "p", True, "number", 1, "euc-jp", "dl"),
    Engine("sjis.engine.test", "/cgi-bin/search.cgi", "kw", "first", False, "offset", 1,
           "shift_jis", "table"),
    Engine("sponsored.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "sponsored"),
    Engine("extra.engine.test", "/search", "query", "b", False, "offset", 1, "euc-jp", "extra"),
    Engine("double.engine.test", "/s", "q", "p", True, "number", 1, "utf-8", "double"),
    Engine("boxed.engine.test", "/search", "q", "start", False, "offset", 0, "shift_jis",
           "boxed"),
    # Engines of today's result pages, one cause of failed learning each (README).
    Engine("mixed.engine.test", "/search", "q", "p", False, "number", 1, "utf-8", "blocks",
           page_sizes=(8, 9, 10, 7)),
    Engine("notice.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8", "notice"),
    Engine("framed.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8", "framed"),
    Engine("redirect.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "redirect"),
    Engine("escaped.engine.test", "/html/", "q", "s", False, "offset", 0, "utf-8", "escaped"),
    Engine("pathwrap.engine.test", "/search", "p", "b", False, "offset", 1, "utf-8", "pathwrap"),
    Engine("spelled.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "spelled"),
    Engine("token.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8", "tokened"),
    Engine("cluster.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "clustered"),
    Engine("news.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8", "newsbox"),
    Engine("versions.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "versioned"),
    # Engines that only a browser reads (README, "Engines for the browser fetcher").
    Engine("scripted.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "scripted"),
    Engine("consent.engine.test", "/search", "q", "start", False, "offset", 0, "utf-8",
           "consent"),
]}

# Hosts that answer every results address with a consent page until the client sends the
# consent cookie, which the page's accept button sets.
CONSENT_HOSTS = ("consent.engine.test",)
CONSENT_COOKIE = "CONSENT=YES"

# The engines and layouts that learning handled from the start; the others are today's.
CLASSIC_LAYOUTS = ("plain", "dl", "table", "sponsored", "extra", "double", "boxed")

# Fault hosts: "<mode>.fault.test" misbehaves on every request, "<mode><N>.fault.test" on the
# first N requests to that host since the last reset, then answers like plain.engine.test.
# "status" has no host: it needs the code that only a /fault rule carries.
FAULT_MODES = ("empty", "stall", "stallbody", "reset", "e403", "e404", "e429", "e500", "big",
               "nul", "slow", "moved", "tohttps", "consent", "captcha", "script", "e503",
               "silent", "noloc", "tricklehead", "tricklebody")
_FAULT_HOST = re.compile(r"^(%s)(\d*)\.fault\.test$" % "|".join(FAULT_MODES))


def fault_host(host):
    """(mode, times) for a fault host, times None meaning every request; None for other hosts."""
    m = _FAULT_HOST.match(host)
    if not m:
        return None
    return m.group(1), (int(m.group(2)) if m.group(2) else None)


def engine_for(host):
    """The engine that answers for host, or None. Fault hosts answer like plain.engine.test."""
    if host in ENGINES:
        return ENGINES[host]
    if fault_host(host):
        return ENGINES["plain.engine.test"]
    return None
