"""Drives the real quillmere program for the acceptance tests.

A run gets its own program folder and data location in a temporary directory, its own X
display (Xvfb), window manager (openbox), D-Bus session bus and accessibility bus. The screens
are read through the accessibility tree (AT-SPI), keys are sent with xdotool, and every screen
is photographed into a folder that is kept after the run. Every wait is bounded and polls what
the user would see; a timeout fails with the last screenshot and the program's output kept.
"""

import contextlib
import dataclasses
import os
import pwd
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77  # CTest's code for a test that cannot run here (SKIP_RETURN_CODE)
# Upper bounds of the waits, in seconds. The program shows its splash for about two seconds.
START_TIMEOUT = 30
SCREEN_TIMEOUT = 15
POLL_INTERVAL = 0.1
# Between the keys xdotool sends, so that each key's focus change is done before the next.
KEY_DELAY_MS = 60


class HarnessError(AssertionError):
    """A check or a wait failed; the message says what was expected and what was seen."""


class Skip(Exception):
    """The test cannot run on this machine; the message says why."""


def check(condition, message):
    if not condition:
        raise HarnessError(message)


def _need(tool):
    path = shutil.which(tool)
    check(path is not None, f"{tool} is not installed (scripts/install-deps installs it)")
    return path


@dataclasses.dataclass
class Control:
    """What one accessible object showed when it was read."""

    accessible: object
    role: str
    name: str
    text: str | None  # None: the control has no text of its own (a label shows its name)
    enabled: bool
    focused: bool

    @property
    def shown(self):
        """What the control shows: an editable field's text, else (a label's) name."""
        return self.name if self.text is None else self.text

    def __repr__(self):
        text = f" text={self.text!r}" if self.text else ""
        return f"<{self.role} {self.name!r}{text}{'' if self.enabled else ' disabled'}>"


