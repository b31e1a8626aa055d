#include "audkit/tree/view_tree_builder.hpp"

#include <vector>

#include "audkit/base/process_state.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_traits.hpp"
#include "audkit/tree/snapshot_capture.hpp"

namespace audkit {
namespace {

using T = AudElementType;

AudBounds scaled(const AudRect& rect, float scale) {
    return AudBounds(rect.left() * scale, rect.right() * scale, rect.top() * scale, rect.bottom() * scale);
}

bool isZero(const AudRect& rect) { return rect == AudRect(0, 0, 0, 0); }

// One node without its children; none when the node is dropped (an invisible
// cell of a table).
std::shared_ptr<AudView> buildNode(SnapshotSource& source, const AudElement& element, AudView* parent,
                                   const AudBounds& screen) {
    AudTraits traits(element.traits);
    const auto type = element.elementType;
    AudRole role;
    bool isActiveControl = false;
    if (isControlElementType(type)) {
        role = AudRole::control;
        isActiveControl = true;
    } else if (type == T::scrollBar) {
        role = AudRole::genericElement;
    } else if (type == T::image) {
        role = AudRole::image;
        isActiveControl = traits.contains(AudTraits::adjustable);
    } else if (traits.contains(AudTraits::adjustable)) {
        role = AudRole::control;
        isActiveControl = true;
    } else {
        role = type == T::staticText ? AudRole::textElement : AudRole::genericElement;
    }

    if (type == T::cell && parent != nullptr && parent->elementType == T::table) {
        if (!element.isVisible) return nullptr;
        traits.insert(AudTraits::staticText);
        if (traits.contains(AudTraits::button)) {
            role = AudRole::control;
            isActiveControl = true;
        } else {
            isActiveControl = false;
        }
    }

    const auto frame = AudRect::fromPlatform(element.frame);
    const auto visibleFrame = AudRect::fromPlatform(element.visibleFrame);
    const float scale = source.screenScale();
    AudRect bounds = frame, visibleBounds = visibleFrame;
    if (parent == nullptr) {
        // The root is re-based to the origin; its descendants keep their own coordinates.
        const AudRect rebased(0, frame.width(), 0, frame.height());
        if (!(frame == rebased)) {
            bounds = rebased;
            visibleBounds = AudRect(0, visibleFrame.width(), 0, visibleFrame.height());
        }
    }

    auto props = std::make_shared<AudProps>();
    props->add(viewkey::isEnabled, element.isEnabled);
    if (!isBlank(element.label)) props->add(viewkey::label, *element.label);
    props->add(viewkey::frame, bounds);
    props->add(viewkey::isActiveControl, isActiveControl);
    if (auto text = element.text()) props->add(viewkey::text, std::move(*text));
    props->add(viewkey::isAccessibilityElement, element.isAccessibilityElement);
    props->add(viewkey::accessibilityTraits, traits);
    props->add(viewkey::accessibilityPath, scaled(visibleBounds, scale));
    props->add(viewkey::elementOffScreen, ElementOffScreen{element.offScreenAmount()});
    props->add(viewkey::keyboardOnScreen, element.keyboardOnScreen);
    props->add(viewkey::visibleFrameXCTest, element.visibleFrame);
    props->add(viewkey::hasCustomA11yActions, element.hasCustomA11yActions);
    const auto& provenance = element.provenance;
    if (provenance.source) props->add(viewkey::source, *provenance.source);
    if (!provenance.inferred.empty()) props->add(viewkey::inferredAttributes, provenance.inferred);
    if (provenance.systemElement) props->add(viewkey::systemElement, *provenance.systemElement);

    AudView::Fields fields;
    fields.className = element.className;
    fields.elementType = type;
    fields.boundsInScreen = scaled(bounds, scale);
    if (!isBlank(element.identifier)) fields.accessibilityIdentifier = element.identifier;
    fields.name = element.name;
    fields.role = role;
    fields.state = element.state();
    if (!isBlank(element.value)) fields.value = element.value;
    fields.isVisibleToUser = element.isVisible && !isZero(visibleFrame);
    return AudView::make(std::move(fields), std::move(props), parent, screen);
}

bool keepsNoChildren(AudElementType type) { return type == T::picker || type == T::pickerWheel; }

// The table-cell rule: a cell that is no accessibility element is focusable
// when it shows text before any accessible control.
bool cellShowsText(const AudView& cell) {
    bool controlsFirst = true, hasText = false;
    for (const auto& child : cell.children) {
        visitPreOrder(*child, [&](const AudView& node) {
            if (node.role == AudRole::control && controlsFirst) {
                controlsFirst = !node.isAccessibilityElement();
                return RunStatus::skipChildren;
            }
            if (!isBlank(node.text()) && (node.className == "UITableViewLabel" || node.isAccessibilityElement())) {
                hasText = true;
                controlsFirst = false;
            }
            return RunStatus::proceed;
        });
    }
    return hasText;
}

// A control inside a table cell.
bool controlInCellIsFocusable(const AudView& node) {
    bool contentViewSeen = false, anyFocusableAbove = false;
    for (const AudView* ancestor = node.parent; ancestor != nullptr; ancestor = ancestor->parent) {
        if (ancestor->className == "UITableViewCellContentView") {
            if (ancestor->elementType == T::cell) return true;
            contentViewSeen = true;
        }
        if (ancestor->elementType == T::cell) {
            if (contentViewSeen) return true;
            if (ancestor->isAccessibilityElement() || anyFocusableAbove) return false;
            const auto traits = ancestor->get(viewkey::accessibilityTraits).value_or(AudTraits());
            return !traits.contains(AudTraits::button);
        }
        anyFocusableAbove = anyFocusableAbove || ancestor->isAccessibilityFocusable;
    }
    if (contentViewSeen) return true;
    return !anyFocusableAbove;
}

// `belowFocusable`: whether a strict ancestor holds "isAccessibilityFocusable",
// carried down by the pass instead of a walk up from every node.
bool computeFocusable(const AudView& node, bool belowFocusable) {
    const bool isElement = node.isAccessibilityElement();
    const auto type = node.elementType;
    const AudView* parent = node.parent;
    if (type == T::pickerWheel) return true;
    if (type == T::cell && parent != nullptr && parent->elementType == T::table) {
        if (node.isChildOfElementType(T::pickerWheel)) return false;
        if (isElement) return true;
        return cellShowsText(node);
    }
    if (isElement && node.isChildOfElementType(T::table) && node.isChildOfElementType(T::cell)) {
        if (node.role != AudRole::control) return false;
        return controlInCellIsFocusable(node);
    }
    if (type == T::button && parent != nullptr &&
        (parent->elementType == T::textField || parent->elementType == T::secureTextField))
        return isElement;
    if (parent == nullptr) return isElement;
    if (belowFocusable) return false;
    return isElement;
}

}  // namespace

void runFocusabilityPass(AudView& root) {
    // Pre-order, so every ancestor is settled before its descendants.
    std::vector<std::pair<AudView*, bool>> stack{{&root, false}};
    while (!stack.empty()) {
        const auto [node, belowFocusable] = stack.back();
        stack.pop_back();
        node->isAccessibilityFocusable = computeFocusable(*node, belowFocusable);
        node->keepChildOfPropAnswer(viewkey::isAccessibilityFocusable.name, belowFocusable);
        const bool childrenBelow = belowFocusable || node->holdsProp(viewkey::isAccessibilityFocusable.name);
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            stack.emplace_back(child->get(), childrenBelow);
    }
}

std::shared_ptr<AudView> buildTree(SnapshotSource& source, const AudElement& rootElement, const AudBounds& screen) {
    auto root = buildNode(source, rootElement, nullptr, screen);
    if (!root) return nullptr;
    if (keepsNoChildren(root->elementType)) return root;  // a picker root: no children, no focusability pass

    // Depth first in platform order, as a recursive build would go, but with
    // an explicit stack of the child lists still to read.
    struct Pending {
        AudView* node;
        std::vector<XCAccessibilityElement> children;
        std::size_t next = 0;
    };
    std::vector<Pending> stack;
    stack.push_back({root.get(), rootElement.children});
    while (!stack.empty()) {
        auto& top = stack.back();
        if (top.next == top.children.size()) {
            stack.pop_back();
            continue;
        }
        const auto reference = top.children[top.next++];
        AudView* parent = top.node;
        const auto element = makeChildElement(source, reference);
        if (!element) continue;
        auto child = buildNode(source, *element, parent, screen);
        if (!child) continue;
        AudView* added = child.get();
        parent->addChild(std::move(child));
        if (!keepsNoChildren(added->elementType) && !element->children.empty())
            stack.push_back({added, element->children});  // `top` may dangle from here on
    }
    runFocusabilityPass(*root);
    return root;
}

}  // namespace audkit
