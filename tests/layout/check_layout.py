#!/usr/bin/env python3
"""Checks that includes only run down the folder layering.

Floors, bottom-up: platform (with platform/qt and platform/win32), base, protocol, link, fmc
and resources, model (the panel model), panels (web, inputs and boards beside it, using platform,
base, link, resources and model only (inputs and boards also protocol, boards also inputs),
never panels/ or a windowing host; boards still the key map), app. Only app/ includes web/ or
boards/; only boards/ and app/ include inputs/. A folder includes only its own floor and those
below it. tools/ may include only platform, base, protocol and tools/.
Outside platform/ and app/ nothing includes Qt, socket or Windows headers. Outside
protocol/, which owns the variable vocabulary, no variable operation takes a numeric
literal: variables are named (var::Gear). tests/ and bench/ are exempt.

Usage: check_layout.py <source root>     check a tree
       check_layout.py --self-test       prove the check catches misplaced includes
"""
import os
import re
import sys
import tempfile

FLOORS = {"platform": 0, "base": 1, "protocol": 2, "link": 3, "fmc": 4, "resources": 4,
          "model": 5, "panels": 6, "web": 6, "inputs": 6, "boards": 6, "app": 7}
TOOLS_MAY_INCLUDE = {"platform", "base", "protocol", "tools"}
WEB_MAY_INCLUDE = {"platform", "base", "link", "resources", "model", "web"}
INPUTS_MAY_INCLUDE = {"platform", "base", "protocol", "link", "resources", "model", "inputs"}
BOARDS_MAY_INCLUDE = INPUTS_MAY_INCLUDE | {"boards"}
EXEMPT = {"tests", "bench", "build", "scripts"}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SYSTEM_FORBIDDEN = re.compile(
    r"^(Q\w*(/|$)|Qt\w*/|sys/socket\.h$|netinet/|arpa/|ifaddrs\.h$|netdb\.h$"
    r"|(?i:windows|winsock2?|ws2tcpip|iphlpapi|mswsock|commctrl)\.h$)")
VAR_LITERAL = re.compile(
    r"\b(GetIntVar|GetRealVar|SetIntVar|SetRealVar|SetAndConfirm|KeyCRi|KeyCRd|CheckVar)"
    r"\s*\(\s*[-+]?\s*\d")


def top_folder(relative_path):
    return relative_path.split("/", 1)[0] if "/" in relative_path else ""


