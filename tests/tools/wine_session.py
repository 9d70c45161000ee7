"""What the Python checks share to run the Windows programs under Wine: the settings of the test
slot ctest gave the test (or the one prefix), Windows paths, and a stream's lines read as they come."""
import os
import subprocess
import threading
import time


def wine_environment(root):
    """The Wine settings of scripts/wine-run: the test slot ctest gave this test, or the one prefix."""
    script = ('source "$1/scripts/lib/wine-env.sh"; if [ -n "${CTEST_RESOURCE_GROUP_0_WINE:-}" ]; then '
              'slot=${CTEST_RESOURCE_GROUP_0_WINE#id:}; source "$quorvex_root/build/wine-slots/${slot%%,*}.env"; fi; '
              'env -0')
    out = subprocess.run(["bash", "-c", script, "bash", root], capture_output=True, check=True, timeout=30).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Lines:
    """Reads a stream's lines in a thread, each with the time it arrived."""

    def __init__(self, stream):
        self.lines = []
        self.thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self.thread.start()

    def _read(self, stream):
        for line in iter(stream.readline, b""):
            self.lines.append((time.monotonic(), line.decode("latin-1").rstrip("\r\n")))

    def wait_for(self, text, deadline):
        while time.monotonic() < deadline:
            for at, line in list(self.lines):
                if text in line:
                    return at
            time.sleep(0.05)
        return None

    def text(self):
        return "\n".join(line for _, line in self.lines)
