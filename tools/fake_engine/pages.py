"""Results pages in the layouts of the fake engines. Pages look like real ones: a header with
links, a search form, a count line, the results with titles and snippets, page links at the
foot, all in the engine's character set."""

import base64
import hashlib
import html
import re
from urllib.parse import quote

from results import encode_keyword, keyword_key, page_of

MARKER_BEGIN = "<!-- RESULTS BEGIN -->"
MARKER_END = "<!-- RESULTS END -->"

_CHARSET_LABEL = {"utf-8": "UTF-8", "euc-jp": "EUC-JP", "shift_jis": "Shift_JIS"}


def _title(keyword, rank):
    return f"{html.escape(keyword)} \u306e\u60c5\u5831 {rank} - \u30b5\u30a4\u30c8{rank}"


def _snippet(keyword, rank):
    return (f"<b>{html.escape(keyword)}</b>\u306b\u3064\u3044\u3066\u8a73\u3057\u304f"
            f"\u89e3\u8aac\u3057\u307e\u3059\u3002\u7b2c{rank}\u4f4d\u306e\u30da\u30fc\u30b8"
            f"\u3067\u3059\u3002")


def _cite(url):
    return html.escape(url.split("://", 1)[-1])


# One result in each layout. "plain", "sponsored", "extra" and "boxed" share the list markup, so
# that sponsored links, extra links and the box hold a result address behind the same prefix.
def _item_list(rank, url, keyword):
    return (f'<li class="g"><h3 class="r"><a href="{url}">{_title(keyword, rank)}</a></h3>'
            f'<div class="s">{_snippet(keyword, rank)}<br><cite>{_cite(url)}</cite></div></li>\n')


def _item_dl(rank, url, keyword):
    return (f'<dt><a href="{url}" target="_blank">{_title(keyword, rank)}</a></dt>\n'
            f'<dd>{_snippet(keyword, rank)} - {_cite(url)}</dd>\n')


def _item_table(rank, url, keyword):
    return (f'<tr><td class="no">{rank}.</td><td class="res"><a href="{url}">'
            f'{_title(keyword, rank)}</a><br><small>{_snippet(keyword, rank)}</small></td></tr>\n')


def _item_double(rank, url, keyword):
    return (f'<div class="res"><a href="{url}"><img src="/thumb/{rank}.png" width="60" '
            f'height="45" alt=""></a> <a href="{url}">{_title(keyword, rank)}</a>'
            f'<br>{_snippet(keyword, rank)}</div>\n')


def _item_g(rank, link, keyword, shown):
    return (f'<div class="g"><h3 class="r"><a href="{link}">{_title(keyword, rank)}</a></h3>'
            f'<div class="s">{_snippet(keyword, rank)}<br><cite>{html.escape(shown)}</cite></div></div>\n')


def _item_redirect(rank, url, keyword):
    """A result whose link is the engine's relative redirect, written with "&amp;", and a link
    to the engine's cached copy."""
    return (f'<li class="g"><h3 class="r"><a href="/url?q={url}&amp;sa=U&amp;ved=0ahUKE{rank}">'
            f'{_title(keyword, rank)}</a></h3><div class="s">{_snippet(keyword, rank)}<br>'
            f'<cite>{_cite(url)}</cite> <a class="fl" href="/search?q=cache:{rank}&amp;hl=ja">cache</a>'
            f'</div></li>\n')


def _escaped(address):
    """An address percent-escaped whole, as a redirect parameter carries it."""
    return quote(address, safe="")


def _spelled(address, rank):
    """The address with its host written otherwise: in capitals, or with "." and "-" escaped."""
    scheme, _, rest = address.partition("://")
    host, slash, path = rest.partition("/")
    if rank % 3 == 1:
        host = host.upper()
    elif rank % 3 == 2:
        host = host.replace(".", "%2E").replace("-", "%2D")
    return f"{scheme}://{host}{slash}{path}"


