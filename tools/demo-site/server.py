#!/usr/bin/env python3
"""Demo operator site for the Drelk launcher.

A stand-in for the game operator's web service, used by the README's run
command and by the launcher's end-to-end tests.  Standard library only; runs
with any Python 3.9+.

    python3 server.py --port 0 --log /tmp/demo-site.jsonl [--port-file F]

It binds a loopback address only, prints ``listening http://HOST:PORT/`` once
ready and appends one JSON object per received request to the log file:

    {"method": ..., "path": ..., "user_agent": ..., "cookie": ..., "time": ...}

See README.md in this folder for the page list and the click positions that
the tests rely on.
"""

import argparse
import datetime
import email.utils
import hashlib
import html
import ipaddress
import json
import os
import re
import secrets
import signal
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import quote, unquote_to_bytes

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES_DIR = os.path.join(HERE, "pages")
STATIC_DIR = os.path.join(HERE, "static")

# The server list shown by /mini/zonelist.html: (sid, name, state label, css class).
SERVERS = [
    (1, "双线一区", "火爆", "hot"),
    (2, "双线二区", "拥挤", "busy"),
    (3, "电信一区", "火爆", "hot"),
    (4, "电信二区", "流畅", "good"),
    (5, "网通一区", "拥挤", "busy"),
    (6, "网通二区", "流畅", "good"),
    (7, "新服·烈焰", "新服", "new"),
    (8, "新服·苍穹", "新服", "new"),
]

# Login address path per platform.  The launcher recognises a login by a
# marker in the URL (e.g. "index37wan"); each path below contains its
# platform's marker, and nothing else on the server list page does.
LOGIN_PATHS = {
    "360": "/login.php",
    "shunwang": "/login.php",
    "baidu": "/login_game_for_general",
    "37wan": "/index37wan",
    "liebao": "/indexliebao",
    "6711": "/index6711",
}
DEFAULT_PLATFORM = "360"
LOGIN_ROUTES = frozenset(LOGIN_PATHS.values())

# The old-style link at the bottom of the server list always points here,
# whatever the platform (a non-login address on platforms without login.php).
PLAIN_LOGIN_URL = "/login.php?sid=9"

SESSION_COOKIE = "drelk_session"
STATIC_MAX_AGE = 86400
MAX_BODY = 8 * 1024 * 1024
MAX_NAV_DELAY_MS = 5000

STATIC_TYPES = {
    ".css": "text/css; charset=utf-8",
    ".svg": "image/svg+xml",
    ".png": "image/png",
    ".js": "text/javascript; charset=utf-8",
}

_PLACEHOLDER = re.compile(r"\{\{([a-z_]+)\}\}")


# --------------------------------------------------------------------------
# Text helpers
# --------------------------------------------------------------------------

def decode_text(data):
    """Bytes from a query or header to text: UTF-8 first, GB18030 for older
    clients, and UTF-8 with replacement characters as the last resort."""
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        pass
    try:
        return data.decode("gb18030")
    except UnicodeDecodeError:
        return data.decode("utf-8", "replace")


def log_text(data):
    """Bytes as they arrived, readable in the log: UTF-8 where valid, any
    other byte as a \\xNN escape.  Percent escapes are left untouched."""
    return data.decode("utf-8", "backslashreplace")


def parse_query(raw_query):
    """Parse a raw query (bytes) into a dict.  Values may hold raw UTF-8
    bytes, percent escapes or a mix of both; '+' means a space.  When a key
    repeats, the last value wins, so a parameter appended to an address
    overrides an earlier one."""
    result = {}
    for part in raw_query.split(b"&"):
        if not part:
            continue
        key, _, value = part.partition(b"=")
        key = decode_text(unquote_to_bytes(key.replace(b"+", b" ")))
        value = decode_text(unquote_to_bytes(value.replace(b"+", b" ")))
        result[key] = value
    return result


def split_target(raw_target):
    """Split a request target (bytes) into (path, raw query).  An absolute
    form target ("http://host/path") is reduced to its path."""
    if raw_target[:7].lower() == b"http://" or raw_target[:8].lower() == b"https://":
        rest = raw_target.split(b"://", 1)[1]
        slash = rest.find(b"/")
        raw_target = rest[slash:] if slash >= 0 else b"/"
    raw_target = raw_target.split(b"#", 1)[0]
    path, _, query = raw_target.partition(b"?")
    return path.decode("latin-1"), query


def has_session_cookie(cookie_header):
    for item in cookie_header.split(";"):
        name, sep, value = item.strip().partition("=")
        if sep and name.strip() == SESSION_COOKIE and value.strip():
            return True
    return False


def esc(text):
    return html.escape(str(text), quote=True)


