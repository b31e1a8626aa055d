#include "audkit/tree/aud_view.hpp"

#include <algorithm>
#include <mutex>

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/base/text_helpers.hpp"

namespace audkit {

struct AudView::LazyCaches {
    std::optional<std::optional<std::string>> expectedValue;
    std::optional<std::vector<std::string>> textOfSelfAndDescendants;
    std::optional<const AudView*> visibleLabelInChildElement;
    std::optional<const AudView*> associatedTextForControl;
};

namespace {

using T = AudElementType;

std::shared_ptr<AudView> shared(const AudView* view) {
    return view ? std::const_pointer_cast<AudView>(view->shared_from_this()) : nullptr;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Every occurrence of `pattern` removed (an empty pattern removes nothing),
// then trimmed.
std::string removingOccurrences(std::string text, const std::string& pattern) {
    if (!pattern.empty()) {
        for (auto at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at))
            text.erase(at, pattern.size());
    }
    return trimmedWhitespaceAndNewlines(text);
}

// Membership questions are numbered: element types by their raw value, property
// keys after them in the order first asked.
std::uint32_t propQuestion(std::string_view key) {
    // Shared by every thread, so a tree asked from two threads agrees.
    static std::mutex guard;
    static std::vector<std::string> keys;
    const std::lock_guard lock(guard);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key) return static_cast<std::uint32_t>(1000 + i);
    keys.emplace_back(key);
    return static_cast<std::uint32_t>(1000 + keys.size() - 1);
}

// Whether a strict ancestor matches. Walks up until an ancestor matches or
// already knows its own answer, then keeps the asking view's answer. A view's
// ancestors never change, so negative answers stay true too, except where the
// matching itself can change (keepNegative false).
template <class Matches>
bool isBelow(const AudView& view, std::uint32_t question, bool keepNegative, Matches&& matches) {
    if (const auto known = view.membershipAnswer(question)) return *known;
    bool answer = false;
    const AudView* stop = nullptr;  // the ancestor that decided, if any
    for (const AudView* ancestor = view.parent; ancestor != nullptr; ancestor = ancestor->parent) {
        if (matches(*ancestor)) {
            answer = true;
            stop = ancestor;
            break;
        }
        if (const auto known = ancestor->membershipAnswer(question)) {
            answer = *known;
            stop = ancestor;
            break;
        }
    }
    if (!answer && !keepNegative) return answer;
    // Every view passed on the way shares the answer: keeping it there too
    // makes a whole tree of questions linear, whatever order they come in.
    view.keepMembershipAnswer(question, answer);
    for (const AudView* passed = view.parent; passed != stop; passed = passed->parent)
        passed->keepMembershipAnswer(question, answer);
    return answer;
}

template <class Node, class Visitor>
bool preOrder(Node& root, Visitor&& visitor) {
    std::vector<Node*> stack{&root};
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        switch (visitor(*node)) {
            case RunStatus::stop: return true;
            case RunStatus::skipChildren: break;
            case RunStatus::proceed:
                for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
                    stack.push_back(child->get());
                break;
        }
    }
    return false;
}

bool isTextInputType(AudElementType type) {
    return type == T::searchField || type == T::textField || type == T::secureTextField || type == T::textView;
}

}  // namespace

std::string makeAudViewId() {
    std::string id;
    for (const char c : IdAndTimeSource::uuid())
        if ((c >= '0' && c <= '9') || c == '.') id += c;
    return id;
}

bool visitPreOrder(const AudView& root, const std::function<RunStatus(const AudView&)>& visitor) {
    return preOrder(root, visitor);
}

std::shared_ptr<AudView> AudView::withFields(Fields fields, std::shared_ptr<AudProps> props) {
    std::shared_ptr<AudView> view(new AudView());
    view->className = std::move(fields.className);
    view->elementType = fields.elementType;
    view->boundsInScreen = fields.boundsInScreen;
    view->accessibilityIdentifier = std::move(fields.accessibilityIdentifier);
    view->name = std::move(fields.name);
    view->role = fields.role;
    view->state = std::move(fields.state);
    view->value = std::move(fields.value);
    view->isVisibleToUser = fields.isVisibleToUser;
    view->props = props ? std::move(props) : std::make_shared<AudProps>();
    return view;
}

std::shared_ptr<AudView> AudView::make(Fields fields, std::shared_ptr<AudProps> props, AudView* parent,
                                      const AudBounds& screen) {
    auto view = withFields(std::move(fields), std::move(props));
    view->parent = parent;
    view->audViewId = makeAudViewId();
    view->props->add(viewkey::isHeaderOrFooter, view->computeHeaderOrFooter(screen));
    return view;
}

std::shared_ptr<AudView> AudView::restore(Fields fields, std::shared_ptr<AudProps> props, std::string audViewId,
                                          bool isAccessibilityFocusable, std::optional<std::string> detectedText) {
    auto view = withFields(std::move(fields), std::move(props));
    view->audViewId = std::move(audViewId);
    view->isAccessibilityFocusable = isAccessibilityFocusable;
    view->detectedText = std::move(detectedText);
    return view;
}

