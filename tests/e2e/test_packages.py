"""The Linux installation: `cmake --install` of the linux build lays out a ready game folder with a
desktop entry, the software-centre metadata and the icon, named after the program's id; CPack's
.tar.gz and .deb hold that folder for /opt/drelk; each, unpacked, starts and shows the demo
operator's server list. An operator's packages, made from the same program with the operator's
settings and game client, carry those in place of ours."""

import configparser
import os
import shutil
import subprocess
import tempfile
import unittest
from xml.etree import ElementTree

from harness import ROOT, DemoSite, Launcher

LANG = "{http://www.w3.org/XML/1998/namespace}lang"
BUILD = os.path.join(ROOT, "build", "linux")
APP_ID = "example.drelk_game.Drelk"


def run(arguments, cwd=None):
    return subprocess.run(arguments, cwd=cwd, check=True, timeout=300, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True).stdout


class InstallationTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="drelk-install-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def assert_game_folder(self, folder, installed_as, game="game/README.txt"):
        entry = f"share/applications/{APP_ID}.desktop"
        metainfo = f"share/metainfo/{APP_ID}.metainfo.xml"
        for name in ("drelk", "pm_config.ini", game, entry, metainfo, "share/icons/hicolor/64x64/apps/drelk.png"):
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        self.assertTrue(os.access(os.path.join(folder, "drelk"), os.X_OK))
        self.assertEqual(sorted(os.listdir(os.path.join(folder, "share/applications"))), [f"{APP_ID}.desktop"])
        entry = os.path.join(folder, entry)
        run(["desktop-file-validate", entry])
        # The software centres' metadata: valid, in English and Chinese, launching that entry.
        metainfo = os.path.join(folder, metainfo)
        run(["appstreamcli", "validate", "--no-net", metainfo])
        component = ElementTree.parse(metainfo).getroot()
        self.assertEqual(component.findtext("id"), APP_ID)
        self.assertEqual(component.findtext("launchable"), f"{APP_ID}.desktop")
        languages = {e.get(LANG) for e in component.findall("summary")}
        self.assertEqual(languages, {None, "zh-CN"})
        self.assertEqual({e.get(LANG) for e in component.findall("description/p")}, {None, "zh-CN"})
        self.assertIsNotNone(component.find("content_rating"))
        self.assertIsNotNone(component.find("releases/release[@version='1.0']"))
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(entry, encoding="utf-8")
        desktop = parser["Desktop Entry"]
        self.assertEqual(desktop["Exec"], f'"{installed_as}/drelk"')
        self.assertEqual(desktop["Path"], installed_as)
        self.assertEqual(desktop["Categories"], "Game;")
        self.assertEqual(desktop["Icon"], "drelk")
        self.assertEqual(desktop["StartupWMClass"], "Drelk")

    def assert_shows_server_list(self, folder):
        site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(site.stop)
        launcher = Launcher(site, installed=folder)
        self.addCleanup(launcher.stop)
        launcher.launcher_windows()
        launcher.wait_for_server_list()
        # The window system sees the program's id and the class the desktop entry names.
        window = run(["xdotool", "search", "--onlyvisible", "--pid", str(launcher.process.pid)]).split()[0]
        self.assertIn(f'"{APP_ID}", "Drelk"', run(["xprop", "-id", window, "WM_CLASS"]))

    def test_install_lays_out_the_game_folder_and_keeps_existing_settings(self):
        prefix = os.path.join(self.work, "Drelk")
        run(["cmake", "--install", BUILD, "--prefix", prefix])
        self.assert_game_folder(prefix, prefix)
        with open(os.path.join(ROOT, "packaging", "pm_config.ini"), "rb") as example, \
                open(os.path.join(prefix, "pm_config.ini"), "rb") as installed:
            self.assertEqual(example.read(), installed.read())
        # Installed again over an operator's settings: they stay as they are.
        with open(os.path.join(prefix, "pm_config.ini"), "wb") as stream:
            stream.write(b"platform=baidu\r\nfirstopen=false\r\n")
        run(["cmake", "--install", BUILD, "--prefix", prefix])
        with open(os.path.join(prefix, "pm_config.ini"), "rb") as stream:
            self.assertEqual(stream.read(), b"platform=baidu\r\nfirstopen=false\r\n")
        self.assert_shows_server_list(prefix)

    def make_packages(self, build):
        out = os.path.join(self.work, "out")
        run(["cpack", "-G", "TGZ;DEB", "-B", out], cwd=build)
        archives = [name for name in os.listdir(out) if name.endswith(".tar.gz")]
        packages = [name for name in os.listdir(out) if name.endswith(".deb")]
        self.assertEqual(len(archives), 1)
        self.assertEqual(len(packages), 1)
        return os.path.join(out, archives[0]), os.path.join(out, packages[0])

    def test_the_archive_and_the_debian_package_hold_the_folder_for_opt(self):
        archive, package = self.make_packages(BUILD)

        from_archive = os.path.join(self.work, "tar")
        os.makedirs(from_archive)
        run(["tar", "-xzf", archive, "-C", from_archive])
        self.assert_game_folder(os.path.join(from_archive, "opt/drelk"), "/opt/drelk")

        from_package = os.path.join(self.work, "deb")
        run(["dpkg-deb", "-x", package, from_package])
        self.assert_game_folder(os.path.join(from_package, "opt/drelk"), "/opt/drelk")
        info = run(["dpkg-deb", "-I", package])
        self.assertIn("Section: games", info)
        self.assertIn("libwebkit2gtk-4.1-0", info)
        control = os.path.join(self.work, "control")
        run(["dpkg-deb", "-e", package, control])
        with open(os.path.join(control, "conffiles")) as stream:
            self.assertEqual(stream.read().split(), ["/opt/drelk/pm_config.ini"])
        # The system's folders get links to the entry, the metadata and the icon, and lose them again.
        with open(os.path.join(control, "postinst")) as stream:
            postinst = stream.read()
        with open(os.path.join(control, "postrm")) as stream:
            postrm = stream.read()
        for linked in (f"/usr/share/applications/{APP_ID}.desktop", f"/usr/share/metainfo/{APP_ID}.metainfo.xml",
                       "/usr/share/icons/hicolor/64x64/apps/drelk.png"):
            self.assertIn(linked, postinst)
            self.assertIn(linked, postrm)

        # Unpacked (and so not in /opt), each starts from its folder against the demo site.
        self.assert_shows_server_list(os.path.join(from_archive, "opt/drelk"))
        self.assert_shows_server_list(os.path.join(from_package, "opt/drelk"))


    def test_an_operators_packages_carry_the_operators_settings_and_client(self):
        settings = os.path.join(self.work, "operator.ini")
        with open(settings, "wb") as stream:
            stream.write(b"platform=37wan\r\npage=http://127.0.0.1:9/mini/zonelist.html\r\n")
        client = os.path.join(self.work, "client")
        os.makedirs(client)
        with open(os.path.join(client, "DrelkClient"), "w") as stream:
            stream.write("#!/bin/sh\n")
        os.chmod(os.path.join(client, "DrelkClient"), 0o755)
        build = os.path.join(self.work, "operator-build")
        # Made from the program already built: nothing is compiled.
        run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DDRELK_PLATFORM=gtk", "-DDRELK_BUILD_TESTS=OFF",
             f"-DDRELK_PREBUILT_PROGRAM={os.path.join(BUILD, 'app', 'drelk')}", f"-DDRELK_SETTINGS_FILE={settings}",
             f"-DDRELK_GAME_FOLDER={client}", "-DDRELK_PUBLISHER=示例运营商"])
        archive, package = self.make_packages(build)
        for name, extract in (("tar", ["tar", "-xzf", archive, "-C"]), ("deb", ["dpkg-deb", "-x", package])):
            folder = os.path.join(self.work, name)
            os.makedirs(folder)
            run(extract + [folder])
            folder = os.path.join(folder, "opt/drelk")
            self.assert_game_folder(folder, "/opt/drelk", game="game/DrelkClient")
            with open(settings, "rb") as expected, open(os.path.join(folder, "pm_config.ini"), "rb") as installed:
                self.assertEqual(expected.read(), installed.read())
            self.assertTrue(os.access(os.path.join(folder, "game/DrelkClient"), os.X_OK))
            self.assertFalse(os.path.exists(os.path.join(folder, "game/README.txt")))
        self.assertIn("Maintainer: 示例运营商", run(["dpkg-deb", "-I", package]))


if __name__ == "__main__":
    unittest.main()
