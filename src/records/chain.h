// Deleting a singly linked chain one link at a time: letting each node's
// owning pointer delete the next would recurse once per node, and a long
// chain (tens of thousands of points) would exhaust the stack.
#pragma once

#include <memory>

namespace pelikon {

// Deletes `head` and every node after it; `link` names the owning pointer
// to the next node.
template <typename T>
void DeleteChainIteratively(std::unique_ptr<T> head, std::unique_ptr<T> T::*link) {
  while (head) {
    std::unique_ptr<T> next = std::move((*head).*link);
    head.reset();
    head = std::move(next);
  }
}

}  // namespace pelikon
