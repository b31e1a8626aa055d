#include "audkit/tree/element_tree_walk.hpp"

#include <vector>

#include "audkit/tree/snapshot_capture.hpp"

namespace audkit {

bool walkCapturedElements(SnapshotSource& source, UIElement& root,
                          const std::function<void(const AudElement& element, std::size_t depth)>& visit) {
    auto rootElement = makeRootElement(source, root);
    if (!rootElement) return false;

    struct Pending {
        AudElement element;
        std::size_t depth;
    };
    std::vector<Pending> stack;
    stack.push_back({std::move(*rootElement), 0});
    while (!stack.empty()) {
        Pending current = std::move(stack.back());
        stack.pop_back();
        visit(current.element, current.depth);
        std::vector<AudElement> children;
        for (const auto& child : current.element.children)
            if (auto element = makeChildElement(source, child)) children.push_back(std::move(*element));
        // Pushed in reverse so the first child is visited first.
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            stack.push_back({std::move(*child), current.depth + 1});
    }
    return true;
}

}  // namespace audkit
