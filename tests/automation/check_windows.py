#!/usr/bin/env python3
"""Window automation on a private X desktop (Xvfb, openbox, a private D-Bus session) against
the probe application: FindWindow by class, by exact and "*" title, through two levels of child
windows and with a missing middle level; WindRect; the window rectangles and SetWindowPos;
window text; typed text, Shift and Ctrl+A; a button clicked with the mouse; a double click and
MouseCursor; MouseClicRect; the clipboard both ways; controls inside the window through the
accessibility bus (text, button, check box, list, combo box, selection, typed characters,
paste); the menu bar's
listing, identifiers, states and items run; WM_CLOSE; and xterm, a program of the desktop. The window inspector's view of a point.
Usage: check_windows.py TRESSALY PROBE INSPECT"""
import os
import subprocess
import sys
import tempfile
import time

from desktop import Checks, Desktop, in_private_bus, require

in_private_bus()


def numbers(cell):
    return [float(v) for v in cell.strip("()").replace("'", "").split(",") if v.strip()]


def find_windows(desktop, tressaly, probe, checks):
    status, values, err = desktop.run_script(tressaly, """h = FindWindow('TressalyProbe')
hExact = FindWindow('"tressaly probe window"')
hStar = FindWindow('"*Probe Win"TressalyProbe')
hStarOther = FindWindow('"*Probe Win"OtherClass')
hPartial = FindWindow('"Probe Window"')
panelTitle = GetWindowText(FindWindow('ProbePanel', h))
inner = FindWindow('TressalyProbe/ProbePanel/"Inner panel"ProbeInner')
outer = GetWindowRect(h)
client = GetWindowClientRect(h)
""")
    checks.equal("find: exit status", (status, err), (0, ""))
    for name in ("h", "hExact", "hStar"):
        checks.equal(f"find: {name}", values.get(name, "").strip(), str(probe.window))
    for name in ("hStarOther", "hPartial"):
        checks.equal(f"find: {name}", values.get(name, "").strip(), "0")
    checks.true(f"find: inner window found ({values.get('inner')})", values.get("inner", "0").strip() not in ("", "0"))
    checks.equal("find: panel title", values.get("panelTitle"), "●Outer panel●")
    outer, client = numbers(values.get("outer[]", "")), numbers(values.get("client[]", ""))
    checks.equal("client rectangle size", client[2:], [360.0, 460.0])
    checks.true(f"outer rectangle holds the frame: {outer} around {client}",
                len(outer) == 4 and outer[0] <= client[0] and outer[1] < client[1] and outer[3] > client[3])
    inner = numbers(values.get("WindRect[]", ""))
    checks.equal("WindRect of the inner window (60 x 20 at 15, 410 in the client area)",
                 inner, [client[0] + 15, client[1] + 410, 60.0, 20.0])

    # ExecCommand finds a window of a class by the exact position of its frame.
    status, values, err = desktop.run_script(tressaly, """h = FindWindow('TressalyProbe')
atProbe = OS_ExecCommand('sleep 0', 1, 0, 'TressalyProbe', 100, WindRect[1], WindRect[2])
elsewhere = OS_ExecCommand('sleep 0', 1, 0, 'TressalyProbe', 100, WindRect[1] + 1, WindRect[2])
""")
    checks.equal("window by class and position", (status, values.get("atProbe"), values.get("elsewhere")),
                 (0, f"●{probe.window}●", "●0●"))

    # A missing middle level finds nothing and declares no WindRect.
    status, values, err = desktop.run_script(tressaly, "m = FindWindow('TressalyProbe/NoPanel/ProbeInner')\n")
    checks.equal("missing level", (status, values.get("m", "").strip(), "WindRect[]" in values), (0, "0", False))


def place_and_title(desktop, tressaly, probe, checks):
    status, values, err = desktop.run_script(tressaly, """h = FindWindow('TressalyProbe')
before = GetWindowText(h)
set = SetWindowText(h, 'Renamed probe')
after = GetWindowText(h)
found = FindWindow('"Renamed probe"')
SetWindowPos(h, HWND_TOP, 40, 30, 500, 400, SWP_NOZORDER)
Sleep(0.5)
r = GetWindowRect(h)
c = GetWindowClientRect(h)
gone = GetWindowText(123)
long = ''
for i = 1,3000
  long = long + 'x'
SetWindowText(h, long)
longLength = LenStr(GetWindowText(h))
""")
    checks.equal("title: exit status", (status, err), (0, ""))
    checks.equal("title before", values.get("before"), "●Tressaly Probe Window●")
    checks.equal("title after", values.get("after"), "●Renamed probe●")
    checks.equal("found by new title", values.get("found", "").strip(), str(probe.window))
    checks.equal("missing window's text", values.get("gone"), "●●")
    checks.equal("a window text is read up to 2040 characters", values.get("longLength", "").strip(), "2040")
    checks.equal("SetWindowPos: outer rectangle", numbers(values.get("r[]", ""))[:4], [40.0, 30.0, 500.0, 400.0])
    desktop.run_script(tressaly, "h = FindWindow('TressalyProbe')\nSetWindowText(h, 'Tressaly Probe Window')\n")


