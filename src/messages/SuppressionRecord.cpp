#include "messages/SuppressionRecord.h"

M_SuppressionRecord::M_SuppressionRecord(std::uint32_t kind, const U_Location &location,
                                         const std::string &name, const Ranges &ranges,
                                         const U_Location &start, const U_Location &end)
    : m_kind(kind), m_location(location), m_name(name), m_ranges(ranges), m_start(start), m_end(end) {}

M_SuppressionRecord::~M_SuppressionRecord() = default;
