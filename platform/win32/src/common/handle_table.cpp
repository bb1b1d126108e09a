#include "common/handle_table.h"

namespace qv {

namespace {
std::vector<const TableBase*>& Tables() {
    static std::vector<const TableBase*> tables;
    return tables;
}
} // namespace

void RegisterTable(const TableBase* table) { Tables().push_back(table); }

size_t LiveObjectsOfKind(HandleKind kind) {
    size_t n = 0;
    for (const TableBase* t : Tables())
        if (t->Kind() == kind) n += t->Live();
    return n;
}

} // namespace qv