def _blocks(items, keyword, kw_key, page):
    """Results with a news box on top, an image pack after the second result and a video block
    before the last, each in markup of its own."""
    news = ('<div class="news"><span>\u30cb\u30e5\u30fc\u30b9</span>\n'
            + "".join(f'<div class="n"><a href="http://news{n}.example/k{kw_key}/{page}">'
                      f'{html.escape(keyword)} {n}</a></div>\n' for n in (1, 2)) + "</div>\n")
    images = (f'<div class="images"><a href="/images?q={kw_key}&amp;n=1"><img src="/i/{page}a.jpg"></a>'
              f'<a href="/images?q={kw_key}&amp;n=2"><img src="/i/{page}b.jpg"></a></div>\n')
    video = (f'<div class="videos"><a class="v" href="http://video.example/watch?v=k{kw_key}p{page}">'
             f'\u52d5\u753b</a></div>\n')
    out = news
    for i, (rank, url) in enumerate(items):
        if i == 2:
            out += images
        if i == len(items) - 1 and len(items) > 3:
            out += video
        out += _item_g(rank, url, keyword, _cite(url))
    return out


def _framed(items, keyword, kw_key, page):
    """The plain list with ads in its own markup: two before it, and from page 2 on three after.
    The ads' links go through the engine's click redirect."""
    def ads(numbers):
        return "".join(_item_list(0, f"/aclk?ai={n}&amp;adurl=http://ad{n}.sponsor.example/lp", keyword)
                       for n in numbers)
    return ("<ul>\n" + ads((1, 2)) + "</ul>\n" + _list_block(items, keyword)
            + ("<ul>\n" + ads((3, 4, 5)) + "</ul>\n" if page > 1 else ""))


def _escaped_list(items, keyword, kw_key):
    """Protocol-relative redirect links that carry the address percent-escaped, title and shown
    address both linked; one ad before, through a redirect of its own."""
    def result(rank, link, shown, css=""):
        return (f'<div class="result{css}"><h2 class="result__title"><a rel="nofollow" class="result__a" '
                f'href="{link}">{_title(keyword, rank)}</a></h2>\n<a class="result__url" href="{link}">'
                f'{html.escape(shown)}</a><div class="result__snippet">{_snippet(keyword, rank)}</div></div>\n')
    ad = f"//escaped.engine.test/y.js?ad_provider=x&amp;u3={_escaped('http://ad1.sponsor.example/')}"
    out = result(0, ad, "ad1.sponsor.example", " result--ad")
    for rank, url in items:
        out += result(rank, f"//escaped.engine.test/l/?uddg={_escaped(url)}&amp;rut=t{rank}k{kw_key}",
                      url.split("://", 1)[-1])
    return out


def _pathwrap(url, rank):
    carried = re.sub(r"%[0-9A-F]{2}", lambda m: m.group(0).lower(), _escaped(url))
    return (f"http://r.pathwrap.engine.test/_ylt=Awr{rank};_ylu=Y29s/RV=2/RE=1/RO=10/RU={carried}"
            f"/RK=2/RS=tk{rank}-")


def _token(text, length):
    """A deterministic run of letters and digits standing for text, like a tracking id."""
    alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_-"
    digest = hashlib.sha1(text.encode("utf-8")).digest()
    return "".join(alphabet[b % 64] for b in digest[:length])


def _tokened(items, keyword, kw_key, page):
    """Result links behind a tracking attribute whose value is the page's own (it changes with
    the page) and ends in the keyword's own (it changes with the keyword), so that a prefix
    learnt through it fits no other page or no other keyword."""
    ved = f"0ahUKEw{_token(f'{kw_key}/{page}', 8)}Q{_token(keyword, 6)}"
    return "".join(f'<div class="g"><h3 class="r"><a data-ved="{ved}" href="{url}">{_title(keyword, rank)}'
                   f'</a></h3><div class="s">{_snippet(keyword, rank)}<br><cite>{_cite(url)}</cite></div></div>\n'
                   for rank, url in items)


CLUSTER_EVERY = 37  # a result with a cluster of site links under it, one rank in this many


def has_cluster(kw_key, rank):
    """Whether the result at rank carries site links: (KEY + rank) a multiple of CLUSTER_EVERY,
    so that a keyword's pages differ and 東京 (KEY 1150) has none before rank 34."""
    return (kw_key + rank) % CLUSTER_EVERY == 0


