#include "testing/InstructionText.h"

#include <algorithm>
#include <cctype>

namespace qlm {

namespace {

// Kept letter for letter as the juveniles have always read them, doubled blanks included.
const InstructionTexts EnglishTexts{
    "General Instructions\r\n\r\n"
    "Your answers will help staff better understand your situation and needs. "
    "Answer each statement truthfully. \r\n\r\n"
    "A series of questions will be presented.  Read each statement carefully and "
    "choose the answer that is accurate for you.  Once your answer is selected you "
    "should depress the Down Arrow key to highlight the answer you selected and then "
    "press the Enter key.  An answer is highlighted when it has light blue around it.\r\n\r\n"
    "You may use the Up and Down Arrow keys to change your answers, but be sure the answer you "
    "selected is highlighted before you press the Enter key. You may also use the Tab key to "
    "have the question repeated.\r\n\r\n"
    "Alcohol refers to beer, wine and liquor.  Drugs refers to marijuana, cocaine, crack, "
    "amphetamines, barbiturates and heroin. \r\n\r\n"
    "If you have any questions, ask the  testing supervisor for help.  When you understand these "
    "instructions, you may begin. Press the Enter key to begin.",
    "The statements in this section must be answered TRUE or FALSE.\r\n\r\n"
    "If a statement is TRUE highlight \"True\" then press Enter.\r\n\r\n"
    "If a statement is FALSE highlight \"False\" then press Enter.\r\n\r\n"
    "     Press Enter to begin.",
    "The statements in this section describe you or your situation. Highlight "
    "the answer (1, 2, 3 or 4) that is accurate for you, then press Enter. \r\n\r\n"
    "     Press Enter to begin.",
    "",
};

const InstructionTexts SpanishTexts{
    "Instrucciones\r\n"
    "Sus respuestas ayudarán al personal a entender  "
    "mejor su situación y sus necesidades.  Conteste  "
    "con sinceridad y no se salte ninguna respuesta.   \r\n"
    "Lea despacio para evitar errores. Alcohol  "
    "quiere decir cerveza, vino y licor.    Drogas  "
    "quiere decir marihuana, cocaína, crack,  "
    "anfetaminas, barbitúricos, éxtasis, heroína, etc. \r\n"
    "Complete la información de la parte superior  "
    "de su hoja de respuestas.Puede comenzar cuando  "
    "entienda las instrucciones.   "
    "   ",
    "Las oraciones de esta sección deben contestarse con «Verdadero» o "
    "«Falso». Si la oración es cierta, ilumine el área que "
    "dice «Verdadero» y entonces apriete «Enter». Si la oración es falsa, "
    "ilumine el  área que dice «Falso» y entonces apriete «Enter». "
    "Oprima la tecla «Enter» para comenzar.",
    "Las oraciones de esta sección deben describir su persona o circunstancias. "
    "Ilumine el número de la contestación que usted escoja y que más le acierte: "
    "1, 2, 3 ó 4. Luego oprima la tecla «Enter».",
    "",
};

}  // namespace

bool IsSpanish(std::string_view language) {
    return std::ranges::equal(language, std::string_view("SPANISH"), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
    });
}

InstructionTexts SetInstructionText(std::string_view language) {
    return IsSpanish(language) ? SpanishTexts : EnglishTexts;
}

}  // namespace qlm