def keys(desktop, tressaly, probe, checks):
    probe.drain()
    status, values, err = desktop.run_script(tressaly, """h = FindWindow('TressalyProbe')
SendHotKey(h, 0, 72)
SendHotKey(h, MOD_SHIFT, 73, 49)
SendMessage(h, WM_CHAR, 1078)
SendMessage(h, WM_CHAR, 33)
""")
    checks.equal("keys: exit status", (status, err), (0, ""))
    try:
        probe.expect("edit hI!ж!")  # Shift is held for VK1 too
    except AssertionError as e:
        checks.failures.append(f"typed text: {e}")
    desktop.run_script(tressaly, "h = FindWindow('TressalyProbe')\nSendHotKey(h, MOD_CONTROL, 65)\nSendHotKey(h, 0, 88)\n")
    try:
        probe.expect("edit x")
    except AssertionError as e:
        checks.failures.append(f"Ctrl+A then x: {e}")


def mouse(desktop, tressaly, probe, checks):
    bx, by, bw, bh = probe.layout["button"]
    px, py, pw, ph = probe.layout["pad"]
    probe.drain()
    status, values, err = desktop.run_script(tressaly, f"""h = FindWindow('TressalyProbe')
c = GetWindowClientRect(h)
Mouse(MOUSE_MOVE + MOUSE_LEFTDOWN + MOUSE_LEFTUP, c[1] + {bx + bw // 2}, c[2] + {by + bh // 2})
Sleep(0.3)
padX = c[1] + {px + 20}
padY = c[2] + {py + 10}
Mouse(MOUSE_MOVE, padX, padY)
Mouse(MOUSE_DblClick)
""")
    checks.equal("mouse: exit status", (status, err), (0, ""))
    checks.true("MouseCursor set after a move", values.get("MouseCursor", "").strip() not in ("",))
    for prefix in ("button Apply", f"mouse double {int(float(values.get('padX', 0)))} {int(float(values.get('padY', 0)))}"):
        try:
            probe.expect(prefix)
        except AssertionError as e:
            checks.failures.append(f"mouse: {e}")

    # MouseClicRect clicks the centre of a window's rectangle; without an action it only moves.
    status, values, err = desktop.run_script(tressaly, """h = FindWindow('TressalyProbe')
c = GetWindowClientRect(h)
array Box[4]float
Box[1] = c[1] + {0}
Box[2] = c[2] + {1}
Box[3] = {2}
Box[4] = {3}
MouseClicRect(Box, 1)
""".format(*probe.layout["button"]))
    checks.equal("MouseClicRect: exit status", (status, err), (0, ""))
    try:
        probe.expect("button Apply")
    except AssertionError as e:
        checks.failures.append(f"MouseClicRect: {e}")

    status, values, err = desktop.run_script(tressaly, "Mouse(MOUSE_MOVE)\n")
    checks.true(f"Mouse(MOUSE_MOVE) alone: message 169, got {status} {err!r}",
                status == 1 and err.startswith("Function Mouse;"))
    status, values, err = desktop.run_script(tressaly, "array Two[2]float\nMouseClicRect(Two)\n")
    checks.true(f"MouseClicRect of a short array: {err!r}",
                status == 1 and 'Array "Two" must be one-dimensional of length 4.' in err)


def clipboard(desktop, tressaly, probe, checks):
    probe.drain()
    status, values, err = desktop.run_script(tressaly, "got = GetClipboardText()\nSetClipboardText('from script')\nSleep(3)\n")
    checks.equal("clipboard: exit status", (status, err), (0, ""))
    checks.equal("clipboard read from the probe", values.get("got"), "●from probe●")
    try:
        probe.expect("clipboard from script")
    except AssertionError as e:
        checks.failures.append(f"clipboard written for the probe: {e}")


