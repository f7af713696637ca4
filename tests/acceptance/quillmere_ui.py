"""Drives the real quillmere program for the acceptance tests.

A run gets its own program folder and data location in a temporary directory, its own X
display (Xvfb), window manager (openbox), D-Bus session bus and accessibility bus. The screens
are read through the accessibility tree (AT-SPI), keys are sent with xdotool, and every screen
is photographed into a folder that is kept after the run. Every wait is bounded and polls what
the user would see; a timeout fails with the last screenshot and the program's output kept.
"""

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

# CTest's code for a test that cannot run here (SKIP_RETURN_CODE).
SKIP = 77

# Upper bounds of the waits, in seconds. The program shows its splash for about two seconds.
START_TIMEOUT = 30
SCREEN_TIMEOUT = 15
POLL_INTERVAL = 0.1
# Pause between the keys xdotool sends, in milliseconds, so that each key's focus change is
# done before the next key arrives.
KEY_DELAY_MS = 60


class HarnessError(AssertionError):
    """A check or a wait failed; the message says what was expected and what was seen."""


class Skip(Exception):
    """The test cannot run on this machine; the message says why."""


def _need(tool):
    path = shutil.which(tool)
    if path is None:
        raise HarnessError(f"{tool} is not installed (scripts/install-deps installs it)")
    return path


def _program_dir():
    folder = os.environ.get("QLM_PROGRAM_DIR")
    if not folder or not os.path.isfile(os.path.join(folder, "quillmere")):
        raise HarnessError("QLM_PROGRAM_DIR must name the built program folder (build/bin)")
    return folder


@dataclasses.dataclass
class Control:
    """What one accessible object showed when it was read."""

    accessible: object
    role: str
    name: str
    text: str | None  # None: the control has no text of its own (a label shows its name)
    enabled: bool
    focused: bool
    ident: str  # the accessible id, where the toolkit gives one (Qt 6.4 does not)

    @property
    def shown(self):
        """What the control shows: an editable field's text, else (a label's) name."""
        return self.name if self.text is None else self.text

    def __repr__(self):
        shown = f" text={self.text!r}" if self.text else ""
        ident = f" id={self.ident!r}" if self.ident else ""
        state = "" if self.enabled else " disabled"
        return f"<{self.role} {self.name!r}{shown}{ident}{state}>"


