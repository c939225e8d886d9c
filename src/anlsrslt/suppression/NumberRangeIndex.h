// The distinct message-number ranges of the suppression maps, kept so that the
// ranges covering a number are found by one descent, whatever the number of
// ranges and however wide they are.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// A range of message numbers (from, to); it covers from <= n <= to, so a
// range whose to is below its from covers nothing.
using P_NumberRange = std::pair<std::int32_t, std::int32_t>;

// A balanced search tree of ranges ordered by from, then to, whose every node
// also knows the largest to in its subtree: a search for a number enters only
// the subtrees that can hold a range covering it. Memory follows the number of
// ranges, not their widths; ranges are added one by one and never removed but
// all at once.
class P_NumberRangeIndex {
public:
  // Holds the range; whether it was new. A range that covers no number is not
  // held (answered false).
  bool insert(const P_NumberRange &range);

  // Calls visit(range) for every range held that covers the number, in the
  // order of from, then to, until a call answers true; whether one did.
  template <class Visit> bool forEachCovering(std::int32_t number, Visit visit) const {
    return visitCovering(m_root, number, visit);
  }

  std::size_t size() const { return m_nodes.size(); }
  void clear();

private:
  static constexpr std::int32_t none = -1;

  struct Node {
    P_NumberRange range;
    std::int32_t maxTo; // the largest to in the subtree
    std::int32_t left;
    std::int32_t right;
    std::int32_t height;
  };

  template <class Visit> bool visitCovering(std::int32_t node, std::int32_t number, Visit &visit) const {
    while (node != none) {
      const Node &here = m_nodes[static_cast<std::size_t>(node)];
      if (here.maxTo < number)
        return false;
      if (visitCovering(here.left, number, visit))
        return true;
      // Everything to the right starts after this range.
      if (here.range.first > number)
        return false;
      if (here.range.second >= number && visit(here.range))
        return true;
      node = here.right;
    }
    return false;
  }

  Node &at(std::int32_t node) { return m_nodes[static_cast<std::size_t>(node)]; }
  std::int32_t heightOf(std::int32_t node) const;
  // Height and largest to of the node from its children.
  void update(std::int32_t node);
  std::int32_t rotateLeft(std::int32_t node);
  std::int32_t rotateRight(std::int32_t node);
  // The subtree of the node with its heights balanced again; its new root.
  std::int32_t rebalance(std::int32_t node);
  std::int32_t insertAt(std::int32_t node, const P_NumberRange &range, bool &added);

  // Nodes refer to each other by index; the tree only grows until clear.
  std::vector<Node> m_nodes;
  std::int32_t m_root = none;
};
