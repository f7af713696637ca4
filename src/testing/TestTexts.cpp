#include "testing/TestTexts.h"

#include <algorithm>
#include <cctype>

namespace qlm {

namespace {

// The English texts are kept letter for letter as the juveniles have always read them, doubled
// blanks included; so are the Spanish instructions.
const std::array<TestTexts, 2> Tables{{
    {
        .Language = "English",
        .Caption = "Question Presentation",
        .InstructionsCaption = "Instructions",
        .QuestionCaption = "Question",
        .AnswerCaption = "Choose Answer",
        .InstructionPrompt = "When ready press Enter to continue.",
        .QuestionPrompt = "Use Up or Down arrow keys to highlight answer, then press Enter. Press "
                          "F10 to go back to previous question.",
        .ChoicePromptWithSound =
            "Press Enter to select this answer. Press Tab or Arrows to hear question again.",
        .ChoicePromptSilent = "Press Enter to select this answer.",
        .EndOfPartTitle = "Presentation Note",
        .EndOfPartText = "You have completed this part of the test. Press Enter to continue.",
        .EndOfTestTitle = "Presentation Note",
        .EndOfTestText = "You have completed the test. Thank you for your participation.\r\rPress "
                         "Enter to continue.",
        .LeaveText = "The test is not finished and its answers are not saved.\r\rLeave the test "
                     "and give up the answers?",
        .SoundErrorTitle = "Sound Error",
        .SoundErrorText = "Error %1",
        .RetryAdvice = "The answers are held on this screen. Put the data disk back, then press "
                       "Enter to save them.",
        .ResumeTitle = "Interrupted Test",
        .ResumeText = "The on-screen test of %1 was interrupted at item %2.\r\n\r\nTake it up "
                      "again now? No gives up the answers given so far.",
        .NewClient = "a new client",
        .Spoken = {"Spoken prompts are on.",
                   "Spoken prompts are off because no sound device was found.",
                   "Spoken prompts are off because no sound files were found."},
        .Instructions =
            {
                "General Instructions\r\n\r\n"
                "Your answers will help staff better understand your situation and needs. Answer "
                "each statement truthfully. \r\n\r\n"
                "A series of questions will be presented.  Read each statement carefully and "
                "choose the answer that is accurate for you.  Once your answer is selected you "
                "should depress the Down Arrow key to highlight the answer you selected and then "
                "press the Enter key.  An answer is highlighted when it has light blue around "
                "it.\r\n\r\n"
                "You may use the Up and Down Arrow keys to change your answers, but be sure the "
                "answer you selected is highlighted before you press the Enter key. You may also "
                "use the Tab key to have the question repeated.\r\n\r\n"
                "Alcohol refers to beer, wine and liquor.  Drugs refers to marijuana, cocaine, "
                "crack, amphetamines, barbiturates and heroin. \r\n\r\n"
                "If you have any questions, ask the  testing supervisor for help.  When you "
                "understand these instructions, you may begin. Press the Enter key to begin.",
                "The statements in this section must be answered TRUE or FALSE.\r\n\r\n"
                "If a statement is TRUE highlight \"True\" then press Enter.\r\n\r\n"
                "If a statement is FALSE highlight \"False\" then press Enter.\r\n\r\n"
                "     Press Enter to begin.",
                "The statements in this section describe you or your situation. Highlight the "
                "answer (1, 2, 3 or 4) that is accurate for you, then press Enter. \r\n\r\n"
                "     Press Enter to begin.",
                "",
            },
    },
    {
        .Language = "Spanish",
        .Caption = "Presentación de preguntas",
        .InstructionsCaption = "Instrucciones",
        .QuestionCaption = "Pregunta",
        .AnswerCaption = "Escoja su respuesta",
        .InstructionPrompt = "Oprima la tecla «Enter» para seguir.",
        .QuestionPrompt = "Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar "
                          "su respuesta. Luego oprima la tecla «Enter». Oprima la tecla «F10» "
                          "para ver la pregunta anterior.",
        .ChoicePromptWithSound =
            "Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter».",
        .ChoicePromptSilent =
            "Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter».",
        .EndOfPartTitle = "Nota de Presentación",
        .EndOfPartText = "Usted ha terminado esta parte de la prueba. Oprima la tecla «Enter» "
                         "para seguir.",
        .EndOfTestTitle = "Nota de Presentación",
        .EndOfTestText = "Usted ha terminado la prueba. Se le agradece su participación.\r\r"
                         "Oprima la tecla «Enter» para terminar.",
        .LeaveText = "La prueba no está terminada y sus respuestas no están guardadas.\r\r"
                     "¿Dejar la prueba y renunciar a las respuestas?",
        .SoundErrorTitle = "Error de sonido",
        .SoundErrorText = "Error %1",
        .RetryAdvice = "Las respuestas siguen en esta pantalla. Vuelva a poner el disco de datos "
                       "y oprima la tecla «Enter» para guardarlas.",
        .ResumeTitle = "Prueba interrumpida",
        .ResumeText = "La prueba en pantalla de %1 se interrumpió en la pregunta %2.\r\n\r\n"
                      "¿Seguir con ella ahora? «No» renuncia a las respuestas dadas hasta ahora.",
        .NewClient = "un cliente nuevo",
        .Spoken = {"La prueba se lee en voz alta.",
                   "La prueba no se lee en voz alta porque no se encontró ningún dispositivo de "
                   "sonido.",
                   "La prueba no se lee en voz alta porque no se encontraron archivos de sonido."},
        .Instructions =
            {
                "Instrucciones\r\n"
                "Sus respuestas ayudarán al personal a entender  mejor su situación y sus "
                "necesidades.  Conteste  con sinceridad y no se salte ninguna respuesta.   \r\n"
                "Lea despacio para evitar errores. Alcohol  quiere decir cerveza, vino y licor.  "
                "  Drogas  quiere decir marihuana, cocaína, crack,  anfetaminas, barbitúricos, "
                "éxtasis, heroína, etc. \r\n"
                "Complete la información de la parte superior  de su hoja de respuestas.Puede "
                "comenzar cuando  entienda las instrucciones.      ",
                "Las oraciones de esta sección deben contestarse con «Verdadero» o «Falso». Si "
                "la oración es cierta, ilumine el área que dice «Verdadero» y entonces apriete "
                "«Enter». Si la oración es falsa, ilumine el  área que dice «Falso» y entonces "
                "apriete «Enter». Oprima la tecla «Enter» para comenzar.",
                "Las oraciones de esta sección deben describir su persona o circunstancias. "
                "Ilumine el número de la contestación que usted escoja y que más le acierte: 1, "
                "2, 3 ó 4. Luego oprima la tecla «Enter».",
                "",
            },
    },
}};

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

}  // namespace

const TestTexts& TextsFor(std::string_view language) {
    const auto found = std::ranges::find_if(
        Tables, [&](const TestTexts& texts) { return sameName(texts.Language, language); });
    return found != Tables.end() ? *found : Tables.front();
}

InstructionTexts SetInstructionText(std::string_view language) {
    return TextsFor(language).Instructions;
}

std::string FillIn(std::string_view text, std::string_view first, std::string_view second) {
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            filled += text[i + 1] == '1' ? first : second;
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace qlm
