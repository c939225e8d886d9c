// One suppression as a format-2 error file stores it: its kind, where the
// record was written, its name, the message-number ranges it names (texts as
// stored, not parsed here) and the region it covers. Never changed after
// construction, except for its auxiliary text.
#pragma once

#include "foundation/Location.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class M_SuppressionRecord : public U_Ref {
public:
  using Ranges = std::vector<std::pair<std::string, std::string>>;

  // The region end is null when the record has none.
  M_SuppressionRecord(std::uint32_t kind, const U_Location &location, const std::string &name,
                      const Ranges &ranges, const U_Location &start, const U_Location &end);
  ~M_SuppressionRecord() override;

  // As stored: 0 a location record, 1 a region suppression, 2 a position
  // suppression (the simple text output names 0 "LOC" and 1 "SUP").
  std::uint32_t getKind() const { return m_kind; }
  const U_Location &getLocation() const { return m_location; }
  const std::string &getName() const { return m_name; }
  // (from, to) texts in stored order.
  const Ranges &getMessageRanges() const { return m_ranges; }
  const U_Location &getStartLocation() const { return m_start; }
  const U_Location &getEndLocation() const { return m_end; }
  // Empty when constructed.
  const std::string &getAuxText() const { return m_auxText; }
  void setAuxText(const std::string &text) { m_auxText = text; }

private:
  std::uint32_t m_kind;
  U_Location m_location;
  std::string m_name;
  Ranges m_ranges;
  U_Location m_start;
  U_Location m_end;
  std::string m_auxText;
};
