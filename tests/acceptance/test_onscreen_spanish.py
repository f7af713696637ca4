"""A whole on-screen test in Spanish, answered by arrow keys and Enter; the record on disk."""

from quillmere_ui import answer_items, check, choose, give_secret_code, new_client, run_test


def main(run):
    new_client(run, "Administer Test to Client", ["PRUEBA, LUZ", "15", "2", "4", "8", "01022011"])
    run.wait_for_window("Select Presentation Language")
    choose(run, "Spanish")
    answers = answer_items(run, True)
    give_secret_code(run)
    record = run.client_bytes()
    check(record[:25] == b"PRUEBA, LUZ".ljust(25) and record[74:183] == answers
          and len(record) == 185, f"DATA401.QLM holds {record!r}, answers given {answers!r}")
    run.exit()


run_test(main)
