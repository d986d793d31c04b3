"""The other outside parts failing: the server list's server, the game client, pm_config.ini and the
program folder, the display. The program keeps working and loses nothing."""

import os
import subprocess
import tempfile
import time
import unittest

from fault_server import FaultServer, closed_port
from harness import FAKE_CLIENT, PROGRAM, DemoSite, Launcher, run, wait_for
from test_server_list import SERVER_1, SERVER_1_NAME

CLOSE_BUTTON = (1024 - 43 + 15, 7 + 16)
HOME_TAB = (316 + 52, 45 + 15)
QUIT_BOX = "关闭提示"


class OutsideFaultTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)

    def start(self, **kwargs):
        launcher = Launcher(self.site, **kwargs)
        self.addCleanup(launcher.stop)
        return launcher

    def zonelist(self, platform="360"):
        return self.site.url + "/mini/zonelist.html?platform=" + platform

    def reports(self):
        return [p for p in self.site.paths() if p.startswith("/report")]


class ServerListFaultTest(OutsideFaultTest):
    def assert_usable(self, launcher):
        x, y = launcher.launcher_windows()[0][:2]
        time.sleep(2.0)  # whatever the list's server does meanwhile
        launcher.click(x + HOME_TAB[0], y + HOME_TAB[1])
        self.assertEqual(wait_for(launcher.opened_in_browser, 10, what="the desktop's browser"),
                         [self.site.url + "/index.html"])
        launcher.drag(x + 150, y + 20, -50, -30)
        wait_for(lambda: all(g[:2] == (x - 50, y - 30) for g in launcher.launcher_windows()[:2]), 10,
                 what="both windows moved")
        x, y = x - 50, y - 30
        launcher.click(x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1])
        launcher.answer_box(QUIT_BOX, key="Escape")  # No
        self.assertEqual(len(launcher.launcher_windows()), 2)
        launcher.click(x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1])
        launcher.answer_box(QUIT_BOX, key="Return")  # Yes
        self.assertTrue(launcher.exited())
        self.assertEqual(launcher.process.returncode, 0)

    def test_server_down(self):
        self.assert_usable(self.start(settings={"page": f"http://127.0.0.1:{closed_port()}/mini/zonelist.html"}))

    def test_server_answering_500(self):
        server = FaultServer("error")
        self.addCleanup(server.stop)
        self.assert_usable(self.start(settings={"page": server.url("/mini/zonelist.html")}))

    def test_server_hanging(self):
        server = FaultServer("hang")
        self.addCleanup(server.stop)
        self.assert_usable(self.start(settings={"page": server.url("/mini/zonelist.html")}))


class GameClientFaultTest(OutsideFaultTest):
    def check(self, spoil):
        launcher = self.start(settings={"airclient": "true"}, prepare=spoil)
        x, y = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        self.assertFalse(launcher.exited(3))
        self.assertEqual(len(launcher.launcher_windows()), 2)
        # Once the client is in place, picking again starts it.
        client = os.path.join(launcher.directory, "game", "DrelkClient")
        subprocess.run(["rm", "-rf", client], check=True)
        with open(client, "w") as stream:
            stream.write(FAKE_CLIENT)
        os.chmod(client, 0o755)
        launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        started = wait_for(launcher.started_client, 15, what="the game client")
        self.assertTrue(started[1].endswith("&server_name=" + SERVER_1_NAME))

    def test_client_missing(self):
        self.check(lambda launcher: os.remove(os.path.join(launcher.directory, "game", "DrelkClient")))

    def test_client_not_executable(self):
        self.check(lambda launcher: os.chmod(os.path.join(launcher.directory, "game", "DrelkClient"), 0o644))

    def test_client_is_a_directory(self):
        def spoil(launcher):
            client = os.path.join(launcher.directory, "game", "DrelkClient")
            os.remove(client)
            os.mkdir(client)
        self.check(spoil)


