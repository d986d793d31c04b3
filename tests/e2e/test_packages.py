"""The Linux installation: `cmake --install` of the linux build lays out a ready game folder with a
desktop entry and the icon; CPack's .tar.gz and .deb hold that folder for /opt/drelk; each, unpacked,
starts and shows the demo operator's server list."""

import configparser
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import ROOT, DemoSite, Launcher

BUILD = os.path.join(ROOT, "build", "linux")


def run(arguments, cwd=None):
    return subprocess.run(arguments, cwd=cwd, check=True, timeout=300, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True).stdout


class InstallationTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="drelk-install-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def assert_game_folder(self, folder, installed_as):
        for name in ("drelk", "pm_config.ini", "game/README.txt", "share/applications/drelk.desktop",
                     "share/icons/hicolor/64x64/apps/drelk.png"):
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        self.assertTrue(os.access(os.path.join(folder, "drelk"), os.X_OK))
        entry = os.path.join(folder, "share/applications/drelk.desktop")
        run(["desktop-file-validate", entry])
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(entry, encoding="utf-8")
        desktop = parser["Desktop Entry"]
        self.assertEqual(desktop["Exec"], f'"{installed_as}/drelk"')
        self.assertEqual(desktop["Path"], installed_as)
        self.assertEqual(desktop["Categories"], "Game;")
        self.assertEqual(desktop["Icon"], "drelk")

    def assert_shows_server_list(self, folder):
        site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(site.stop)
        launcher = Launcher(site, installed=folder)
        self.addCleanup(launcher.stop)
        launcher.launcher_windows()
        launcher.wait_for_server_list()

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

    def test_the_archive_and_the_debian_package_hold_the_folder_for_opt(self):
        out = os.path.join(self.work, "out")
        run(["cpack", "-G", "TGZ;DEB", "-B", out], cwd=BUILD)
        archives = [name for name in os.listdir(out) if name.endswith(".tar.gz")]
        packages = [name for name in os.listdir(out) if name.endswith(".deb")]
        self.assertEqual(len(archives), 1)
        self.assertEqual(len(packages), 1)

        from_archive = os.path.join(self.work, "tar")
        os.makedirs(from_archive)
        run(["tar", "-xzf", os.path.join(out, archives[0]), "-C", from_archive])
        self.assert_game_folder(os.path.join(from_archive, "opt/drelk"), "/opt/drelk")

        from_package = os.path.join(self.work, "deb")
        run(["dpkg-deb", "-x", os.path.join(out, packages[0]), from_package])
        self.assert_game_folder(os.path.join(from_package, "opt/drelk"), "/opt/drelk")
        info = run(["dpkg-deb", "-I", os.path.join(out, packages[0])])
        self.assertIn("Section: games", info)
        self.assertIn("libwebkit2gtk-4.1-0", info)
        control = os.path.join(self.work, "control")
        run(["dpkg-deb", "-e", os.path.join(out, packages[0]), control])
        with open(os.path.join(control, "conffiles")) as stream:
            self.assertEqual(stream.read().split(), ["/opt/drelk/pm_config.ini"])
        self.assertTrue(os.path.isfile(os.path.join(control, "postinst")))

        # Unpacked (and so not in /opt), each starts from its folder against the demo site.
        self.assert_shows_server_list(os.path.join(from_archive, "opt/drelk"))
        self.assert_shows_server_list(os.path.join(from_package, "opt/drelk"))


if __name__ == "__main__":
    unittest.main()
