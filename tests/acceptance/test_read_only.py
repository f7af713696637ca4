"""A location the user cannot write: "read only" shown, the choices that write off, a report
shown and logged in the user's own folder, nothing written to the location."""

import os
from pathlib import Path

from quillmere_ui import DEMO_FILE, check, give_secret_code, run_test, supervisor_options


def main(run):
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
    run.exit()
    check(os.listdir(run.data_dir) == ["DATA401.QLM"], f"found {os.listdir(run.data_dir)}")
    check(run.client_bytes() == Path(DEMO_FILE).read_bytes(), "DATA401.QLM was changed")
    log = Path(run.env["HOME"], ".local/share/quillmere/access.log").read_text()
    check(run.data_dir in log, "the access log does not name the location")


run_test(main, client_file=DEMO_FILE, read_only=True)