// Releases the subtree without recursion, so a tree of any depth can be dropped.
AudView::~AudView() {
    // Without recursion, so that a deep tree cannot overflow the stack. A view
    // someone still holds outlives its parent: it is left with no parent and
    // none of the answers it cached about its relatives.
    const auto orphan = [](AudView& child) {
        child.parent = nullptr;
        child.lazy_.reset();
    };
    std::vector<std::shared_ptr<AudView>> pending = std::move(children);
    for (auto& child : pending) orphan(*child);
    while (!pending.empty()) {
        auto node = std::move(pending.back());
        pending.pop_back();
        if (node.use_count() == 1) {
            for (auto& child : node->children) {
                orphan(*child);
                pending.push_back(std::move(child));
            }
            node->children.clear();
        }
    }
}

void AudView::addChild(std::shared_ptr<AudView> child) {
    child->parent = this;
    children.push_back(std::move(child));
}

AudView::LazyCaches& AudView::lazy() const {
    if (!lazy_) lazy_ = std::make_unique<LazyCaches>();
    return *lazy_;
}

bool AudView::holdsProp(std::string_view key) const {
    if (key == viewkey::isVisibleToUser.name && isVisibleToUser) return true;
    if (key == viewkey::isAccessibilityFocusable.name && isAccessibilityFocusable) return true;
    return get<bool>(key).value_or(false);
}

std::optional<bool> AudView::membershipAnswer(std::uint32_t question) const {
    if (membershipGeneration_ != processState().membershipGeneration) return std::nullopt;
    for (const auto& kept : membership_)
        if (kept.question == question) return kept.answer;
    return std::nullopt;
}

void AudView::keepMembershipAnswer(std::uint32_t question, bool answer) const {
    const auto generation = processState().membershipGeneration;
    if (membershipGeneration_ != generation) {
        membership_.clear();
        membershipGeneration_ = generation;
    }
    membership_.push_back({question, answer});
}

bool AudView::isChildOfElementType(AudElementType type) const {
    return isBelow(*this, static_cast<std::uint32_t>(type), true,
                   [type](const AudView& ancestor) { return ancestor.elementType == type; });
}

bool AudView::isElementOrChildOfElementType(AudElementType type) const {
    return elementType == type || isChildOfElementType(type);
}

bool AudView::isChildOfProp(std::string_view key) const {
    // The focusable flag changes during the focusability pass: only positive
    // answers about it are kept.
    return isBelow(*this, propQuestion(key), key != viewkey::isAccessibilityFocusable.name,
                   [key](const AudView& ancestor) { return ancestor.holdsProp(key); });
}

void AudView::keepChildOfPropAnswer(std::string_view key, bool answer) const {
    if (!membershipAnswer(propQuestion(key))) keepMembershipAnswer(propQuestion(key), answer);
}

bool AudView::isPropTypeOrChildOfProp(std::string_view key) const { return holdsProp(key) || isChildOfProp(key); }

bool AudView::runOnSelfAndDescendants(const std::function<RunStatus(AudView&)>& visitor) {
    return preOrder(*this, visitor);
}

bool AudView::runOnSelfAndDescendants(const std::function<RunStatus(const AudView&)>& visitor) const {
    return preOrder(*this, visitor);
}

const PropValue& AudView::getOrError(std::string_view key) const {
    if (!props) throw AudPropsError::propDNE(key);
    return props->getOrError(key);
}

std::optional<AudViewHierarchy> AudView::ownHierarchy() const {
    if (contains(className, "RCTView") || contains(className, "RNSScreen")) return AudViewHierarchy::reactNative;
    if (contains(className, "SwiftUIApplication") || contains(className, "UIHostingView"))
        return AudViewHierarchy::swiftUI;
    return std::nullopt;
}

AudViewHierarchy AudView::viewHierarchy() const {
    for (const AudView* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent)
        if (const auto hierarchy = ancestor->ownHierarchy()) return *hierarchy;
    return AudViewHierarchy::uiKit;
}

bool AudView::isStaticTextOutsideBarControl() const {
    if (elementType != T::staticText || !name) return false;
    const bool belowBar = isChildOfElementType(T::navigationBar) || isChildOfElementType(T::tabBar) ||
                          isChildOfElementType(T::toolbar) || isChildOfElementType(T::statusBar);
    return !(belowBar && isChildOfProp(viewkey::isActiveControl));
}

