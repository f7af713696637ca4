"""A new client typed from a paper answer sheet, then edited once, checked byte by byte.

First a client given up: Client Information closed by the window manager (Alt+F4) asks before
it throws the typed name away. Then Add New Client -> "Enter Test Data from Answer Sheet" ->
Client Information -> Court History -> the answer grids -> Save, and the record on disk; then
Edit Current Client on that client, with only the age changed.
"""

import os
import time

from quillmere_ui import START_TIMEOUT, QuillmereRun, check, choose, run_test

RECORD_SIZE = 185
# Field offsets and widths of a client record: (name, offset, width).
LAYOUT = [
    ("Name", 0, 25), ("Age", 25, 2), ("Sex", 27, 1), ("Race", 28, 1), ("Education", 29, 2),
    ("DateOfBirth", 31, 10), ("MaritalStatus", 41, 1), ("DateScored", 42, 10),
    ("Court", 52, 22), ("Answers", 74, 109), ("EditCount", 183, 1), ("NameDeleted", 184, 1),
]

NAME = "TESTER, ALEX Q"
AGE = "15"
NEW_AGE = "16"
SEX = "1"  # Male
RACE = "3"  # Hispanic
EDUCATION = "9"
BIRTH_DATE = "03/15/2011"
# Age at first arrest, then the ten counts; "n" is the lower-case form of not available.
COURT = ["12", "03", "N", "1", "10", "0", "2", "n", "7", "99", "4"]


def fields(record):
    return {name: record[offset:offset + width] for name, offset, width in LAYOUT}


def padded(text, width):
    return text.encode("latin-1").ljust(width, b" ")


def fill_in(run, caption, values):
    """Types each value into the screen's fields in turn, each closed with Enter, then
    accepts the screen with Enter on Information OK."""
    run.wait_for_window(caption)
    for typed in values:
        before = run.focused()
        run.type(typed)
        run.key("Return")
        run.wait_for_focus_to_leave(before)
    run.wait_for_focus(name="Information OK")
    run.screenshot(f"{caption} typed")
    run.key("Return")


def save_unanswered(run):
    """Save with items left unanswered asks first; Yes saves them blank."""
    run.wait_for_window("Unanswered Items")
    run.key("alt+y")


def close_asks_first(run):
    """Alt+F4 on a screen with something typed asks first: No (the default) keeps the screen
    with what was typed, Yes throws it away. Nothing reaches the disk."""
    before = run.client_bytes() if os.path.exists(run.client_file_path) else None
    run.wait_for_focus(name="Add New Client")
    run.key("Return")
    run.wait_for_window("Entry Method")
    choose(run, "Enter Test Data from Answer Sheet")
    run.wait_for_window("Client Information")
    run.wait_for_focus(role="text")
    run.type("GIVEN UP, DANA")
    run.key("alt+F4")
    run.wait_for_window("Discard Typed Data")
    run.key("Return")
    run.wait_for_window("Client Information")
    run.wait_for_focus(role="text", shown="GIVEN UP, DANA")
    run.key("alt+F4")
    run.wait_for_window("Discard Typed Data")
    run.key("alt+y")
    run.wait_for_window("Quillmere")
    after = run.client_bytes() if os.path.exists(run.client_file_path) else None
    check(after == before, f"closing the screen changed DATA401.QLM: {before!r} -> {after!r}")


def enter_answers(run):
    """Types an answer for every item but the last of each grid except the last grid, where
    every item is answered; Tab moves on. Returns the 109 answers expected on disk."""
    run.wait_for_window("Edit Client Responses")
    answers = ["0"] * 110
    shown = [c for c in run.find(role="table") if c.name.startswith("Section ")]
    check(shown, f"no answer grids; controls: {run.controls()!r}")
    for g, grid in enumerate(shown):
        run.wait_for_focus_within(grid)
        # The item numbers of the grid's rows, read from its cells, and its answer columns.
        table = grid.accessible.queryTable()
        items = [int(table.getAccessibleAt(row, 0).name.rstrip(".")) for row in range(table.nRows)]
        columns = table.nColumns - 1
        typed_items = items if g == len(shown) - 1 else items[:-1]
        digits = "".join(str(1 + item % columns) for item in typed_items)
        for item, digit in zip(typed_items, digits):
            answers[item] = digit
        run.type(digits)
        run.key("Tab")
    run.wait_for_focus(name="Save")
    run.screenshot("answers typed")
    run.key("Return")
    save_unanswered(run)
    return "".join(answers[1:]).encode()


