"""A whole on-screen test in Spanish, from Add New Client to the secret code.

Add New Client -> "Administer Test to Client" -> Client Information -> Court History ->
"Spanish" on the language screen -> the instructions, the 109 items answered by arrow keys and
Enter, the end-of-part and end-of-test boxes -> the secret code; then the new record on disk.
The test's texts and boxes are read in Spanish.
"""

from quillmere_ui import SCREEN_TIMEOUT, START_TIMEOUT, QuillmereRun, check, choose, run_test
from test_client_entry import COURT, fill_in

NAME = "PRUEBA, LUZ"
# The captions of the instructions and the question (the screen's own test checks the rest),
# the end-of-part box, and the starts of the instructions: general, section 1, section 2.
ENGLISH = ("Instructions", "Question", "Presentation Note", "General Instructions",
           "The statements in this section must", "The statements in this section describe")
SPANISH = ("Instrucciones", "Pregunta", "Nota de Presentación", "Instrucciones",
           "Las oraciones de esta sección deben contestarse",
           "Las oraciones de esta sección deben describir")


def wait_for_text_start(run, name, start, what):
    """Waits until the text control of that name shows a text beginning with `start`: the
    screen sets its text and its focus together."""

    def current():
        found = run.find(name=name, role="text")
        return found[0] if len(found) == 1 else None

    def probe():
        shown = current()
        return shown if shown is not None and shown.shown.startswith(start) else None

    return run._wait(probe, what, SCREEN_TIMEOUT, lambda: f"; it shows {current()!r}")


def start_test(run, client, language):
    """From the main menu to the test's first screen: Add New Client, the on-screen method,
    the client information and court history, the language."""
    run.wait_for_window("Quillmere", timeout=START_TIMEOUT)
    run.wait_for_focus(name="Add New Client")
    run.key("Return")
    run.wait_for_window("Entry Method")
    choose(run, "Administer Test to Client")
    fill_in(run, "Client Information", client)
    fill_in(run, "Court History", COURT)
    run.wait_for_window("Select Presentation Language")
    choose(run, language)


def through_instructions(run, texts):
    wait_for_text_start(run, texts[0], texts[3], "the general instructions")
    run.key("Return")
    wait_for_text_start(run, texts[0], texts[4], "the section 1 instructions")
    run.screenshot("section 1 instructions")
    run.key("Return")


def wait_for_item(run, n, caption):
    run._wait(lambda: any(c.shown.startswith(f"{n}. ") for c in run.find(name=caption,
                                                                         role="text")),
              f"item {n} on screen", SCREEN_TIMEOUT)


def choice_of(n):
    return n % 2 if n <= 97 else n % 4


def answer(run, texts, first=1, last=109):
    """Answers item n with choice 1 + n % 2 (true/false) or 1 + n % 4, and the end-of-part box
    after item 97 and the last; returns the answers given."""
    for n in range(first, last + 1):
        wait_for_item(run, n, texts[1])
        if n in (1, 98):
            run.screenshot(f"item {n}")
        run.key(*(["Down"] * (choice_of(n) + 1)))
        run.key("Return")
        if n in (97, 109):
            run.wait_for_window(texts[2])
            run.key("Return")
        if n == 97:
            wait_for_text_start(run, texts[0], texts[5], "the section 2 instructions")
            run.screenshot("section 2 instructions")
            run.key("Return")
    return "".join(str(choice_of(n) + 1) for n in range(first, last + 1)).encode()


def give_secret_code(run):
    run.wait_for_window("Secret Code")
    run.type("q")
    run.key("Return")
    run.wait_for_focus(name="Information OK")
    run.key("Return")
    run.wait_for_window("Quillmere")


def main():
    with QuillmereRun("test_onscreen_spanish") as run:
        start_test(run, [NAME, "15", "2", "4", "8", "01022011"], "Spanish")
        run.wait_for_window("Presentación de preguntas")
        through_instructions(run, SPANISH)
        answers = answer(run, SPANISH)
        give_secret_code(run)

        record = run.client_bytes()
        check(len(record) == 185, f"DATA401.QLM holds {len(record)} bytes, expected 185")
        check(record[:25] == NAME.encode("latin-1").ljust(25), f"name on disk: {record[:25]!r}")
        check(record[74:183] == answers, f"answers on disk {record[74:183]!r}, typed {answers!r}")
        choose(run, "Exit Application")
        check(run.wait_for_exit() == 0, "quillmere did not end with status 0")


if __name__ == "__main__":
    run_test(main)
