#!/usr/bin/env python3
"""Starts the sandbox server inside a build folder's test bed (the CTest fixture of the Win32
tests): the bed records it, so the bed's cleanup ends it with everything else it started.
Nothing is started when a sandbox already answers on the port."""

import argparse
import os
import sys
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "testbed"))

import testbed  # noqa: E402


def answers(port):
    try:
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/__sandbox/ping", timeout=2) as r:
            return r.read() == b"pong"
    except OSError:
        return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--port", type=int, default=18480)
    opts = parser.parse_args()
    if answers(opts.port):
        print(f"sandbox already answers on port {opts.port}")
        return 0
    bed = testbed.Testbed(opts.build_dir)
    installer = os.path.join(os.path.abspath(opts.build_dir), "bin", "hallsetup.exe")
    bed.start(sys.executable, [os.path.join(HERE, "server.py"), "--port", str(opts.port), "--installer", installer],
              name="sandbox")
    deadline = time.time() + 20
    while time.time() < deadline:
        if answers(opts.port):
            print(f"sandbox ready on port {opts.port}")
            return 0
        time.sleep(0.2)
    print("the sandbox did not answer", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
