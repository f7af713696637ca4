"""A first start without settings, straight to the main menu on the user's own data folder,
worked from the keyboard to Exit Application."""

import ctypes
import os
import stat

from quillmere_ui import check, run_test


def num_lock_on(run):  # XKB indicator 2
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(x11.XOpenDisplay(run.env["DISPLAY"].encode()))
    state = ctypes.c_uint()
    x11.XkbGetIndicatorState(display, 0x100, ctypes.byref(state))
    x11.XCloseDisplay(display)
    return state.value & 2 != 0


def main(run):
    # The menu names the folder it uses; without settings the program holds Num Lock on.
    run.control(f"Data location: {run.data_dir} \u2014 0 of 51 clients", "label")
    run.wait(lambda: num_lock_on(run), "Num Lock to be on")
    # Tab walks the enabled choices only, to Exit Application.
    focus = run.wait_for_focus()
    while focus.name != "Exit Application":
        check(focus.name in ("Add New Client", "Supervisor Options"), f"Tab reached {focus!r}")
        run.key("Tab")
        focus = run.wait_for_focus(leaving=focus)
    # The About box, from the menu bar and the Help menu, gives the focus back when closed.
    for keys, close in ((["alt+a"], "Return"), (["alt+h", "a"], "Escape")):
        run.key(*keys)
        run.wait_for_window("About Quillmere")
        run.key(close)
        run.wait_for_window("Quillmere")
        run.wait_for_focus(name="Exit Application")
    run.exit()
    # A private folder, client file and lock file made; the folder not stored as a setting.
    for path, mode in ((run.data_dir, 0o700), (os.path.dirname(run.data_dir), 0o700),
                       (run.client_file_path, 0o600)):
        check(stat.S_IMODE(os.stat(path).st_mode) == mode, f"{path} is not of mode {mode:o}")
    check(run.client_bytes() == b"", "DATA401.QLM is not empty")
    with open(os.path.join(run.program_dir, "QLMtest.ini")) as ini:
        check("FilePath" not in ini.read(), "the settings name a data location")
    check(sorted(os.listdir(run.data_dir)) == ["DATA401.LCK", "DATA401.QLM"],
          f"the data location holds {sorted(os.listdir(run.data_dir))}")


run_test(main, first_start=True)