class SettingsFileFaultTest(OutsideFaultTest):
    def baidu(self, **kwargs):
        settings = {"platform": "baidu", "page": self.zonelist("baidu"), "success": self.site.url + "/report?g=d"}
        return self.start(settings=settings, **kwargs)

    def shows_the_list(self, launcher):
        launcher.launcher_windows()
        launcher.wait_for_server_list()
        self.assertIsNone(launcher.process.poll())

    def test_missing_file_is_not_created(self):
        launcher = self.start(settings_file=False, arguments=["-url", f'"{self.zonelist()}"'])
        self.shows_the_list(launcher)
        self.assertFalse(os.path.exists(launcher.settings_path))

    def test_missing_file_in_a_read_only_program_folder(self):
        launcher = self.start(settings_file=False, arguments=["-url", f'"{self.zonelist()}"'],
                              prepare=lambda launcher: os.chmod(launcher.directory, 0o555))
        self.shows_the_list(launcher)
        self.assertFalse(os.path.exists(launcher.settings_path))

    def test_a_directory_in_its_place_stays_as_it_is(self):
        def spoil(launcher):
            os.remove(launcher.settings_path)
            os.mkdir(launcher.settings_path)
        launcher = self.start(arguments=["-url", f'"{self.zonelist()}"'], prepare=spoil)
        self.shows_the_list(launcher)
        self.assertTrue(os.path.isdir(launcher.settings_path))
        self.assertEqual(os.listdir(launcher.settings_path), [])

    def test_read_only_file_is_read_and_left_unchanged(self):
        launcher = self.baidu(prepare=lambda launcher: os.chmod(launcher.settings_path, 0o444))
        before = launcher.settings_bytes()
        self.shows_the_list(launcher)
        self.assertEqual(len(self.reports()), 1)  # read: the platform and the report address came from it
        self.assertEqual(launcher.settings_bytes(), before)

    def test_file_locked_by_another_process_is_read_and_left_unchanged(self):
        lockers = []

        def lock(launcher):
            locker = subprocess.Popen(
                ["python3", "-c", "import fcntl, sys, time\n"
                 "f = open(sys.argv[1], 'rb'); fcntl.flock(f, fcntl.LOCK_EX); print('locked', flush=True)\n"
                 "time.sleep(120)", launcher.settings_path], stdout=subprocess.PIPE, text=True)
            self.assertEqual(locker.stdout.readline().strip(), "locked")
            lockers.append(locker)
            self.addCleanup(locker.kill)
        launcher = self.baidu(prepare=lock)
        before = launcher.settings_bytes()
        self.shows_the_list(launcher)
        self.assertEqual(len(self.reports()), 1)
        self.assertEqual(launcher.settings_bytes(), before)


class FolderNameTest(OutsideFaultTest):
    FOLDER = os.path.join("游戏 文件夹", "Drelk 启动器")

    def test_settings_report_and_client_in_a_folder_with_blanks_and_chinese(self):
        settings = {"platform": "baidu", "page": self.zonelist("baidu"), "success": self.site.url + "/report?g=d",
                    "airclient": "true"}
        launcher = self.start(settings=settings, directory=self.FOLDER)
        x, y = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        self.assertEqual(len(self.reports()), 1)
        self.assertTrue(launcher.settings_bytes().endswith(b"\r\nfirstopen=false"))
        launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        started = wait_for(launcher.started_client, 15, what="the game client")
        self.assertEqual(started[0], "p")
        self.assertIn("/login_game_for_general", started[1])

    def test_relaunch_from_a_folder_with_blanks_and_chinese(self):
        launcher = self.start(settings={"airclient": "false"}, directory=self.FOLDER)
        self.addCleanup(lambda: subprocess.run(["pkill", "-f", launcher.program], check=False))
        x, y = launcher.launcher_windows()[0][:2]
        launcher.wait_for_server_list()
        launcher.click(x + SERVER_1[0], y + SERVER_1[1])
        window = wait_for(lambda: [w for w in launcher.windows() if w[2] >= 1200], 20, what="the game window")[0]
        lists = sum(1 for p in self.site.paths() if p.startswith("/mini/zonelist"))
        launcher.click(window[2] - 20, 20)  # the close button
        launcher.answer_box(QUIT_BOX)  # Yes
        self.assertTrue(launcher.exited(15))
        wait_for(lambda: sum(1 for p in self.site.paths() if p.startswith("/mini/zonelist")) > lists, 20,
                 what="the new launcher's server list")
        self.assertTrue(run(["pgrep", "-f", launcher.program]).split())


class NoDisplayTest(unittest.TestCase):
    def test_without_a_display_one_line_names_the_problem(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        result = subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=20)
        self.assertEqual(result.returncode, 1)
        lines = result.stderr.strip().splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertIn("display", lines[0])


if __name__ == "__main__":
    unittest.main()
