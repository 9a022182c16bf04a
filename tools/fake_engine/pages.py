"""Results pages in the layouts of the fake engines. Pages look like real ones: a header with
links, a search form, a count line, the results with titles and snippets, page links at the
foot, all in the engine's character set."""

import html

from results import encode_keyword

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


def _list_block(items, keyword):
    return "<ol>\n" + "".join(_item_list(r, u, keyword) for r, u in items) + "</ol>\n"


def _results_block(engine, items, keyword, kw_key):
    layout = engine.layout
    if layout == "plain":
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


def results_page(engine, keyword, first, shown, count, kw_key):
    """The page showing results first+1 .. first+len(shown); shown is [(rank, address)]."""
    label = _CHARSET_LABEL[engine.charset]
    kw = html.escape(keyword)
    name = engine.host.split(".")[0].capitalize() + " Search"
    head = (f'<html><head><meta http-equiv="Content-Type" content="text/html; charset={label}">'
            f"<title>{kw} - {name}</title></head>\n<body>\n"
            f'<div id="header"><a class="logo" href="http://{engine.host}/">{name}</a> | '
            f'<a class="menu" href="http://{engine.host}/help.html">\u30d8\u30eb\u30d7</a></div>\n'
            f'<form action="{engine.path}"><input type="text" name="{engine.keyword_param}" '
            f'value="{kw}"><input type="submit" value="\u691c\u7d22"></form>\n')
    if not shown:
        body = (f'<p class="none">\u300c{kw}\u300d\u306b\u4e00\u81f4\u3059\u308b\u30da\u30fc\u30b8'
                f"\u306f\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3067\u3057\u305f\u3002</p>\n")
    else:
        stats = (f'<p class="stats">{kw} \u306e\u691c\u7d22\u7d50\u679c \u7d04 {count} \u4ef6\u4e2d '
                 f"{first + 1} - {first + len(shown)} \u4ef6\u76ee</p>\n")
        pages = min((count + 9) // 10, 10)
        body = (stats + _results_block(engine, shown, keyword, kw_key)
                + _page_links(engine, keyword, first // 10 + 1, pages))
    tail = '<div id="footer">&copy; 2006 ' + name + "</div>\n</body></html>\n"
    return (head + body + tail).encode(engine.charset.replace("shift_jis", "cp932"),
                                       errors="xmlcharrefreplace")


def error_page(status, reason, host):
    return (f"<html><head><title>{status} {reason}</title></head>\n<body><h1>{reason}</h1>\n"
            f"<p>The server {html.escape(host)} could not answer this request.</p></body></html>\n"
            ).encode("ascii")
