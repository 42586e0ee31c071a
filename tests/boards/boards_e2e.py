#!/usr/bin/env python3
"""The program with a cockpit board: the real firmware in simavr (orv-boardsim)
on a pseudo-terminal, beside orv-dbnode, in a private network namespace.

A button gives a SET at the node; a switch sets the autopilot check box (and
its LED follows what the node confirms); an encoder steps the heading slowly
and fast; the node changes the selected altitude and the display shows it;
a hung board restarts by its watchdog and is configured again; stopping the
simulator logs "lost", starting it again brings back the configuration and
the outputs.

Usage: boards_e2e.py <orvvarnoth> <orv-dbnode> <orv-boardsim> <firmware.elf> <work dir> [--address A]
The Windows program (an .exe) runs under Wine (WINEPREFIX set, its server
started in this namespace) and opens the board as COM5: a dosdevices link of
the prefix to the simulator's pseudo-terminal; the node then announces
address A, on a veth pair (Win32 lists no adapter for loopback alone).
"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from proc import enter, fail, follow, read, require_private_netns, start, start_node, stop, tell, wait_or_fail, write  # noqa: E402

# Indices of the node's variables: selected altitude, heading hold, set
# heading and the autopilot command.
SEL_ALTITUDE, HEADING_HOLD, SET_HEADING, AUTOPILOT_CMD = 14, 50, 122, 172
ADF1_UP, ADF1_DOWN = 180, 182


class Board:
    """orv-boardsim: commands in, reports (led, display, pty) out."""

    def __init__(self, boardsim, elf, link):
        self.proc = subprocess.Popen([boardsim, "--link", link, "--name", "mcp", elf], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, bufsize=1)
        self.leds, self.displays = {}, {}
        follow(self.proc.stdout, self._read)

    def _read(self, line):
        line = line.rstrip("\n")
        m = re.match(r'led (\d+) ([01])$', line)
        if m:
            self.leds[int(m.group(1))] = m.group(2) == "1"
        m = re.match(r'display (\d+) "(.*)"$', line)
        if m:
            self.displays[int(m.group(1))] = m.group(2).strip()

    def send(self, command):
        tell(self.proc, command)


def main():
    program, dbnode, boardsim, elf, work = sys.argv[1:6]
    address = sys.argv[sys.argv.index("--address") + 1] if "--address" in sys.argv else None
    # Loopback alone, or with the test's own veth pair under Wine.
    require_private_netns(veth=True)
    enter(work, stale=("ORVVarnoth.log", "node.out"))
    link = os.path.join(os.getcwd(), "board-mcp")
    port = link
    if program.endswith(".exe"):
        port = "COM5"
        com = os.path.join(os.environ["WINEPREFIX"], "dosdevices", "com5")
        if os.path.lexists(com):
            os.remove(com)
        os.symlink(link, com)
    # The combined window: the only one with the ADF rows, whose steppers
    # Shift multiplies by ten.
    write("orvvarnoth.cfg", "win one\n"
          "board mcp %s\n"
          "button mcp 2 heading_hold\n"
          "switch mcp 3 autopilot\n"
          "encoder mcp 4 5 heading_fine\n"
          "encoder mcp 7 8 adf1_fine\n"
          "led mcp 6 autopilot\n"
          "display mcp 10 11 12 set_altitude\n" % port)
    node = start_node([dbnode, "--rate", "20"] + (["--address", address] if address else []), "node.out")
    board = Board(boardsim, elf, link)
    prog = None
    try:
        wait_or_fail(lambda: os.path.exists(link), 10, "the simulator's pty")
        prog = start([program])
        log = lambda: read("ORVVarnoth.log")
        sets = lambda index: [float(v) for v in re.findall(r"^SET %d = (\S+)" % index, read("node.out"), re.M)]

        wait_or_fail(lambda: "Board mcp on %s ready" % port in log(), 20, "the board's READY")
        wait_or_fail(lambda: board.leds.get(6) is False and 0 in board.displays, 5, "the first outputs")
        wait_or_fail(lambda: "Connected to DB" in log(), 20, "the link to the node")

        # A button: a click on the heading hold box, a SET at the node.
        before = len(sets(HEADING_HOLD))
        board.send("press 2")
        time.sleep(0.1)
        board.send("release 2")
        wait_or_fail(lambda: len(sets(HEADING_HOLD)) > before, 5, "the button's SET at the node")

        # A switch sets the autopilot box; the LED shows what the node confirms.
        board.send("close 3")
        wait_or_fail(lambda: sets(AUTOPILOT_CMD)[-1:] == [1.0], 5, "the switch's autopilot SET")
        wait_or_fail(lambda: board.leds.get(6) is True, 5, "the autopilot LED on")
        count = len(sets(AUTOPILOT_CMD))
        board.send("close 3")  # already so: nothing is clicked
        board.send("open 3")
        wait_or_fail(lambda: sets(AUTOPILOT_CMD)[-1:] == [0.0], 5, "the switch's autopilot SET off")
        wait_or_fail(lambda: board.leds.get(6) is False, 5, "the autopilot LED off")
        if len(sets(AUTOPILOT_CMD)) != count + 1:
            fail("the switch clicked more than once: %r" % sets(AUTOPILOT_CMD))

        # The encoder, slowly then fast: one heading step per detent.
        # Heading fine has no ×10, so fast or slow each detent is one degree.
        for detents, rate in ((3, 4), (12, 40)):
            before = len(sets(SET_HEADING))
            board.send("turn 4 5 %d %d" % (detents, rate))
            wait_or_fail(lambda: len(sets(SET_HEADING)) >= before + detents, 10, "%d heading SETs" % detents)
            time.sleep(0.3)
            values = sets(SET_HEADING)[before:]
            steps = {(b - a + 180) % 360 - 180 for a, b in zip(values, values[1:])}
            print("encoder %d detents at %d/s: headings %s" % (detents, rate, values))
            # The simulator turns A before B: up, one degree a detent.
            if len(values) != detents or steps != {1}:
                fail("%d detents at %d/s gave the headings %s" % (detents, rate, values))

        # Where Shift steps by ten, fast turning does too.
        for detents, rate, amount in ((3, 4, 1), (20, 50, 10)):
            before = len(sets(ADF1_UP)) + len(sets(ADF1_DOWN))
            board.send("turn 7 8 %d %d" % (detents, rate))
            wait_or_fail(lambda: len(sets(ADF1_UP)) + len(sets(ADF1_DOWN)) >= before + detents, 10,
                     "%d ADF steps" % detents)
            time.sleep(0.3)
            steps = (sets(ADF1_UP) + sets(ADF1_DOWN))[before:]
            print("ADF encoder %d detents at %d/s: step amounts %s" % (detents, rate, steps))
            if len(steps) != detents or steps.count(amount) < detents - 2:
                fail("%d detents at %d/s gave the ADF steps %s" % (detents, rate, steps))

        # The node changes the selected altitude: the display shows it.
        tell(node, "send %d 12300" % SEL_ALTITUDE)
        wait_or_fail(lambda: board.displays.get(0) == "12300", 5, "the display to show 12300")

        # A hung board: its watchdog restarts it, its hello after READY
        # brings the configuration and the outputs back, the port never lost.
        # The LED lit, so that the simulator sees it lit anew.
        board.send("close 3")
        wait_or_fail(lambda: board.leds.get(6) is True, 5, "the autopilot LED on")
        board.leds.clear()
        board.displays.clear()
        board.send("hang")
        wait_or_fail(lambda: "Board mcp on %s restarted; configuring it again" % port in log(), 5, "the restart line")
        wait_or_fail(lambda: log().count("Board mcp on %s ready" % port) == 2, 5, "the board's READY after its restart")
        wait_or_fail(lambda: board.leds.get(6) is True and board.displays.get(0) == "12300", 5,
                 "the outputs after the restart")
        if "lost" in log():
            fail("the restarted board was taken as lost")

        # Unplugged: "lost"; plugged in again: configuration and outputs anew.
        stop(board.proc)
        wait_or_fail(lambda: re.search(r"Board mcp on \S+ lost", log()), 5, "the lost line")
        board = Board(boardsim, elf, link)
        board.send("close 3")  # the switch stayed on while the board was away
        count = len(sets(AUTOPILOT_CMD))
        wait_or_fail(lambda: log().count("Board mcp on %s ready" % port) == 3, 15, "the board's READY again")
        wait_or_fail(lambda: board.leds.get(6) is True and board.displays.get(0) == "12300", 5,
                 "the outputs restored")
        if len(sets(AUTOPILOT_CMD)) != count:
            fail("the switch, already where the box is, clicked it: %r" % sets(AUTOPILOT_CMD))
        if prog.poll() is not None:
            fail("the program ended with %d" % prog.returncode)
        print("boards end-to-end: OK")
        return 0
    finally:
        for proc in (prog, board.proc, node):
            stop(proc)


if __name__ == "__main__":
    sys.exit(main())
