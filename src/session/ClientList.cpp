#include "session/ClientList.h"

#include "session/Session.h"

#include "scoring/NumericValue.h"
#include "storage/ClientRecord.h"

namespace qlm {

std::string ClientListItem(int n, const ClientRecord& record) {
    return std::to_string(n) + "-" + FixedWidth(record.Name, 25);
}

std::string MarkedClientListItem(int n, const ClientRecord& record, const std::string& damage) {
    std::string item = ClientListItem(n, record);
    if (!damage.empty()) {
        item += "  (damaged record: " + damage + ")";
    }
    return item;
}

std::string MarkedClientListItem(const Session& session, int n) {
    return MarkedClientListItem(n, session.Clients.entry(n), session.Clients.damage(n));
}

std::string LocationSummary(const std::string& path, int clients, bool readOnly) {
    return "Data location: " + path + (readOnly ? " (read only)" : "") + " \xe2\x80\x94 " +
           std::to_string(clients) + " of " + std::to_string(MaxClients) + " clients";
}

std::string SkippedReports(const std::vector<int>& clients, const std::string& verb) {
    std::string text =
        "Not " + verb + " (damaged record): client" + (clients.size() > 1 ? "s " : " ");
    for (std::size_t i = 0; i < clients.size(); ++i) {
        text += (i > 0 ? ", " : "") + std::to_string(clients[i]);
    }
    return text + ".";
}

int ClientOfListItem(const std::string& item) {
    return static_cast<int>(NumericValue(item.substr(0, item.find('-'))));
}

}  // namespace qlm
