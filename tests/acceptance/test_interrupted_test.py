"""A test killed half way is taken up again at the next start: items 1 to 50 answered, the
program killed; at the next start Yes goes on at item 51 with the 50 answers kept."""

import signal

from quillmere_ui import answer_items, check, choose, give_secret_code, new_client, run_test


def main(run):
    new_client(run, "Administer Test to Client", ["HALFWAY, KIT", "16", "1", "1", "10",
                                                  "05052010"])
    run.wait_for_window("Select Presentation Language")
    choose(run, "English")
    given = answer_items(run, False, 1, 51)  # item 51 up: the 50th answer is kept
    run.program.send_signal(signal.SIGKILL)
    run.program.wait(timeout=10)
    check(run.client_bytes() == b"", "the killed test wrote to the client file")
    run.start_program()
    run.wait_for_window("Interrupted Test", 30)
    run.key("Return")
    given += answer_items(run, False, 51, 109)
    give_secret_code(run)
    record = run.client_bytes()
    check(record[:12] == b"HALFWAY, KIT" and record[74:183] == given and len(record) == 185,
          f"DATA401.QLM holds {record!r}, answers given {given!r}")
    run.exit()


run_test(main)
