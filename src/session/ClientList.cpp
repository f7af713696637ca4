#include "session/ClientList.h"

#include "scoring/NumericValue.h"
#include "storage/ClientRecord.h"

namespace qlm {

std::string ClientListItem(int n, const ClientRecord& record) {
    return std::to_string(n) + "-" + FixedWidth(record.Name, 25);
}

int ClientOfListItem(const std::string& item) {
    return static_cast<int>(NumericValue(item.substr(0, item.find('-'))));
}

}  // namespace qlm
