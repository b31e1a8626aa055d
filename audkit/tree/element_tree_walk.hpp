#pragma once

#include <cstddef>
#include <functional>

#include "audkit/tree/aud_element.hpp"
#include "audkit/tree/snapshot_source.hpp"

namespace audkit {

// Visits the captured element tree depth first, each element before its
// children, with its depth (the root is 0). Children that cannot be read are
// left out with their descendants. Uses an explicit stack, so any depth works.
// Returns false when the root cannot be read.
bool walkCapturedElements(SnapshotSource& source, UIElement& root,
                          const std::function<void(const AudElement& element, std::size_t depth)>& visit);

}  // namespace audkit
