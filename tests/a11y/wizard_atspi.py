"""Walks the wizard's custom route through the AT-SPI tree, as a screen reader would: on every
page the buttons, options and check boxes are found by role and name, and the route is taken
through their actions alone. Exits 0 when all is found, 1 with the faults otherwise."""

import signal
import subprocess
import sys
import time

import pyatspi

BUTTON, OPTION, CHECK = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX
ROLE_NAMES = {BUTTON: "button", OPTION: "option", CHECK: "check box"}
NEXT = (BUTTON, "Next", "Press")
NAV = [(BUTTON, "Next"), (BUTTON, "Back"), (BUTTON, "Help")]
faults = []


def wait_for(what, probe, seconds=20):
    """Asks probe() until it gives something true; the tree changes as the program gets to it."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # an object went away while it was read: ask again
            found = None
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit(f"FAILED: {what} did not appear within {seconds} s")


def wizard():
    for app in filter(None, pyatspi.Registry.getDesktop(0)):
        for frame in filter(None, app):
            if frame.name.startswith("Kestrovia VexoGAUGE 2002 Edition") \
                    and frame.getState().contains(pyatspi.STATE_SHOWING):
                return frame
    return None


def shown(node, controls=None):
    """The controls shown now: (role, name) -> object."""
    controls = {} if controls is None else controls
    for child in filter(None, node):
        if child.getState().contains(pyatspi.STATE_SHOWING):
            if child.getRole() in ROLE_NAMES:
                controls[(child.getRole(), child.name)] = child
            shown(child, controls)
    return controls


def page(frame, title, wanted, actions=()):
    """Waits until every (role, name) wanted is shown, noting the missing ones; then does each
    (role, name, action) of actions through the control's own action."""
    try:
        controls = wait_for(title, lambda: (lambda c: c if all(w in c for w in wanted) else None)(
            shown(frame)), seconds=10)
    except SystemExit:
        controls = shown(frame)
        faults.extend(f"{title}: no {ROLE_NAMES[role]} named {name!r}" for role, name in wanted
                      if (role, name) not in controls)
    for role, name, action in actions:
        element = controls.get((role, name))
        names = [] if element is None else [element.queryAction().getName(i)
                                            for i in range(element.queryAction().nActions)]
        if action not in names:
            faults.append(f"{title}: {name!r} has the actions {names}, not {action!r}")
        else:
            element.queryAction().doAction(names.index(action))


def checked(frame, role, name):
    element = shown(frame).get((role, name))
    return element is not None and element.getState().contains(pyatspi.STATE_CHECKED)


def main():
    program = subprocess.Popen([sys.argv[1]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        frame = wait_for("the wizard window", wizard, seconds=30)
        page(frame, "welcome", [(BUTTON, "Next"), (BUTTON, "Help")], [NEXT])
        options = ["Perform a New Custom Benchmark", "Perform a New Complete Benchmark",
                   "Load an old/saved benchmark and compare it to other computers",
                   "Open the result browser", "Visit the VexoGAUGE 2002 Homepage"]
        page(frame, "main menu", NAV + [(OPTION, o) for o in options])
        if not checked(frame, OPTION, options[0]):
            faults.append("main menu: the first option is not announced as checked")
        page(frame, "main menu", [], [NEXT])
        groups = ["Software Benchmark Options", "Hardware Benchmark Options"]
        page(frame, "groups", [(CHECK, g) for g in groups], [(CHECK, g, "Toggle") for g in groups])
        wait_for("the hardware group checked", lambda: checked(frame, CHECK, groups[1]), 5)
        page(frame, "groups, chosen", NAV, [NEXT])
        hardware = ["CPU Benchmark (Central Proccessing Unit)", "FPU Benchmark (Floating Point Unit)",
                    "Direct3D Benchmark (Requires DirectX7 or Higher)"]
        page(frame, "hardware", [(CHECK, h) for h in hardware],
             [(CHECK, hardware[0], "Toggle"), (CHECK, hardware[2], "Toggle")])
        page(frame, "hardware, chosen", NAV, [NEXT])
        software = ["Spreadsheet Application Benchmark (Emulation)",
                    "Business Application Benchmark (Emulation)",
                    "Imaging Application Benchmark (Emulation)"]
        page(frame, "software", [(CHECK, s) for s in software], [(CHECK, software[1], "Toggle")])
        page(frame, "software, chosen", NAV, [NEXT])
        arrows = [f"{side} {row}" for row in ("screen resolution", "colour depth", "texture quality")
                  for side in ("Previous", "Next")]
        page(frame, "Direct3D", NAV + [(BUTTON, a) for a in arrows], [NEXT])
        page(frame, "system information", NAV, [NEXT])
        tools = ["ATM (Advanced Task Manager)", "DirectX Diagnostics",
                 "Microsoft \u00ae Windows System Infomation"]
        page(frame, "tool box", NAV + [(BUTTON, t) for t in tools], [NEXT])
        page(frame, "ready", [(BUTTON, "Finish"), (BUTTON, "Back"), (BUTTON, "Help")])
    finally:
        program.send_signal(signal.SIGKILL)
        program.wait()
    for fault in faults:
        print("FAILED:", fault, file=sys.stderr)
    return 1 if faults else 0


sys.exit(main())
