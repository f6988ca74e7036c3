"""Walks the program's windows through the AT-SPI tree, as a screen reader would: on every page of
the wizard's custom route the buttons, options and check boxes are found by role and name and the
route is taken through their actions alone, to a run of the Direct3D benchmark (its window closed
at once) and its score card; then the result browser, and its exit question over the person's
settings. Prints what the score card and the browser say; exits 0 when all is found, 1 with the
faults otherwise."""

import os
import signal
import subprocess
import sys
import time

import pyatspi

BUTTON, OPTION, CHECK = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX
ROLE_NAMES = {BUTTON: "button", OPTION: "option", CHECK: "check box"}
NEXT = (BUTTON, "Next", "Press")
NAV = [(BUTTON, "Next"), (BUTTON, "Back"), (BUTTON, "Help")]
WIZARD, BROWSER = "Kestrovia VexoGAUGE 2002 Edition", "VexoGAUGE 2002 Edition Result Browser"
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
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)


def window(prefix):
    """The shown top-level window (frame or dialog) whose name starts with prefix."""
    for app in filter(None, pyatspi.Registry.getDesktop(0)):
        for top in filter(None, app):
            if top.name.startswith(prefix) and showing(top):
                return top
    return None


def found(node, role, into=None):
    """The shown descendants of a role, in reading order (tables are not read cell by cell)."""
    into = [] if into is None else into
    for child in filter(None, node):
        if showing(child):
            if child.getRole() == role:
                into.append(child)
            if child.getRole() != pyatspi.ROLE_TABLE:
                found(child, role, into)
    return into


def shown(node, controls=None):
    """The controls shown now: (role, name) -> object."""
    controls = {} if controls is None else controls
    for role in ROLE_NAMES:
        for control in found(node, role):
            controls[(role, control.name)] = control
    return controls


def actions(element):
    try:
        action = element.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def act(title, element, name, action):
    names = [] if element is None else actions(element)
    if action not in names:
        faults.append(f"{title}: {name!r} has the actions {names}, not {action!r}")
    else:
        element.queryAction().doAction(names.index(action))


def page(frame, title, wanted, steps=()):
    """Waits until every (role, name) wanted is shown, noting the missing ones; then does each
    (role, name, action) of steps through the control's own action."""
    try:
        controls = wait_for(title, lambda: (lambda c: c if all(w in c for w in wanted) else None)(
            shown(frame)), seconds=10)
    except SystemExit:
        controls = shown(frame)
        faults.extend(f"{title}: no {ROLE_NAMES[role]} named {name!r}" for role, name in wanted
                      if (role, name) not in controls)
    for role, name, action in steps:
        act(title, controls.get((role, name)), name, action)


def answer(title, button):
    """Presses a button of the message box with that title, once it is shown."""
    box = wait_for(f"the box {title!r}", lambda: window(title), seconds=15)
    said = [label.name for label in found(box, pyatspi.ROLE_LABEL) if label.name]
    print(f"box {title!r}: {said}")
    act(title, wait_for(f"{button} in {title!r}", lambda: shown(box).get((BUTTON, button))),
        button, "Press")
    return said


def checked(frame, role, name):
    element = shown(frame).get((role, name))
    return element is not None and element.getState().contains(pyatspi.STATE_CHECKED)


def labels(frame):
    return [label.name for label in found(frame, pyatspi.ROLE_LABEL) if label.name]


