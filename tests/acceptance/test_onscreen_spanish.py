"""A whole on-screen test in Spanish: Add New Client -> "Administer Test to Client" -> the
client's details -> "Spanish" -> the instructions, the 109 items answered by arrow keys and
Enter, the boxes read in Spanish -> the secret code; then the new record on disk."""

from quillmere_ui import answer_items, check, choose, give_secret_code, new_client, run_test


def main(run):
    new_client(run, "Administer Test to Client", ["PRUEBA, LUZ", "15", "2", "4", "8", "01022011"])
    run.wait_for_window("Select Presentation Language")
    choose(run, "Spanish")
    answers = answer_items(run, "Spanish")
    give_secret_code(run, "Quillmere")
    record = run.client_bytes()
    check(len(record) == 185, f"DATA401.QLM holds {len(record)} bytes, expected 185")
    check(record[:25] == b"PRUEBA, LUZ".ljust(25), f"name on disk: {record[:25]!r}")
    check(record[74:183] == answers, f"answers on disk {record[74:183]!r}, typed {answers!r}")
    choose(run, "Exit Application")
    check(run.wait_for_exit() == 0, "quillmere did not end with status 0")


run_test(main)
