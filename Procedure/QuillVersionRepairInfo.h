// What one game information file says, held for one step of the repair run.
#pragma once

#include <string>
#include <vector>

#include "Procedure/RepairFileRecord.h"

class QuillVersionRepairInfo {
  public:
    virtual ~QuillVersionRepairInfo() = default;

    std::string m_strVersion;
    std::vector<RepairFileRecord> m_records;
};

// Records sorted and compared by path alone, as unsigned bytes, descending: of
// two paths the one with the greater first differing byte comes first, and a
// path comes before its own prefixes.
void SortRecordsDescending(std::vector<RepairFileRecord>& records);
// Installed records whose path the new list does not hold, in that order.
std::vector<RepairFileRecord> ObsoleteRecords(const std::vector<RepairFileRecord>& installed,
                                              const std::vector<RepairFileRecord>& fresh);
