"""Walks the program's windows through the AT-SPI tree, as a screen reader would: the wizard's
custom route through its controls' own actions, help on the way, a run of the Direct3D benchmark
(its window closed at once) to the score card and the result browser; then the browser opened on
a file, and its exit question over the person's settings. Prints what the windows say; exits 0
when all is found, 1 with the faults otherwise."""

import os
import signal
import subprocess
import sys
import time

import pyatspi

BUTTON, OPTION, CHECK = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX
LABEL, LINK, TABLE = pyatspi.ROLE_LABEL, pyatspi.ROLE_LINK, pyatspi.ROLE_TABLE
NEXT = (BUTTON, "Next", "Press")
NAV = [(BUTTON, "Next"), (BUTTON, "Back"), (BUTTON, "Help")]
WIZARD, BROWSER = "Kestrovia VexoGAUGE 2002 Edition", "VexoGAUGE 2002 Edition Result Browser"
HELP, TUNNEL = WIZARD + " Online Help", "VexoGAUGE 2002 Direct3D Benchmark"
SETTINGS = os.path.expanduser("~/.config/vexogauge/VexoGAUGE 2002.ini")
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


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def window(prefix):
    """The shown top-level window (frame or dialog) whose name starts with prefix."""
    return next((top for app in filter(None, pyatspi.Registry.getDesktop(0))
                 for top in filter(None, app) if top.name.startswith(prefix) and showing(top)),
                None)


def found(node, role):
    """The shown descendants of a role, in reading order (tables are not read cell by cell)."""
    out = []
    for child in filter(lambda c: c is not None and showing(c), node):
        out += [child] if child.getRole() == role else []
        out += found(child, role) if child.getRole() != TABLE else []
    return out


def named(node, roles=(BUTTON, OPTION, CHECK, LINK)):
    return {(role, c.name): c for role in roles for c in found(node, role)}


def actions(element):
    try:
        action = element.queryAction()
        return [action.getName(i) for i in range(action.nActions)]
    except (NotImplementedError, AttributeError):
        return []


def act(where, element, name, action="Press"):
    if action not in actions(element):
        faults.append(f"{where}: {name!r} has the actions {actions(element)}, not {action!r}")
    else:
        element.queryAction().doAction(actions(element).index(action))


def page(frame, title, wanted, steps=()):
    """Waits until every (role, name) wanted is shown, noting the missing ones; then does each
    (role, name, action) of steps through the control's own action."""
    try:
        controls = wait_for(title, lambda: (lambda c: c if all(w in c for w in wanted) else None)(
            named(frame)), seconds=10)
    except SystemExit:
        controls = named(frame)
        faults.extend(f"{title}: no {w[1]!r}" for w in wanted if w not in controls)
    for role, name, action in steps:
        act(title, controls.get((role, name)), name, action)


def answer(title, button):
    """Presses a button of the message box with that title once it is shown; what it said."""
    box = wait_for(f"the box {title!r}", lambda: window(title), seconds=15)
    print(f"box {title!r}: {[label.name for label in found(box, LABEL)]}")
    act(title, wait_for(button, lambda: named(box).get((BUTTON, button))), button)


def checked(frame, role, name):
    element = named(frame).get((role, name))
    return element is not None and element.getState().contains(pyatspi.STATE_CHECKED)


def labels(frame):
    return [label.name for label in found(frame, LABEL) if label.name]


def expect(what, condition, shown):
    print(f"{what}: {shown!r}")
    if not condition:
        faults.append(f"{what}: {shown!r}")


