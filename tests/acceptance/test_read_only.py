"""A data location the user may read but not write: the demo clients are listed with "read
only" beside the location, the choices that would write are off, and a report is shown, logged
in the user's own folder. The program runs as a user who cannot write the location."""

import os

from quillmere_ui import (DEMO_FILE, check, choose, give_secret_code, run_test,
                         supervisor_options)


def main(run):
    run.wait_for_window("Quillmere", 30)
    run.control(f"Data location: {run.data_dir} (read only) \u2014 5 of 51 clients", "label")
    run.wait_for_focus(within=run.control("Client List", "list"))
    run.key("Down")
    run.control("Edit Current Client", "push button", enabled=False)
    run.control("Add New Client", "push button", enabled=False)
    # Verify Data and Delete Names are off: the arrows stay on Reports.
    supervisor_options(run, ["Right", "Right", "Tab", "Tab"], notice=True)
    give_secret_code(run, "Client Report")
    check("DEMO, ALEX" in run.control("Client Report", "text").shown, "client 1 not shown")
    run.key("alt+c")
    run.wait_for_window("Quillmere")
    choose(run, "Exit Application")
    check(run.wait_for_exit() == 0, "quillmere did not end with status 0")

    # Nothing was written to the location, not even a lock file or a backup.
    check(os.listdir(run.data_dir) == ["DATA401.QLM"], f"found {os.listdir(run.data_dir)}")
    with open(DEMO_FILE, "rb") as demo:
        check(run.client_bytes() == demo.read(), "DATA401.QLM was changed")
    with open(os.path.join(run.env["HOME"], ".local/share/quillmere/access.log")) as log:
        check(run.data_dir in log.read(), "the access log does not name the location")


run_test(main, client_file=DEMO_FILE, read_only=True)
