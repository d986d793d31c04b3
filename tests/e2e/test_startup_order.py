"""What the launcher does before it is shown, and in which order, read from the program's own
start-up trace (DRELK_STARTUP_TRACE: one line per event, in the order they happened)."""
import os
import tempfile
import unittest

from harness import DemoSite, Launcher


class StartupOrderTest(unittest.TestCase):
    def setUp(self):
        self.site = DemoSite(tempfile.mkdtemp(prefix="drelk-site-"))
        self.addCleanup(self.site.stop)

    def start(self, settings):
        self.trace = os.path.join(tempfile.mkdtemp(prefix="drelk-trace-"), "trace.txt")
        launcher = Launcher(self.site, settings=settings, extra_env={"DRELK_STARTUP_TRACE": self.trace})
        self.addCleanup(launcher.stop)
        launcher.launcher_windows()
        launcher.wait_for_server_list()
        with open(self.trace) as stream:
            self.events = [line.split() for line in stream if line.strip()]
        return launcher

    def first(self, event, detail=""):
        """The position of the first event of this name whose detail contains the text."""
        for index, parts in enumerate(self.events):
            if parts[0] == event and detail in " ".join(parts[1:-1]):
                return index
        self.fail(f"no {event} {detail} in the trace: {self.events}")

    def test_the_browser_settings_and_report_come_before_the_launcher_is_shown(self):
        self.start({"platform": "baidu", "page": self.site.url + "/mini/zonelist.html?platform=baidu",
                    "success": self.site.url + "/report?game=drelk"})
        steps = [self.first("application-object"), self.first("main"), self.first("gtk-ready"),
                 self.first("web-view"), self.first("navigate", "about:blank"),
                 self.first("file-read", "pm_config.ini"), self.first("http-get", "/report?game=drelk"),
                 self.first("http-done"), self.first("show", "plain"), self.first("show", "layered")]
        self.assertEqual(steps, sorted(steps), self.events)
        # Both windows are mapped and the backdrop is drawn.
        self.first("map", "plain")
        self.first("map", "layered")
        self.first("draw", "layered")

    def test_the_blank_page_completes_before_the_start_page_and_needs_no_engine(self):
        self.start({})
        blank = self.first("navigate", "about:blank")
        self.assertIn("without-engine", " ".join(self.events[blank]))
        complete = self.first("document-complete", "about:blank")
        start_page = self.first("navigate", "/mini/zonelist.html")
        self.assertLess(blank, complete)
        self.assertLess(complete, start_page)
        # The engine starts (which holds the program for a while) only once both windows are shown
        # and painted, and the list is the first page it loads.
        self.assertLess(self.first("draw", "plain"), start_page)
        self.assertLess(self.first("draw", "layered"), start_page)
        self.assertEqual([p for p in self.events if p[0] == "navigate"][1][1].split("?")[0],
                         self.site.url + "/mini/zonelist.html")
        self.first("document-complete", "/mini/zonelist.html")


if __name__ == "__main__":
    unittest.main()