def wizard_route(program_path):
    env = dict(os.environ, PATH=os.environ["VEXO_TOOLS"])  # only the terminals that fail
    program = subprocess.Popen([program_path], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        frame = wait_for("the wizard window", lambda: window(WIZARD), seconds=30)
        if frame.getRole() != pyatspi.ROLE_FRAME:
            faults.append(f"the wizard is a {frame.getRoleName()!r}, not a frame")
        page(frame, "welcome", [(BUTTON, "Next"), (BUTTON, "Help")], [(BUTTON, "Help", "Press")])
        read_help()
        page(frame, "welcome", [(BUTTON, "Next"), (BUTTON, "Help")], [NEXT])
        options = ["Perform a New Custom Benchmark", "Perform a New Complete Benchmark",
                   "Load an old/saved benchmark and compare it to other computers",
                   "Open the result browser", "Visit the VexoGAUGE 2002 Homepage"]
        page(frame, "main menu", NAV + [(OPTION, o) for o in options])
        if not checked(frame, OPTION, options[0]):
            faults.append("main menu: the first option is not announced as checked")
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
        # Each name of the system page is read with its value.
        try:
            system = wait_for("the system page's names with their values", lambda: [
                name for name in labels(frame) if name.startswith("CPU Type: ")], seconds=10)[0]
            print(f"system page: {system!r}")
            if "\nGraphics Card: " not in system:
                faults.append(f"system page: the graphics card is not named with its value")
        except SystemExit as missing:
            faults.append(f"system page: {missing}; labels {labels(frame)}")
        page(frame, "system information", NAV, [NEXT])
        tools = ["ATM (Advanced Task Manager)", "DirectX Diagnostics",
                 "Microsoft \u00ae Windows System Infomation"]
        page(frame, "tool box", NAV + [(BUTTON, t) for t in tools],
             [(BUTTON, "DirectX Diagnostics", "Press")])
        try:
            answer("Sorry", "OK")
        except SystemExit as missing:
            faults.append(f"tool box: no terminal could start, and {missing}")
        page(frame, "tool box", NAV, [NEXT])
        page(frame, "ready", [(BUTTON, "Finish"), (BUTTON, "Back"), (BUTTON, "Help")],
             [(BUTTON, "Finish", "Press")])
        run_page(frame)
        try:
            score_card = wait_for("the score card", lambda: (lambda n: n if any(
                x.startswith("Your Benchmark Score Card") for x in n) else None)(labels(frame)))
        except SystemExit:
            print(f"shown instead: {labels(frame)}")
            raise
        print(f"score card: {score_card}")
        page(frame, "score card", [(BUTTON, "Finish"), (BUTTON, "Help")],
             [(BUTTON, "Finish", "Press")])
        browser = wait_for("the result browser", lambda: window(BROWSER), seconds=15)
        read_browser(browser)
    finally:
        program.send_signal(signal.SIGKILL)
        program.wait()


def read_help():
    """The help viewer's document is named by its topic; closing help brings the wizard back."""
    title = "Kestrovia VexoGAUGE 2002 Edition Online Help"
    viewer = wait_for("the help viewer", lambda: window(title))
    topic = "The benchmarking Wzzard"
    named = [n.getRoleName() for n in found(viewer, pyatspi.ROLE_LABEL) if n.name == topic]
    print(f"help viewer: the document, a {named}, is named {topic!r}")
    if not named:
        faults.append(f"help viewer: no document named {topic!r}")
    subprocess.run(["wmctrl", "-c", title], check=False)
    wait_for("the wizard back", lambda: window(WIZARD) is not None and window(title) is None)


def run_page(frame):
    """The run measures on the window's own thread (a tool's questions wait meanwhile): the
    tunnel's window is closed once it is up, which ends the Direct3D benchmark without a score;
    then the run page tells which groups ran, and its progress."""
    tunnel = "VexoGAUGE 2002 Direct3D Benchmark"
    wait_for("the tunnel's window", lambda: tunnel in subprocess.run(
        ["wmctrl", "-l"], capture_output=True, text=True).stdout, seconds=90)
    subprocess.run(["wmctrl", "-c", tunnel], check=False)
    answer("VexoGAUGE_2002", "OK")  # the run says why Direct3D has no score
    page(frame, "after the run", [(BUTTON, "Next")])
    pictures = [image.name for image in found(frame, pyatspi.ROLE_IMAGE) if ": " in image.name]
    print(f"run page: {pictures}")
    if len(pictures) != 6 or not all(name.endswith((": done", ": not run", ": to run"))
                                     for name in pictures):
        faults.append(f"run page: the group pictures are named {pictures}")
    bars = found(frame, pyatspi.ROLE_PROGRESS_BAR)
    print(f"run page: {[(bar.name, actions(bar)) for bar in bars]}")
    if len(bars) != 1 or not bars[0].name.startswith("Phases done: ") or actions(bars[0]):
        faults.append("run page: the progress is " + repr(
            [(b.name, actions(b)) for b in bars]) + ", not one named bar without actions")
    page(frame, "after the run", [], [NEXT])


def read_browser(browser):
    tables = {table.name: table for table in found(browser, pyatspi.ROLE_TABLE)}
    print(f"browser {browser.name!r}: tables {sorted(tables)}")
    browser_option(browser, "Compare Platform Tasks")
    tasks = wait_for("the Tasks list", lambda: {t.name: t for t in found(
        browser, pyatspi.ROLE_TABLE)}.get("Tasks"), 10)
    headers = [cell.name for cell in filter(None, tasks)
               if cell.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER]
    print(f"Tasks list: {headers[:5]} ... {headers[-1]!r} ({len(headers)} columns)")
    if "" in headers:
        faults.append(f"Tasks list: {headers.count('')} of its column headers have no name")


def browser_option(browser, name):
    links = {link.name: link for link in found(browser, pyatspi.ROLE_LINK)}
    act("browser", links.get(name), name, "Press")


def browser_and_exit_question(program_path, benchmark_file):
    """The browser opened on a file, as a file manager opens it; the exit question answered No
    leaves the person's settings as they were, byte for byte."""
    with open(SETTINGS, "rb") as settings:
        before = settings.read()
    program = subprocess.Popen([program_path, "--browser", benchmark_file],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for("the result browser", lambda: window(BROWSER), seconds=30)
        answer("Success", "OK")
        browser = window(BROWSER)
        browser_option(browser, "Compare Benchmark Scores")
        chart = wait_for("the scores chart", lambda: [t for t in found(
            browser, pyatspi.ROLE_TABLE) if t.name.startswith("Scores chart")], 10)[0]
        cells = chart.queryTable()
        rows = [[cells.getAccessibleAt(r, c).name for c in range(cells.nColumns)]
                for r in range(cells.nRows)]
        print(f"chart {chart.name!r}: {rows}")
        if chart.name != "Scores chart: CPU / Cache / FSB":
            faults.append(f"the chart does not say which score it shows: {chart.name!r}")
        subprocess.run(["wmctrl", "-c", browser.name], check=False)
        question = wait_for("the exit question", lambda: window("Close VexoGAUGE 2002 Edition?"))
        with open(SETTINGS, "rb") as settings:
            asked = settings.read()
        answer(question.name, "No")
        time.sleep(1)
        with open(SETTINGS, "rb") as settings:
            after = settings.read()
        if asked != before or after != before:
            faults.append(f"the exit question changed the settings: {before!r} -> {after!r}")
        if window(BROWSER) is None:
            faults.append("No to the exit question closed the browser")
    finally:
        program.send_signal(signal.SIGKILL)
        program.wait()


def main():
    try:
        wizard_route(sys.argv[1])
        browser_and_exit_question(sys.argv[1], sys.argv[2])
    finally:
        for fault in faults:
            print("FAILED:", fault, file=sys.stderr)
    return 1 if faults else 0


sys.exit(main())
