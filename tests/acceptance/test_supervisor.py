"""The demo clients' report on screen, printed to a PDF file, then Delete Names (Enter is No,
then Yes): the PDF holds the report, no file a readable name, the access log each step."""

import os
import subprocess
from pathlib import Path

from quillmere_ui import DEMO_FILE, check, give_secret_code, run_test, supervisor_options


def main(run):
    supervisor_options(run, ["Tab", "Tab"], notice=True)
    give_secret_code(run, "Client Report")
    # Without a printer the toolkit's dialog offers a PDF file in the home folder.
    run.key("alt+p")
    run.wait_for_window("Print Report", named=False)
    run.key("Return")
    pdf = os.path.join(run.env["HOME"], "Quillmere report.pdf")
    run.wait(lambda: os.path.getsize(pdf) > 0, "the PDF file")
    lines = Path(run.program_dir, "report.prn").read_bytes().decode("latin-1").split("\n")
    text = " ".join(subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True,
                                   text=True).stdout.split())
    check(all(" ".join(line.split()) in text for line in lines), f"the PDF lacks a line: {text}")
    run.key("alt+c")
    run.wait_for_window("Quillmere")
    demo = run.client_bytes()
    for answer in ("Return", "alt+y"):  # a stray Enter on the warning is No
        supervisor_options(run, ["Right", "Right", "Tab"])
        run.wait_for_window("WARNING!")
        run.key(answer)
        run.wait_for_window("Quillmere")
        check(answer != "Return" or run.client_bytes() == demo, "Enter on the warning deleted")
    run.key("Return")
    run.wait_for_focus(name="Supervisor Options")
    check(run.client_bytes()[184::185] == b"11111", "not every record is marked name-deleted")
    # The backup before the first write and the report file held names: none is left.
    check(not os.path.exists(os.path.join(run.program_dir, "report.prn")), "report.prn is left")
    for folder, _, files in [*os.walk(run.data_dir), *os.walk(run.program_dir)]:
        for path in (os.path.join(folder, name) for name in files):
            content = Path(path).read_bytes()
            check(not any(name in content for name in (b"DEMO, ALEX", b"SAMPLE, JORDAN",
                  b"EXAMPLE, RIVER", b"TESTCASE, CASEY", b"FICTION, MORGAN")), f"a name in {path}")
    log = Path(run.data_dir, "access.log").read_text().splitlines()
    actions = [line.split("\t")[3:] for line in log]
    check(actions == [["view", "1"], ["pdf", "1"], ["delete-names", "1-5"]], f"logged {actions}")
    run.exit()


run_test(main, client_file=DEMO_FILE)