def cluster_links(url):
    """The four pages of url's site that a cluster under it links to."""
    scheme, _, rest = url.partition("://")
    return [f"{scheme}://{rest.partition('/')[0]}/{name}.html" for name in ("about", "news", "shop", "faq")]


def _clustered(items, keyword, kw_key):
    """The plain list where some results carry a cluster of site links in the results' own
    anchor markup, then related searches, also plain anchors, so that the results' links are
    the first ten of more."""
    def cluster(url):
        cells = [f'<td><a href="{link}">{link.rsplit("/", 1)[1][:-5]}</a></td>' for link in cluster_links(url)]
        return (f'<table class="sl"><tr>{cells[0]}{cells[1]}</tr>'
                f'<tr>{cells[2]}{cells[3]}</tr></table>')
    out = "<ol>\n"
    for rank, url in items:
        item = _item_list(rank, url, keyword)
        if has_cluster(kw_key, rank):
            item = item.replace("</div></li>", "</div>" + cluster(url) + "</li>")
        out += item
    related = "".join(f'<a href="/search?q={quote(keyword)}+{n}">{html.escape(keyword)} {n}</a> '
                      for n in (1, 2, 3))
    return out + '</ol>\n<p class="related">' + related + "</p>\n"


def has_news_box(kw_key, rank):
    """Whether a news box stands right before the result at rank (東京 has none before 31)."""
    return (kw_key + rank) % 31 == 3


def has_spaced_title(kw_key, rank):
    """Whether the result at rank has its title's class written with a trailing space (東京 has
    none before 35)."""
    return (kw_key + rank) % 37 == 1


def _news_boxed(items, keyword, kw_key):
    """Results in the title markup `<h3 class="r">`, with plain anchors before them (search
    tools) and anchors of the title's class after them (related searches), so that only the
    title markup tells the results apart and the results are its first ten of more. Some pages
    hold a news box in the title markup among the results, some results a title class with a
    trailing space."""
    kw = quote(keyword)
    tools = "".join(f'<span class="t"><a href="/search?q={kw}&amp;tbs=qdr:{t}">{t}</a></span> ' for t in "dwm")
    out = f'<div id="tools">{tools}</div>\n'
    for rank, url in items:
        if has_news_box(kw_key, rank):
            out += ('<div class="news"><span>\u30cb\u30e5\u30fc\u30b9</span>'
                    + "".join(f'<h3 class="r"><a href="http://news{n}.example/k{kw_key}/r{rank}">'
                              f'{html.escape(keyword)} {n}</a></h3>' for n in (1, 2)) + "</div>\n")
        css = "r " if has_spaced_title(kw_key, rank) else "r"
        out += (f'<div class="g"><h3 class="{css}"><a href="{url}">{_title(keyword, rank)}</a></h3>'
                f'<div class="s">{_snippet(keyword, rank)}<br><cite>{_cite(url)}</cite></div></div>\n')
    return out + '<div class="also">' + "".join(
        f'<div class="r"><a href="/search?q={kw}+{n}">{html.escape(keyword)} {n}</a></div>' for n in (1, 2, 3)) + "</div>\n"


def _versioned(items, keyword, kw_key, page):
    """Results in three versions of the engine's markup: keywords of an even KEY get each title in
    a wrapper, opening in a new window; odd ones neither; those of a KEY that is a multiple of 4
    a thumbnail link first and the title in other elements. From page 2 on a notice link of the
    engine's own (relative) stands before the results in their markup, so that the plain rules
    fail there and only rules that keep absolute links read the pages."""
    out = "<ol>\n"
    if page > 1:
        out += '<li class="algo"><a target="_blank" href="/help/safe">\u5b89\u5168\u306a\u691c\u7d22</a></li>\n'
    for rank, url in items:
        title = _title(keyword, rank)
        if kw_key % 4 == 0:
            heading = (f'<a class="th" href="{url}"><img src="/t/{rank}.png" alt=""></a>'
                       f'<p class="t"><span><a rel="nofollow" href="{url}">{title}</a></span></p>')
        elif kw_key % 2 == 0:
            heading = f'<div class="title"><h2><a target="_blank" href="{url}">{title}</a></h2></div>'
        else:
            heading = f'<h2><a href="{url}">{title}</a></h2>'
        out += f'<li class="algo">{heading}<p>{_snippet(keyword, rank)} <cite>{_cite(url)}</cite></p></li>\n'
    return out + "</ol>\n"


