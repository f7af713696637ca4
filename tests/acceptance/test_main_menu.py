"""A first start without settings, straight to the main menu on the user's own data folder,
worked from the keyboard to Exit Application."""

import ctypes
import os
import stat

from quillmere_ui import SCREEN_TIMEOUT, START_TIMEOUT, HarnessError, QuillmereRun, check, run_test

CHOICES = ["Edit Current Client", "Add New Client", "Supervisor Options", "Exit Application"]


def num_lock_on(run):
    """Whether the display's Num Lock indicator is lit (XKB indicator 2)."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = x11.XOpenDisplay(run.env["DISPLAY"].encode())
    check(display, f"cannot open the display {run.env['DISPLAY']}")
    state = ctypes.c_uint()
    x11.XkbGetIndicatorState(ctypes.c_void_p(display), 0x100, ctypes.byref(state))
    x11.XCloseDisplay(ctypes.c_void_p(display))
    return state.value & 2 != 0


def main():
    with QuillmereRun("test_main_menu", first_start=True) as run:
        # No key is needed to reach the menu, and it names the folder it uses.
        run.wait_for_window("Quillmere", timeout=START_TIMEOUT)
        run.control(name=f"Data location: {run.data_dir} \u2014 0 of 51 clients", role="label")
        # Without settings the program holds Num Lock on.
        run._wait(lambda: num_lock_on(run), "Num Lock to be on", SCREEN_TIMEOUT)

        buttons = {c.name: c for c in run.find(role="push button")}
        check(set(CHOICES) <= set(buttons), f"menu choices missing: {sorted(buttons)}")
        check(not buttons["Edit Current Client"].enabled,
              "Edit Current Client is enabled with no clients on the data location")
        check(buttons["Exit Application"].enabled, "Exit Application is disabled")

        # Tab walks the enabled choices (their prompts are the main menu's own test).
        enabled = [name for name in CHOICES if buttons[name].enabled]
        for _ in range(len(CHOICES) + 1):
            run.key("Tab")
            focus = run.wait_for_focus(among=enabled, role="push button")
            if focus.name == "Exit Application":
                break
        else:
            raise HarnessError("Tab never reached Exit Application")
        run.screenshot("Exit Application focused")

        # The About box, from the menu bar and from the Help menu, closed with Enter and with
        # Escape, gives the focus back.
        for keys, close in ((["alt+a"], "Return"), (["alt+h", "a"], "Escape")):
            run.key(*keys)
            run.wait_for_window("About Quillmere")
            run.wait_for_focus(name="OK", role="push button")
            run.key(close)
            run.wait_for_window("Quillmere", shot=False)
            run.wait_for_focus(name="Exit Application", role="push button")

        run.key("Return")
        status = run.wait_for_exit()
        check(status == 0, f"quillmere ended with status {status}: {run.program_output()!r}")

        # Start-up made the user's own folder and the client file, empty and private to their
        # owner, and the lock file both programs share, and cleaned up after its write test.
        # The folder stood in for a setting that named none, and is not stored as one.
        for folder in (run.data_dir, os.path.dirname(run.data_dir)):
            mode = stat.S_IMODE(os.stat(folder).st_mode)
            check(mode == 0o700, f"{folder} has mode {mode:o}, expected 700")
        with open(os.path.join(run.program_dir, "QLMtest.ini"), encoding="latin-1") as ini:
            settings = ini.read()
        check("FilePath" not in settings, f"the settings name a data location: {settings!r}")
        check(os.path.isfile(run.client_file_path), "DATA401.QLM was not created")
        info = os.stat(run.client_file_path)
        check(info.st_size == 0, f"DATA401.QLM holds {info.st_size} bytes, expected 0")
        check(stat.S_IMODE(info.st_mode) == 0o600,
              f"DATA401.QLM has mode {stat.S_IMODE(info.st_mode):o}, expected 600")
        check(sorted(os.listdir(run.data_dir)) == ["DATA401.LCK", "DATA401.QLM"],
              f"the data location holds {sorted(os.listdir(run.data_dir))}")


if __name__ == "__main__":
    run_test(main)
