#include "session/ClientList.h"

#include "session/Session.h"

#include "scoring/NumericValue.h"
#include "storage/ClientRecord.h"

namespace qlm {

std::string ClientListItem(int n, const ClientRecord& record) {
    return std::to_string(n) + "-" + FixedWidth(record.Name, 25);
}

std::string MarkedClientListItem(const Session& session, int n) {
    const auto i = static_cast<std::size_t>(n);
    std::string item = ClientListItem(n, session.ClientTable.at(i));
    if (!session.Damage.at(i).empty()) {
        item += "  (damaged record: " + session.Damage[i] + ")";
    }
    return item;
}

int ClientOfListItem(const std::string& item) {
    return static_cast<int>(NumericValue(item.substr(0, item.find('-'))));
}

}  // namespace qlm
