#include <ostream>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "testing/BankItem.h"
#include "testing/QuestionBank.h"

namespace qlm::cli {

int RunBank(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "language"});
    const auto language = args.get("language");
    if (language && !IsLanguageTable(*language)) {
        throw UsageError("--language must be English or Spanish, not \"" + *language + "\"");
    }
    const QuestionBank bank(session.programFile(QuestionBankFileName));
    if (!language) {
        for (const auto& name : bank.languages()) {
            out << name << '\n';
        }
        return 0;
    }
    for (auto records = bank.openTable(*language); !records.eof(); records.next()) {
        const BankItem item = ReadBankItem(records);
        out << QuestionText(item) << '\n';
        for (int k = 1; k <= BankItem::MaxChoices; ++k) {
            if (item.offered(k)) {
                out << "    " << k << ") " << *item.Answer[static_cast<std::size_t>(k)] << '\n';
            }
        }
    }
    return 0;
}

}  // namespace qlm::cli