def start(*arguments, env=None):
    return subprocess.Popen(list(arguments), env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def wizard_route(program_path):
    # Only the terminals that cannot start are found.
    program = start(program_path, env=dict(os.environ, PATH=os.environ["VEXO_TOOLS"]))
    try:
        frame = wait_for("the wizard window", lambda: window(WIZARD), seconds=30)
        expect("the wizard's role", frame.getRole() == pyatspi.ROLE_FRAME, frame.getRoleName())
        page(frame, "welcome", [(BUTTON, "Next"), (BUTTON, "Help")], [(BUTTON, "Help", "Press")])
        viewer = wait_for("the help viewer", lambda: window(HELP))
        documents = [n.getRoleName() for n in found(viewer, LABEL)
                     if n.name == "The benchmarking Wzzard"]
        expect("the help document named by its topic", documents, documents)
        subprocess.run(["wmctrl", "-c", HELP], check=False)
        options = ["Perform a New Custom Benchmark", "Perform a New Complete Benchmark",
                   "Load an old/saved benchmark and compare it to other computers",
                   "Open the result browser", "Visit the VexoGAUGE 2002 Homepage"]
        links = [(LINK, "support@kestrovia.example"), (LINK, "kestrovia.example")]
        page(frame, "welcome", links, [(LINK, "kestrovia.example", "Press")])
        answer("Sorry", "OK")  # no web browser can start
        page(frame, "welcome", NAV[::2], [NEXT])
        page(frame, "main menu", NAV + [(OPTION, o) for o in options])
        expect("the first option checked", checked(frame, OPTION, options[0]), options[0])
        page(frame, "main menu", [], [NEXT])
        groups = ["Software Benchmark Options", "Hardware Benchmark Options"]
        page(frame, "groups", [(CHECK, g) for g in groups], [(CHECK, groups[1], "Toggle")])
        wait_for("the hardware group checked", lambda: checked(frame, CHECK, groups[1]), 5)
        page(frame, "groups, chosen", NAV, [NEXT])
        hardware = ["CPU Benchmark (Central Proccessing Unit)", "FPU Benchmark (Floating Point Unit)",
                    "Direct3D Benchmark (Requires DirectX7 or Higher)"]
        page(frame, "hardware", [(CHECK, h) for h in hardware], [(CHECK, hardware[2], "Toggle")])
        page(frame, "hardware, chosen", NAV, [NEXT])
        arrows = [f"{side} {row}" for row in ("screen resolution", "colour depth", "texture quality")
                  for side in ("Previous", "Next")]
        page(frame, "Direct3D", NAV + [(BUTTON, a) for a in arrows], [NEXT])
        system = wait_for("the system page", lambda: [
            name for name in labels(frame) if name.startswith("CPU Type: ")], seconds=10)[0]
        expect("the system page, each name with its value", "\nGraphics Card: " in system, system)
        tools = ["ATM (Advanced Task Manager)", "DirectX Diagnostics",
                 "Microsoft \u00ae Windows System Infomation"]
        page(frame, "system information", NAV, [NEXT])
        page(frame, "tool box", NAV + [(BUTTON, t) for t in tools], [(BUTTON, tools[1], "Press")])
        answer("Sorry", "OK")  # no terminal could start
        page(frame, "tool box", NAV, [NEXT])
        page(frame, "ready", [(BUTTON, "Finish")], [(BUTTON, "Finish", "Press")])
        # The run measures on the window's thread, where tools wait; its tunnel is closed at once.
        wait_for("the tunnel", lambda: TUNNEL in subprocess.run(
            ["wmctrl", "-l"], capture_output=True, text=True).stdout, seconds=90)
        subprocess.run(["wmctrl", "-c", TUNNEL], check=False)
        answer("VexoGAUGE_2002", "OK")  # why Direct3D has no score
        page(frame, "after the run", [(BUTTON, "Next")])
        groups = [image.name for image in found(frame, pyatspi.ROLE_IMAGE) if ":" in image.name]
        expect("the run page's groups", len(groups) == 6 and all(
            g.endswith((": done", ": not run", ": to run")) for g in groups), groups)
        bars = [(bar.name, actions(bar)) for bar in found(frame, pyatspi.ROLE_PROGRESS_BAR)]
        expect("the run's progress", len(bars) == 1 and bars[0][0].startswith("Phases done: ")
               and not bars[0][1], bars)
        page(frame, "after the run", [], [NEXT])
        expect("the score card", True, wait_for("the score card", lambda: (lambda n: n if any(
            x.startswith("Your Benchmark Score Card") for x in n) else None)(labels(frame))))
        page(frame, "score card", [(BUTTON, "Finish")], [(BUTTON, "Finish", "Press")])
        browser = wait_for("the result browser", lambda: window(BROWSER), seconds=15)
        act("browser", named(browser, [LINK]).get((LINK, "Compare Platform Tasks")), "tasks")
        tasks = wait_for("the Tasks list", lambda: named(browser, [TABLE]).get((TABLE, "Tasks")))
        headers = [cell.name for cell in filter(None, tasks)
                   if cell.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER]
        expect(f"{browser.name}, its Tasks list's headers",
               len(headers) == 41 and "" not in headers, headers)
    finally:
        program.send_signal(signal.SIGKILL)
        program.wait()


def browser_and_exit_question(program_path, benchmark_file):
    """The browser opened on a file, as a file manager opens it; the exit question answered No
    leaves the person's settings as they were, byte for byte."""
    with open(SETTINGS, "rb") as settings:
        before = settings.read()
    program = start(program_path, "--browser", benchmark_file)
    try:
        wait_for("the result browser", lambda: window(BROWSER), seconds=30)
        answer("Success", "OK")
        browser = window(BROWSER)
        act("browser", named(browser, [LINK]).get((LINK, "Compare Benchmark Scores")), "scores")
        chart = wait_for("the scores chart", lambda: [
            t for t in found(browser, TABLE) if t.name.startswith("Scores chart")], 10)[0]
        cells = chart.queryTable()
        expect(chart.name, chart.name == "Scores chart: CPU / Cache / FSB", [
            [cells.getAccessibleAt(r, c).name for c in range(2)] for r in range(cells.nRows)])
        subprocess.run(["wmctrl", "-c", browser.name], check=False)
        question = wait_for("the exit question", lambda: window("Close VexoGAUGE 2002 Edition?"))
        with open(SETTINGS, "rb") as settings:
            asked = settings.read()
        answer(question.name, "No")
        time.sleep(1)
        with open(SETTINGS, "rb") as settings:
            after = settings.read()
        expect("the settings after the exit question", asked == before == after, after)
        expect("the browser after No", window(BROWSER) is not None, BROWSER)
    finally:
        program.send_signal(signal.SIGKILL)
        program.wait()


try:
    wizard_route(sys.argv[1])
    browser_and_exit_question(sys.argv[1], sys.argv[2])
finally:
    for fault in faults:
        print("FAILED:", fault, file=sys.stderr)
sys.exit(1 if faults else 0)
