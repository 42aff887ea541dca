#include "Procedure/QuillVersionRepairInfo.h"

#include <algorithm>

namespace {

// std::string compares bytes as unsigned characters.
bool PathAfter(const RepairFileRecord& a, const RepairFileRecord& b) {
    return a.path > b.path;
}

}  // namespace

void SortRecordsDescending(std::vector<RepairFileRecord>& records) {
    std::stable_sort(records.begin(), records.end(), PathAfter);
}

std::vector<RepairFileRecord> ObsoleteRecords(const std::vector<RepairFileRecord>& installed,
                                              const std::vector<RepairFileRecord>& fresh) {
    // Both lists are sorted; a path repeated in either still counts once as "listed".
    std::vector<RepairFileRecord> obsolete;
    for (const RepairFileRecord& record : installed) {
        if (!std::binary_search(fresh.begin(), fresh.end(), record, PathAfter)) {
            obsolete.push_back(record);
        }
    }
    return obsolete;
}
