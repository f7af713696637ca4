"""Drives the real quillmere on its own display, buses and folders: keys by xdotool, screens read
through AT-SPI, each window photographed into QLM_SHOT_DIR."""

import contextlib
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from types import SimpleNamespace

# Age at first arrest, then the ten counts; "n" is the lower-case form of not available.
COURT = ["12", "03", "N", "1", "10", "0", "2", "n", "7", "99", "4"]
DEMO_FILE = os.path.join(os.environ["QLM_SOURCE_DIR"], "demo", "DATA401.QLM")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


class QuillmereRun:
    """first_start: no settings; read_only: a location it cannot write, as "nobody" under root."""

    def __init__(self, shot_dir, client_file=None, first_start=False, read_only=False):
        self.user = pwd.getpwnam("nobody") if read_only and os.geteuid() == 0 else None
        self.shot_dir, self._shots, self._groups, self.program = shot_dir, 0, [], None
        self._root = tempfile.mkdtemp(prefix="qlm-accept-")
        os.chmod(self._root, 0o755)  # the other account reaches the program through it
        self.program_dir = os.path.join(self._root, "program")
        self.data_dir = os.path.join(self._root, "home/.local/share/quillmere/data"
                                     if first_start else "data")
        self.client_file_path = os.path.join(self.data_dir, "DATA401.QLM")
        source = os.environ["QLM_PROGRAM_DIR"]
        # The spoken prompts are large; the settings point SndPath at the built folder.
        shutil.copytree(source, self.program_dir,
                        ignore=shutil.ignore_patterns("QLMTest", "QLMtest.ini", "report.prn"))
        if not first_start:
            os.makedirs(self.data_dir)
            with open(os.path.join(self.program_dir, "QLMtest.ini"), "w") as ini:
                ini.write(f"[Settings]\nNumLock=False\n[Path]\nFilePath={self.data_dir}\n"
                          f"SndPath={source}\n")
        if client_file:
            shutil.copyfile(client_file, self.client_file_path)
        if read_only:
            os.chmod(self.client_file_path, 0o444)
            os.chmod(self.data_dir, 0o555)
        self.env = {k: v for k, v in os.environ.items() if k in ("PATH", "LANG", "LC_ALL")}
        # A private TMPDIR keeps another quillmere's single-instance socket from answering.
        self.env.update(HOME=os.path.join(self._root, "home"), QT_QPA_PLATFORM="xcb",
                        TMPDIR=os.path.join(self._root, "tmp"), NO_AT_BRIDGE="0",
                        XDG_RUNTIME_DIR=os.path.join(self._root, "runtime"),
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        for key in ("HOME", "TMPDIR", "XDG_RUNTIME_DIR"):
            os.makedirs(self.env[key], mode=0o700, exist_ok=True)
            self.user and os.chown(self.env[key], self.user.pw_uid, self.user.pw_gid)

    def start(self):
        # Xvfb picks a free display and writes its number on its output.
        self.env["DISPLAY"] = ":" + self._server(["Xvfb", "-displayfd", "1", "-screen", "0",
                                                  "1024x768x24", "-nolisten", "tcp", "-noreset"])
        # The buses are the program's account's; root may still read the accessibility bus.
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._server(self._as_user(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"]))
        self._spawn(self._as_user(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"]))
        a11y = self.wait(lambda: self._run(self._as_user(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
             "/org/a11y/bus", "org.a11y.Bus.GetAddress"])).stdout.strip(), "the a11y bus")
        # pyatspi connects to these buses when it is imported.
        os.environ.update(DISPLAY=self.env["DISPLAY"], AT_SPI_BUS_ADDRESS=a11y,
                          DBUS_SESSION_BUS_ADDRESS=self.env["DBUS_SESSION_BUS_ADDRESS"])
        global pyatspi
        import pyatspi
        self._spawn(["openbox", "--sm-disable"])
        self.wait(lambda: "window id" in self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout, "openbox")
        self.start_program()

    def _as_user(self, args):
        return args if self.user is None else [
            "setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}",
            "--clear-groups", "--", *args]

    def _run(self, args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30)

    def _spawn(self, args, log_name="servers.log", stdout=None):
        with open(os.path.join(self.shot_dir, log_name), "ab") as log:
            # Its own process group, so that tear-down ends the process and its children.
            self._groups.append(subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL,
                                                 stdout=stdout or log, stderr=log,
                                                 start_new_session=True))
        return self._groups[-1]

    def _server(self, args):  # its address, the first line it writes
        return self._spawn(args, stdout=subprocess.PIPE).stdout.readline().decode().strip()

    def start_program(self):
        self.program = self._spawn(self._as_user(
            [os.path.join(self.program_dir, "quillmere"), "--home", self.program_dir]),
            "quillmere.log")

    def stop(self):
        for process in reversed(self._groups):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        if os.path.isdir(self.data_dir):
            os.chmod(self.data_dir, 0o755)  # so that its files can go too
        shutil.rmtree(self._root, ignore_errors=True)

    def wait(self, probe, what, timeout=15):
        deadline = time.monotonic() + timeout
        while True:
            with contextlib.suppress(Exception):  # the tree changes while it is read
                if value := probe():
                    return value
            check(self.program is None or self.program.poll() is None,
                  f"quillmere ended while waiting for {what}: see quillmere.log")
            check(time.monotonic() < deadline, f"timed out waiting for {what}")
            time.sleep(0.1)

    def exit(self):
        choose(self, "Exit Application")
        check(self.program.wait(timeout=15) == 0, "quillmere did not end with status 0")

    def windows(self):  # the active ones
        app = next(a for a in pyatspi.Registry.getDesktop(0)
                   if a.get_process_id() == self.program.pid)
        return [w for w in app if w.getState().contains(pyatspi.STATE_ACTIVE)]

    def wait_for_window(self, caption, timeout=15, named=True):
        # Its focusable controls have a name for a screen reader, but a dialog of the toolkit's.
        self.wait(lambda: any(w.name == caption for w in self.windows()),
                  f'the window "{caption}"', timeout)
        self.shot(caption)
        unnamed = [c for c in self.controls() if named and not c.name
                   and c.accessible.getState().contains(pyatspi.STATE_FOCUSABLE)]
        check(not unnamed, f'"{caption}" has controls without a name: {unnamed!r}')

    def shot(self, label):
        self._shots += 1
        subprocess.run(["import", "-window", "root", os.path.join(
            self.shot_dir, f"{self._shots:02d}-{label.replace(' ', '-')}.png")], env=self.env)

    def controls(self, name=None, role=None):  # of the active window
        found = []

        def walk(node):
            for child in filter(None, node):
                try:
                    text = child.queryText().getText(0, -1)
                except NotImplementedError:
                    text = child.name or ""
                states = child.getState()
                found.append(SimpleNamespace(
                    accessible=child, role=child.getRoleName(), name=child.name or "",
                    shown=text, enabled=states.contains(pyatspi.STATE_ENABLED),
                    focused=states.contains(pyatspi.STATE_FOCUSED)))
                walk(child)

        walk(self.windows()[0])
        return [c for c in found if name in (None, c.name) and role in (None, c.role)]

    def control(self, name=None, role=None, enabled=None):
        return self.wait(lambda: len(found := self.controls(name, role)) == 1
                         and enabled in (None, found[0].enabled) and found[0],
                         f"one control {name!r} {role!r}, enabled {enabled}")

    def wait_for_focus(self, name=None, role=None, shown=None, within=None, leaving=None):
        # A panel reports its button's focus too: the innermost, last in order, takes the keys.

        def inside(node):
            while node is not None and node != within.accessible:
                node = node.parent
            return node is not None

        def focused():
            c = [c for c in self.controls() if c.focused][-1]
            return (name in (None, c.name) and role in (None, c.role) and shown in (None, c.shown)
                    and (not within or inside(c.accessible))
                    and (not leaving or c.accessible != leaving.accessible) and c)

        return self.wait(focused, f"the focus on {name, role, shown, within} from {leaving}")

    def key(self, *keys, command="key"):  # xdotool names: Return, shift+Tab, alt+o, 5
        # The delay lets each key's focus change end before the next.
        result = self._run(["xdotool", command, "--delay", "60", *keys])
        check(result.returncode == 0, f"xdotool {command} {keys} failed: {result.stderr}")

    def type(self, text):
        self.key("--", text, command="type")

    def client_bytes(self):
        with open(self.client_file_path, "rb") as data:
            return data.read()


def run_test(body, **options):
    """Runs body(run) from the main menu of a fresh run; exits 1 with the reason on a failure."""
    shot_dir = os.path.join(os.environ["QLM_SHOT_DIR"], os.path.basename(sys.argv[0])[:-3])
    shutil.rmtree(shot_dir, ignore_errors=True)
    os.makedirs(shot_dir)
    run = QuillmereRun(shot_dir, **options)
    try:
        run.start()
        run.wait_for_window("Quillmere", 30)
        body(run)
    except AssertionError as error:
        run.shot("failure")
        sys.exit(f"FAIL: {error}")
    finally:
        run.stop()


def choose(run, caption):
    focus = run.wait_for_focus()
    for _ in range(12):
        if focus.name == caption:
            return run.key("Return")
        run.key("Tab")
        focus = run.wait_for_focus(leaving=focus)
    raise AssertionError(f'Tab never reached "{caption}"; focus is on {focus!r}')


def new_client(run, method, client=None):
    choose(run, "Add New Client")
    run.wait_for_window("Entry Method")
    choose(run, method)
    screens = [("Client Information", client), ("Court History", COURT)] if client else []
    for caption, values in screens:
        run.wait_for_window(caption)
        for typed in values:  # each field closed with Enter
            before = run.wait_for_focus()
            run.type(typed)
            run.key("Return")
            run.wait_for_focus(leaving=before)
        run.wait_for_focus(name="Information OK")
        run.key("Return")


def supervisor_options(run, keys, notice=False):
    choose(run, "Supervisor Options")
    if notice:  # of the default code, once a run
        run.wait_for_window("Default Secret Code")
        run.key("Return")
    run.wait_for_window("Supervisor Options")
    run.key(*keys)
    run.wait_for_focus(name="Execute Selection")
    run.key("Return")


def give_secret_code(run, then="Quillmere"):
    run.wait_for_window("Secret Code")
    run.key("q", "Return", "Return")
    run.wait_for_window(then)


def answer_items(run, spanish=False, first=1, last=109):
    """Answers item n 1 + n % 2, from item 98 1 + n % 4, by arrows; stops unanswered at `last`."""
    window, instructions, question, note = (
        ("Presentación de preguntas", "Instrucciones", "Pregunta", "Nota de Presentación")
        if spanish else ("Question Presentation", "Instructions", "Question", "Presentation Note"))
    page = ""

    def turn():  # Enter on the next page of instructions once it is up
        nonlocal page
        page = run.wait(lambda: next(c.shown for c in run.controls(instructions, "text")
                                     if c.shown not in ("", page)), "the next instructions")
        run.key("Return")

    run.wait_for_window(window)
    turn()
    turn()
    given = b""
    for n in range(first, last + 1):
        run.wait(lambda: any(c.shown.startswith(f"{n}. ") for c in run.controls(question, "text")),
                 f"item {n}")
        if n == last < 109:
            return given
        choice = n % 2 if n <= 97 else n % 4
        run.key(*["Down"] * (choice + 1), "Return")
        given += str(choice + 1).encode()
        if n in (97, 109):
            run.wait_for_window(note)
            run.key("Return")
        if n == 97:
            turn()
    return given
