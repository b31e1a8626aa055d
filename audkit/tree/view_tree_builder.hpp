#pragma once

#include <memory>

#include "audkit/tree/aud_element.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/snapshot_source.hpp"

namespace audkit {

// Builds the view tree below a root element, reading children through the
// snapshot source in platform order, then runs the focusability pass. None
// when the root yields no node. Works without recursion at any depth. The
// screen (in pixels) places headers and footers by position.
std::shared_ptr<AudView> buildTree(SnapshotSource& source, const AudElement& root, const AudBounds& screen);

// Sets isAccessibilityFocusable on every node, in pre-order, so each node is
// decided after its ancestors.
void runFocusabilityPass(AudView& root);

}  // namespace audkit
