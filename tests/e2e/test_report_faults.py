"""First-open report servers that misbehave: the process never dies, pm_config.ini is never lost."""

import tempfile
import time
import unittest

from fault_server import FaultServer, closed_port
from harness import DemoSite, Launcher, wait_for

ERROR_BOX = "drelk"  # the generic error box carries the application's name


class ReportFaultTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)

    def start(self, report_url):
        settings = {"platform": "baidu", "page": self.site.url + "/mini/zonelist.html?platform=baidu",
                    "success": report_url + "?game=drelk"}
        launcher = Launcher(self.site, settings=settings)
        self.addCleanup(launcher.stop)
        self.original = launcher.settings_bytes()
        return launcher

    def server(self, mode):
        server = FaultServer(mode)
        self.addCleanup(server.stop)
        return server

    def assert_launcher_works(self, launcher):
        origin = launcher.launcher_windows(timeout=30)[0][:2]
        launcher.wait_for_server_list()
        launcher.click(origin[0] + 316 + 52, origin[1] + 45 + 15)  # 官方网站
        wait_for(launcher.opened_in_browser, 10, what="the desktop's browser")
        self.assertIsNone(launcher.process.poll(), "the launcher still runs")

    def assert_error_box_then_launcher(self, launcher, timeout):
        launcher.answer_box(ERROR_BOX, timeout=timeout)
        self.assert_launcher_works(launcher)
        # The report did not complete: nothing is recorded, nothing is lost.
        self.assertEqual(launcher.settings_bytes(), self.original)

    def assert_recorded_once(self, launcher):
        self.assert_launcher_works(launcher)
        self.assertEqual(launcher.settings_bytes(), self.original + b"\r\nfirstopen=false")
        self.assertIsNone(launcher.window_named(ERROR_BOX))

    def test_a_body_cut_midway_shows_the_error_box(self):
        server = self.server("cut")
        self.assert_error_box_then_launcher(self.start(server.url("/report")), 20)
        self.assertEqual(len(server.requests), 1)

    def test_b_head_then_silence_shows_the_error_box_after_the_idle_bound(self):
        server = self.server("stall")
        launcher = self.start(server.url("/report"))
        started = time.monotonic()
        self.assert_error_box_then_launcher(launcher, 60)
        self.assertGreaterEqual(time.monotonic() - started, 25)  # the 30 s idle bound

    def test_c_refused_connection_records_the_report_once(self):
        self.assert_recorded_once(self.start(f"http://127.0.0.1:{closed_port()}/report"))

    def test_d_endless_body_is_read_to_the_size_bound_and_recorded_once(self):
        server = self.server("endless")
        self.assert_recorded_once(self.start(server.url("/report")))
        self.assertLess(server.bytes_sent, 64 * 1024 * 1024)

    def test_e_ten_megabytes_of_headers_are_refused_and_the_launcher_appears(self):
        server = self.server("huge-head")
        self.assert_recorded_once(self.start(server.url("/report")))

    def test_f_endless_redirects_are_bounded_and_the_launcher_appears(self):
        server = self.server("redirect-loop")
        self.assert_recorded_once(self.start(server.url("/loop")))
        self.assertLessEqual(len(server.requests), 11)


if __name__ == "__main__":
    unittest.main()
