"""The pages that engines send an automated client instead of results: a consent form, a captcha
and a demand for JavaScript. None of them holds a result link, so a client that reads them as a
results page sees "not ranked" where the engine refused to answer."""

import html

_HEAD = ('<html><head><meta http-equiv="Content-Type" content="text/html; charset=UTF-8">'
         "<title>{title}</title></head>\n<body>\n")
_TAIL = "</body></html>\n"


def consent_page(original):
    """A "before you continue" page whose accept button posts back to the engine, carrying the
    address the client asked for."""
    back = html.escape(original)
    return (_HEAD.format(title="Before you continue") + '<div class="consent">\n'
            "<h1>Before you continue</h1>\n"
            "<p>We use cookies and similar data to run this service and to measure how it is "
            "used. Choose whether you accept them before you go on.</p>\n"
            "<p>\u7d9a\u884c\u3059\u308b\u524d\u306b\u3054\u78ba\u8a8d\u304f\u3060\u3055\u3044</p>\n"
            '<form method="post" action="/consent/save">'
            f'<input type="hidden" name="continue" value="{back}">'
            '<input type="hidden" name="set" value="reject">'
            '<button type="submit">Reject all</button></form>\n'
            '<form method="post" action="/consent/save">'
            f'<input type="hidden" name="continue" value="{back}">'
            '<input type="hidden" name="set" value="accept">'
            '<button type="submit" class="accept">Accept all</button></form>\n'
            "</div>\n" + _TAIL).encode("utf-8")


def captcha_page(continue_address):
    """A page asking the client to read a picture before it may go back to continue_address."""
    back = html.escape(continue_address)
    return (_HEAD.format(title="Unusual traffic") + '<div class="check">\n'
            "<h1>Unusual traffic from your network</h1>\n"
            "<p>We have seen unusual traffic from your network: its requests look automated. "
            "Type the characters in the picture to show that you are not a robot.</p>\n"
            '<form method="get" action="/sorry/index">'
            '<img src="/sorry/image?id=1" width="180" height="70" alt="characters to type">'
            '<input type="text" name="captcha" autocomplete="off">'
            f'<input type="hidden" name="continue" value="{back}">'
            '<input type="submit" value="Submit"></form>\n'
            "</div>\n" + _TAIL).encode("utf-8")


def script_page(host):
    """A page that only a browser running its script gets past."""
    return (_HEAD.format(title=html.escape(host))
            + "<script>(function(){var s=document.createElement('script');"
            "s.src='/js/loader.js?t='+Date.now();document.head.appendChild(s);})();</script>\n"
            "<noscript><p>Please turn on JavaScript to continue. This page needs JavaScript "
            "enabled in your browser.</p></noscript>\n" + _TAIL).encode("utf-8")


def cookie_consent_page(cookie):
    """A "before you continue" page whose accept button sets the consent cookie in the browser
    (kept a year) and loads the page again, which then shows the results."""
    return (_HEAD.format(title="Before you continue") + '<div class="consent">\n'
            "<h1>Before you continue</h1>\n"
            "<p>We use cookies to run this service. Accept them to see your results.</p>\n"
            '<button type="button" class="accept" onclick="document.cookie=\''
            + cookie + '; Max-Age=31536000; path=/\';location.reload()">Accept all</button>\n'
            "</div>\n" + _TAIL).encode("utf-8")
