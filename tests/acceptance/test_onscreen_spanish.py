"""A whole on-screen test in Spanish, from Add New Client to the secret code.

Add New Client -> "Administer Test to Client" -> Client Information -> Court History ->
"Spanish" on the language screen -> the instructions, the 109 items answered by arrow keys and
Enter, the end-of-part and end-of-test boxes -> the secret code; then the new record on disk.
The test's captions and boxes are read in Spanish.
"""

from quillmere_ui import SCREEN_TIMEOUT, START_TIMEOUT, QuillmereRun, run_test
from test_client_entry import COURT, check, choose, fill_in

NAME = "PRUEBA, LUZ"


# The captions of the instructions, the question and the answers.
SPANISH = ("Instrucciones", "Pregunta", "Escoja su respuesta")


def question(run, caption="Question"):
    found = run.find(name=caption, role="text")
    return found[0] if len(found) == 1 else None


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


def wait_for_item(run, n, caption="Question"):
    def probe():
        shown = question(run, caption)
        return shown if shown is not None and shown.shown.startswith(f"{n}. ") else None

    return run._wait(probe, f"item {n} on screen", SCREEN_TIMEOUT,
                     lambda: f"; the question shows {question(run, caption)!r}")


def check_captions(run, captions):
    """Each caption names a frame of the screen, as a screen reader reads it."""
    names = {c.name for c in run.controls()}
    missing = [caption for caption in captions if caption not in names]
    check(not missing, f"captions {missing!r} not on screen; it shows {sorted(names)!r}")


def answer_items(run):
    """Answers item n with choice 1 + n % 2 (true/false) or 1 + n % 4; returns the answers."""
    answers = []
    for n in range(1, 110):
        wait_for_item(run, n, SPANISH[1])
        if n in (1, 98):
            run.screenshot(f"item {n}")
            check_captions(run, SPANISH[1:])
        choice = n % 2 if n <= 97 else n % 4
        run.key(*(["Down"] * (choice + 1)))
        run.key("Return")
        answers.append(str(choice + 1))
        if n == 97:
            run.wait_for_window("Nota de Presentación")
            run.key("Return")
            run.wait_for_window("Presentación de preguntas", shot=False)
            wait_for_text_start(run, SPANISH[0], "Las oraciones de esta secci\u00f3n deben "
                                "describir", "the section 2 instructions")
            run.screenshot("section 2 instructions")
            run.key("Return")
    run.wait_for_window("Nota de Presentación")
    run.key("Return")
    return "".join(answers).encode()


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
        wait_for_text_start(run, SPANISH[0], "Instrucciones", "the general instructions")
        check_captions(run, SPANISH[:1])
        # Whether the test speaks, said in Spanish before the juvenile starts.
        spoken = [c for c in run.controls() if c.shown.startswith("La prueba ")]
        check(len(spoken) == 1, f"no word on the spoken prompts; controls: {run.controls()!r}")
        run.key("Return")
        wait_for_text_start(run, SPANISH[0], "Las oraciones de esta secci\u00f3n deben "
                            "contestarse", "the section 1 instructions")
        run.screenshot("section 1 instructions")
        run.key("Return")
        answers = answer_items(run)
        give_secret_code(run)

        record = run.client_bytes()
        check(len(record) == 185, f"DATA401.QLM holds {len(record)} bytes, expected 185")
        check(record[:25] == NAME.encode("latin-1").ljust(25), f"name on disk: {record[:25]!r}")
        check(record[74:183] == answers, f"answers on disk {record[74:183]!r}, typed {answers!r}")

        choose(run, "Exit Application")
        check(run.wait_for_exit() == 0, "quillmere did not end with status 0")


if __name__ == "__main__":
    run_test(main)