def controls(desktop, tressaly, probe, checks):
    probe.drain()
    status, values, err = desktop.run_script(tressaly, """h = FindWindow('TressalyProbe')
button = FindWindow('TressalyProbe/"Apply"push button')
edit = FindWindow('"Name"text', h)
box = FindWindow('TressalyProbe/filler/check box')
lb = FindWindow('TressalyProbe/list')
nothing = FindWindow('TressalyProbe/"Cancel"push button')
buttonText = GetWindowText(button)
set = SetWindowText(edit, 'set by script')
editText = GetWindowText(edit)
editLength = SendMessage(edit, WM_GETTEXTLENGTH)
SendMessage(button, BM_CLICK)
check0 = SendMessage(box, BM_GETCHECK)
SendMessage(box, BM_SETCHECK, BST_CHECKED)
check1 = SendMessage(box, BM_GETCHECK)
count = SendMessage(lb, LB_GETCOUNT)
betaLength = SendMessage(lb, LB_GETTEXTLEN, 1)
SendMessage(lb, LB_SETCURSEL, 2)
Sleep(0.2)
current = SendMessage(lb, LB_GETCURSEL)
SendMessage(edit, EM_SETSEL, 0, -1)
SendMessage(edit, WM_CHAR, 122)
buttonRect = GetWindowRect(button)
combo = FindWindow('TressalyProbe/combo box')
comboCount = SendMessage(combo, CB_GETCOUNT)
comboBefore = SendMessage(combo, CB_GETCURSEL)
SendMessage(combo, CB_SETCURSEL, 2)
Sleep(0.3)
comboAfter = SendMessage(combo, CB_GETCURSEL)
comboText = GetWindowText(combo)
SetClipboardText('pasted')
SendMessage(edit, EM_SETSEL, 0, -1)
SendMessage(edit, WM_PASTE)
Sleep(3)
""")
    checks.equal("controls: exit status", (status, err), (0, ""))
    for name in ("button", "edit", "box", "lb"):
        checks.true(f"control {name} found: {values.get(name)}", int(values.get(name, "0")) >= 0x60000000)
    expected = {"nothing": "0", "buttonText": "●Apply●", "set": "1", "editText": "●set by script●",
                "editLength": "13", "check0": "0", "check1": "1", "count": "3", "betaLength": "4", "current": "2",
                "comboCount": "4", "comboBefore": "0", "comboAfter": "2", "comboText": "●blue●"}
    for name, value in expected.items():
        checks.equal(f"controls: {name}", values.get(name, "").strip(), value)
    bx, by, bw, bh = probe.layout["button"]
    rect = numbers(values.get("buttonRect[]", ""))
    checks.true(f"button rectangle {rect} has the button's height {bh}", len(rect) == 4 and rect[3] == bh)
    missing = probe.expect_all(["edit set by script", "button Apply", "check 1", "edit z", "combo 2", "edit pasted"])
    checks.equal("controls: reports the probe never gave", missing, [])


def menus(desktop, tressaly, probe, checks):
    probe.drain()
    script = """h = FindWindow('TressalyProbe')
m = GetWindowMenuHandle(h)
items = GetWindowMenuItems(m)
wrap = GetWindowMenuItemID(m, 'Wrap')
open = GetWindowMenuItemID(m, 'Open')
none = GetWindowMenuItemID(m, 'Print')
state0 = MenuItemGetState(m, wrap)
MenuItemExecute(h, wrap)
Sleep(0.3)
state1 = MenuItemGetState(m, wrap)
MenuItemExecute(h, open)
noMenu = MenuItemGetState(0, wrap)
SendMessage(h, WM_COMMAND, wrap)
Sleep(0.3)
state2 = MenuItemGetState(m, wrap)
"""
    status, values, err = desktop.run_script(tressaly, script)
    checks.equal("menus: exit status", (status, err), (0, ""))
    checks.equal("menu listing", values.get("items"),
                 "●\\r 0|0 - File\\r 1|    0 - Open\\r 1|    1 - Options\\r 2|        0 - Wrap lines\\r 1|    2 - Exit●")
    for name, value in {"none": "0", "state0": "8", "state1": "0", "noMenu": "-1", "state2": "8"}.items():
        checks.equal(f"menus: {name}", values.get(name, "").strip(), value)
    checks.true("identifiers of items differ and are not 0",
                values.get("wrap", "0").strip() not in ("0", values.get("open", "0").strip()))
    checks.equal("menus: reports the probe never gave", probe.expect_all(["wrap 0", "action Open", "wrap 1"]), [])
    # The identifiers stay the same in the next run; an item that opens a submenu has none.
    again_status, again, _ = desktop.run_script(tressaly, script)
    checks.equal("identifiers are stable", again.get("wrap"), values.get("wrap"))
    status, values, err = desktop.run_script(tressaly, "m = GetWindowMenuHandle(FindWindow('TressalyProbe'))\nid = GetWindowMenuItemID(m, 'Options')\n")
    checks.true(f"a submenu's item has no identifier: {err!r}", status == 1 and "opens a submenu" in err)


