"""What the desktop roads share: failing with the script's name, and waiting
for something to appear on the accessibility bus while its tree changes."""
import os
import sys
import time


def fail(reason):
    print(f"{os.path.basename(sys.argv[0])}:", reason)
    sys.exit(1)


def wait_for(find, what, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree changes while it is walked
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail(f"{what} not found")
