"""The supervisor's reports and Delete Names on the demo clients, flagged by risk in the list.

Supervisor Options -> the note that the default code is in use -> the secret code -> the
current client's report on screen -> printed to a PDF file through the print dialog; then
Supervisor Options -> Delete Names, where Enter answers No, then again with Yes. The PDF's pages
are checked against the report, and no file under the data location or the report folder may
hold a readable name; the access log records each step, without names.
"""

import os
import stat
import subprocess

from quillmere_ui import SCREEN_TIMEOUT, START_TIMEOUT, QuillmereRun, check, choose, run_test

DEMO_NAMES = [b"DEMO, ALEX", b"SAMPLE, JORDAN", b"EXAMPLE, RIVER", b"TESTCASE, CASEY",
              b"FICTION, MORGAN"]


def demo_client_file():
    return os.path.join(os.environ["QLM_SOURCE_DIR"], "demo", "DATA401.QLM")


def check_pdf(pdf, report_file):
    """One PDF page per report page, each holding every line of its report page."""
    with open(report_file, "rb") as f:
        pages = f.read().decode("latin-1").split("\f")
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    count = int(next(line.split()[1] for line in info.splitlines() if line.startswith("Pages:")))
    check(count == len(pages), f"the PDF has {count} pages, the report {len(pages)}")
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True,
                          text=True).stdout.split("\f")
    for number, (page, sheet) in enumerate(zip(pages, text), 1):
        flat = " ".join(sheet.split())
        for line in page.splitlines():
            words = " ".join(line.split())
            check(words in flat, f"page {number} of the PDF lacks the line {line!r}")


def main():
    with QuillmereRun("test_supervisor", client_file=demo_client_file()) as run:
        run.wait_for_window("Quillmere", timeout=START_TIMEOUT)
        # The list flags, in words a screen reader says, the clients whose reports show a scale
        # in the top risk range; the invalid test of client 4 is not flagged.
        flags = {item.name.split("-")[0]: item.accessible.description
                 for item in run.find(role="list item")}
        check(flags == {"1": "", "2": "High risk: Alcohol, Violence, Antisocial",
                        "3": "High risk: Drugs, Violence, Antisocial", "4": "", "5": ""},
              f"the list's flags are {flags!r}")
        choose(run, "Supervisor Options")
        run.wait_for_window("Default Secret Code")
        run.key("Return")
        run.wait_for_window("Supervisor Options")
        # From the tabs over the report options to "Execute Selection".
        run.key("Tab", "Tab")
        run.wait_for_focus(name="Execute Selection")
        run.key("Return")
        run.wait_for_window("Secret Code")
        run.type("q")
        run.key("Return")
        run.wait_for_focus(name="Information OK")
        run.key("Return")
        run.wait_for_window("Client Report")
        run.key("alt+p")
        # Without a printer the dialog offers a PDF file in the home folder; Enter prints.
        run.wait_for_window("Print Report", named=False)  # the toolkit's dialog
        pdf = os.path.join(run.env["HOME"], "Quillmere report.pdf")
        run.key("Return")
        run.wait_for_window("Client Report", shot=False)
        run._wait(lambda: os.path.isfile(pdf) and os.path.getsize(pdf) > 0 or None,
                  "the PDF file", SCREEN_TIMEOUT)
        check_pdf(pdf, os.path.join(run.program_dir, "report.prn"))
        run.key("alt+c")
        run.wait_for_window("Quillmere")

        # Delete Names: the third tab, then Execute. A stray Enter on the warning is No; a
        # deliberate Yes deletes, and OK closes.
        demo = run.client_bytes()
        for answer in ("Return", "alt+y"):
            choose(run, "Supervisor Options")
            run.wait_for_window("Supervisor Options")
            run.key("Right", "Right")
            run.key("Tab")
            run.wait_for_focus(name="Execute Selection")
            run.screenshot("Delete Names")
            run.key("Return")
            run.wait_for_window("WARNING!")
            run.key(answer)
            run.wait_for_window("Quillmere")
            if answer == "Return":
                run.wait_for_focus(name="Supervisor Options")
                check(run.client_bytes() == demo, "Enter on the warning changed the client file")
        run.key("Return")
        run.wait_for_focus(name="Supervisor Options")
        stored = run.client_bytes()
        check(len(stored) == 5 * 185, f"DATA401.QLM holds {len(stored)} bytes")
        for name in DEMO_NAMES:
            check(name not in stored, f"{name!r} is still readable in DATA401.QLM")
        check(all(stored[n * 185 + 184:n * 185 + 185] == b"1" for n in range(5)),
              "not every record is marked name-deleted")
        # The backup made before the first write held the names, and the report file the
        # viewed client's; nothing under the data location or the report folder holds one now.
        backups = os.listdir(os.path.join(run.data_dir, "backup"))
        check(len(backups) == 1, f"the backup folder holds {backups}")
        check(not os.path.exists(os.path.join(run.program_dir, "report.prn")),
              "the report file is still there")
        for top in (run.data_dir, run.program_dir):
            for folder, _, names in os.walk(top):
                for file_name in names:
                    with open(os.path.join(folder, file_name), "rb") as f:
                        content = f.read()
                    for name in DEMO_NAMES:
                        check(name not in content, f"{name!r} is still readable in {file_name}")
        log_file = os.path.join(run.data_dir, "access.log")
        mode = stat.S_IMODE(os.stat(log_file).st_mode)
        check(mode == 0o600, f"access.log has mode {mode:o}, expected 600")
        with open(log_file, encoding="latin-1") as f:
            actions = [line.rstrip("\n").split("\t")[2:] for line in f]
        expected = [["quillmere", "view", "1"], ["quillmere", "pdf", "1"],
                    ["quillmere", "delete-names", "1-5"]]
        check(actions == expected, f"access.log records {actions}, expected {expected}")

        choose(run, "Exit Application")
        check(run.wait_for_exit() == 0, "quillmere did not end with status 0")


if __name__ == "__main__":
    run_test(main)
