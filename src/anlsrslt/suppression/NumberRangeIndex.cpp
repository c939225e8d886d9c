#include "anlsrslt/suppression/NumberRangeIndex.h"

#include <algorithm>

bool P_NumberRangeIndex::insert(const P_NumberRange &range) {
  if (range.second < range.first)
    return false;
  bool added = false;
  m_root = insertAt(m_root, range, added);
  return added;
}

void P_NumberRangeIndex::clear() {
  m_nodes.clear();
  m_root = none;
}

std::int32_t P_NumberRangeIndex::heightOf(std::int32_t node) const {
  return node == none ? 0 : m_nodes[static_cast<std::size_t>(node)].height;
}

void P_NumberRangeIndex::update(std::int32_t node) {
  Node &here = at(node);
  here.height = 1 + std::max(heightOf(here.left), heightOf(here.right));
  here.maxTo = here.range.second;
  if (here.left != none)
    here.maxTo = std::max(here.maxTo, at(here.left).maxTo);
  if (here.right != none)
    here.maxTo = std::max(here.maxTo, at(here.right).maxTo);
}

std::int32_t P_NumberRangeIndex::rotateLeft(std::int32_t node) {
  const std::int32_t up = at(node).right;
  at(node).right = at(up).left;
  at(up).left = node;
  update(node);
  update(up);
  return up;
}

std::int32_t P_NumberRangeIndex::rotateRight(std::int32_t node) {
  const std::int32_t up = at(node).left;
  at(node).left = at(up).right;
  at(up).right = node;
  update(node);
  update(up);
  return up;
}

std::int32_t P_NumberRangeIndex::rebalance(std::int32_t node) {
  update(node);
  const std::int32_t balance = heightOf(at(node).left) - heightOf(at(node).right);
  if (balance > 1) {
    const std::int32_t left = at(node).left;
    if (heightOf(at(left).left) < heightOf(at(left).right))
      at(node).left = rotateLeft(left);
    return rotateRight(node);
  }
  if (balance < -1) {
    const std::int32_t right = at(node).right;
    if (heightOf(at(right).right) < heightOf(at(right).left))
      at(node).right = rotateRight(right);
    return rotateLeft(node);
  }
  return node;
}

std::int32_t P_NumberRangeIndex::insertAt(std::int32_t node, const P_NumberRange &range, bool &added) {
  if (node == none) {
    m_nodes.push_back(Node{range, range.second, none, none, 1});
    added = true;
    return static_cast<std::int32_t>(m_nodes.size() - 1);
  }
  // The recursion may move the nodes: no reference is held across it.
  if (range < at(node).range) {
    const std::int32_t left = insertAt(at(node).left, range, added);
    at(node).left = left;
  } else if (at(node).range < range) {
    const std::int32_t right = insertAt(at(node).right, range, added);
    at(node).right = right;
  } else {
    return node;
  }
  return added ? rebalance(node) : node;
}
