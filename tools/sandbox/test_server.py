"""Checks of the sandbox server itself: python3 -m unittest tools/sandbox/test_server.py"""

import http.client
import json
import os
import subprocess
import sys
import unittest
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
PORT = 18497


def get(path):
    with urllib.request.urlopen(f"http://127.0.0.1:{PORT}{path}") as r:
        return r.status, r.read(), dict(r.headers)


def raw(path):
    conn = http.client.HTTPConnection("127.0.0.1", PORT, timeout=10)
    conn.request("GET", path)
    resp = conn.getresponse()
    headers = dict(resp.getheaders())
    try:
        body = resp.read()
    except http.client.IncompleteRead as e:
        body = e.partial
    conn.close()
    return resp.status, body, headers


class SandboxTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.proc = subprocess.Popen([sys.executable, os.path.join(HERE, "server.py"), "--port", str(PORT)],
                                    stdout=subprocess.PIPE, text=True)
        assert "ready" in cls.proc.stdout.readline()

    @classmethod
    def tearDownClass(cls):
        cls.proc.terminate()
        cls.proc.wait()

    def setUp(self):
        get("/__sandbox/reset")

    def test_statistics_requests_are_recorded_with_their_count(self):
        get("/install.htm?tag=tamsolo&ver=3.0.0.1&count=4")
        reqs = json.loads(get("/__sandbox/requests")[1])
        self.assertEqual([(r["path"], r["count"]) for r in reqs], [("/install.htm", 4)])

    def test_login_game_and_game_list_pages(self):
        # The addresses the page process opens; their links are the page commands.
        for path, command in (("/controller/client.php?game_id=232", "app://loadgame?"),
                              ("/game.php?s=12", None),
                              ("/webgame.htm", "app://entergame|")):
            status, body, headers = get(path)
            self.assertEqual(status, 200, path)
            self.assertIn("text/html", headers["Content-Type"])
            if command:
                self.assertIn(command, body.decode("utf-8"))
    def test_notice_and_game_hall_defaults(self):
        status, body, _ = raw("/notice/tamsolo.txt")
        self.assertEqual(status, 200)
        fields = body.decode("gbk").split("|")
        self.assertEqual(len(fields), 7)
        self.assertTrue(fields[5].endswith("/notice/notice.jpg"))
        for path in ("/notice/notice.jpg", "/notice/poster.jpg"):
            status, body, headers = raw(path)
            self.assertEqual((status, body[:2], body[-2:]), (200, b"\xff\xd8", b"\xff\xd9"))
        status, body, _ = raw("/update/ConfigFerrow.htm")
        self.assertEqual(body, b"[VerKey]\r\nUpdAddr=http://127.0.0.1:%d/hall/FerrowSetup.exe\r\n" % PORT)
        self.assertEqual(raw("/update/Config..%2Fx.htm")[0], 404)
        self.assertEqual(raw("/hall/FerrowSetup.exe")[0], 404)  # no installer given to this server

    def test_modes(self):
        get("/__sandbox/set?path=/f&mode=size&size=1024")
        status, body, headers = raw("/f")
        self.assertEqual((status, len(body), headers["Content-Length"]), (200, 1024, "1024"))
        get("/__sandbox/set?path=/f&mode=500&body=oops")
        self.assertEqual(raw("/f")[:2], (500, b"oops"))
        get("/__sandbox/set?path=/f&mode=500&status=302&location=http%3A%2F%2F127.0.0.2%2Fx")
        status, _, headers = raw("/f")
        self.assertEqual((status, headers["Location"]), (302, "http://127.0.0.2/x"))
        get("/__sandbox/set?path=/f&mode=404")
        self.assertEqual(raw("/f")[0], 404)
        get("/__sandbox/set?path=/f&mode=nolength&body=abc")
        status, body, headers = raw("/f")
        self.assertNotIn("Content-Length", headers)
        self.assertEqual(body, b"abc")
        get("/__sandbox/set?path=/f&mode=short&size=400")
        status, body, headers = raw("/f")
        self.assertEqual(headers["Content-Length"], "400")
        self.assertLess(len(body), 400)
        self.assertEqual(raw("/missing")[0], 404)


if __name__ == "__main__":
    unittest.main()