def now_iso():
    stamp = datetime.datetime.now(datetime.timezone.utc)
    return stamp.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (stamp.microsecond // 1000)


# --------------------------------------------------------------------------
# Pages and static files
# --------------------------------------------------------------------------

class Templates:
    """The HTML files in pages/, with {{name}} placeholders.  Values passed
    to render() are inserted as they are: callers escape them.

    A page file that starts with its <title> line holds only its content: it is
    set in the operator pages' frame, pages/_site.html (head, navigation, footer)."""

    def __init__(self, folder):
        self._pages = {}
        for name in os.listdir(folder):
            if name.endswith(".html"):
                with open(os.path.join(folder, name), encoding="utf-8") as fh:
                    self._pages[name[:-5]] = fh.read()
        frame = self._pages.pop("_site")
        for name, text in self._pages.items():
            if text.startswith("<title>"):
                title_line, _, content = text.partition("\n")
                title = title_line[len("<title>"):-len("</title>")]
                self._pages[name] = (frame.replace("{{site_page_title}}", title)
                                     .replace("{{site_page_content}}", content.rstrip("\n")))

    def render(self, name, **values):
        def fill(match):
            key = match.group(1)
            if key not in values:
                raise KeyError("page %s needs a value for {{%s}}" % (name, key))
            return str(values[key])
        return _PLACEHOLDER.sub(fill, self._pages[name]).encode("utf-8")


class StaticFile:
    def __init__(self, path):
        with open(path, "rb") as fh:
            self.body = fh.read()
        ext = os.path.splitext(path)[1].lower()
        self.content_type = STATIC_TYPES.get(ext, "application/octet-stream")
        # The ETag depends on the content only, so it is the same across
        # restarts; Last-Modified is the file's own time.
        self.etag = '"%s"' % hashlib.sha1(self.body).hexdigest()[:20]
        self.mtime = int(os.stat(path).st_mtime)
        self.last_modified = email.utils.formatdate(self.mtime, usegmt=True)

    def not_modified(self, if_none_match, if_modified_since):
        if if_none_match is not None:
            tags = [t.strip() for t in if_none_match.split(",")]
            return "*" in tags or any(
                t[2:] == self.etag if t.startswith("W/") else t == self.etag for t in tags)
        if if_modified_since:
            try:
                since = email.utils.parsedate_to_datetime(if_modified_since)
            except (TypeError, ValueError):
                return False
            if since is None:
                return False
            if since.tzinfo is None:
                since = since.replace(tzinfo=datetime.timezone.utc)
            return int(since.timestamp()) >= self.mtime
        return False


def load_static(folder):
    files = {}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if os.path.isfile(path) and not name.startswith("."):
            files[name] = StaticFile(path)
    return files


# --------------------------------------------------------------------------
# Request log
# --------------------------------------------------------------------------

class RequestLog:
    """Append-only JSON lines log.  Each line is written and flushed under a
    lock, so lines from concurrent requests never interleave."""

    def __init__(self, path):
        folder = os.path.dirname(os.path.abspath(path))
        os.makedirs(folder, exist_ok=True)
        self._fh = open(path, "a", encoding="utf-8")
        self._lock = threading.Lock()

    def write(self, method, raw_target, user_agent, cookie):
        entry = {
            "method": method,
            "path": log_text(raw_target),
            "user_agent": user_agent,
            "cookie": cookie,
            "time": now_iso(),
        }
        line = json.dumps(entry, ensure_ascii=False) + "\n"
        with self._lock:
            self._fh.write(line)
            self._fh.flush()

    def close(self):
        with self._lock:
            self._fh.close()


# --------------------------------------------------------------------------
# HTTP
# --------------------------------------------------------------------------

class Response:
    def __init__(self, status, body=b"", content_type="text/html; charset=utf-8",
                 cache="no-cache", headers=None):
        self.status = status
        self.body = body
        self.headers = [("Content-Type", content_type)] if content_type else []
        if cache:
            self.headers.append(("Cache-Control", cache))
        self.headers.extend(headers or [])


class DemoServer(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False

    def __init__(self, address, request_log, verbose=False, game_height=0):
        self.request_log = request_log
        self.game_height = game_height
        self.verbose = verbose
        self.templates = Templates(PAGES_DIR)
        self.static = load_static(STATIC_DIR)
        super().__init__(address, DemoHandler)

    def handle_error(self, request, client_address):
        # A client that hangs up mid-response is normal for a browser; keep
        # stderr quiet unless asked otherwise.
        if self.verbose:
            super().handle_error(request, client_address)


class DemoHandler(BaseHTTPRequestHandler):
    server_version = "DrelkDemo/1.0"
    protocol_version = "HTTP/1.1"
    timeout = 60

    # Every method is accepted and logged; BaseHTTPRequestHandler looks up
    # do_<METHOD>, which resolves here for any method name.
    def __getattr__(self, name):
        if name.startswith("do_"):
            return self.handle_any
        raise AttributeError(name)

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    def header_text(self, name):
        value = self.headers.get(name)
        if value is None:
            return ""
        # http.client hands headers over as latin-1 text; recover the bytes.
        return log_text(value.encode("latin-1", "replace"))

    def handle_any(self):
        raw_target = self.path.encode("latin-1", "replace")
        # Log first, so the entry is on disk before the client sees a reply.
        self.server.request_log.write(
            self.command, raw_target, self.header_text("User-Agent"), self.header_text("Cookie"))
        self.drain_body()
        path, raw_query = split_target(raw_target)
        try:
            response = self.route(path, parse_query(raw_query))
        except Exception:
            if self.server.verbose:
                raise
            response = Response(500, b"internal error\n", "text/plain; charset=utf-8")
        self.send(response)

    def drain_body(self):
        if self.headers.get("Transfer-Encoding"):
            self.close_connection = True
            return
        length = self.headers.get("Content-Length")
        if not length:
            return
        try:
            remaining = int(length)
        except ValueError:
            self.close_connection = True
            return
        if remaining < 0 or remaining > MAX_BODY:
            self.close_connection = True
            return
        while remaining > 0:
            chunk = self.rfile.read(min(remaining, 65536))
            if not chunk:
                break
            remaining -= len(chunk)

    def send(self, response):
        self.send_response(response.status)
        for name, value in response.headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(response.body)))
        self.end_headers()
        if self.command != "HEAD" and response.body:
            self.wfile.write(response.body)

    # ---- routing ------------------------------------------------------

    def route(self, path, query):
        if path in LOGIN_ROUTES:
            return self.game_page(path, query)
        if path.startswith("/static/"):
            return self.static_file(path[len("/static/"):])
        pages = {
            "/": self.home_page,
            "/mini/zonelist.html": self.zonelist_page,
            "/mini/zonelist_frame.html": self.zonelist_frame_page,
            "/index.html": self.official_page,
            "/forum-2449-1.html": self.forum_page,
            "/cs": self.service_page,
            "/order.html": self.order_page,
            "/report": self.report,
            "/beacon": self.beacon,
        }
        handler = pages.get(path)
        if handler is None:
            return self.not_found(path)
        return handler(query)

    def page(self, name, **values):
        return Response(200, self.server.templates.render(name, **values))

    # ---- server list --------------------------------------------------

    @staticmethod
    def platform_of(query):
        platform = query.get("platform", DEFAULT_PLATFORM)
        return platform if platform in LOGIN_PATHS else DEFAULT_PLATFORM

    @staticmethod
    def nav_delay_of(query):
        try:
            delay = int(query.get("nav_delay", "0"))
        except ValueError:
            return 0
        return max(0, min(delay, MAX_NAV_DELAY_MS))

    def zonelist_page(self, query):
        platform = self.platform_of(query)
        login_path = LOGIN_PATHS[platform]
        tiles = []
        for sid, name, state, state_class in SERVERS:
            tiles.append(
                '<a class="server" id="server-%d" href="%s?sid=%d" data-name="%s">'
                '<span class="server-no">%d 服</span>'
                '<span class="server-name">%s</span>'
                '<span class="server-state state-%s">%s</span></a>'
                % (sid, login_path, sid, esc(name), sid, esc(name), state_class, esc(state)))
        return self.page(
            "zonelist",
            platform=esc(platform),
            tiles="\n      ".join(tiles),
            plain_login_url=esc(PLAIN_LOGIN_URL),
            nav_delay=self.nav_delay_of(query),
            open_mode=self.open_mode_of(query),
            reload_ms=self.reload_of(query))

    @staticmethod
    def reload_of(query):
        """With reload=N the list reloads itself every N ms (at least 100; 0: never), for soak runs."""
        try:
            interval = int(query.get("reload", "0"))
        except ValueError:
            return 0
        return 0 if interval <= 0 else max(100, min(interval, 3600 * 1000))

    @staticmethod
    def open_mode_of(query):
        """How a tile opens its login address: in the page (default), a new window by target=_blank
        ("blank"), or by window.open() ("window")."""
        mode = query.get("open", "")
        return mode if mode in ("blank", "window") else "page"

    def zonelist_frame_page(self, query):
        src = "/mini/zonelist.html?platform=%s" % quote(self.platform_of(query), safe="")
        delay = self.nav_delay_of(query)
        if delay:
            src += "&nav_delay=%d" % delay
        return self.page("zonelist_frame", frame_src=esc(src))

    # ---- game page ----------------------------------------------------

    def game_page(self, path, query):
        server_name = query.get("server_name", "").strip()
        sid = query.get("sid", "").strip()
        returning = has_session_cookie(self.header_text("Cookie"))
        headers = []
        if not returning:
            headers.append(("Set-Cookie", "%s=%s; Path=/" % (SESSION_COOKIE, secrets.token_hex(12))))
        platforms = "、".join(p for p, route in LOGIN_PATHS.items() if route == path)
        body = self.server.templates.render(
            "game",
            title=esc("Drelk - " + (server_name or "游戏")),
            server_name=esc(server_name or "未选择服务器"),
            sid=esc(sid or "—"),
            entry=esc(path),
            platforms=esc(platforms),
            session="已恢复" if returning else "新建",
            tall=self.tall_part())
        return Response(200, body, cache="no-store", headers=headers)

    def tall_part(self):
        """With --game-height, the game page is that tall and scrolls (below it, a plain strip)."""
        if not self.server.game_height:
            return ""
        return ('<style>body { overflow: visible; min-height: %dpx; }</style>'
                '<div class="tall" style="height: %dpx"></div>' % (self.server.game_height, self.server.game_height))

    def beacon(self, query):
        """What the game page reports about itself (saved data, scrolling); only the log keeps it."""
        return Response(204, b"", content_type=None, cache="no-store")

    # ---- static files -------------------------------------------------

    def static_file(self, name):
        item = self.server.static.get(name)
        if item is None:
            return self.not_found("/static/" + name)
        headers = [("ETag", item.etag), ("Last-Modified", item.last_modified)]
        cache = "max-age=%d" % STATIC_MAX_AGE
        if item.not_modified(self.headers.get("If-None-Match"), self.headers.get("If-Modified-Since")):
            return Response(304, b"", content_type=None, cache=cache, headers=headers)
        return Response(200, item.body, item.content_type, cache=cache, headers=headers)

    # ---- operator pages -----------------------------------------------

    def home_page(self, query):
        zonelists = []
        for platform, login_path in LOGIN_PATHS.items():
            zonelists.append(
                '<li><a href="/mini/zonelist.html?platform=%s">服务器列表 · %s</a>'
                ' <span class="muted">登录入口 %s?sid=N</span></li>'
                % (quote(platform), esc(platform), esc(login_path)))
        logins = []
        for login_path in sorted(LOGIN_ROUTES):
            sample = "%s?sid=1&server_name=%s" % (login_path, quote("双线一区"))
            logins.append('<li><a href="%s">%s</a></li>' % (esc(sample), esc(login_path + "?sid=1")))
        return self.page("home", zonelists="\n".join(zonelists), logins="\n".join(logins))

    def official_page(self, query):
        return self.page("official")

    def forum_page(self, query):
        return self.page("forum")

    def service_page(self, query):
        return self.page("service", game=esc(query.get("gamekey", "") or "—"),
                         kind=esc(query.get("type", "") or "—"))

    def order_page(self, query):
        return self.page("order", game=esc(query.get("gkey", "") or "—"))

    def report(self, query):
        return Response(200, b"ok\n", "text/plain; charset=utf-8", cache="no-store")

    def not_found(self, path):
        body = self.server.templates.render("not_found", path=esc(path))
        return Response(404, body)


