"""A test killed half way is taken up again at the next start.

Add New Client -> "Administer Test to Client" -> English -> items 1 to 50 answered, then the
program is killed (SIGKILL). At the next start it offers the test again; Yes goes on at item
51 with the first 50 answers kept, and the finished test stores exactly the answers given.
"""

import signal

from quillmere_ui import START_TIMEOUT, QuillmereRun, check, choose, run_test
from test_onscreen_spanish import (ENGLISH, answer, give_secret_code, start_test,
                                   through_instructions, wait_for_item)


def main():
    with QuillmereRun("test_interrupted_test") as run:
        start_test(run, ["HALFWAY, KIT", "16", "1", "1", "10", "05052010"], "English")
        run.wait_for_window("Question Presentation")
        through_instructions(run, ENGLISH)
        given = answer(run, ENGLISH, 1, 50)
        wait_for_item(run, 51, ENGLISH[1])  # the 50th answer is kept
        run.screenshot("item 51 before the kill")
        run.program.send_signal(signal.SIGKILL)
        run.program.wait(timeout=10)
        check(run.client_bytes() == b"", "the killed test wrote to the client file")

        run._start_program()
        run.wait_for_window("Interrupted Test", timeout=START_TIMEOUT)
        run.key("Return")
        run.wait_for_window("Question Presentation")
        through_instructions(run, ENGLISH)
        given += answer(run, ENGLISH, 51, 109)
        give_secret_code(run)

        record = run.client_bytes()
        check(len(record) == 185, f"DATA401.QLM holds {len(record)} bytes, expected 185")
        check(record[:12] == b"HALFWAY, KIT", f"name on disk: {record[:25]!r}")
        check(record[74:183] == given, f"answers on disk {record[74:183]!r}, given {given!r}")
        choose(run, "Exit Application")
        check(run.wait_for_exit() == 0, "quillmere did not end with status 0")


if __name__ == "__main__":
    run_test(main)
