#!/usr/bin/env python3
"""The real velmora.exe as a person uses it, under Wine and a private Xvfb.

Runs itself again inside a network namespace of its own (unshare --net --mount)
with only the loopback device up and a hosts file that sends the program's
.example hosts to 127.0.0.1, where a test server listens on port 80; nothing can
leave. Wine's browser launcher is pointed at a recorder that appends each address
to a file, so no browser ever starts. Windows are found, read and checked through
e2e_helper.exe (a Wine program built from the program's libraries); clicks and
keys go through xdotool, screenshots through ImageMagick's import, the clipboard
through xclip. Needs root (for the namespace). Exits 1 when any check fails.
"""
import argparse
import glob
import json
import os
import shutil
import socket
import struct
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
FORMS = os.path.join(ROOT, "assets", "forms")


def running_version():
    """VersionLabel's caption: the one place the version is written."""
    with open(os.path.join(FORMS, "main_window.json"), encoding="utf-8") as f:
        return next(r for r in json.load(f)["records"] if r["name"] == "VersionLabel")["properties"]["Caption"]


RUNNING = running_version()
NEWER = ".".join(RUNNING.split(".")[:-1] + [str(int(RUNNING.split(".")[-1]) + 1)])  # 2.8 -> 2.9

# Every host the program's compiled addresses name.
HOSTS = ["www.velmora.example", "wpa.qq.example", "yunpan.example", "filebox.example", "dropit.example"]

CHAT = "http://wpa.qq.example/msgrd?v=3&uin=%d&site=qq&menu=yes"
SITE = "http://www.velmora.example"
# Button of MainWindow -> the address one click opens.
MAIN_LINKS = {
    "PromoButton": SITE + "/15",
    "ChatButton1": CHAT % 173925486,
    "ChatButton2": CHAT % 319652840,
    "ChatButton3": CHAT % 2857340196,
    "ViewButton1": SITE + "/15",
    "ViewButton2": SITE + "/55/",
    "ViewButton3": SITE + "/520",
}
DOWNLOAD_LINKS = {
    "DownloadButton1": "http://yunpan.example/s/1Vm8",
    "DownloadButton2": "http://filebox.example/vm2",
    "DownloadButton3": "http://dropit.example/v2",
}
PAGES = ["velmora365.html", "dashayh263.html", "huashugli598.html", "yishipq668.html", "za32xship5.html"]
HIDDEN = 0x2
# The page pictures' order is crossed: PagePicture2 shows page 3.
PAGE_OF_PICTURE = {1: 1, 2: 3, 3: 2, 4: 5, 5: 4}
ENGINE = "SkinH_EL.dll"
ENGINE_SIZE = 88576
FATAL_TEXT = "运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n"

failures = []


