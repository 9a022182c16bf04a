"""The users' manual as a reader sees it: the page and its images, checked as files, then opened
in headless Chromium.

    python3 manual_in_browser.py path/to/manual.html SCREENSHOT_DIR
The page must stand alone (no script, nothing fetched from elsewhere, every in-page link leading
to a heading) and every image must be a PNG beside it whose size its width and height give.
Chromium renders a copy that reports, once loaded, the images that failed to load and the
page's height; then the page at desktop width in viewport-high slices, kept as manual-1.png,
manual-2.png ... in SCREENSHOT_DIR.
"""

import glob
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

MANUAL = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
SHOTS = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
BROWSER_TIMEOUT = 120
WIDTH, SLICE_HEIGHT = 1280, 2000

# Added to a copy of the page: the images that did not load and the page's height, as
# attributes of the body in the dumped DOM.
MEASURE = """<script>window.addEventListener("load", () => {
  const broken = [...document.images].filter(i => !i.complete || i.naturalWidth === 0);
  document.body.dataset.broken = broken.map(i => i.getAttribute("src")).join(" ") || "none";
  document.body.dataset.height = document.documentElement.scrollHeight;
  document.body.dataset.text = document.body.innerText.trim().length;
});</script>"""


class PageParts(html.parser.HTMLParser):
    """The images, links, ids and anything that would reach outside the page."""

    def __init__(self):
        super().__init__()
        self.images, self.links, self.ids, self.outside, self.charset = [], [], set(), [], None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.ids.add(a["id"])
        if tag == "meta" and "charset" in a:
            self.charset = a["charset"].lower()
        if tag == "img":
            self.images.append(a)
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        if tag in ("script", "link", "iframe", "object", "embed"):
            self.outside.append(tag)
        for key in ("src", "href"):
            if re.match(r"^([a-z]+:)?//", a.get(key) or "", re.I):
                self.outside.append(a[key])


def png_size(path):
    """Width and height of a PNG file; nothing for a missing file or another format."""
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


class ManualTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = os.path.dirname(MANUAL)
        with open(MANUAL, encoding="utf-8") as f:
            cls.text = f.read()
        cls.parts = PageParts()
        cls.parts.feed(cls.text)
        cls.browser = shutil.which("chromium")
        if not cls.browser:
            raise RuntimeError("no chromium: scripts/setup installs it")

    def chromium(self, page, *args):
        profile = tempfile.mkdtemp(prefix="vexor-chromium-")
        self.addCleanup(shutil.rmtree, profile, True)
        command = [self.browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                   "--no-first-run", "--disable-background-networking",
                   "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                   "--user-data-dir=" + profile, *args, "file://" + page]
        done = subprocess.run(command, capture_output=True, timeout=BROWSER_TIMEOUT)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace")[-2000:])
        return done.stdout.decode("utf-8")

    def copy_with(self, name, extra):
        """A copy of the page with extra before its end, in a folder of its own that links to
        the page's images; its path."""
        work = tempfile.mkdtemp(prefix="vexor-manual-")
        self.addCleanup(shutil.rmtree, work, True)
        os.symlink(os.path.join(self.folder, "manual"), os.path.join(work, "manual"))
        copy = os.path.join(work, name)
        with open(copy, "w", encoding="utf-8") as out:
            out.write(self.text.replace("</body>", extra + "</body>"))
        return copy

    def test_the_page_stands_alone_and_its_links_lead_somewhere(self):
        self.assertEqual(self.parts.charset, "utf-8")
        self.assertEqual(self.parts.outside, [])
        self.assertGreater(len(self.parts.links), 10)
        for href in self.parts.links:
            with self.subTest(href):
                self.assertTrue(href.startswith("#"), "links stay in the page")
                self.assertIn(href[1:], self.parts.ids)

    def test_every_image_is_a_png_beside_the_page_of_the_size_it_gives(self):
        self.assertGreater(len(self.parts.images), 5)
        used = set()
        for image in self.parts.images:
            src = image.get("src", "")
            with self.subTest(src):
                self.assertRegex(src, r"^manual/[\w-]+\.png$")
                self.assertTrue(image.get("alt"), "every image says what it shows")
                size = png_size(os.path.join(self.folder, src))
                self.assertEqual(size, (int(image.get("width", 0)), int(image.get("height", 0))))
                used.add(src)
        # Every image shipped is one the page shows.
        shipped = {"manual/" + os.path.basename(p) for p in glob.glob(os.path.join(self.folder, "manual", "*"))}
        self.assertEqual(shipped, used)

    def test_the_browser_loads_every_image_and_renders_the_whole_page(self):
        measured = self.copy_with("manual.html", MEASURE)
        dom = self.chromium(measured, "--window-size=%d,%d" % (WIDTH, SLICE_HEIGHT), "--dump-dom")
        found = re.search(r'<body[^>]* data-broken="([^"]*)" data-height="(\d+)" data-text="(\d+)"', dom)
        self.assertIsNotNone(found, "the measuring script did not run")
        broken, height, text = found.group(1), int(found.group(2)), int(found.group(3))
        self.assertEqual(broken, "none")
        self.assertGreater(text, 5000, "the page holds its text")
        os.makedirs(SHOTS, exist_ok=True)
        for old in glob.glob(os.path.join(SHOTS, "manual-*.png")):
            os.remove(old)
        # Viewport-high slices, each a copy drawn that far up (a screenshot shows the viewport);
        # the last one ends where the page ends.
        last = max(height - SLICE_HEIGHT, 0)
        for number, top in enumerate([*range(0, last, SLICE_HEIGHT), last], 1):
            path = os.path.join(SHOTS, "manual-%d.png" % number)
            page = self.copy_with("manual.html", "<style>body { margin-top: -%dpx; }</style>" % top)
            self.chromium(page, "--window-size=%d,%d" % (WIDTH, SLICE_HEIGHT), "--screenshot=" + path)
            self.assertEqual(png_size(path), (WIDTH, SLICE_HEIGHT), path)
            # A blank slice is one colour; text and screenshots make many.
            colours = subprocess.run(["identify", "-format", "%k", path], capture_output=True,
                                     timeout=60, text=True).stdout
            self.assertGreater(int(colours), 50, path)


if __name__ == "__main__":
    if MANUAL is None or SHOTS is None:
        sys.exit("usage: manual_in_browser.py MANUAL_HTML SCREENSHOT_DIR")
    unittest.main(verbosity=2)
