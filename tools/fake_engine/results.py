"""Keywords and result lists: reading the keyword and page out of a query, and the deterministic
list of results for a keyword, with the target site placed at its rank."""

from dataclasses import dataclass
from urllib.parse import unquote_to_bytes

from catalogue import DEFAULT_RESULT_COUNT, DEFAULT_TARGET

# Python codec names for each engine character set. EUC-JP falls back to JIS X 0213, which
# also holds the NEC special characters (circled digits and so on) of code page 932.
_CODECS = {"utf-8": ("utf-8",), "euc-jp": ("euc_jp", "euc_jis_2004"), "shift_jis": ("cp932",)}


def query_params(query):
    """[(name, raw value bytes)] of a query (bytes after "?"), in order."""
    params = []
    for part in query.split(b"&"):
        name, _, value = part.partition(b"=")
        params.append((name.decode("latin-1"), value))
    return params


def param(query, name):
    for n, v in query_params(query):
        if n == name:
            return v
    return None


def decode_keyword(raw, charset):
    """The keyword of a query value: "+" is a space, %XX escapes are bytes, other bytes (raw
    Shift-JIS included) stand for themselves; the bytes are then read in the engine's character
    set. None when they are not text in that character set (or empty)."""
    data = unquote_to_bytes(raw.replace(b"+", b" "))
    for codec in _CODECS[charset]:
        try:
            text = data.decode(codec)
        except UnicodeDecodeError:
            continue
        return text if text else None
    return None


def encode_keyword(text, charset):
    """The escaped form of a keyword in an address of an engine with this character set:
    %XX escapes (upper case) of the keyword's bytes, "+" for a space, ASCII letters, digits and
    * - . @ _ as they are."""
    data = text.encode(_CODECS[charset][0], errors="replace")
    out = []
    for b in data:
        c = chr(b)
        if c.isascii() and (c.isalnum() or c in "*-.@_"):
            out.append(c)
        elif c == " ":
            out.append("+")
        else:
            out.append("%%%02X" % b)
    return "".join(out)


def page_value(raw):
    """Leading decimal integer of a page parameter value (optional sign); 0 when there is none."""
    text = (raw or b"").decode("latin-1").lstrip()
    sign = 1
    if text[:1] in ("+", "-"):
        sign = -1 if text[0] == "-" else 1
        text = text[1:]
    digits = ""
    for c in text:
        if not c.isdigit():
            break
        digits += c
    return sign * int(digits) if digits else 0


def keyword_key(keyword):
    """The number that names a keyword's result sites: the sum of its UTF-8 bytes."""
    return sum(keyword.encode("utf-8"))


def default_rank(keyword):
    """Where the default target stands for a keyword: byte sum mod 101; 0 means absent."""
    return keyword_key(keyword) % 101


def result_address(keyword, rank):
    return "http://www.site%03d-k%d.example/p%d.html" % (rank, keyword_key(keyword), rank)


def target_address(target):
    if target.startswith(("http://", "https://")):
        return target
    return "http://" + target + ("" if "/" in target else "/")


@dataclass
class Placement:
    target: str = DEFAULT_TARGET
    rank: int = 0                 # 0: the target is not among the results
    count: int = DEFAULT_RESULT_COUNT


def default_placement(keyword):
    return Placement(DEFAULT_TARGET, default_rank(keyword), DEFAULT_RESULT_COUNT)


def result_list(keyword, placement):
    """All result addresses of a keyword, rank 1 first."""
    results = [result_address(keyword, r) for r in range(1, placement.count + 1)]
    if 1 <= placement.rank <= placement.count:
        results[placement.rank - 1] = target_address(placement.target)
    return results


def page_start(engine, page):
    """Index (from 0) of the first result of result page `page` (from 1)."""
    if not engine.page_sizes:
        return 10 * (page - 1)
    sizes = engine.page_sizes
    return sum(sizes[i % len(sizes)] for i in range(page - 1))


def page_size(engine, page):
    return engine.page_sizes[(page - 1) % len(engine.page_sizes)] if engine.page_sizes else 10


def shown_span(engine, query, count):
    """(index of the first result, number of results) a results page shows. Engines with page
    sizes number their pages; a page past the end shows the last page again."""
    if not engine.page_sizes:
        return first_shown(engine, query, count), 10
    page = max(page_value(param(query, engine.page_param)) - engine.page_base + 1, 1)
    while page > 1 and count > 0 and page_start(engine, page) >= count:
        page -= 1
    return page_start(engine, page), page_size(engine, page)


def page_of(engine, first):
    """The page (from 1) whose first result has index first."""
    page = 1
    while page_start(engine, page + 1) <= first:
        page += 1
    return page


def first_shown(engine, query, count):
    """Index (from 0) of the first result a results page shows. Offset engines show the ten
    results from their offset (whatever it is); page-number engines the page's ten. A page past
    the end shows the last page again."""
    value = page_value(param(query, engine.page_param))
    if engine.page_kind == "offset":
        first = value - engine.page_base
    else:
        first = (value - engine.page_base) * 10
    first = max(first, 0)
    if count > 0 and first >= count:
        first = (count - 1) // 10 * 10
    return first