def _list_block(items, keyword):
    return "<ol>\n" + "".join(_item_list(r, u, keyword) for r, u in items) + "</ol>\n"


def _results_block(engine, items, keyword, kw_key):
    layout = engine.layout
    if layout in ("plain", "scripted", "consent"):
        return _list_block(items, keyword)
    if layout == "dl":
        return "<dl>\n" + "".join(_item_dl(r, u, keyword) for r, u in items) + "</dl>\n"
    if layout == "table":
        return ('<table class="results">\n'
                + "".join(_item_table(r, u, keyword) for r, u in items) + "</table>\n")
    if layout == "double":
        return "".join(_item_double(r, u, keyword) for r, u in items)
    if layout == "sponsored":
        ads = [(0, f"http://ad{n}.sponsor.example/lp?k={kw_key}") for n in (1, 2)]
        return ('<div class="ads"><span>\u30b9\u30dd\u30f3\u30b5\u30fc\u30ea\u30f3\u30af</span>\n'
                "<ul>\n" + "".join(_item_list(r, u, keyword) for r, u in ads) + "</ul></div>\n"
                + _list_block(items, keyword))
    if layout == "extra":
        related = [(0, f"http://www.related{n}-k{kw_key}.example/") for n in (1, 2, 3)]
        return (_list_block(items, keyword)
                + '<div class="related"><span>\u95a2\u9023\u30b5\u30a4\u30c8</span>\n<ul>\n'
                + "".join(_item_list(r, u, keyword) for r, u in related) + "</ul></div>\n")
    if layout == "blocks":
        return _blocks(items, keyword, kw_key, page_of(engine, items[0][0] - 1) if items else 1)
    if layout == "notice":
        notice = ('<p class="notice"><a href="http://help.notice.engine.test/safe">'
                  '\u5b89\u5168\u306a\u691c\u7d22</a></p>\n')
        return (notice if items and items[0][0] > 10 else "") + _list_block(items, keyword)
    if layout == "framed":
        return _framed(items, keyword, kw_key, page_of(engine, items[0][0] - 1) if items else 1)
    if layout == "redirect":
        return "<ol>\n" + "".join(_item_redirect(r, u, keyword) for r, u in items) + "</ol>\n"
    if layout == "escaped":
        return _escaped_list(items, keyword, kw_key)
    if layout == "pathwrap":
        return "".join(_item_g(r, _pathwrap(u, r), keyword, _cite(u)) for r, u in items)
    if layout == "spelled":
        return "".join(_item_g(r, f"/url?q={_spelled(u, r)}&amp;sa=U", keyword, _cite(u)) for r, u in items)
    if layout == "tokened":
        return _tokened(items, keyword, kw_key, page_of(engine, items[0][0] - 1) if items else 1)
    if layout == "clustered":
        return _clustered(items, keyword, kw_key)
    if layout == "newsbox":
        return _news_boxed(items, keyword, kw_key)
    if layout == "versioned":
        return _versioned(items, keyword, kw_key, page_of(engine, items[0][0] - 1) if items else 1)
    if layout == "boxed":
        box = ('<div class="pickup"><span>\u6ce8\u76ee</span>\n<ul>\n'
               + _item_list(items[0][0], items[0][1], keyword) + "</ul></div>\n") if items else ""
        return box + MARKER_BEGIN + "\n" + _list_block(items, keyword) + MARKER_END + "\n"
    raise ValueError(layout)


def _page_links(engine, keyword, current, pages):
    form = encode_keyword(keyword, engine.charset)
    links = []
    for p in range(1, pages + 1):
        if p == current:
            links.append(f"<b>{p}</b>")
        else:
            links.append(f'<a class="pg" href="{html.escape(engine.address(form, p))}">{p}</a>')
    return '<div id="nav">\u30da\u30fc\u30b8: ' + " ".join(links) + "</div>\n"


