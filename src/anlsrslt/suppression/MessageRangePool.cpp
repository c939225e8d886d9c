#include "anlsrslt/suppression/MessageRangePool.h"

#include "anlsrslt/model/MessageRange.h"
#include "foundation/StringStore.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <set>

namespace {

struct MessageRangeOrder {
  bool operator()(const U_RefPtr<P_MessageRange> &a, const U_RefPtr<P_MessageRange> &b) const {
    return P_isMessageRangeLess(*a, *b);
  }
};

// Every range made in the process; it never loses one.
struct MessageRangeSet {
  std::set<U_RefPtr<P_MessageRange>, MessageRangeOrder> ranges;
};

} // namespace

std::int32_t P_messageNumberOf(const std::string &text) {
  // strtol saturates at the bounds of long; the clamp takes them to 32 bits.
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return static_cast<std::int32_t>(std::clamp<long>(value, std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()));
}

P_MessageRange *makeMessageRange(const std::string &from, const std::string &to) {
  const std::int32_t first = P_messageNumberOf(from);
  std::int32_t last = P_messageNumberOf(to);
  if (first != 0 && last == 0)
    last = first;
  U_RefPtr<P_MessageRange> made(new P_MessageRange(first, last));
  // An equal range already there wins; the new one goes with its handle.
  return U_singletonAfterInternPool<MessageRangeSet>().ranges.insert(made).first->pointer();
}
