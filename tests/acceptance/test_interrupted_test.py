"""A test killed half way is taken up again at the next start.

Add New Client -> "Administer Test to Client" -> English -> items 1 to 50 answered, then the
program is killed (SIGKILL). At the next start it offers the test again; Yes goes on at item
51 with the first 50 answers kept, and the finished test stores exactly the answers given.
"""

import signal

from quillmere_ui import START_TIMEOUT, QuillmereRun, run_test
from test_client_entry import check, choose
from test_onscreen_spanish import give_secret_code, start_test, wait_for_item, wait_for_text_start


def choice_of(n):
    return n % 2 if n <= 97 else n % 4


def answer(run, first, last):
    for n in range(first, last + 1):
        wait_for_item(run, n)
        run.key(*(["Down"] * (choice_of(n) + 1)))
        run.key("Return")
        if n == 97:
            run.wait_for_window("Presentation Note")
            run.key("Return")
            wait_for_text_start(run, "Instructions", "The statements in this section describe",
                                "the section 2 instructions")
            run.key("Return")


def through_instructions(run):
    run.wait_for_window("Question Presentation")
    wait_for_text_start(run, "Instructions", "General Instructions", "the instructions")
    run.key("Return")
    wait_for_text_start(run, "Instructions", "The statements in this section must",
                        "the section 1 instructions")
    run.key("Return")


def main():
    with QuillmereRun("test_interrupted_test") as run:
        start_test(run, ["HALFWAY, KIT", "16", "1", "1", "10", "05052010"], "English")
        through_instructions(run)
        answer(run, 1, 50)
        wait_for_item(run, 51)
        run.screenshot("item 51 before the kill")
        run.program.send_signal(signal.SIGKILL)
        run.program.wait(timeout=10)
        check(run.client_bytes() == b"", "the killed test wrote to the client file")

        run._start_program()
        run.wait_for_window("Interrupted Test", timeout=START_TIMEOUT)
        run.key("Return")
        through_instructions(run)
        answer(run, 51, 109)
        run.wait_for_window("Presentation Note")
        run.key("Return")
        give_secret_code(run)

        expected = "".join(str(choice_of(n) + 1) for n in range(1, 110)).encode()
        record = run.client_bytes()
        check(len(record) == 185, f"DATA401.QLM holds {len(record)} bytes, expected 185")
        check(record[:12] == b"HALFWAY, KIT", f"name on disk: {record[:25]!r}")
        check(record[74:183] == expected, f"answers on disk {record[74:183]!r}, given {expected!r}")
        choose(run, "Exit Application")
        check(run.wait_for_exit() == 0, "quillmere did not end with status 0")


if __name__ == "__main__":
    run_test(main)