class QuillmereRun:
    """One run of quillmere under its own display; use it as a context manager.

    client_file, when given, is a DATA401.QLM copied into the data location first.
    first_start: no settings at all; the data location is then the user's own folder, which
    the program makes.
    read_only: the program may read the data location but not write it: it runs as the
    unprivileged user "nobody" where this runs as root (who may write anything), else the
    location's permissions forbid writing. Raises Skip where neither can be had.
    """

    def __init__(self, test_name, client_file=None, first_start=False, read_only=False):
        self.client_file = client_file
        self.first_start = first_start
        self.read_only = read_only
        self.user = None  # the account the program and its buses run as, when not this one
        self.shot_dir = os.path.join(
            os.environ.get("QLM_SHOT_DIR", os.path.join(os.getcwd(), "acceptance-shots")),
            test_name)
        self._shots = 0
        self._groups = []
        self._root = self.program = self.program_dir = self.data_dir = self.env = None
        self._atspi = None

    # ----- set-up and tear-down -----

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self._stop()
            raise
        return self

    def __exit__(self, kind, value, traceback):
        if kind is not None and not isinstance(value, (KeyboardInterrupt, SystemExit)):
            self.screenshot("failure")
            # The client file as the failure left it, beside the pictures.
            if self.data_dir and os.path.isfile(self.client_file_path):
                shutil.copyfile(self.client_file_path, os.path.join(self.shot_dir, "DATA401.QLM"))
        self._stop()
        return False

    def _start(self):
        shutil.rmtree(self.shot_dir, ignore_errors=True)
        os.makedirs(self.shot_dir)
        if self.read_only and os.geteuid() == 0:
            if shutil.which("setpriv") is None:
                raise Skip("setpriv (util-linux) is needed to run the program as nobody")
            try:
                self.user = pwd.getpwnam("nobody")
            except KeyError:
                raise Skip("there is no user nobody to run the program as") from None
        self._root = tempfile.mkdtemp(prefix="qlm-accept-")
        if self.user is not None:
            os.chmod(self._root, 0o755)  # the other account reaches the program through it
        self._lay_out_folders()
        self._set_env()
        # Xvfb picks a free display itself and writes its number down the pipe.
        self.env["DISPLAY"] = ":" + self._spawn_and_read(
            [_need("Xvfb"), "-displayfd", "FD", "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"], "xvfb.log", "Xvfb to report its display")
        self._start_buses()
        self._spawn([_need("openbox"), "--sm-disable"], "openbox.log")
        self._wait(lambda: "window id" in self._run(
            ["xprop", "-root", "-notype", "_NET_SUPPORTING_WM_CHECK"], timeout=5).stdout,
                   "openbox to manage the display", START_TIMEOUT)
        self._start_program()

    def _lay_out_folders(self):
        source = os.environ.get("QLM_PROGRAM_DIR")
        check(source and os.path.isfile(os.path.join(source, "quillmere")),
              "QLM_PROGRAM_DIR must name the built program folder (build/bin)")
        self.program_dir = os.path.join(self._root, "program")
        self.data_dir = os.path.join(self._root, "home/.local/share/quillmere/data"
                                     if self.first_start else "data")
        if not self.first_start:
            os.makedirs(self.data_dir)
        # The spoken prompts are large; the settings point SndPath at the built folder.
        shutil.copytree(source, self.program_dir, ignore=shutil.ignore_patterns("QLMTest"))
        for leftover in ("QLMtest.ini", "report.prn"):
            if os.path.exists(os.path.join(self.program_dir, leftover)):
                os.remove(os.path.join(self.program_dir, leftover))
        if not self.first_start:
            with open(os.path.join(self.program_dir, "QLMtest.ini"), "w",
                      encoding="latin-1") as ini:
                ini.write(f"[Settings]\nNumLock=False\n[Path]\nFilePath={self.data_dir}\n"
                          f"SndPath={source}\n")
        if self.client_file is not None:
            shutil.copyfile(self.client_file, self.client_file_path)
        if self.read_only:
            if os.path.exists(self.client_file_path):
                os.chmod(self.client_file_path, 0o444)
            os.chmod(self.data_dir, 0o555)

    def _set_env(self):
        home = os.path.join(self._root, "home")
        self.env = {key: value for key, value in os.environ.items()
                    if not key.startswith(("QT_", "DBUS_", "AT_SPI", "XDG_", "WAYLAND"))
                    and key not in ("DISPLAY", "XAUTHORITY", "QUILLMERE_HOME", "SESSION_MANAGER")}
        # The single-instance socket lives in the temporary folder: a private one keeps a
        # quillmere running elsewhere on this machine from answering for this run.
        self.env.update(HOME=home, TMPDIR=os.path.join(self._root, "tmp"),
                        XDG_RUNTIME_DIR=os.path.join(self._root, "runtime"),
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"), QT_QPA_PLATFORM="xcb",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                        NO_AT_BRIDGE="0")
        for key in ("HOME", "TMPDIR", "XDG_RUNTIME_DIR"):
            os.makedirs(self.env[key], mode=0o700 if key == "XDG_RUNTIME_DIR" else 0o777)
            if self.user is not None:
                os.chown(self.env[key], self.user.pw_uid, self.user.pw_gid)

    def _as_user(self, args):
        """The command run as the program's account (unchanged when that is this one's)."""
        if self.user is None:
            return args
        return [shutil.which("setpriv"), f"--reuid={self.user.pw_uid}",
                f"--regid={self.user.pw_gid}", "--clear-groups", "--", *args]

    def _run(self, args, timeout=30):
        return subprocess.run(args, env=self.env, capture_output=True, text=True,
                              timeout=timeout)

    def _spawn(self, args, log_name, **kwargs):
        with open(os.path.join(self.shot_dir, log_name), "wb") as log:
            # Its own process group, so that tear-down ends the process and its children.
            process = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                       stderr=log, start_new_session=True, **kwargs)
        self._groups.append(process)
        return process

    def _spawn_and_read(self, args, log_name, what):
        """Starts a server that writes one line (its address) to the file descriptor put in
        place of FD among its arguments; returns that line."""
        read_end, write_end = os.pipe()
        try:
            self._spawn([arg.replace("FD", str(write_end)) for arg in args], log_name,
                        pass_fds=(write_end,))
            os.close(write_end)
            write_end = None
            deadline = time.monotonic() + START_TIMEOUT
            data = b""
            while b"\n" not in data:
                remaining = deadline - time.monotonic()
                check(remaining > 0, f"timed out waiting for {what}")
                if select.select([read_end], [], [], remaining)[0]:
                    chunk = os.read(read_end, 256)
                    check(chunk, f"no answer while waiting for {what}")
                    data += chunk
            return data.split(b"\n", 1)[0].decode().strip()
        finally:
            if write_end is not None:
                os.close(write_end)
            os.close(read_end)

    def _start_buses(self):
        # The buses are the program's account's: a session bus admits no other (but root to
        # the accessibility bus, which is all this process reads).
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._spawn_and_read(
            self._as_user([_need("dbus-daemon"), "--session", "--nofork", "--nopidfile",
                           "--print-address=FD"]), "dbus.log", "the D-Bus session bus")
        # Started here rather than by bus activation, so that it and its accessibility bus
        # sit in a process group this run ends.
        launcher = "/usr/libexec/at-spi-bus-launcher"
        check(os.path.exists(launcher),
              "at-spi2-core is not installed (scripts/install-deps installs it)")
        self._spawn(self._as_user([launcher, "--launch-immediately"]), "at-spi.log")

        def address():
            result = self._run(self._as_user(
                ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"]), timeout=5)
            return result.stdout.strip() if result.returncode == 0 else None

        a11y = self._wait(address, "the accessibility bus", START_TIMEOUT)
        # This process reads the tree over the same private buses.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
            os.environ[key] = self.env[key]
        if self.user is None:
            os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        else:
            os.environ["AT_SPI_BUS_ADDRESS"] = a11y

    def _start_program(self):
        self.program = self._spawn(self._as_user(
            [os.path.join(self.program_dir, "quillmere"), "--home", self.program_dir]),
            "quillmere.log")

    def _stop(self):
        for process in reversed(self._groups):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, sig)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    continue
                # The leader is gone; the rest of its group goes too.
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, signal.SIGKILL)
                break
        self._groups.clear()
        if self._root is not None:
            if self.read_only and os.path.isdir(self.data_dir):
                os.chmod(self.data_dir, 0o755)  # so that its files can go too
            shutil.rmtree(self._root, ignore_errors=True)
            self._root = None

    # ----- waiting -----

    def _wait(self, probe, what, timeout, describe=None):
        deadline = time.monotonic() + timeout
        while True:
            last_error = None
            try:
                value = probe()
            except HarnessError:
                raise
            except Exception as error:  # the tree changes while it is read; a tool hangs
                value, last_error = None, error
            if value:
                return value
            if self.program is not None and self.program.poll() is not None:
                raise HarnessError(f"quillmere ended (status {self.program.returncode}) while "
                                   f"waiting for {what}; its output: {self.program_output()!r}")
            if time.monotonic() >= deadline:
                seen = describe() if describe else ""
                extra = f" (last error: {last_error})" if last_error else ""
                raise HarnessError(f"timed out after {timeout} s waiting for {what}{seen}{extra}")
            time.sleep(POLL_INTERVAL)

    def program_output(self):
        try:
            with open(os.path.join(self.shot_dir, "quillmere.log"), "rb") as log:
                return log.read().decode("latin-1")
        except OSError:
            return ""

    def wait_for_exit(self, timeout=SCREEN_TIMEOUT):
        try:
            return self.program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"quillmere did not end within {timeout} s") from None

    # ----- the accessibility tree -----

    def _pyatspi(self):
        if self._atspi is None:
            try:
                import pyatspi  # only now: it connects to the buses named in the environment
            except ImportError:
                raise HarnessError("python3-pyatspi is not installed for this interpreter "
                                   f"({sys.executable}); scripts/install-deps installs it")
            self._atspi = pyatspi
        return self._atspi

    def windows(self):
        """The windows of the program's accessible application (none before it registers)."""
        for app in self._pyatspi().Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.program.pid:
                    return [w for w in app if w is not None]
            except Exception:
                continue
        return []

    def active_window(self):
        active = self._pyatspi().STATE_ACTIVE
        return next((w for w in self.windows() if w.getState().contains(active)), None)

    def wait_for_window(self, caption, timeout=SCREEN_TIMEOUT, shot=True, named=True):
        """Waits until the active window has this caption; photographs it, and checks that each
        of its focusable controls has a name for a screen reader (named=False: a dialog of the
        toolkit's own, which is not ours to name)."""

        def probe():
            window = self.active_window()
            return window if window is not None and window.name == caption else None

        window = self._wait(probe, f'the active window "{caption}"', timeout,
                            lambda: f"; windows: {[w.name for w in self.windows()]!r}")
        if shot:
            self.screenshot(caption)
        if named:
            focusable = self._pyatspi().STATE_FOCUSABLE
            unnamed = [c for c in self.controls(window)
                       if not c.name and c.accessible.getState().contains(focusable)]
            check(not unnamed, f'"{caption}" has controls without a name: {unnamed!r}')
        return window

    def read(self, accessible):
        pyatspi = self._pyatspi()
        states = accessible.getState()
        try:
            text = accessible.queryText().getText(0, -1)
        except NotImplementedError:
            text = None
        return Control(accessible, accessible.getRoleName(), accessible.name or "", text,
                       states.contains(pyatspi.STATE_ENABLED),
                       states.contains(pyatspi.STATE_FOCUSED))

    def controls(self, window=None):
        """Every control of the window (default: the active one), read once, in tree order."""
        found = []

        def walk(node, depth):
            for child in node:
                if child is not None:
                    found.append(self.read(child))
                    if depth < 12:
                        walk(child, depth + 1)

        window = window or self.active_window()
        if window is not None:
            walk(window, 0)
        return found

    def find(self, name=None, role=None, window=None):
        """The controls of the window that match every given part."""
        return [c for c in self.controls(window)
                if (name is None or c.name == name) and (role is None or c.role == role)]

    def control(self, name=None, role=None, timeout=SCREEN_TIMEOUT):
        """Waits for exactly one matching control of the active window."""

        def probe():
            matches = self.find(name=name, role=role)
            return matches[0] if len(matches) == 1 else None

        return self._wait(probe, f"one control name={name!r} role={role!r}", timeout,
                          lambda: f"; controls: {self.controls()!r}")

    def wait_for_enabled(self, name, role=None, enabled=True, timeout=SCREEN_TIMEOUT):
        """Waits until the one control of that name is enabled (or disabled)."""

        def probe():
            matches = self.find(name=name, role=role)
            return matches[0] if len(matches) == 1 and matches[0].enabled == enabled else None

        return self._wait(probe, f'"{name}" to be {"enabled" if enabled else "disabled"}',
                          timeout, lambda: f"; found {self.find(name=name, role=role)!r}")

    def focused(self):
        # A panel whose focus proxy is its button reports the focus too: the innermost
        # focused control, the last in tree order, is the one that takes the keys.
        focused = [control for control in self.controls() if control.focused]
        return focused[-1] if focused else None

    def _wait_for_focused(self, test, what, timeout):
        def probe():
            control = self.focused()
            return control if control is not None and test(control) else None

        return self._wait(probe, what, timeout, lambda: f"; focus is on {self.focused()!r}")

    def wait_for_focus(self, name=None, role=None, among=None, shown=None,
                       timeout=SCREEN_TIMEOUT):
        """Waits until the focused control of the active window has this name (or one of the
        names among), role and shown text."""
        wanted = {"name": name, "one of": among, "role": role, "text": shown}
        return self._wait_for_focused(
            lambda c: ((name is None or c.name == name) and (among is None or c.name in among)
                       and (role is None or c.role == role)
                       and (shown is None or c.shown == shown)),
            "the focus on " + " ".join(f"{k}={v!r}" for k, v in wanted.items() if v), timeout)

    def wait_for_focus_within(self, control, timeout=SCREEN_TIMEOUT):
        """Waits until `control` or one of its parts (a grid's cell) has the focus."""

        def inside(node):
            for _ in range(12):
                if node is None or node == control.accessible:
                    return node is not None
                node = node.parent
            return False

        return self._wait_for_focused(lambda c: inside(c.accessible),
                                      f"the focus within {control!r}", timeout)

    def wait_for_focus_to_leave(self, control, timeout=SCREEN_TIMEOUT):
        """Waits until a control other than `control` has the focus; returns it."""
        return self._wait_for_focused(lambda c: c.accessible != control.accessible,
                                      f"the focus to leave {control!r}", timeout)

    # ----- input and pictures -----

    def key(self, *keys):
        """Sends key presses (xdotool names: Return, Tab, shift+Tab, Down, alt+o, 5)."""
        self._xdotool(["key", "--delay", str(KEY_DELAY_MS), *keys])

    def type(self, text):
        self._xdotool(["type", "--delay", str(KEY_DELAY_MS), "--", text])

    def _xdotool(self, args):
        result = self._run([_need("xdotool"), *args])
        check(result.returncode == 0, f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")

    def screenshot(self, label):
        """Photographs the whole display into the kept folder; failures only warn."""
        if "DISPLAY" not in (self.env or {}):
            return
        self._shots += 1
        safe = re.sub(r"[^A-Za-z0-9]+", "-", label).strip("-") or "screen"
        path = os.path.join(self.shot_dir, f"{self._shots:02d}-{safe}.png")
        try:
            subprocess.run(["import", "-window", "root", path], env=self.env,
                           capture_output=True, timeout=20, check=True)
        except (OSError, subprocess.SubprocessError) as error:
            print(f"screenshot {path} failed: {error}", file=sys.stderr)

    # ----- the data location -----

    @property
    def client_file_path(self):
        return os.path.join(self.data_dir, "DATA401.QLM")

    def client_bytes(self):
        with open(self.client_file_path, "rb") as data:
            return data.read()


def choose(run, caption):
    """Tabs through the window's choices until `caption` has the focus, then runs it."""
    focus = run.wait_for_focus()
    for _ in range(12):
        if focus.name == caption:
            run.key("Return")
            return
        run.key("Tab")
        focus = run.wait_for_focus_to_leave(focus)
    raise HarnessError(f'Tab never reached "{caption}"; focus is on {focus!r}')


def run_test(body):
    """Runs body() as a test script: 0 passed, 1 failed (with the reason), SKIP skipped."""
    try:
        body()
    except HarnessError as error:
        print(f"FAIL: {error}", file=sys.stderr)
        sys.exit(1)
    except Skip as why:
        print(f"SKIP: {why}", file=sys.stderr)
        sys.exit(SKIP)
    sys.exit(0)