class QuillmereRun:
    """One run of quillmere under its own display; use it as a context manager.

    with QuillmereRun("test_main_menu") as run:
        run.wait_for_window("Quillmere")
        run.key("Tab")

    client_file, when given, is a DATA401.QLM copied into the data location first.
    first_start: no settings at all; the data location is then the user's own folder, which
    the program makes.
    read_only: the program may read the data location but not write it: it runs as the
    unprivileged user "nobody" where this runs as root (who may write anything), else the
    location's permissions forbid writing. Raises Skip where neither can be had.
    """

    def __init__(self, test_name, client_file=None, first_start=False, read_only=False):
        self.test_name = test_name
        self.client_file = client_file
        self.first_start = first_start
        self.read_only = read_only
        # The account the program and its buses run as, when not this process's own.
        self.user = None
        self.shot_dir = os.path.join(
            os.environ.get("QLM_SHOT_DIR", os.path.join(os.getcwd(), "acceptance-shots")),
            test_name,
        )
        self._shot_number = 0
        self._groups = []
        self._root = None
        self.program = None
        self.program_dir = None
        self.data_dir = None
        self.env = None
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
                shutil.copyfile(self.client_file_path,
                                os.path.join(self.shot_dir, "DATA401.QLM"))
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
        self.env = self._base_env()
        self._start_display()
        self._start_buses()
        self._start_window_manager()
        self._start_program()

    def _lay_out_folders(self):
        source = _program_dir()
        self.program_dir = os.path.join(self._root, "program")
        if self.first_start:
            self.data_dir = os.path.join(self._root, "home", ".local", "share", "quillmere",
                                         "data")
        else:
            self.data_dir = os.path.join(self._root, "data")
            os.makedirs(self.data_dir)
        # The spoken prompts are large; the settings point SndPath at the built folder.
        shutil.copytree(source, self.program_dir, ignore=shutil.ignore_patterns("QLMTest"))
        for leftover in ("QLMtest.ini", "report.prn"):
            path = os.path.join(self.program_dir, leftover)
            if os.path.exists(path):
                os.remove(path)
        if not self.first_start:
            with open(os.path.join(self.program_dir, "QLMtest.ini"), "w",
                      encoding="latin-1") as ini:
                ini.write(
                    "[Settings]\nNumLock=False\n"
                    f"[Path]\nFilePath={self.data_dir}\nSndPath={source}\n"
                )
        if self.client_file is not None:
            shutil.copyfile(self.client_file, self.client_file_path)
        if self.read_only:
            if os.path.exists(self.client_file_path):
                os.chmod(self.client_file_path, 0o444)
            os.chmod(self.data_dir, 0o555)

    def _own(self, path):
        """Gives `path` to the account the program runs as."""
        if self.user is not None:
            os.chown(path, self.user.pw_uid, self.user.pw_gid)

    def _base_env(self):
        home = os.path.join(self._root, "home")
        runtime = os.path.join(self._root, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self._own(home)
        self._own(runtime)
        env = {
            key: value
            for key, value in os.environ.items()
            if not key.startswith(("QT_", "DBUS_", "AT_SPI", "XDG_", "WAYLAND"))
            and key not in ("DISPLAY", "XAUTHORITY", "QUILLMERE_HOME", "SESSION_MANAGER")
        }
        temp = os.path.join(self._root, "tmp")
        os.makedirs(temp)
        self._own(temp)
        env.update(
            HOME=home,
            # The single-instance socket lives in the temporary folder: a private one keeps
            # a quillmere running elsewhere on this machine from answering for this run.
            TMPDIR=temp,
            XDG_RUNTIME_DIR=runtime,
            XDG_CONFIG_HOME=os.path.join(home, ".config"),
            XDG_CACHE_HOME=os.path.join(home, ".cache"),
            QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            QT_ACCESSIBILITY="1",
            NO_AT_BRIDGE="0",
        )
        return env

    def _as_user(self, args):
        """The command run as the program's account (unchanged when that is this one's)."""
        if self.user is None:
            return args
        return [shutil.which("setpriv"), f"--reuid={self.user.pw_uid}",
                f"--regid={self.user.pw_gid}", "--clear-groups", "--", *args]

    def _spawn(self, args, log_name, **kwargs):
        log = open(os.path.join(self.shot_dir, log_name), "wb")
        try:
            # Its own process group, so that tear-down ends the process and its children.
            process = subprocess.Popen(
                args,
                env=self.env,
                stdin=subprocess.DEVNULL,
                stdout=kwargs.pop("stdout", log),
                stderr=log,
                start_new_session=True,
                **kwargs,
            )
        finally:
            log.close()
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
            return self._read_line(read_end, what, START_TIMEOUT)
        finally:
            if write_end is not None:
                os.close(write_end)
            os.close(read_end)

    def _start_display(self):
        # Xvfb picks a free display itself and writes its number down the pipe.
        number = self._spawn_and_read(
            [_need("Xvfb"), "-displayfd", "FD", "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"],
            "xvfb.log", "Xvfb to report its display")
        self.env["DISPLAY"] = ":" + number

    def _read_line(self, fd, what, timeout):
        deadline = time.monotonic() + timeout
        data = b""
        while b"\n" not in data:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise HarnessError(f"timed out waiting for {what}")
            ready, _, _ = select.select([fd], [], [], remaining)
            if ready:
                chunk = os.read(fd, 256)
                if not chunk:
                    raise HarnessError(f"no answer while waiting for {what}")
                data += chunk
        return data.split(b"\n", 1)[0].decode().strip()

    def _start_buses(self):
        # The buses are the program's account's: a session bus admits no other (but root to
        # the accessibility bus, which is all this process reads).
        address = self._spawn_and_read(
            self._as_user([_need("dbus-daemon"), "--session", "--nofork", "--nopidfile",
                           "--print-address=FD"]),
            "dbus.log", "the D-Bus session bus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # Started here rather than by bus activation, so that it and its accessibility bus
        # sit in a process group this run ends.
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if not os.path.exists(launcher):
            raise HarnessError("at-spi2-core is not installed (scripts/install-deps installs it)")
        self._spawn(self._as_user([launcher, "--launch-immediately"]), "at-spi.log")
        a11y = self._wait(lambda: self._a11y_bus_address(), "the accessibility bus",
                          START_TIMEOUT)
        # This process reads the tree over the same private buses.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
            os.environ[key] = self.env[key]
        if self.user is None:
            os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        else:
            os.environ["AT_SPI_BUS_ADDRESS"] = a11y

    def _a11y_bus_address(self):
        result = subprocess.run(
            self._as_user(["dbus-send", "--session", "--print-reply=literal",
                           "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"]),
            env=self.env, capture_output=True, text=True, timeout=5,
        )
        return result.stdout.strip() if result.returncode == 0 else None

    def _start_window_manager(self):
        self._spawn([_need("openbox"), "--sm-disable"], "openbox.log")

        def managing():
            result = subprocess.run(
                ["xprop", "-root", "-notype", "_NET_SUPPORTING_WM_CHECK"],
                env=self.env, capture_output=True, text=True, timeout=5,
            )
            return "window id" in result.stdout

        self._wait(managing, "openbox to manage the display", START_TIMEOUT)

    def _start_program(self):
        self.program = self._spawn(
            self._as_user([os.path.join(self.program_dir, "quillmere"), "--home",
                           self.program_dir]),
            "quillmere.log",
        )

    def _stop(self):
        for process in reversed(self._groups):
            self._end_group(process)
        self._groups.clear()
        if self._root is not None:
            if self.read_only and os.path.isdir(self.data_dir):
                os.chmod(self.data_dir, 0o755)  # so that its files can go too
            shutil.rmtree(self._root, ignore_errors=True)
            self._root = None

    @staticmethod
    def _end_group(process):
        for sig, grace in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                pass
            try:
                process.wait(timeout=grace)
            except subprocess.TimeoutExpired:
                continue
            # The leader is gone; the rest of its group goes with the signal already sent.
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            return

    # ----- waiting -----

    def _wait(self, probe, what, timeout, describe=None):
        deadline = time.monotonic() + timeout
        while True:
            try:
                value = probe()
            except HarnessError:
                raise
            except Exception as error:  # the tree changes while it is read; a tool hangs
                value = None
                last_error = error
            else:
                last_error = None
            if value:
                return value
            if self.program is not None and self.program.poll() is not None:
                raise HarnessError(
                    f"quillmere ended (status {self.program.returncode}) while waiting for "
                    f"{what}; its output: {self.program_output()!r}"
                )
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
                # Only now: it connects to the buses named in the environment.
                import pyatspi
            except ImportError:
                raise HarnessError("python3-pyatspi is not installed for this interpreter "
                                   f"({sys.executable}); scripts/install-deps installs it")

            self._atspi = pyatspi
        return self._atspi

    def application(self):
        """The program's accessible application, or None before it registers."""
        pyatspi = self._pyatspi()
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            try:
                if app.get_process_id() == self.program.pid:
                    return app
            except Exception:
                continue
        return None

    def windows(self):
        app = self.application()
        return [] if app is None else [w for w in app if w is not None]

    def active_window(self):
        pyatspi = self._pyatspi()
        for window in self.windows():
            if window.getState().contains(pyatspi.STATE_ACTIVE):
                return window
        return None

    def _describe_windows(self):
        try:
            shown = [f"{w.name!r}{' (active)' if w is self.active_window() else ''}"
                     for w in self.windows()]
        except Exception:
            shown = ["?"]
        return f"; windows: {', '.join(shown) or 'none'}"

    def wait_for_window(self, caption, timeout=SCREEN_TIMEOUT, shot=True, named=True):
        """Waits until the active window has this caption; photographs it, and checks that each
        of its focusable controls has a name for a screen reader (named=False: a dialog of the
        toolkit's own, which is not ours to name)."""

        def probe():
            window = self.active_window()
            return window if window is not None and window.name == caption else None

        window = self._wait(probe, f'the active window "{caption}"', timeout,
                            self._describe_windows)
        if shot:
            self.screenshot(caption)
        if named:
            unnamed = self.unnamed(window)
            if unnamed:
                raise HarnessError(f'"{caption}" has controls without a name: {unnamed!r}')
        return window

    def unnamed(self, window):
        """The focusable controls of the window that a screen reader could not name."""
        pyatspi = self._pyatspi()
        return [c for c in self.controls(window)
                if not c.name and c.accessible.getState().contains(pyatspi.STATE_FOCUSABLE)]

    def read(self, accessible):
        pyatspi = self._pyatspi()
        states = accessible.getState()
        text = None
        try:
            text = accessible.queryText().getText(0, -1)
        except NotImplementedError:
            pass
        try:
            ident = accessible.accessibleId or ""
        except Exception:
            ident = ""
        return Control(
            accessible,
            accessible.getRoleName(),
            accessible.name or "",
            text,
            states.contains(pyatspi.STATE_ENABLED),
            states.contains(pyatspi.STATE_FOCUSED),
            ident,
        )

    def controls(self, window=None):
        """Every control of the window (default: the active one), read once, in tree order."""
        window = window or self.active_window()
        if window is None:
            return []
        found = []

        def walk(node, depth):
            for child in node:
                if child is None:
                    continue
                found.append(self.read(child))
                if depth < 12:
                    walk(child, depth + 1)

        walk(window, 0)
        return found

    def find(self, name=None, role=None, ident=None, window=None):
        """The controls of the window that match every given part."""
        return [
            c for c in self.controls(window)
            if (name is None or c.name == name)
            and (role is None or c.role == role)
            and (ident is None or c.ident == ident)
        ]

    def control(self, name=None, role=None, ident=None, timeout=SCREEN_TIMEOUT):
        """Waits for exactly one matching control of the active window."""

        def probe():
            matches = self.find(name=name, role=role, ident=ident)
            return matches[0] if len(matches) == 1 else None

        what = " ".join(f"{k}={v!r}" for k, v in
                        (("name", name), ("role", role), ("id", ident)) if v is not None)
        return self._wait(probe, f"one control {what}", timeout,
                          lambda: f"; controls: {self.controls()!r}")

    def wait_for_enabled(self, name, role=None, enabled=True, timeout=SCREEN_TIMEOUT):
        """Waits until the one control of that name is enabled (or disabled)."""

        def probe():
            matches = self.find(name=name, role=role)
            return matches[0] if len(matches) == 1 and matches[0].enabled == enabled else None

        state = "enabled" if enabled else "disabled"
        return self._wait(probe, f'"{name}" to be {state}', timeout,
                          lambda: f"; found {self.find(name=name, role=role)!r}")

    def focused(self):
        # A panel whose focus proxy is its button reports the focus too: the innermost
        # focused control, the last in tree order, is the one that takes the keys.
        focused = [control for control in self.controls() if control.focused]
        return focused[-1] if focused else None

    def wait_for_focus(self, name=None, role=None, among=None, shown=None,
                       timeout=SCREEN_TIMEOUT):
        """Waits until the focused control of the active window has this name (or one of the
        names among), role and shown text."""

        def probe():
            control = self.focused()
            if control is None:
                return None
            if ((name is None or control.name == name)
                    and (among is None or control.name in among)
                    and (role is None or control.role == role)
                    and (shown is None or control.shown == shown)):
                return control
            return None

        what = " ".join(f"{k}={v!r}" for k, v in
                        (("name", name), ("one of", among), ("role", role), ("text", shown))
                        if v)
        return self._wait(probe, f"the focus on {what}", timeout,
                          lambda: f"; focus is on {self.focused()!r}")

    def wait_for_focus_within(self, control, timeout=SCREEN_TIMEOUT):
        """Waits until `control` or one of its parts (a grid's cell) has the focus."""

        def inside(node):
            for _ in range(12):
                if node is None:
                    return False
                if node == control.accessible:
                    return True
                node = node.parent
            return False

        def probe():
            now = self.focused()
            return now if now is not None and inside(now.accessible) else None

        return self._wait(probe, f"the focus within {control!r}", timeout,
                          lambda: f"; focus is on {self.focused()!r}")

    def wait_for_focus_to_leave(self, control, timeout=SCREEN_TIMEOUT):
        """Waits until a control other than `control` has the focus; returns it."""

        def probe():
            now = self.focused()
            return now if now is not None and now.accessible != control.accessible else None

        return self._wait(probe, f"the focus to leave {control!r}", timeout,
                          lambda: f"; focus is on {self.focused()!r}")

    def wait_for_text(self, control_probe, expected, what, timeout=SCREEN_TIMEOUT):
        """Waits until control_probe() returns a control that shows the expected text."""

        def probe():
            control = control_probe()
            return control if control is not None and control.shown == expected else None

        def describe():
            control = control_probe()
            return f"; it shows {control.shown if control else None!r}"

        return self._wait(probe, f"{what} to show {expected!r}", timeout, describe)

    # ----- input and pictures -----

    def key(self, *keys):
        """Sends key presses (xdotool names: Return, Tab, shift+Tab, Down, alt+o, 5)."""
        self._xdotool(["key", "--delay", str(KEY_DELAY_MS), *keys])

    def type(self, text):
        self._xdotool(["type", "--delay", str(KEY_DELAY_MS), "--", text])

    def _xdotool(self, args):
        result = subprocess.run([_need("xdotool"), *args], env=self.env,
                                capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")

    def screenshot(self, label):
        """Photographs the whole display into the kept folder; failures only warn."""
        if "DISPLAY" not in (self.env or {}):
            return None
        self._shot_number += 1
        safe = re.sub(r"[^A-Za-z0-9]+", "-", label).strip("-") or "screen"
        path = os.path.join(self.shot_dir, f"{self._shot_number:02d}-{safe}.png")
        try:
            subprocess.run(["import", "-window", "root", path], env=self.env,
                           capture_output=True, timeout=20, check=True)
        except (OSError, subprocess.SubprocessError) as error:
            print(f"screenshot {path} failed: {error}", file=sys.stderr)
            return None
        return path

    # ----- the data location -----

    @property
    def client_file_path(self):
        return os.path.join(self.data_dir, "DATA401.QLM")

    def client_bytes(self):
        with open(self.client_file_path, "rb") as data:
            return data.read()


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
