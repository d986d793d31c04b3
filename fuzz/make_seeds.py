#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into corpus/<target>/ (seed_*.bin).

The layouts are described at the top of each target's source file. Inputs added later by
`-merge=1` live next to these under libFuzzer's own names and are left alone.
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent

ZONELIST = b"http://op.example/mini/zonelist.html?x=1"

SEEDS = {
    # three control bytes (line break, split offset high, low), then pm_config.ini
    "settings_file_fuzzer": [
        b"\x00\x00\x05platform=baidu\r\npage = http://a/b?x=1 \nsuccess=http://r/?a=b=c\rlast=1",
        b"\x01\x00\x03\xEF\xBB\xBF[main]\r\n; comment=1\r\n# comment=2\r\n\r\nno equals sign\r\n=\r\n===\r\n  = value\r\nkey=\r\n",
        b"\x02\x00\x01\xEF\xBB\xBFplatform=360",
        b"\x00\x00\x04bad=a\x00b\r\nctl=\x01\x02\r\nok=\xB5\x6C\xD6\xD0\r\n",
        b"\x01\x00\x02a=1\r\na=2",
        b"\x02\x00\x0Eplatform=baidu\r\nfirstopen=false\r\nsuccess=http://r.example/s?id=7",
        b"\x00\x00\x00\tkey\t=\t value with = signs \t\r\n\r\r\n\n",
        b"\x00\x00\x09page=" + ZONELIST + b"\r\nplatform=6711\r",
        b"\x00\x00\x00",
        b"\x01\x00\x00\xEF\xBB",
        b"\x02\x00\x05a=1\r\nbb=22\r\nccc=333\n",
        b"\x01\x00\x04a=1\r\nb=2\r\n#c=3\r\n[d=4]",
    ],
    # control byte (platform, adapters), command line, NUL, pm_config.ini, NUL, adapter address
    "start_page_fuzzer": [
        b"\x01-url \"http://x/list?a=1&b=2\"\x00\x00",
        b"\x01-foo bar -url \"http://x/\"\x00\x00",
        b"\x01-url \"http://x/\" -y \"z\"\x00\x00",
        b"\x01-url \"\"\x00\x00",
        b"\x01-url http://x/a?b=1 -z\x00\x00",
        b"\x01-url\x00\x00",
        b"\x01-url \t \x00\x00",
        b"\x01-URL \"http://x/\"\x00\x00",
        b"\x01\xB5-url \"http://x/\xD6\xD0\"\x00\x00",
        b"\x01\x81-url \"http://x/\"\x00\x00",
        b"\x00-url \"http://x/\"\x00platform=360\r\npage=" + ZONELIST + b"\x00",
        b"\x10\x00platform=baidu\r\npage=" + ZONELIST + b"\x00\x0A\x1B\x2C\x3D\x4E\x5F",
        b"\x1A-url \"http://x/\"\x00\x00\xAB\xCD",
        b"\x0A\x00\x00\x01\x02\x03\x04\x05\x06",
        b"\x03-url \"http://x/\"\x00\x00",
        b"\x05-url \"http://x/\"\x00\x00",
        b"\x00\x00platform=6711\r\npage=\x00",
    ],
    # control byte (code page, needle cut), URL, NUL, title
    "login_rules_fuzzer": [
        b"\x00http://h/login_game_for_general?x\x00server 1",
        b"\x01http://h/login.php?sid=1\x00\xE4\xB8\xAD\xE6\x96\x87",
        b"\x00http://h/login.php?sid=1\x00\xD6\xD0",
        b"\x00http://h/\x81login.php\x00login",
        b"\x01http://h/\x81login.php\x00login",
        b"\x01http://h/\xE4\xB8\xADlogin.php\x00\xE4\xB8\xAD",
        b"\x02http://g/index37wan/indexliebao/index6711\x00index",
        b"\x00C:\\Games\\\x81\x5C\\Drelk\x81\x5C.exe\x00\\",
        b"\x01C:\\Drelk\\Drelk.exe\x00.",
        b"\x03\xD6\xD0\xCE\xC4\xB5\x6C\x81\xFE\x00\xCE\xC4",
        b"\x01\xF0\x9F\x98\x80\xED\xA0\x80\xC2\x00\x80",
        b"\x24http://h/a?b=c&d=e\x00&d",
    ],
    # control byte (ACP, split point), data (also read as UTF-16LE)
    "codepage_fuzzer": [
        b"\x00hello, world",
        b"\x01\xE4\xB8\xAD\xE6\x96\x87\xE2\x82\xAC",
        b"\x01\xD6\xD0\xCE\xC4\xB5\x6C\x80",
        b"\x04\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE0\x80\x80\xFF",
        b"\x06\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",
        b"\x02\x3D\xD8\x00\xDE\x00\xD8\x61\x00\x00\xDC\xAC\x20",
        b"\x03\x2D\x4E\x87\x65\xFF\xFE\x00\x00",
        b"\x01\x81\x40\xFE\xFE\x81\x7F\xA1\xA1",
        b"\x00?\xE4\xB8",
    ],
    # outcome, bound, number of chunk sizes, chunk sizes, data
    "report_response_fuzzer": [
        b"\x00\x3F\x00ok\r\n",
        b"\x01\x3F\x00a\nb",
        b"\x00\x10\x02\x03\x01one\r\ntwo\n\nlast",
        b"\x00\x05\x01\x05" b"12345678",
        b"\x00\x08\x01\x08" b"1234\r\n78",
        b"\x01\x00\x00x",
        b"\x03\x3F\x03\x00\x01\x07\r\n\r\r\n\n\rline\r",
        b"\x00\x3F\x00",
        b"\x01\x3F\x00",
    ],
    # mode (even: raw lines; odd: heads of status byte, flags byte and other lines)
    "http_headers_fuzzer": [
        b"\x00HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n",
        b"\x00HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 302 Found\r\nLocation: /b\r\n\r\nHTTP/2 200\r\n\r\n",
        b"\x00HTTP/1.1 301\nlocation:x\n\nHTTP/1.0 404 Not Found\n\n",
        b"\x00HTTP/1.1\r\n\r\nhttp/1.1 -99 x\r\n\r\n",
        b"\x01\x00\x00\x64\x01\x32\x04X-A: 1\n",
        b"\x01\x64\x0Dx: y\nz: w\nv: u\n\x32\x00",
    ],
    # control (code page, raw mode), address, 0xFF, title (UTF-16 LE outside raw mode)
    "client_command_fuzzer": [
        b"\x00" + "http://op/login.php?sid=1".encode("utf-16-le") + b"\xFF" + "双线一区".encode("utf-16-le"),
        b"\x01" + "http://op/login.php?a=b c".encode("utf-16-le") + b"\xFF" + 'a" -x \\"y\\'.encode("utf-16-le"),
        b"\x00" + "http://op/login.php".encode("utf-16-le") + b"\xFF" + "\u4e02\\\"\t".encode("utf-16-le"),
        b"\x02" + "http://op/\\\\login.php".encode("utf-16-le") + b"\xFF" + "\\".encode("utf-16-le"),
        b"\x04http://op/login.php?x=\\\\\"\xFF \t\"\"\\",
        b"\x04\xFF",
    ],
    # bound (byte % 24 - 2), joiner's manner, starting address, LF, then answers: kind byte, Location, LF
    "wininet_redirect_fuzzer": [
        b"\x0c\x00http://op.example/report?a=1 b\n\x01/next\n\x0a\n",
        b"\x0c\x00http://op.example/loop\n\x01/loop\n",
        b"\x0c\x00https://op.example:8443/a/b/c?x#f\n\x03../d?y\n\x04//cdn.example/z\n\x07?q\n\x08#frag\n\x0a\n",
        b"\x0c\x00http://op.example/\n\x00file:///etc/passwd\n",
        b"\x0c\x00http://op.example/\n\x01ftp://op.example/x\n",
        b"\x0c\x00http://op.example/\n\x81/refused\n",
        b"\x0c\x01http://op.example/\n\x01/" + b"\xe4\xb8\xad" * 20 + b" x\n\x0a\n",
        b"\x0c\x03http://op.example/\n\x02/" + b"\xe4" * 40 + b"\n\x0a\n",
        b"\x0c\x00http://[::1]:8080\n\x0f\n",
        b"\x0c\x00http://op.example/\n\x10\n",
        b"\x0c\x00http://op.example/\n\x2a\n",
        b"\x0c\x00http://" + b"h" * 300 + b"/\n",
        b"\x0c\x00HTTP://User:pw@Op.Example:65535/\n\x05/x\n\x0a\n",
        b"\x0c\x00op.example/no-scheme\n",
        b"\x0c\x00http://op.example:99999/\n",
        b"\x00\x00http://op.example/\n\x01/x\n",
        b"\x01\x00http://op.example/\n\x01/x\n",
        b"\x03\x00http://op.example/\n\x01/x\n\x0a\n",
        b"\x0c\x00http://op.example/\n\x01\x00hidden\n\x0a\n",
        b"\x0c\x00http://op.example/a\n\x02http:relative\n",
    ],
}


def main():
    for target, seeds in SEEDS.items():
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.glob("seed_*.bin"):
            old.unlink()
        for index, seed in enumerate(seeds):
            (folder / f"seed_{index:02d}.bin").write_bytes(seed)


if __name__ == "__main__":
    main()