def check_file(root, relative_path):
    """Problems of one source file, as printable lines."""
    folder = top_folder(relative_path)
    problems = []
    with open(os.path.join(root, relative_path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            if folder != "protocol" and VAR_LITERAL.search(line.split("//", 1)[0]):
                problems.append("%s:%d: %s  (name the variable: var::...)"
                                % (relative_path, number, line.strip()))
            m = INCLUDE.match(line)
            if not m:
                continue
            bracket, name = m.groups()
            where = "%s:%d: #include %s%s%s" % (relative_path, number, bracket, name,
                                                ">" if bracket == "<" else '"')
            if bracket == "<" and SYSTEM_FORBIDDEN.match(name) and folder not in ("platform", "app"):
                problems.append(where + "  (Qt, socket and Windows headers belong in platform/ or app/)")
                continue
            target = top_folder(name)
            if bracket == "<" or (target not in FLOORS and target != "tools"):
                continue  # a system header, or one beside the file
            if folder == "tools":
                if target not in TOOLS_MAY_INCLUDE:
                    problems.append(where + "  (tools/ uses platform, base, protocol only)")
            elif target == "web" and folder not in ("web", "app"):
                problems.append(where + "  (only app/ uses web/)")
            elif folder in ("web", "inputs", "boards") and name.startswith(("platform/qt/", "platform/win32/")):
                problems.append(where + "  (%s/ sees the panel model, never a windowing host)" % folder)
            elif folder == "web" and target not in WEB_MAY_INCLUDE:
                problems.append(where + "  (web/ uses platform, base, link, resources, model only)")
            elif target == "inputs" and folder not in ("inputs", "boards", "app"):
                problems.append(where + "  (only boards/ and app/ use inputs/)")
            elif folder == "inputs" and target not in INPUTS_MAY_INCLUDE:
                problems.append(where + "  (inputs/ uses platform, base, protocol, link, resources, model only)")
            elif target == "boards" and folder not in ("boards", "app"):
                problems.append(where + "  (only app/ uses boards/)")
            elif folder == "boards" and target not in BOARDS_MAY_INCLUDE:
                problems.append(where + "  (boards/ uses platform, base, protocol, link, resources, model only)")
            elif folder in FLOORS:
                if target == "tools" or FLOORS[target] > FLOORS[folder]:
                    problems.append(where + "  (%s/ sits below %s/)" % (folder, target))
    return problems


def check_tree(root):
    problems = []
    for directory, subdirs, files in os.walk(root):
        relative_dir = os.path.relpath(directory, root)
        if relative_dir == ".":
            subdirs[:] = [d for d in subdirs if d not in EXEMPT and not d.startswith(("build", "."))]
            continue
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                relative_path = os.path.join(relative_dir, name).replace(os.sep, "/")
                problems.extend(check_file(root, relative_path))
    return problems


def self_test():
    """Each misplaced include in a fake tree must be caught, and a sound tree pass."""
    sound = {
        "platform/net.cpp": "#include <sys/socket.h>\n#include \"platform/net.h\"\n",
        "platform/qt/host.cpp": "#include <QWidget>\n#include \"platform/gui.h\"\n",
        "platform/win32/net.cpp": "#include <winsock2.h>\n#include <windows.h>\n",
        "app/win_main.cpp": "#include <windows.h>\n#include \"app/startup.h\"\n",
        "base/log.cpp": "#include \"platform/time.h\"\n#include <cstdio>\n",
        "protocol/wire.cpp": "#include \"base/log.h\"\n",
        "link/var.cpp": "#include \"protocol/wire.h\"\n#include \"link/var.h\"\n",
        "fmc/guide.cpp": "bool On() { return GetIntVar(var::VnavArmed) != 0; }  // not 220\n",
        "protocol/vars.cpp": "int Gear() { return GetIntVar(47); }\n",
        "fmc/seq.cpp": "#include \"link/var.h\"\n",
        "panels/status.cpp": "#include \"fmc/fmc.h\"\n",
        "resources/templates.cpp": "#include \"platform/dialog.h\"\n",
        "app/main.cpp": "#include <QApplication>\n#include \"panels/panel.h\"\n#include \"resources/t.h\"\n",
        "tools/dbnode/node.cpp": "#include \"protocol/wire.h\"\n#include \"tools/dbnode/node.h\"\n",
        "web/server.cpp": "#include <boost/beast.hpp>\n#include \"link/var.h\"\n#include \"web/site.h\"\n",
        "app/web.cpp": "#include \"web/server.h\"\n",
        "model/panel_model.cpp": "#include \"link/var.h\"\n#include \"resources/t.h\"\n#include \"platform/gui.h\"\n",
        "boards/board.cpp": "#include \"platform/virtual_keys.h\"\n#include \"model/panel_model.h\"\n#include \"resources/t.h\"\n#include \"boards/line.h\"\n",
        "app/boards.cpp": "#include \"boards/board.h\"\n",
        "inputs/learn.cpp": "#include \"model/setup_desk.h\"\n#include \"platform/virtual_keys.h\"\n#include \"inputs/learn.h\"\n",
        "boards/learn.cpp": "#include \"inputs/learn.h\"\n",
        "tests/link/t.cpp": "#include <sys/socket.h>\n#include \"app/startup.h\"\n",
        "bench/b.cpp": "#include <netinet/in.h>\n#include \"app/startup.h\"\n",
    }
    misplaced = [
        ("base/log.cpp", "#include \"link/var.h\"\n"),
        ("protocol/wire.cpp", "#include \"fmc/seq.h\"\n"),
        ("link/var.cpp", "#include \"panels/status.h\"\n"),
        ("fmc/seq.cpp", "#include \"app/startup.h\"\n"),
        ("panels/status.cpp", "#include \"app/startup.h\"\n"),
        ("platform/net.cpp", "#include \"base/log.h\"\n"),
        ("resources/templates.cpp", "# include \"app/startup.h\"\n"),
        ("tools/dbnode/node.cpp", "#include \"link/var.h\"\n"),
        ("link/var.cpp", "#include \"tools/dbnode/node.h\"\n"),
        ("link/var.cpp", "#include <sys/socket.h>\n"),
        ("fmc/seq.cpp", "#include <arpa/inet.h>\n"),
        ("tools/dbnode/node.cpp", "#include <netinet/in.h>\n"),
        ("panels/status.cpp", "#include <QWidget>\n"),
        ("base/log.cpp", "#include <QtCore/QString>\n"),
        ("protocol/wire.cpp", "#include <netdb.h>\n"),
        ("link/var.cpp", "#include <ifaddrs.h>\n"),
        ("panels/status.cpp", "#include <windows.h>\n"),
        ("link/var.cpp", "#include <winsock2.h>\n"),
        ("base/log.cpp", "#include <Windows.h>\n"),
        ("fmc/guide.cpp", "void F() { SetAndConfirm(219, 1); }\n"),
        ("panels/status.cpp", "int G() { return GetIntVar( 47); }\n"),
        ("tools/dbnode/node.cpp", "void K() { KeyCRi (-1, 0); }\n"),
        ("link/var.cpp", "double R() { return GetRealVar(2) + SetRealVar(x, 1); }\n"),
        ("web/server.cpp", "#include \"panels/status.h\"\n"),
        ("web/server.cpp", "#include \"fmc/seq.h\"\n"),
        ("link/var.cpp", "#include \"web/server.h\"\n"),
        ("panels/status.cpp", "#include \"web/server.h\"\n"),
        ("panels/status.cpp", "#include \"boards/line.h\"\n"),
        ("web/server.cpp", "#include \"boards/line.h\"\n"),
        ("boards/board.cpp", "#include \"web/server.h\"\n"),
        ("boards/board.cpp", "#include \"fmc/seq.h\"\n"),
        ("boards/board.cpp", "#include \"panels/windows.h\"\n"),
        ("boards/board.cpp", "#include \"panels/keymap.h\"\n"),
        ("platform/qt/host.cpp", "#include \"model/panel_model.h\"\n"),
        ("link/var.cpp", "#include \"model/panel_model_writer.h\"\n"),
        ("model/panel_model.cpp", "#include \"panels/status.h\"\n"),
        ("web/server.cpp", "#include \"platform/qt/host.h\"\n"),
        ("boards/board.cpp", "#include <termios.h>\n#include <windows.h>\n"),
        ("inputs/learn.cpp", "#include \"boards/line.h\"\n"),
        ("inputs/learn.cpp", "#include \"panels/keymap.h\"\n"),
        ("inputs/learn.cpp", "#include \"web/server.h\"\n"),
        ("inputs/learn.cpp", "#include \"fmc/seq.h\"\n"),
        ("inputs/learn.cpp", "#include \"platform/qt/host.h\"\n"),
        ("web/server.cpp", "#include \"inputs/learn.h\"\n"),
        ("model/panel_model.cpp", "#include \"inputs/learn.h\"\n"),
    ]
    failures = []

    def build(root, extra):
        for path, text in sound.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text + (extra[1] if extra and extra[0] == path else ""))

    with tempfile.TemporaryDirectory() as root:
        build(root, None)
        problems = check_tree(root)
        if problems:
            failures.append("sound tree reported: %s" % problems)
    for case in misplaced:
        with tempfile.TemporaryDirectory() as root:
            build(root, case)
            if not check_tree(root):
                failures.append("not caught: %s in %s" % (case[1].strip(), case[0]))
    for f in failures:
        print("SELF-TEST FAIL: " + f)
    if not failures:
        print("self-test: %d misplaced includes and numbered variables caught, sound tree passes"
              % len(misplaced))
    return 1 if failures else 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    problems = check_tree(argv[1])
    for p in problems:
        print(p)
    if problems:
        print("%d layout problem(s)" % len(problems))
        return 1
    print("layout: every include runs down the floors, every variable is named")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
