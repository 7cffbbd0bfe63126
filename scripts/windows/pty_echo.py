"""A serial line's far end for the Windows tests: a pseudo-terminal that sends back every byte
it receives. Publishes the terminal's path as a link at the path given, then serves until ended."""
import os
import pty
import sys
import tty

controller, device = pty.openpty()
tty.setraw(device)
os.symlink(os.ttyname(device), sys.argv[1])
while True:
    data = os.read(controller, 4096)
    if not data:
        break
    os.write(controller, data)