def check(ok, what):
    print(("  ok    " if ok else "  FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_until(predicate, timeout, step=0.2):
    end = time.time() + timeout
    while True:
        value = predicate()
        if value or time.time() > end:
            return value
        time.sleep(step)


# ---- the namespace: loopback only, our hosts file, our server ----

def enter_namespace(args):
    if os.geteuid() != 0:
        sys.exit("run_e2e.py: needs root for its private network namespace")
    env = dict(os.environ, VELMORA_E2E_INSIDE="1")
    env.pop("DISPLAY", None)  # the suite brings its own screen
    cmd = ["unshare", "--net", "--mount", "--propagation", "private", sys.executable] + sys.argv
    sys.exit(subprocess.call(cmd, env=env))


def isolate_network(work):
    subprocess.check_call(["ip", "link", "set", "lo", "up"])
    hosts = os.path.join(work, "hosts")
    with open(hosts, "w") as f:
        f.write("127.0.0.1 localhost\n::1 localhost\n")
        for h in HOSTS:
            f.write("127.0.0.1 %s\n" % h)
    subprocess.check_call(["mount", "--bind", hosts, "/etc/hosts"])


CHECK_HOST = "www.velmora.example"
CHECK_PATH = "/blog/static/2417290322015829103451265/"


def check_page(version):
    """The publisher's blog post with the published version between its two markers."""
    return ("<html><head><title>Velmora</title></head><body><p>最新版本：zuixingbbxz%skuailaix</p>"
            "</body></html>" % version).encode("gbk")


class TestServer(BaseHTTPRequestHandler):
    requests = []
    published = RUNNING  # the version the check page names
    delay = 0  # seconds the check page keeps the program waiting

    def do_GET(self):
        TestServer.requests.append((self.headers.get("Host"), self.path))
        if self.path == CHECK_PATH:
            time.sleep(TestServer.delay)
        body = check_page(TestServer.published) if self.path == CHECK_PATH else b""
        self.send_response(200 if body else 404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start_server():
    server = ThreadingHTTPServer(("127.0.0.1", 80), TestServer)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def case_isolation():
    print("case: the namespace holds")
    for h in HOSTS:
        check(socket.gethostbyname(h) == "127.0.0.1", "%s resolves to 127.0.0.1" % h)
    s = socket.socket()
    s.settimeout(3)
    try:
        s.connect(("192.0.2.1", 80))  # TEST-NET-1: would be routed out, if anything were
        reached = True
    except OSError:
        reached = False
    finally:
        s.close()
    check(not reached, "no address beyond 127.0.0.1 is reachable")


# ---- the screen, Wine and the browser recorder ----

def start_xvfb():
    r, w = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(r, 16)
        if not chunk:
            break
        number += chunk
    os.close(r)
    os.environ["DISPLAY"] = ":" + number.decode().strip()
    return xvfb


class Wine:
    def __init__(self, prefix, work, fonts="mapped"):
        self.env = dict(os.environ, VELMORA_WINEPREFIX=prefix, WINEPREFIX=prefix, WINEDEBUG="-all",
                        VELMORA_WINE_FONTS=fonts)
        self.prefix = prefix
        os.makedirs(work, exist_ok=True)
        self.log = os.path.join(work, "browser.log")
        self.recorder = os.path.join(work, "record-browser.sh")
        with open(self.recorder, "w") as f:
            f.write("#!/bin/sh\n# Stands in for the browser: notes the address, shows nothing.\n")
            f.write("printf '%%s\\n' \"$*\" >> '%s'\n" % self.log)
        os.chmod(self.recorder, 0o755)
        open(self.log, "w").close()

    def start(self, exe, *args, cwd=None, capture=False, show_errors=False):
        return subprocess.Popen([WINE_RUN, exe] + list(args), env=self.env, cwd=cwd,
                                stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                                stderr=None if show_errors else subprocess.DEVNULL)

    def run(self, exe, *args, timeout=120, show_errors=False):
        p = self.start(exe, *args, capture=True, show_errors=show_errors)
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out.decode("utf-8", "replace")

    def point_browser_at_recorder(self, helper):
        self.run(helper, "--windows")  # makes the prefix when there is none
        reg = os.path.join(self.prefix, "drive_c", "windows", "system32", "reg.exe")
        code, _ = self.run(reg, "add", "HKCU\\Software\\Wine\\WineBrowser", "/v", "Browsers", "/t", "REG_SZ",
                           "/d", self.recorder, "/f")
        check(code == 0, "the browser launcher points at the recorder")
        # Wine's html class opens with the browser launcher, but the prefix names no class for .html.
        code, _ = self.run(reg, "add", "HKLM\\Software\\Classes\\.html", "/ve", "/t", "REG_SZ", "/d", "htmlfile",
                           "/f")
        check(code == 0, ".html files open through the browser launcher")

    def opened(self):
        with open(self.log) as f:
            return [line.rstrip("\n") for line in f]

    def stop(self):
        subprocess.call(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)


# ---- windows, clicks, keys and pictures ----

def windows(wine, helper):
    code, out = wine.run(helper, "--windows")
    return json.loads(out) if code == 0 and out.strip() else []


def find_window(wine, helper, title_start, timeout=0):
    def look():
        return next((w for w in windows(wine, helper) if w["title"].startswith(title_start)), None)

    return wait_until(look, timeout) if timeout else look()


def window_titles():
    titles = {}
    for name in ("main_window", "help_window", "new_version_window", "follow_window"):
        with open(os.path.join(FORMS, name + ".json"), encoding="utf-8") as f:
            d = json.load(f)
        # The build fills the start window's {version} in from VersionLabel.
        titles[d["window"]] = d["records"][0]["properties"]["Caption"].replace("{version}", RUNNING)
    return titles


def control_ids(form):
    """Record name -> the child identifier it gets: 100, 110, ... from the last record up."""
    with open(os.path.join(FORMS, form + ".json"), encoding="utf-8") as f:
        records = json.load(f)["records"]
    controls = records[1:]
    return {r["name"]: 100 + 10 * (len(controls) - 1 - i) for i, r in enumerate(controls)}


def child(window, ids, name):
    return next(c for c in window["children"] if c["id"] == ids[name])


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def click_at(x, y):
    subprocess.check_call(["xdotool", "mousemove", str(x), str(y), "sleep", "0.2", "click", "1"])
    time.sleep(0.3)


def click(control):
    click_at(*centre(control["rect"]))


def key(name):
    subprocess.check_call(["xdotool", "key", name])
    time.sleep(0.3)


def grab(rect, path=None):
    """The screen inside rect as (width, height, rgb bytes); saved as PNG when path is given."""
    w, h = rect[2] - rect[0], rect[3] - rect[1]
    geometry = "%dx%d+%d+%d" % (w, h, rect[0], rect[1])
    if path:
        subprocess.check_call(["import", "-window", "root", "-crop", geometry, "+repage", path])
    ppm = subprocess.check_output(["import", "-window", "root", "-crop", geometry, "+repage", "ppm:-"])
    parts = ppm.split(b"\n", 3)  # P6, size, depth, data
    pw, ph = map(int, parts[1].split())
    data = parts[3]
    if int(parts[2]) > 255:  # 16 bits a channel, most significant byte first
        data = data[0::2]
    return pw, ph, data


def clipboard():
    try:
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, timeout=10)
    except subprocess.TimeoutExpired:
        return None
    return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else None


def dos_attributes(path):
    """Wine keeps the DOS attributes beside the file: user.DOSATTRIB, "0x.." as text."""
    try:
        raw = os.getxattr(path, "user.DOSATTRIB")
    except OSError:
        return 0
    return int(raw.split(b"\0")[0].decode(), 16)


def wait_for_opens(wine, before, count, settle=1.0):
    """The addresses opened since `before`, once `count` have come (or the wait ran out)."""
    wait_until(lambda: len(wine.opened()) >= before + count, 10)
    time.sleep(settle)  # anything extra would come now
    return wine.opened()[before:]


class SkinLook:
    """Skin 13's palette and metrics, read from the skin file the build made."""
    # Palette and metric positions in the engine's skin format.
    FRAME_EDGE, CAPTION_TOP, CAPTION_BOTTOM = 2, 3, 4
    BORDER, CAPTION_HEIGHT = 0, 1

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        assert data[:4] == b".SHE", path
        palette, colours, metric_count, metrics = struct.unpack_from("<IHHI", data, 16)
        self.colours = [tuple(data[palette + 4 * i: palette + 4 * i + 3]) for i in range(colours)]
        self.metrics = list(struct.unpack_from("<%dH" % metric_count, data, metrics))


def pixel(shot, x, y):
    w, _, data = shot
    i = (y * w + x) * 3
    return tuple(data[i:i + 3])


def near(a, b, tolerance=8):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def skinned_caption(shot, look):
    """Whether the window's caption bar wears the skin's colours (top and bottom row, beside the text)."""
    b, c = look.metrics[SkinLook.BORDER], look.metrics[SkinLook.CAPTION_HEIGHT]
    return (near(pixel(shot, b + 1, b), look.colours[SkinLook.CAPTION_TOP]) and
            near(pixel(shot, b + 1, b + c - 1), look.colours[SkinLook.CAPTION_BOTTOM]) and
            near(pixel(shot, 0, shot[1] // 2), look.colours[SkinLook.FRAME_EDGE]))


def engine_file(run_dir):
    """(size, DOS attributes) of the skin engine file in run_dir, or None."""
    path = os.path.join(run_dir, ENGINE)
    return (os.path.getsize(path), dos_attributes(path)) if os.path.isfile(path) else None


def temp_page_folders(wine):
    """The folders under the prefix's temp directories that hold pages a run directory refused."""
    return glob.glob(os.path.join(wine.prefix, "drive_c", "users", "*", "**", "velmora-pages-*"), recursive=True)


def fresh_run_dir(work, name, exe):
    run_dir = os.path.join(work, name)
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(run_dir)
    target = os.path.join(run_dir, os.path.basename(exe))
    shutil.copy(exe, target)
    return run_dir, target

# ---- the cases ----

TITLES = window_titles()
MAIN_IDS = control_ids("main_window")
HELP_IDS = control_ids("help_window")
NEW_VERSION_IDS = control_ids("new_version_window")


def tab_pages():
    """TabPager's pages: the names of the controls each one shows."""
    with open(os.path.join(FORMS, "main_window.json"), encoding="utf-8") as f:
        records = json.load(f)["records"]
    pager = next(r for r in records if r["name"] == "TabPager")
    return [set(p["members"]) for p in pager["properties"]["Pages"]["pages"]]


PAGES_OF_TABS = tab_pages()


class Program:
    """One velmora.exe started in a fresh run directory of its own."""

    def __init__(self, wine, args, name, run_dir=None):
        """In a fresh directory called name under the work folder, or in run_dir as it is."""
        self.wine, self.helper = wine, args.helper
        if run_dir:
            self.run_dir, exe = run_dir, os.path.join(run_dir, os.path.basename(args.exe))
            shutil.copy(args.exe, exe)
        else:
            self.run_dir, exe = fresh_run_dir(args.work, name, args.exe)
        self.exe = exe
        self.proc = wine.start(exe, cwd=args.work)

    def main_window(self, timeout=0):
        return find_window(self.wine, self.helper, TITLES["MainWindow"], timeout)

    def pages(self):
        """Page name -> its DOS attributes, for the pages on disk."""
        return {p: dos_attributes(os.path.join(self.run_dir, p)) for p in PAGES
                if os.path.exists(os.path.join(self.run_dir, p))}

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def end(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(30)


def shown_page(main):
    """The tab page whose members are the ones on show, or None."""
    visible = {name for name, cid in MAIN_IDS.items()
               for c in main["children"] if c["id"] == cid and c["visible"]}
    members = set().union(*PAGES_OF_TABS)
    shown = [i for i, page in enumerate(PAGES_OF_TABS) if visible & members == page]
    return shown[0] if len(shown) == 1 else None


def areas(main):
    """The page area and the band above it (header, tab pictures, header buttons), on the screen."""
    pager = child(main, MAIN_IDS, "TabPager")["rect"]
    band = child(main, MAIN_IDS, "HeaderBand")["rect"]
    header = [band[0], band[1], max(band[2], child(main, MAIN_IDS, "HelpButton")["rect"][2]), pager[1] - 4]
    return pager, header


def first_entry(page):
    """The title of a page's first row, from its source."""
    if page == "yishipq668.html":
        return "更新中……"
    with open(os.path.join(ROOT, "assets", "pages", page.replace(".html", ".txt")), encoding="utf-8") as f:
        return next(line for line in f if line.strip() and not line.startswith("#")).split("|")[0].strip()


def case_start_and_tabs(wine, args):
    print("case: start-up, the tabs and the page pictures")
    # Chinese characters and spaces on code page 1252; 淺 ends in the byte of "\\".
    prog = Program(wine, args, "运行 目录 淺水")
    pages_at_sight = {}

    def seen():
        w = prog.main_window()
        if w:
            pages_at_sight.update(prog.pages())
        return w

    main = wait_until(seen, 90)
    if not check(main is not None, "MainWindow appears"):
        prog.end()
        return None
    check(TestServer.requests.count((CHECK_HOST, CHECK_PATH)) == 1,
          "the update check asked for its page once: %s" % TestServer.requests)
    check(find_window(wine, args.helper, "提醒：") is None and
          find_window(wine, args.helper, TITLES["NewVersionWindow"]) is None,
          "the current version announces nothing")
    check(sorted(pages_at_sight) == sorted(PAGES) and all(a & HIDDEN for a in pages_at_sight.values()),
          "when it first shows, the five pages are written and hidden: %s" % pages_at_sight)
    left, top, right, bottom = main["rect"]
    check((right - left, bottom - top) == (856, 550), "at its stored size: %s" % main["rect"])
    check(abs(left - (1280 - (right - left)) // 2) <= 1 and abs(top - (1024 - (bottom - top)) // 2) <= 1,
          "centred on the screen: %s" % main["rect"])
    check(shown_page(main) == 0, "showing page 0")
    pager, header = areas(main)
    shot = args.start_shot = grab(main["rect"], os.path.join(args.screens, "e2e-%s-main-start.png" % args.name))
    check(skinned_caption(shot, args.look), "MainWindow starts in skin 13's frame and caption: %s at the caption's"
          " top left" % (pixel(shot, args.look.metrics[0] + 1, args.look.metrics[0]),))
    engine = engine_file(prog.run_dir)
    check(engine is not None and engine[0] == ENGINE_SIZE and engine[1] & HIDDEN,
          "%s is in the run directory, %d bytes, hidden: %s" % (ENGINE, ENGINE_SIZE, engine))
    start_area, start_header = grab(pager), grab(header)

    before = len(wine.opened())
    page_areas = []
    for tab in (1, 2, 3, 0):
        click(child(main, MAIN_IDS, "TabPicture%d" % tab))
        main = prog.main_window()
        check(shown_page(main) == tab, "TabPicture%d shows page %d" % (tab, tab))
        page_areas.append(grab(pager, os.path.join(args.screens, "e2e-%s-main-page%d.png" % (args.name, tab))))
        check(grab(header) == start_header, "after TabPicture%d the header band is unchanged" % tab)
    check(len(set(page_areas)) == 4, "the four pages look different")
    check(page_areas[-1] == start_area, "page 0 again looks as at start")
    # Wine here has no HTML engine: PageView shows the page itself as text under its notice.
    view_shots = {}
    for n in range(1, 6):
        click(child(main, MAIN_IDS, "PagePicture%d" % n))
        main = prog.main_window()
        check(shown_page(main) == 0, "PagePicture%d leaves the tab alone" % n)
        page = PAGE_OF_PICTURE[n]
        text = next((c["text"] for c in main["children"] if c["class"].lower() == "richedit50w"), "")
        check(("1、" + first_entry(PAGES[page - 1])) in text,
              "PagePicture%d shows page %d's first row in PageView: %r" % (n, page, text[:120]))
        if page in (1, 3):
            view_shots[page] = grab(child(main, MAIN_IDS, "PageView")["rect"],
                                    os.path.join(args.screens, "e2e-%s-page%d-text.png" % (args.name, page)))
    check(view_shots.get(1) != view_shots.get(3), "pages 1 and 3 look different in PageView")
    check(wait_for_opens(wine, before, 0) == [], "tab and page pictures open nothing")
    return prog


def case_links(wine, args, prog):
    print("case: every link button opens its address once per click")
    main = prog.main_window()
    clicked = set()
    for tab in range(4):
        click(child(main, MAIN_IDS, "TabPicture%d" % tab))
        main = prog.main_window()
        for name, address in MAIN_LINKS.items():
            c = child(main, MAIN_IDS, name)
            if not c["visible"] or name in clicked:
                continue
            clicked.add(name)
            before = len(wine.opened())
            click(c)
            click(c)
            got = wait_for_opens(wine, before, 2)
            check(got == [address, address], "two clicks on %s open %s twice: %s" % (name, address, got))
    check(clicked == set(MAIN_LINKS), "every link button was on some page: %s" % sorted(clicked))

    # A window titled "Microsoft Internet Explorer" only becomes the shell's owner.
    stand_in = wine.start(args.helper, "--child=ie_window")
    check(find_window(wine, args.helper, "Microsoft Internet Explorer", 30) is not None,
          "a window titled Microsoft Internet Explorer is open")
    click(child(main, MAIN_IDS, "TabPicture0"))
    before = len(wine.opened())
    click(child(prog.main_window(), MAIN_IDS, "PromoButton"))
    check(wait_for_opens(wine, before, 1) == [MAIN_LINKS["PromoButton"]],
          "with that window open the address still reaches the browser")
    stand_in.terminate()
    stand_in.wait(30)

    # Wine here has no HTML engine: the view says so and opens its page in the desktop's browser.
    main = prog.main_window()
    opener = [c for c in main["children"] if c["class"].lower() == "button" and c["text"] == "用浏览器打开此页"]
    check(len(opener) == 1 and opener[0]["visible"], "PageView offers to open its page in the browser")
    if opener:
        before = len(wine.opened())
        click(opener[0])
        got = wait_for_opens(wine, before, 1)
        files = [os.path.realpath(urllib.parse.unquote(a[len("file://"):])) for a in got if a.startswith("file://")]
        check(len(got) == 1 and len(files) == 1 and os.path.dirname(files[0]) == os.path.realpath(prog.run_dir)
              and os.path.basename(files[0]) in PAGES, "its button opens the page file in the browser: %s" % got)


def case_small_windows(wine, args, prog):
    print("case: HelpWindow and FollowWindow, modal")
    main = prog.main_window()
    for button, window, closer in (("HelpButton", "HelpWindow", "HelpCloseButton"),
                                   ("HelpButton", "HelpWindow", "Escape"),
                                   ("UpdateButton", "FollowWindow", "Escape")):
        click(child(main, MAIN_IDS, button))
        small = find_window(wine, args.helper, TITLES[window], 20)
        if not check(small is not None, "%s opens %s" % (button, window)):
            continue
        grab(small["rect"], os.path.join(args.screens, "e2e-%s-%s.png" % (args.name, window)))
        check(not prog.main_window()["enabled"], "MainWindow is disabled while %s is open" % window)
        before = len(wine.opened())
        click(child(main, MAIN_IDS, "PromoButton"))
        check(wait_for_opens(wine, before, 0) == [], "a click on MainWindow meanwhile opens nothing")
        check(find_window(wine, args.helper, TITLES[window]) is not None, "%s is still open" % window)
        if closer == "Escape":
            click_at(small["rect"][0] + 20, small["rect"][1] + 60)  # into its client area, nothing there
            key("Escape")
        else:
            click(child(small, HELP_IDS, closer))
        gone = wait_until(lambda: find_window(wine, args.helper, TITLES[window]) is None, 20)
        check(gone, "%s closes %s" % (closer, window))
        check(wait_until(lambda: prog.main_window()["enabled"], 10), "MainWindow is enabled again")


def case_end(wine, args, prog, how, engine=True):
    main = prog.main_window()
    if how == "close box":
        click_at(*main["close_box"])
    else:
        click_at(main["client"][0] + 400, main["client"][1] + 8)  # the window, not a control
        key("Escape")
    code = prog.wait(60)
    check(code == 0, "the %s ends the program with exit code 0 (got %s)" % (how, code))
    check(prog.pages() == {}, "the five pages are gone after the %s" % how)
    if engine:
        found = engine_file(prog.run_dir)
        check(found is not None and found[0] == ENGINE_SIZE, "%s stays after the %s: %s" % (ENGINE, how, found))


def case_new_version_window(wine, args):
    print("case: a newer version: the announcement, NewVersionWindow's downloads and access codes")
    TestServer.published = NEWER
    prog = Program(wine, args, "run-new-version")
    proc = prog.proc
    note = find_window(wine, args.helper, "提醒：", 90)
    TestServer.published = RUNNING
    if not check(note is not None, "a newer version shows the 提醒： box"):
        prog.end()
        return
    texts = [c["text"] for c in note["children"] if c["class"].lower() == "static" and c["text"]]
    check(texts == ["有新版本了，马上去更新"], "the box reads 有新版本了，马上去更新: %r" % texts)
    check(prog.main_window() is None, "MainWindow is not on show while the box is")
    click(next(c for c in note["children"] if c["class"].lower() == "button"))
    nv = find_window(wine, args.helper, TITLES["NewVersionWindow"], 30)
    if not check(nv is not None, "NewVersionWindow opens after the box"):
        prog.end()
        return
    check(prog.main_window() is None, "MainWindow is not on show while NewVersionWindow is")
    grab(nv["rect"], os.path.join(args.screens, "e2e-%s-NewVersionWindow.png" % args.name))
    for name, address in DOWNLOAD_LINKS.items():
        before = len(wine.opened())
        click(child(nv, NEW_VERSION_IDS, name))
        click(child(nv, NEW_VERSION_IDS, name))
        got = wait_for_opens(wine, before, 2)
        check(got == [address, address], "two clicks on %s open %s twice: %s" % (name, address, got))

    def box(title, button, expect_text, expect_clipboard=None):
        click(child(nv, NEW_VERSION_IDS, button))
        shown = find_window(wine, args.helper, title, 20)
        if not check(shown is not None, "%s shows a box titled %s" % (button, title)):
            return
        texts = [c["text"] for c in shown["children"] if c["class"].lower() == "static" and c["text"]]
        check(texts == [expect_text], "the box reads %r: %r" % (expect_text, texts))
        if expect_clipboard:
            check(clipboard() == expect_clipboard, "the clipboard holds %r" % expect_clipboard)
        ok = next(c for c in shown["children"] if c["class"].lower() == "button")
        click(ok)
        check(wait_until(lambda: find_window(wine, args.helper, title) is None, 10), "OK closes the box")

    box("恭喜你！", "CopyCodeButton1", "提取码：k7m2   复制成功【可以去粘贴 下载了】", "k7m2")
    box("恭喜你！", "CopyCodeButton2", "提取码：x9q4   复制成功【可以去粘贴 下载了】", "x9q4")
    holder = wine.start(args.helper, "--child=hold_clipboard")
    time.sleep(3)
    box("复制失败", "CopyCodeButton1", "提取码没能复制到剪贴板，请手动输入提取码：k7m2")
    holder.terminate()  # the selection is read only once nobody holds the clipboard open
    holder.wait(30)
    check(wait_until(lambda: clipboard() == "x9q4", 10), "the refused copy left the clipboard as it was")
    click_at(nv["rect"][0] + 20, nv["rect"][1] + 60)
    key("Escape")
    check(wait_until(lambda: find_window(wine, args.helper, TITLES["NewVersionWindow"]) is None, 10),
          "Esc closes NewVersionWindow")
    main = prog.main_window(60)
    if check(main is not None, "MainWindow shows once NewVersionWindow has closed"):
        click_at(main["rect"][0] + 20, main["rect"][1] + 60)
        key("Escape")
    code = prog.wait(30)
    prog.end()
    check(code == 0, "Esc then ends the program: exit code %s" % code)


def case_silent_check_server(wine, args):
    print("case: a check server that never answers: MainWindow within the check's 3 s, nothing announced")
    TestServer.delay, TestServer.published = 60, NEWER
    asked = len(TestServer.requests)
    started = time.time()
    prog = Program(wine, args, "run-silent-server")
    main = prog.main_window(30)
    took = time.time() - started
    TestServer.delay, TestServer.published = 0, RUNNING
    # 3 s from the process's start, plus Wine's start and the window search here.
    check(main is not None and took < 5.0, "MainWindow appears %.1f s after the launch" % took)
    check(find_window(wine, args.helper, "提醒：") is None, "no announcement")
    check(TestServer.requests[asked:].count((CHECK_HOST, CHECK_PATH)) == 1,
          "the check page was asked for once: %s" % TestServer.requests[asked:])
    if main:
        click_at(main["rect"][0] + 20, main["rect"][1] + 60)
        key("Escape")
    code = prog.wait(30)
    prog.end()
    check(code == 0, "Esc then ends the program: exit code %s" % code)


def case_fatal_event(wine, args):
    print("case: an event for a window nobody described")
    run_dir, helper = fresh_run_dir(args.work, "run-fatal", args.helper)
    code, out = wine.run(helper, "--fatal-box")
    seen = json.loads(out) if code == 0 and out.strip() else {}
    check(seen.get("found") == 1, "the fatal report shows")
    check(seen.get("title") == "错误", "titled 错误: %r" % seen.get("title"))
    check(seen.get("text") == FATAL_TEXT, "reading %r: %r" % (FATAL_TEXT, seen.get("text")))
    check(seen.get("exit_code") == 0xFFFFFFFF, "exit code -1: %s" % seen.get("exit_code"))
    left = [p for p in PAGES if os.path.exists(os.path.join(run_dir, p))]
    check(left == PAGES, "OnShutdown did not run: the pages are still there (%s)" % left)


def case_read_only_run_dir(wine, args):
    print("case: a run directory that takes no files")
    run_dir, exe = fresh_run_dir(args.work, "run-read-only", args.exe)
    os.chmod(run_dir, 0o555)
    made = subprocess.call(["chattr", "+i", run_dir], stderr=subprocess.DEVNULL) == 0  # root ignores the mode
    try:
        probe = os.path.join(run_dir, "probe")
        try:
            open(probe, "w").close()
            os.remove(probe)
            print("  skip  the run directory could not be made read-only here (no chattr +i)", flush=True)
            return
        except OSError:
            pass
        proc = wine.start(exe, cwd=args.work)
        main = find_window(wine, args.helper, TITLES["MainWindow"], 90)
        if check(main is not None, "MainWindow appears without the skin engine"):
            shot = grab(main["rect"], os.path.join(args.screens, "e2e-%s-main-read-only.png" % args.name))
            check(not skinned_caption(shot, args.look), "its caption is the system's, not the skin's")
            check(find_window(wine, args.helper, "信息：") is None, "no message: the pages are on show")
            folders = temp_page_folders(wine)
            held = {p: dos_attributes(os.path.join(folders[0], p)) for p in os.listdir(folders[0])} if folders else {}
            check(len(folders) == 1 and sorted(held) == sorted(PAGES) and all(a & HIDDEN for a in held.values()),
                  "the five pages are in one folder under the temp directory, hidden: %s %s" % (folders, held))
            click_at(main["client"][0] + 400, main["client"][1] + 8)
            key("Escape")
        try:
            code = proc.wait(60)
        except subprocess.TimeoutExpired:
            code = None
            proc.terminate()
        check(code == 0, "Esc ends it with exit code 0 (got %s)" % code)
        check(sorted(os.listdir(run_dir)) == [os.path.basename(exe)], "nothing was written: %s" % os.listdir(run_dir))
        check(temp_page_folders(wine) == [], "the temp folder went with the program: %s" % temp_page_folders(wine))
    finally:
        if made:
            subprocess.call(["chattr", "-i", run_dir])
        os.chmod(run_dir, 0o755)


def case_disk_fills(wine, args):
    print("case: a run directory whose disk fills while the engine and the pages are written")
    run_dir = os.path.join(args.work, "run-full")
    os.makedirs(run_dir, exist_ok=True)
    # Of this namespace's own; room for the first page, not for the engine.
    size = (os.path.getsize(args.exe) + 4095) // 4096 * 4096 + 60 * 1024
    subprocess.check_call(["mount", "-t", "tmpfs", "-o", "size=%d" % size, "tmpfs", run_dir])
    try:
        prog, torn = Program(wine, args, None, run_dir), set()

        def seen():
            for p in set(PAGES) & set(os.listdir(run_dir)):
                with open(os.path.join(run_dir, p), "rb") as f:
                    data = f.read()
                if data != args.page_bytes[p]:
                    torn.add((p, len(data)))
            return prog.main_window()

        main = wait_until(seen, 90, step=0.05)
        if not check(main is not None, "MainWindow appears"):
            return prog.end()
        check(not torn, "no page is ever torn at its own name: %s" % torn)
        beside, exe = set(prog.pages()), os.path.basename(prog.exe)
        others = set(os.listdir(run_dir)) - beside - {exe}
        check(not others, "no engine and no temporary file is left beside it: %s" % others)
        check(not skinned_caption(grab(main["rect"]), args.look), "it starts unskinned")
        folders = temp_page_folders(wine)
        held = set(os.listdir(folders[0])) if len(folders) == 1 else None
        check(beside and held == set(PAGES) - beside, "the pages that did not fit are in the temp directory: "
              "beside %s, temp %s" % (sorted(beside), held))
        check(find_window(wine, args.helper, "信息：") is None, "no message: every page is on show")
        case_end(wine, args, prog, "Esc key", engine=False)
        check(os.listdir(run_dir) == [exe] and temp_page_folders(wine) == [], "only the program is left")
    finally:
        subprocess.call(["umount", run_dir])


def case_plain_fonts(args):
    print("case: MainWindow in a prefix that maps no font face, as a person's own Wine")
    wine = Wine(os.path.join(ROOT, "build", "e2e-plain-fonts-wineprefix"), args.work + "/plain-fonts", "plain")
    wine.point_browser_at_recorder(args.helper)
    prog = Program(wine, args, "run-plain-fonts")
    main = prog.main_window(90)
    if check(main is not None, "MainWindow appears in the plain prefix"):
        time.sleep(1)  # the notice and the update check settle
        shot = grab(main["rect"], os.path.join(args.screens, "e2e-%s-main-plain-fonts.png" % args.name))
        differ = sum(shot[2][i:i + 3] != args.start_shot[2][i:i + 3] for i in range(0, len(shot[2]), 3))
        check(differ <= 200, "its texts are drawn as in the test prefix: %d pixels differ" % differ)
    prog.end()
    wine.stop()


def run_cases(wine, args):
    prog = case_start_and_tabs(wine, args)
    if prog:
        case_links(wine, args, prog)
        case_small_windows(wine, args, prog)
        print("case: the close box ends the program")
        case_end(wine, args, prog, "close box")
        prog.end()
    prog = Program(wine, args, "안녕 \U0001F600")  # no GBK spelling: by its short name
    if check(prog.main_window(90) is not None, "MainWindow appears again"):
        check(sorted(prog.pages()) == sorted(PAGES), "the pages are beside it: %s" % prog.pages())
        print("case: Esc ends the program")
        case_end(wine, args, prog, "Esc key")
    prog.end()
    case_read_only_run_dir(wine, args)
    case_disk_fills(wine, args)
    case_new_version_window(wine, args)
    case_silent_check_server(wine, args)
    case_fatal_event(wine, args)
    if hasattr(args, "start_shot"):
        case_plain_fonts(args)


# ---- the soak run (--soak): thousands of openings and switches, the counters read ----

# How far the program's figures may move between the end of the warm-up and the end.
SOAK_BOUNDS = {"gdi": 16, "user": 16, "private_bytes": 2 << 20}
SOAK_UNITS = {"gdi": "objects", "user": "objects", "private_bytes": "bytes"}


def hex_utf8(text):
    return text.encode("utf-8").hex()


def run_soak(wine, args):
    print("case: soak: each modal window opened and closed %d times, the tabs switched %d times"
          % (args.cycles, args.switches))
    prog = Program(wine, args, "run-soak")
    if not check(prog.main_window(90) is not None, "MainWindow appears"):
        prog.end()
        return
    tabs = ",".join(str(MAIN_IDS["TabPicture%d" % t]) for t in range(4))
    code, out = wine.run(args.driver, "--main=" + hex_utf8(TITLES["MainWindow"]),
                         "--help=" + hex_utf8(TITLES["HelpWindow"]), "--follow=" + hex_utf8(TITLES["FollowWindow"]),
                         "--help-button=%d" % MAIN_IDS["HelpButton"], "--update-button=%d" % MAIN_IDS["UpdateButton"],
                         "--help-close=%d" % HELP_IDS["HelpCloseButton"], "--pager=%d" % MAIN_IDS["TabPager"],
                         "--tabs=" + tabs, "--cycles=%d" % args.cycles, "--switches=%d" % args.switches,
                         timeout=4 * 3600, show_errors=True)
    # Wine's console interleaves the driver's progress lines (stderr) with its report.
    start = out.replace("\r\n", "\n").rfind("\n{")
    try:
        report = json.loads(out.replace("\r\n", "\n")[start + 1:]) if code == 0 and start >= 0 else None
    except ValueError:
        report = None
    if not check(report is not None, "the driver ran to its report (exit code %s)" % code):
        print(out[-4000:])
        prog.end()
        return
    for key, value in report.items():
        print("  %s: %s" % (key, json.dumps(value)))
    with open(os.path.join(args.work, "soak-%s.json" % args.name), "w") as f:
        json.dump(report, f, indent=1)
    check(report["completed"] and not report["failures"], "every opening, closing and switch happened: %s"
          % report["failures"])
    check(report["modal_cycles"] == args.cycles and report["tab_switches"] == args.switches,
          "%d cycles of each modal window and %d tab switches after warm-up" % (args.cycles, args.switches))
    start, warm, end = report["start"], report["after_warm_up"], report["end"]
    for counter, bound in SOAK_BOUNDS.items():
        source = report["sources"][counter]
        figures = "start %d, after warm-up %d, end %d, growth %+d %s (bound +%d)" % (
            start[counter], warm[counter], end[counter], end[counter] - warm[counter], SOAK_UNITS[counter], bound)
        # A counter nobody could read is a failure, never a pass.
        if not check(source != "unmeasured", "%s can be measured here" % counter):
            continue
        check(end[counter] - warm[counter] <= bound, "%s (%s): %s" % (counter, source, figures))
    check(prog.main_window() is not None, "MainWindow is still on show after the soak")
    case_end(wine, args, prog, "Esc key")
    prog.end()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--helper", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--screens", required=True)
    ap.add_argument("--name", required=True)
    ap.add_argument("--skin", required=True, help="skin 13 as the build made it")
    ap.add_argument("--soak", action="store_true", help="the soak run instead of the cases")
    ap.add_argument("--driver", help="velmora_soak_driver.exe, for --soak")
    ap.add_argument("--cycles", type=int, default=int(os.environ.get("VELMORA_SOAK_CYCLES", "500")))
    ap.add_argument("--switches", type=int, default=int(os.environ.get("VELMORA_SOAK_SWITCHES", "10000")))
    ap.add_argument("--pages", required=True, help="the five pages as the build made them")
    args = ap.parse_args()
    args.page_bytes = {p: open(os.path.join(args.pages, p), "rb").read() for p in PAGES}
    if not os.environ.get("VELMORA_E2E_INSIDE"):
        enter_namespace(args)

    args.look = SkinLook(args.skin)
    os.makedirs(args.work, exist_ok=True)
    os.makedirs(args.screens, exist_ok=True)
    isolate_network(args.work)
    server = start_server()
    xvfb = start_xvfb()
    wine = Wine(os.path.join(ROOT, "build", "soak-wineprefix" if args.soak else "e2e-wineprefix"), args.work)
    try:
        case_isolation()
        wine.point_browser_at_recorder(args.helper)
        if args.soak:
            run_soak(wine, args)
        else:
            run_cases(wine, args)
    finally:
        wine.stop()
        xvfb.terminate()
        server.shutdown()
    print("test server saw: %s" % (TestServer.requests or "no request"))
    outcome = "%d failed" % len(failures) if failures else "all passed"
    print("%s %s: %s" % ("soak" if args.soak else "e2e", args.name, outcome))
    for f in failures:
        print("  failed: " + f)
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