def add_new_client(run):
    run.wait_for_focus(name="Add New Client")
    run.key("Return")
    run.wait_for_window("Entry Method")
    choose(run, "Enter Test Data from Answer Sheet")
    fill_in(run, "Client Information",
            [NAME, AGE, SEX, RACE, EDUCATION, BIRTH_DATE.replace("/", "")])
    fill_in(run, "Court History", COURT)
    answers = enter_answers(run)
    run.wait_for_window("Quillmere")
    return answers


def check_new_record(record, answers, days):
    check(len(record) == RECORD_SIZE, f"DATA401.QLM holds {len(record)} bytes, expected 185")
    got = fields(record)
    court = b"".join(padded(value.upper(), 2) for value in COURT)
    expected = {
        "Name": padded(NAME, 25), "Age": padded(AGE, 2), "Sex": SEX.encode(),
        "Race": RACE.encode(), "Education": padded(EDUCATION, 2),
        "DateOfBirth": BIRTH_DATE.encode(), "MaritalStatus": b"0", "Court": court,
        "Answers": answers, "EditCount": b"0", "NameDeleted": b"0",
    }
    for name, value in expected.items():
        check(got[name] == value, f"{name}: {got[name]!r} on disk, expected {value!r}")
    check(got["DateScored"] in days,
          f"DateScored: {got['DateScored']!r}, expected today's date {sorted(days)}")


def edit_age(run):
    run.wait_for_window("Quillmere")
    # The client just added is the one chosen: Edit Current Client is on at once.
    run.wait_for_focus(name="Add New Client")
    run.wait_for_enabled("Edit Current Client", role="push button")
    run.key("shift+Tab")
    run.wait_for_focus(name="Edit Current Client")
    run.key("Return")
    run.wait_for_window("Client Information")
    run.wait_for_focus(name="Information OK")
    # Back from Information OK over date of birth, education, ethnicity and sex to the age.
    run.key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab")
    run.wait_for_focus(role="text", shown=AGE)
    run.type(NEW_AGE)
    for _ in range(5):
        run.key("Return")
    run.wait_for_focus(name="Information OK")
    run.key("Return")
    # An edited client's court history opens on Information OK.
    run.wait_for_window("Court History")
    run.wait_for_focus(name="Information OK")
    run.key("Return")
    run.wait_for_window("Edit Client Responses")
    choose(run, "Save")
    save_unanswered(run)
    run.wait_for_window("Quillmere")


def main():
    with QuillmereRun("test_client_entry") as run:
        run.wait_for_window("Quillmere", timeout=START_TIMEOUT)
        close_asks_first(run)
        day_before = time.strftime("%m/%d/%Y").encode()
        answers = add_new_client(run)
        days = {day_before, time.strftime("%m/%d/%Y").encode()}
        first = run.client_bytes()
        check_new_record(first, answers, days)

        edit_age(run)
        second = run.client_bytes()
        check(len(second) == RECORD_SIZE, f"after the edit DATA401.QLM holds {len(second)} bytes")
        before, after = fields(first), fields(second)
        changed = sorted(name for name in before if before[name] != after[name])
        check(changed == ["Age", "EditCount"], f"the edit changed {changed}, expected the age "
              f"and the edit count; before {first!r}, after {second!r}")
        check(after["Age"] == padded(NEW_AGE, 2), f"Age after the edit: {after['Age']!r}")
        check(after["EditCount"] == b"1", f"EditCount after the edit: {after['EditCount']!r}")

        choose(run, "Exit Application")
        status = run.wait_for_exit()
        check(status == 0, f"quillmere ended with status {status}")
        check(os.path.getsize(run.client_file_path) == RECORD_SIZE,
              "DATA401.QLM changed size at the end")


if __name__ == "__main__":
    run_test(main)
