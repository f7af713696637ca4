"""A client typed from a paper answer sheet: one given up by Alt+F4, one entered through the
answer grids (items left blank on Yes), then its age edited; the bytes on disk each time."""

import time

from quillmere_ui import COURT, check, choose, new_client, run_test


def enter_answers(run):
    # Each grid's items but the last (the last grid's all) answered; returns the 109 on disk.
    run.wait_for_window("Edit Client Responses")
    answers = [b"0"] * 110
    grids = [c for c in run.controls(role="table") if c.name.startswith("Section ")]
    for g, grid in enumerate(grids):
        run.wait_for_focus(within=grid)
        table = grid.accessible.queryTable()
        items = [int(table.getAccessibleAt(row, 0).name.rstrip(".")) for row in range(table.nRows)]
        typed = items if g == len(grids) - 1 else items[:-1]
        digits = "".join(str(1 + item % (table.nColumns - 1)) for item in typed)
        for item, digit in zip(typed, digits):
            answers[item] = digit.encode()
        run.type(digits)
        run.key("Tab")
    return b"".join(answers[1:])


def save(run):
    choose(run, "Save")
    run.wait_for_window("Unanswered Items")
    run.key("alt+y")
    run.wait_for_window("Quillmere")


def main(run):
    # No (the default) keeps the screen and the name, Yes throws it away; nothing is saved.
    new_client(run, "Enter Test Data from Answer Sheet")
    run.wait_for_window("Client Information")
    run.wait_for_focus(role="text")
    run.type("GIVEN UP, DANA")
    for answer in ("Return", "alt+y"):
        run.key("alt+F4")
        run.wait_for_window("Discard Typed Data")
        run.key(answer)
        run.wait_for_focus(role="text", shown="GIVEN UP, DANA") if answer == "Return" else 0
    run.wait_for_window("Quillmere")
    check(run.client_bytes() == b"", "the client given up reached DATA401.QLM")

    days = [time.strftime("%m/%d/%Y").encode()]
    new_client(run, "Enter Test Data from Answer Sheet",
               ["TESTER, ALEX Q", "15", "1", "3", "9", "03152011"])
    answers = enter_answers(run)
    save(run)
    days.append(time.strftime("%m/%d/%Y").encode())
    record = run.client_bytes()
    court = b"".join(value.upper().encode().ljust(2) for value in COURT)
    expected = [b"TESTER, ALEX Q".ljust(25) + b"15139 03/15/20110" + day + court + answers + b"00"
                for day in days]
    check(record in expected, f"DATA401.QLM holds {record!r}, expected {expected[-1]!r}")

    # The client just added is current; only the age changes, the rest opens on its OK.
    choose(run, "Edit Current Client")
    run.wait_for_window("Client Information")
    run.wait_for_focus(name="Information OK")
    run.key(*["shift+Tab"] * 5)  # over date of birth, education, ethnicity and sex
    run.wait_for_focus(role="text", shown="15")
    run.type("16")
    run.key(*["Return"] * 6)
    run.wait_for_window("Court History")
    run.wait_for_focus(name="Information OK")
    run.key("Return")
    run.wait_for_window("Edit Client Responses")
    save(run)
    edited = record[:25] + b"16" + record[27:183] + b"1" + record[184:]
    check(run.client_bytes() == edited, f"after the edit DATA401.QLM holds {run.client_bytes()!r}")
    run.exit()


run_test(main)