def inspector(desktop, tressaly, inspect, probe, checks):
    """The inspector window's view of the point over the button: a path that leads FindWindow
    back to it, its class, title, actions, the window's menu tree, and the FindWindow line it
    writes into the editor."""
    status, values, err = desktop.run_script(tressaly, "c = GetWindowClientRect(FindWindow('TressalyProbe'))\n")
    client = numbers(values.get("c[]", ""))
    bx, by, bw, bh = probe.layout["button"]
    point = [str(int(client[0]) + bx + 5), str(int(client[1]) + by + bh // 2)]
    done = subprocess.run([inspect, *point], env=desktop.env, capture_output=True, text=True, timeout=30)
    seen = dict(line.split("\t", 1) for line in done.stdout.splitlines() if "\t" in line)
    checks.equal("inspector: exit status", done.returncode, 0)
    checks.equal("inspector: class, title, actions",
                 (seen.get("class"), seen.get("title"), seen.get("actions")), ("push button", "Apply", "Press,SetFocus"))
    checks.true(f"inspector: the menu tree {seen.get('menu')!r}", "\\r 2|        0 - Wrap lines" in seen.get("menu", ""))
    path = seen.get("path", "")
    checks.true(f"inspector: a short path {path!r}", path.startswith("TressalyProbe/") and path.count("/") <= 2)
    checks.equal("inspector: the line written into the editor", seen.get("editor"),
                 f"h = FindWindow('{path}')\\nfirst line\\n")
    status, values, err = desktop.run_script(tressaly, f"b = FindWindow('{path}')\nt = GetWindowText(b)\n")
    checks.equal("inspector: the path leads back to the button", (status, values.get("t")), (0, "●Apply●"))


def close(desktop, tressaly, probe, checks):
    status, values, err = desktop.run_script(tressaly, "h = FindWindow('TressalyProbe')\nr = SendMessage(h, WM_CLOSE)\n")
    checks.equal("WM_CLOSE: exit status", (status, err), (0, ""))
    deadline = time.time() + 5
    while probe.process.poll() is None and time.time() < deadline:
        time.sleep(0.05)
    checks.true("WM_CLOSE ends the probe", probe.process.poll() is not None)


def xterm(desktop, tressaly, inspect, checks):
    """A real program of the desktop: xterm's window by class and title, its title, and a
    command typed into it; the inspector over its text names the window (the inner X window
    has no class or title a path could use)."""
    with tempfile.TemporaryDirectory(prefix="tressaly-xterm-") as folder:
        target = os.path.join(folder, "typed.txt")
        term = subprocess.Popen(["xterm", "-T", "Tressaly XTerm", "-e", "/bin/sh"], env=desktop.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            status, values, err = desktop.run_script(tressaly, f"""Sleep(1)
h = FindWindow('"*XTerm"XTerm')
title = GetWindowText(h)
posted = PostMessage(h, WM_CHAR, 'echo typed into xterm > {target}')
SendHotKey(h, 0, VK_RETURN)
""")
            checks.equal("xterm: exit status", (status, err), (0, ""))
            checks.equal("xterm: title", values.get("title"), "●Tressaly XTerm●")
            checks.equal("xterm: posted", values.get("posted"), "<true>")
            deadline = time.time() + 5
            while not os.path.exists(target) and time.time() < deadline:
                time.sleep(0.05)
            text = open(target).read() if os.path.exists(target) else None
            checks.equal("xterm: the typed command ran", text, "typed into xterm\n")
            status, values, err = desktop.run_script(tressaly, "r = GetWindowClientRect(FindWindow('\"*XTerm\"XTerm'))\n")
            client = numbers(values.get("r[]", ""))
            point = [str(int(client[0] + client[2] // 2)), str(int(client[1] + client[3] // 2))]
            done = subprocess.run([inspect, *point], env=desktop.env, capture_output=True, text=True, timeout=30)
            seen = dict(line.split("\t", 1) for line in done.stdout.splitlines() if "\t" in line)
            checks.equal("xterm: the inspector's path and title", (seen.get("path"), seen.get("title")),
                         ("XTerm", "Tressaly XTerm"))
        finally:
            term.kill()
            term.wait()


def main():
    tressaly, probe_program, inspect = sys.argv[1], sys.argv[2], sys.argv[3]
    require("Xvfb", "openbox", "xprop", "dbus-run-session", "xterm")
    checks = Checks()
    with Desktop() as desktop:
        probe = desktop.start_probe(probe_program)
        for group in (find_windows, place_and_title, keys, mouse, clipboard, controls, menus):
            group(desktop, tressaly, probe, checks)
        inspector(desktop, tressaly, inspect, probe, checks)
        close(desktop, tressaly, probe, checks)
        xterm(desktop, tressaly, inspect, checks)
    checks.finish()


main()