bool AudView::computeHeaderOrFooter(const AudBounds& screen) const {
    if (elementType == T::navigationBar || elementType == T::tabBar || elementType == T::toolbar) return true;
    if (isChildOfProp(viewkey::isHeaderOrFooter)) return false;
    if (isChildOfElementType(T::scrollView) || isChildOfElementType(T::table) ||
        isChildOfElementType(T::collectionView))
        return false;
    const AudBounds& bounds = boundsInScreen;
    const auto overlap = boundsIntersection(bounds, screen);
    if (!overlap) return false;
    const float overlapFraction = overlap->width() * overlap->height() / (bounds.width() * bounds.height());
    if (!(overlapFraction >= 0.25F)) return false;
    if (!(bounds.left() <= screen.left() && screen.right() <= bounds.right())) return false;
    if (!(bounds.height() <= screen.height() * 0.5F)) return false;
    if (screen.bottom() <= bounds.bottom()) return true;
    return bounds.top() <= screen.top();
}

const std::optional<std::string>& AudView::expectedValue() const {
    auto& cache = lazy().expectedValue;
    if (!cache) {
        std::optional<std::string> found;
        if (isAccessibilityFocusable) {
            visitPreOrder(*this, [&](const AudView& node) {
                if (!node.value) return RunStatus::proceed;
                found = node.value;
                return RunStatus::stop;
            });
        }
        cache = std::move(found);
    }
    return *cache;
}

const std::vector<std::string>& AudView::textOfSelfAndDescendants() const {
    auto& cache = lazy().textOfSelfAndDescendants;
    if (!cache) {
        std::vector<std::string> texts;
        visitPreOrder(*this, [&](const AudView& node) {
            if (node.elementType == T::staticText) {
                if (auto text = node.text()) texts.push_back(std::move(*text));
            }
            if (node.elementType == T::textField || node.elementType == T::secureTextField)
                return RunStatus::skipChildren;
            return RunStatus::proceed;
        });
        cache = std::move(texts);
    }
    return *cache;
}

std::shared_ptr<AudView> AudView::visibleLabelInChildElement() const {
    auto& cache = lazy().visibleLabelInChildElement;
    if (!cache) {
        const AudView* label = nullptr;
        const bool excluded =
            isTextInputType(elementType) || (elementType == T::button && viewHierarchy() == AudViewHierarchy::swiftUI);
        if (!excluded) {
            const auto valueForm = value ? std::optional(comparisonForm(*value)) : std::nullopt;
            const auto& expected = expectedValue();
            const auto expectedForm = expected ? std::optional(comparisonForm(*expected)) : std::nullopt;
            visitPreOrder(*this, [&](const AudView& node) {
                const auto text = node.text();
                if (!text) return RunStatus::proceed;
                if (isTextInputType(node.elementType)) {
                    label = &node;
                    return RunStatus::stop;
                }
                const auto form = comparisonForm(*text);
                if (valueForm && removingOccurrences(form, *valueForm).empty()) return RunStatus::proceed;
                if (expectedForm && removingOccurrences(form, *expectedForm).empty()) return RunStatus::proceed;
                label = &node;
                return RunStatus::stop;
            });
        }
        cache = label;
    }
    return shared(*cache);
}

std::shared_ptr<AudView> AudView::associatedTextForControl() const {
    auto& cache = lazy().associatedTextForControl;
    if (!cache)
        cache = [this]() -> const AudView* {
            if (role != AudRole::control || elementType == T::pageIndicator || elementType == T::button) return nullptr;
            if (const auto label = visibleLabelInChildElement()) return label.get();
            if (elementType == T::cell && parent && parent->elementType == T::table) return nullptr;
            const AudView* container = parent;
            if (isChildOfProp(viewkey::isAccessibilityFocusable)) {
                container = nullptr;
                for (const AudView* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent) {
                    if (ancestor->isAccessibilityFocusable) {
                        container = ancestor;
                        break;
                    }
                }
            }
            if (container == nullptr) return nullptr;
            const AudView* candidate = nullptr;
            visitPreOrder(*container, [&](const AudView& node) {
                if (&node == this) return RunStatus::stop;
                if (node.elementType != T::staticText) return RunStatus::proceed;
                const auto text = node.text();
                if (text && text != value && text != container->value) candidate = &node;
                return RunStatus::proceed;
            });
            return candidate;
        }();
    return shared(*cache);
}

std::string AudView::description() const {
    return "<" + className + " audViewId=" + audViewId +
           " isAccessibilityFocusable=" + (isAccessibilityFocusable ? "true" : "false") +
           " name=" + name.value_or("nil") + " role=" + std::string(toString(role)) +
           " state=" + state.value_or("nil") + " value=" + value.value_or("nil") +
           " rect=" + boundsInScreen.description() + ">";
}

bool AudView::operator==(const AudView& other) const {
    return className == other.className && elementType == other.elementType && boundsInScreen == other.boundsInScreen &&
           accessibilityIdentifier == other.accessibilityIdentifier && name == other.name && role == other.role &&
           state == other.state && value == other.value && isAccessibilityFocusable == other.isAccessibilityFocusable;
}

}  // namespace audkit
