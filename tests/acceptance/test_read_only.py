"""A data location the user may read but not write: the demo clients are listed with "read
only" beside the location, the choices that would write are off, and a report is shown.

The program runs as a user who cannot write the location (nobody, where the tests run as root).
"""

import os

from quillmere_ui import START_TIMEOUT, QuillmereRun, check, choose, run_test
from test_supervisor import demo_client_file


def main():
    with QuillmereRun("test_read_only", client_file=demo_client_file(), read_only=True) as run:
        run.wait_for_window("Quillmere", timeout=START_TIMEOUT)
        run.control(name=f"Data location: {run.data_dir} (read only) \u2014 5 of 51 clients",
                    role="label")
        run.wait_for_focus_within(run.control(name="Client List", role="list"))
        run.key("Down")
        run.wait_for_enabled("Edit Current Client", role="push button", enabled=False)
        run.wait_for_enabled("Add New Client", role="push button", enabled=False)

        choose(run, "Supervisor Options")
        run.wait_for_window("Default Secret Code")
        run.key("Return")
        run.wait_for_window("Supervisor Options")
        # Verify Data and Delete Names are off: the arrows stay on Reports.
        run.key("Right", "Right", "Tab", "Tab")
        run.wait_for_focus(name="Execute Selection")
        run.key("Return")
        run.wait_for_window("Secret Code")
        run.type("q")
        run.key("Return")
        run.wait_for_focus(name="Information OK")
        run.key("Return")
        run.wait_for_window("Client Report")
        report = run.control(name="Client Report", role="text")
        check("DEMO, ALEX" in (report.text or ""), "the report does not show client 1")
        run.key("alt+c")
        run.wait_for_window("Quillmere")
        choose(run, "Exit Application")
        check(run.wait_for_exit() == 0, "quillmere did not end with status 0")

        # Nothing was written to the location, not even a lock file or a backup.
        check(os.listdir(run.data_dir) == ["DATA401.QLM"],
              f"the data location holds {sorted(os.listdir(run.data_dir))}")
        with open(demo_client_file(), "rb") as demo:
            check(run.client_bytes() == demo.read(), "DATA401.QLM was changed")
        # The report shown is logged in the user's own folder, naming the location.
        log = os.path.join(run.env["HOME"], ".local/share/quillmere/access.log")
        with open(log, encoding="utf-8") as lines:
            check(run.data_dir in lines.read(), f"{log} does not name the location")


if __name__ == "__main__":
    run_test(main)
