"""Walks the wizard's custom route through the AT-SPI tree, as a screen reader would: on every
page the buttons, options and check boxes are found by role and name, and the route is taken
through their actions alone. Exits 0 when all is found, 1 with the faults otherwise."""

import signal
import subprocess
import sys
import time

import pyatspi

PROGRAM = sys.argv[1]
BUTTON, OPTION, CHECK = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX
ROLE_NAMES = {BUTTON: "button", OPTION: "option", CHECK: "check box"}
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
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for frame in app:
            if frame is not None and frame.name.startswith("Kestrovia VexoGAUGE 2002 Edition") \
                    and frame.getState().contains(pyatspi.STATE_SHOWING):
                return frame
    return None


def shown(frame):
    """The controls shown now: (role, name) -> object."""
    controls = {}

    def visit(node):
        for child in node:
            if child is None:
                continue
            state = child.getState()
            if not state.contains(pyatspi.STATE_SHOWING):
                continue
            if child.getRole() in ROLE_NAMES:
                controls[(child.getRole(), child.name)] = child
            visit(child)

    visit(frame)
    return controls


def expect_page(frame, title, wanted):
    """Waits until every (role, name) wanted is shown; notes the missing ones."""
    try:
        return wait_for(title, lambda: (lambda c: c if all(w in c for w in wanted) else None)(
            shown(frame)), seconds=10)
    except SystemExit:
        controls = shown(frame)
        for role, name in wanted:
            if (role, name) not in controls:
                faults.append(f"{title}: no {ROLE_NAMES[role]} named {name!r}")
        return controls


def act(controls, role, name, action):
    element = controls.get((role, name))
    if element is None:
        faults.append(f"cannot {action} {name!r}: not found")
        return
    actions = element.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        faults.append(f"{name!r} has the actions {names}, not {action!r}")
        return
    actions.doAction(names.index(action))


def checked(frame, role, name):
    element = shown(frame).get((role, name))
    return element is not None and element.getState().contains(pyatspi.STATE_CHECKED)


def main():
    program = subprocess.Popen([PROGRAM], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        frame = wait_for("the wizard window", wizard, seconds=30)
        nav = [(BUTTON, "Next"), (BUTTON, "Back"), (BUTTON, "Help")]
        c = expect_page(frame, "welcome", [(BUTTON, "Next"), (BUTTON, "Help")])
        act(c, BUTTON, "Next", "Press")
        options = ["Perform a New Custom Benchmark", "Perform a New Complete Benchmark",
                   "Load an old/saved benchmark and compare it to other computers",
                   "Open the result browser", "Visit the VexoGAUGE 2002 Homepage"]
        c = expect_page(frame, "main menu", nav + [(OPTION, o) for o in options])
        if not checked(frame, OPTION, options[0]):
            faults.append("main menu: the first option is not announced as checked")
        act(c, BUTTON, "Next", "Press")
        groups = ["Software Benchmark Options", "Hardware Benchmark Options"]
        c = expect_page(frame, "groups", [(CHECK, g) for g in groups])
        for group in groups:
            act(c, CHECK, group, "Toggle")
        wait_for("the hardware group checked", lambda: checked(frame, CHECK, groups[1]), 5)
        c = expect_page(frame, "groups, chosen", nav)
        act(c, BUTTON, "Next", "Press")
        hardware = ["CPU Benchmark (Central Proccessing Unit)", "FPU Benchmark (Floating Point Unit)",
                    "Direct3D Benchmark (Requires DirectX7 or Higher)"]
        c = expect_page(frame, "hardware", [(CHECK, h) for h in hardware])
        act(c, CHECK, hardware[0], "Toggle")
        act(c, CHECK, hardware[2], "Toggle")
        c = expect_page(frame, "hardware, chosen", nav)
        act(c, BUTTON, "Next", "Press")
        software = ["Spreadsheet Application Benchmark (Emulation)",
                    "Business Application Benchmark (Emulation)",
                    "Imaging Application Benchmark (Emulation)"]
        c = expect_page(frame, "software", [(CHECK, s) for s in software])
        act(c, CHECK, software[1], "Toggle")
        c = expect_page(frame, "software, chosen", nav)
        act(c, BUTTON, "Next", "Press")
        arrows = [f"{side} {row}" for row in ("screen resolution", "colour depth", "texture quality")
                  for side in ("Previous", "Next")]
        c = expect_page(frame, "Direct3D", nav + [(BUTTON, a) for a in arrows])
        act(c, BUTTON, "Next", "Press")
        c = expect_page(frame, "system information", nav + [(BUTTON, "Back")])
        act(c, BUTTON, "Next", "Press")
        tools = ["ATM (Advanced Task Manager)", "DirectX Diagnostics",
                 "Microsoft \u00ae Windows System Infomation"]
        c = expect_page(frame, "tool box", nav + [(BUTTON, t) for t in tools])
        act(c, BUTTON, "Next", "Press")
        expect_page(frame, "ready", [(BUTTON, "Finish"), (BUTTON, "Back"), (BUTTON, "Help")])
    finally:
        program.send_signal(signal.SIGKILL)
        program.wait()
    for fault in faults:
        print("FAILED:", fault, file=sys.stderr)
    return 1 if faults else 0


sys.exit(main())