# --------------------------------------------------------------------------
# Command line
# --------------------------------------------------------------------------

def loopback_host(value):
    try:
        address = ipaddress.ip_address(value)
    except ValueError:
        address = None
    if value != "localhost" and (address is None or address.version != 4 or not address.is_loopback):
        raise argparse.ArgumentTypeError("only an IPv4 loopback address (127.x.x.x) is allowed")
    return "127.0.0.1" if value == "localhost" else value


def write_port_file(path, port):
    # Write then rename, so a reader never sees a half-written file.
    tmp = "%s.%d.tmp" % (path, os.getpid())
    with open(tmp, "w", encoding="ascii") as fh:
        fh.write("%d\n" % port)
    os.replace(tmp, path)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Drelk demo operator site")
    parser.add_argument("--port", type=int, required=True, help="port to listen on; 0 picks a free one")
    parser.add_argument("--log", required=True, help="JSON lines file that every request is appended to")
    parser.add_argument("--host", type=loopback_host, default="127.0.0.1", help="loopback address to bind")
    parser.add_argument("--port-file", help="also write the chosen port to this file")
    parser.add_argument("--verbose", action="store_true", help="print the access log and errors to stderr")
    parser.add_argument("--game-height", type=int, default=0,
                        help="make the game page this many pixels tall, so that it scrolls (0: it fills the window)")
    args = parser.parse_args(argv)

    request_log = RequestLog(args.log)
    server = DemoServer((args.host, args.port), request_log, verbose=args.verbose,
                        game_height=max(0, args.game_height))
    port = server.server_address[1]

    def stop(signum, frame):
        # shutdown() waits for serve_forever() to return, so it cannot run
        # on the thread that is serving.
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    if args.port_file:
        write_port_file(args.port_file, port)
    try:
        print("listening http://%s:%d/" % (args.host, port), flush=True)
    except OSError:
        pass

    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        request_log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