def _page(engine, keyword, body, first=0, part=False):
    """The engine's page around body: head, header, search form, then body and the footer. On
    the scripted layout, part gives only what the page's script fetches after its load."""
    label = _CHARSET_LABEL[engine.charset]
    kw = html.escape(keyword)
    name = engine.host.split(".")[0].capitalize() + " Search"
    head = (f'<html><head><meta http-equiv="Content-Type" content="text/html; charset={label}">'
            f"<title>{kw} - {name}</title></head>\n<body>\n"
            f'<div id="header"><a class="logo" href="http://{engine.host}/">{name}</a> | '
            f'<a class="menu" href="http://{engine.host}/help.html">\u30d8\u30eb\u30d7</a></div>\n'
            f'<form action="{engine.path}"><input type="text" name="{engine.keyword_param}" '
            f'value="{kw}"><input type="submit" value="\u691c\u7d22"></form>\n')
    tail = '<div id="footer">&copy; 2006 ' + name + "</div>\n</body></html>\n"
    if engine.layout == "scripted":
        hidden = _hidden(head, body + tail)
        return hidden.encode("ascii") if part else _scripted(head, hidden, late=first >= 10)
    return (head + body + tail).encode(engine.charset.replace("shift_jis", "cp932"),
                                       errors="xmlcharrefreplace")


def _hidden(head, rest):
    """Everything after the <head> (header, form, results, page links, footer) as base64 of its
    UTF-8, reversed, so that no link of it stands in the raw page."""
    inner = rest.replace("</body></html>\n", "")
    return base64.b64encode(inner.encode("utf-8")).decode("ascii")[::-1]


def _scripted(head, hidden, late):
    """The page of an engine whose script writes the page: the raw bytes hold the head, a demand
    for JavaScript and the script, which removes the demand once it has written the page. Page 1
    carries the hidden page in its script; later pages fetch it (the same address with
    part=results) a moment after their load event, as engines that fill their results in late do."""
    top, _, _ = head.partition("<body>\n")
    write = ("function w(s){var b=atob(s.split('').reverse().join(''));var u=new Uint8Array(b.length);"
             "for(var i=0;i<b.length;i++)u[i]=b.charCodeAt(i);"
             "document.getElementById('main').innerHTML=new TextDecoder('utf-8').decode(u);"
             "var n=document.querySelector('noscript');if(n)n.remove();}")
    if late:
        start = ("addEventListener('load',function(){setTimeout(function(){"
                 "fetch(location.href+'&part=results').then(function(r){return r.text();}).then(w);},0);});")
    else:
        start = 'w("' + hidden + '");'
    return (top + "<body>\n"
            "<noscript><p>Please turn on JavaScript to continue. This page needs JavaScript "
            "enabled in your browser.</p></noscript>\n"
            '<div id="main"></div>\n'
            "<script>(function(){" + write + start + "})();</script>\n"
            "</body></html>\n").encode("utf-8")


def results_page(engine, keyword, first, shown, count, kw_key, part=False):
    """The page showing results first+1 .. first+len(shown); shown is [(rank, address)]."""
    kw = html.escape(keyword)
    if not shown:
        body = (f'<p class="none">\u300c{kw}\u300d\u306b\u4e00\u81f4\u3059\u308b\u30da\u30fc\u30b8'
                f"\u306f\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3067\u3057\u305f\u3002</p>\n")
    else:
        stats = (f'<p class="stats">{kw} \u306e\u691c\u7d22\u7d50\u679c \u7d04 {count} \u4ef6\u4e2d '
                 f"{first + 1} - {first + len(shown)} \u4ef6\u76ee</p>\n")
        pages = min(page_of(engine, count - 1), 10)
        body = (stats + _results_block(engine, shown, keyword, kw_key)
                + _page_links(engine, keyword, page_of(engine, first), pages))
    return _page(engine, keyword, body, first, part)


def frame_page(engine, keyword):
    """The engine's page with an empty results block and nothing saying so: no count line, no
    "no results" notice, no page links, as when an engine quietly leaves the results out."""
    return _page(engine, keyword, _results_block(engine, [], keyword, keyword_key(keyword)))


def error_page(status, reason, host):
    return (f"<html><head><title>{status} {reason}</title></head>\n<body><h1>{reason}</h1>\n"
            f"<p>The server {html.escape(host)} could not answer this request.</p></body></html>\n"
            ).encode("ascii")
