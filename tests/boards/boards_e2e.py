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
import queue
import re
import signal
import subprocess
import sys
import threading
import time

# Indices of the node's variables: selected altitude, heading hold, set
# heading and the autopilot command.
SEL_ALTITUDE, HEADING_HOLD, SET_HEADING, AUTOPILOT_CMD = 14, 50, 122, 172
ADF1_UP, ADF1_DOWN = 180, 182


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(predicate, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.05)
    fail("timed out waiting for " + what)


class Board:
    """orv-boardsim: commands in, reports (led, display, pty) out."""

    def __init__(self, boardsim, elf, link):
        self.proc = subprocess.Popen([boardsim, "--link", link, "--name", "mcp", elf], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, bufsize=1)
        self.reports = queue.Queue()
        self.leds, self.displays = {}, {}
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            line = line.rstrip("\n")
            m = re.match(r'led (\d+) ([01])$', line)
            if m:
                self.leds[int(m.group(1))] = m.group(2) == "1"
            m = re.match(r'display (\d+) "(.*)"$', line)
            if m:
                self.displays[int(m.group(1))] = m.group(2).strip()
            self.reports.put(line)

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()

    def stop(self):
        self.proc.send_signal(signal.SIGTERM)
        self.proc.wait(10)


def main():
    program, dbnode, boardsim, elf, work = sys.argv[1:6]
    address = sys.argv[sys.argv.index("--address") + 1] if "--address" in sys.argv else None
    wine = program.endswith(".exe")
    # Loopback alone, or with the test's own veth pair under Wine.
    with open("/proc/net/dev") as f:
        links = [line.split(":")[0].strip() for line in f.readlines()[2:]]
    if any(n != "lo" and not n.startswith("orv") for n in links):
        print("Refusing to run outside a private network namespace")
        return 1
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    os.makedirs(work, exist_ok=True)
    os.chdir(work)
    for name in ("ORVVarnoth.log", "node.out"):
        if os.path.exists(name):
            os.remove(name)
    link = os.path.join(os.getcwd(), "board-mcp")
    port = link
    if wine:
        port = "COM5"
        com = os.path.join(os.environ["WINEPREFIX"], "dosdevices", "com5")
        if os.path.lexists(com):
            os.remove(com)
        os.symlink(link, com)
    with open("orvvarnoth.cfg", "w") as f:
        # The combined window: the only one with the ADF rows, whose steppers
        # Shift multiplies by ten.
        f.write("win one\n"
                "board mcp %s\n"
                "button mcp 2 heading_hold\n"
                "switch mcp 3 autopilot\n"
                "encoder mcp 4 5 heading_fine\n"
                "encoder mcp 7 8 adf1_fine\n"
                "led mcp 6 autopilot\n"
                "display mcp 10 11 12 set_altitude\n" % port)
    node_out = open("node.out", "w")
    node = subprocess.Popen([dbnode, "--rate", "20"] + (["--address", address] if address else []), stdin=subprocess.PIPE, stdout=node_out,
                            stderr=subprocess.STDOUT, text=True)
    board = Board(boardsim, elf, link)
    prog = None
    try:
        wait_for(lambda: os.path.exists(link), 10, "the simulator's pty")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        prog = subprocess.Popen(["wine"] * wine + [program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        log = lambda: open("ORVVarnoth.log", errors="replace").read() if os.path.exists("ORVVarnoth.log") else ""
        node_text = lambda: open("node.out", errors="replace").read()
        sets = lambda index: [float(v) for v in re.findall(r"^SET %d = (\S+)" % index, node_text(), re.M)]

        wait_for(lambda: "Board mcp on %s ready" % port in log(), 20, "the board's READY")
        wait_for(lambda: board.leds.get(6) is False and 0 in board.displays, 5, "the first outputs")
        wait_for(lambda: "Connected to DB" in log(), 20, "the link to the node")

        # A button: a click on the heading hold box, a SET at the node.
        before = len(sets(HEADING_HOLD))
        board.send("press 2")
        time.sleep(0.1)
        board.send("release 2")
        wait_for(lambda: len(sets(HEADING_HOLD)) > before, 5, "the button's SET at the node")

        # A switch sets the autopilot box; the LED shows what the node confirms.
        board.send("close 3")
        wait_for(lambda: sets(AUTOPILOT_CMD)[-1:] == [1.0], 5, "the switch's autopilot SET")
        wait_for(lambda: board.leds.get(6) is True, 5, "the autopilot LED on")
        count = len(sets(AUTOPILOT_CMD))
        board.send("close 3")  # already so: nothing is clicked
        board.send("open 3")
        wait_for(lambda: sets(AUTOPILOT_CMD)[-1:] == [0.0], 5, "the switch's autopilot SET off")
        wait_for(lambda: board.leds.get(6) is False, 5, "the autopilot LED off")
        if len(sets(AUTOPILOT_CMD)) != count + 1:
            fail("the switch clicked more than once: %r" % sets(AUTOPILOT_CMD))

        # The encoder, slowly then fast: one heading step per detent.
        # Heading fine has no ×10, so fast or slow each detent is one degree.
        for detents, rate in ((3, 4), (12, 40)):
            before = len(sets(SET_HEADING))
            board.send("turn 4 5 %d %d" % (detents, rate))
            wait_for(lambda: len(sets(SET_HEADING)) >= before + detents, 10, "%d heading SETs" % detents)
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
            wait_for(lambda: len(sets(ADF1_UP)) + len(sets(ADF1_DOWN)) >= before + detents, 10,
                     "%d ADF steps" % detents)
            time.sleep(0.3)
            steps = (sets(ADF1_UP) + sets(ADF1_DOWN))[before:]
            print("ADF encoder %d detents at %d/s: step amounts %s" % (detents, rate, steps))
            if len(steps) != detents or steps.count(amount) < detents - 2:
                fail("%d detents at %d/s gave the ADF steps %s" % (detents, rate, steps))

        # The node changes the selected altitude: the display shows it.
        node.stdin.write("send %d 12300\n" % SEL_ALTITUDE)
        node.stdin.flush()
        wait_for(lambda: board.displays.get(0) == "12300", 5, "the display to show 12300")

        # A hung board: its watchdog restarts it, its hello after READY
        # brings the configuration and the outputs back, the port never lost.
        # The LED lit, so that the simulator sees it lit anew.
        board.send("close 3")
        wait_for(lambda: board.leds.get(6) is True, 5, "the autopilot LED on")
        board.leds.clear()
        board.displays.clear()
        board.send("hang")
        wait_for(lambda: "Board mcp on %s restarted; configuring it again" % port in log(), 5, "the restart line")
        wait_for(lambda: log().count("Board mcp on %s ready" % port) == 2, 5, "the board's READY after its restart")
        wait_for(lambda: board.leds.get(6) is True and board.displays.get(0) == "12300", 5,
                 "the outputs after the restart")
        if "lost" in log():
            fail("the restarted board was taken as lost")

        # Unplugged: "lost"; plugged in again: configuration and outputs anew.
        board.stop()
        wait_for(lambda: re.search(r"Board mcp on \S+ lost", log()), 5, "the lost line")
        board = Board(boardsim, elf, link)
        board.send("close 3")  # the switch stayed on while the board was away
        count = len(sets(AUTOPILOT_CMD))
        wait_for(lambda: log().count("Board mcp on %s ready" % port) == 3, 15, "the board's READY again")
        wait_for(lambda: board.leds.get(6) is True and board.displays.get(0) == "12300", 5,
                 "the outputs restored")
        if len(sets(AUTOPILOT_CMD)) != count:
            fail("the switch, already where the box is, clicked it: %r" % sets(AUTOPILOT_CMD))
        if prog.poll() is not None:
            fail("the program ended with %d" % prog.returncode)
        print("boards end-to-end: OK")
        return 0
    finally:
        if prog is not None and prog.poll() is None:
            prog.terminate()
            prog.wait(10)
        if board.proc.poll() is None:
            board.stop()
        node.terminate()
        node.wait(10)


if __name__ == "__main__":
    sys.exit(main())
