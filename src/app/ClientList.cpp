#include "app/ClientList.h"

#include "storage/ClientRecord.h"

namespace qlm {

std::string ClientListItem(int n, const ClientRecord& record) {
    return std::to_string(n) + "-" + FixedWidth(record.Name, 25);
}

}  // namespace qlm
