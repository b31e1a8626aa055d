#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/error.hpp"
#include "audkit/tree/aud_element_type.hpp"
#include "audkit/tree/aud_props.hpp"
#include "audkit/tree/aud_role.hpp"
#include "audkit/tree/aud_view_hierarchy.hpp"
#include "audkit/tree/view_keys.hpp"

namespace audkit {

// A visitor's answer during a traversal.
enum class RunStatus : int { proceed = 0, stop = 1, skipChildren = 2 };

// The names under which five fields are also readable as properties.
inline constexpr std::string_view calculatedPropsKeys[] = {"name", "role", "state", "value", "isVisibleToUser"};

class AudViewError : public MessageError {
public:
    static AudViewError couldNotDecode(std::string_view key) {
        return AudViewError("Could not decode property " + std::string(key) + ". Skipping property.");
    }
    static AudViewError cannotBuildHierarchy() { return AudViewError("Cannot build hierarchy."); }
    // A tree nested too deeply to be written or read as JSON.
    static AudViewError tooDeep(std::size_t limit) {
        return AudViewError("The view tree is nested deeper than " + std::to_string(limit) +
                            " levels, too deep for its JSON form.");
    }

private:
    using MessageError::MessageError;
};

// One node of the accessibility tree. Owned from the root downwards; the parent
// link does not own. Lazily computed relations are cached per node and never
// invalidated: the tree is read-only once built, apart from detectedText.
class AudView : public std::enable_shared_from_this<AudView> {
public:
    struct Fields {
        std::string className;
        AudElementType elementType = AudElementType::any;
        AudBounds boundsInScreen;
        std::optional<std::string> accessibilityIdentifier;
        std::optional<std::string> name;
        AudRole role = AudRole::genericElement;
        std::optional<std::string> state;
        std::optional<std::string> value;
        bool isVisibleToUser = false;
    };

    // The designated constructor: a new id, not focusable, no children; the
    // header/footer test runs now (the parent chain is set) and its answer is
    // recorded under "isHeaderOrFooter".
    // `screen` (in pixels) places headers and footers; empty, none is found by position.
    static std::shared_ptr<AudView> make(Fields fields, std::shared_ptr<AudProps> props, AudView* parent,
                                         const AudBounds& screen = {});
    // A node read back from JSON, with its stored id and no header/footer test.
    static std::shared_ptr<AudView> restore(Fields fields, std::shared_ptr<AudProps> props, std::string audViewId,
                                            bool isAccessibilityFocusable, std::optional<std::string> detectedText);

    ~AudView();
    AudView(const AudView&) = delete;
    AudView& operator=(const AudView&) = delete;

    std::string className;
    AudElementType elementType = AudElementType::any;
    AudBounds boundsInScreen;
    std::optional<std::string> accessibilityIdentifier;
    std::optional<std::string> name;
    AudRole role = AudRole::genericElement;
    std::optional<std::string> state;
    std::optional<std::string> value;
    bool isAccessibilityFocusable = false;
    std::vector<std::shared_ptr<AudView>> children;
    AudView* parent = nullptr;
    std::optional<std::string> detectedText;
    std::shared_ptr<AudProps> props;
    std::string audViewId;
    bool isVisibleToUser = false;

    void addChild(std::shared_ptr<AudView> child);

    // Tree queries. isChildOf... look at strict ancestors and use the
    // process-wide membership caches.
    bool isChildOfElementType(AudElementType type) const;
    bool isElementOrChildOfElementType(AudElementType type) const;
    bool isChildOfProp(std::string_view key) const;
    bool isPropTypeOrChildOfProp(std::string_view key) const;
    // The node holds K: "isVisibleToUser"/"isAccessibilityFocusable" when those
    // flags are true, or a props entry K that is the Boolean true.
    bool holdsProp(std::string_view key) const;
    // Keeps the answer to isChildOfProp(key) found by a walk from the root
    // that has settled every ancestor (the focusability pass), so later
    // questions need no walk up a deep tree.
    void keepChildOfPropAnswer(std::string_view key, bool answer) const;

    // Pre-order from this node, steered by the visitor. Returns whether it stopped.
    bool runOnSelfAndDescendants(const std::function<RunStatus(AudView&)>& visitor);
    bool runOnSelfAndDescendants(const std::function<RunStatus(const AudView&)>& visitor) const;

    // Property reads through props; the calculated fields are readable by name.
    const PropValue* get(std::string_view key) const { return props ? props->get(key) : nullptr; }
    const PropValue& getOrError(std::string_view key) const;
    template <class T>
    std::optional<T> get(std::string_view key) const {
        return props ? props->get<T>(key) : std::nullopt;
    }
    template <class T>
    decltype(auto) getOrError(std::string_view key) const {
        if (!props) throw AudPropsError::propDNE(key);
        return props->getOrError<T>(key);
    }
    template <class T>
    std::optional<T> get(const PropKey<T>& key) const {
        return get<T>(key.name);
    }
    bool isChildOfProp(const PropKey<bool>& key) const { return isChildOfProp(key.name); }
    // The recorded "text" and "isAccessibilityElement".
    std::optional<std::string> text() const { return get(viewkey::text); }
    bool isAccessibilityElement() const { return get(viewkey::isAccessibilityElement).value_or(false); }

    AudViewHierarchy viewHierarchy() const;
    std::optional<AudViewHierarchy> ownHierarchy() const;
    bool isStaticTextOutsideBarControl() const;
    bool isHeaderOrFooter() const { return get(viewkey::isHeaderOrFooter).value_or(false); }

    // Lazy text relations (first read caches the answer).
    const std::optional<std::string>& expectedValue() const;
    const std::vector<std::string>& textOfSelfAndDescendants() const;
    std::shared_ptr<AudView> visibleLabelInChildElement() const;
    std::shared_ptr<AudView> associatedTextForControl() const;

    std::string description() const;
    // Fields only: children, props and ids are not compared.
    bool operator==(const AudView& other) const;

    // This view's kept answer to a membership question, if any (see isBelow).
    std::optional<bool> membershipAnswer(std::uint32_t question) const;
    void keepMembershipAnswer(std::uint32_t question, bool answer) const;

private:
    AudView() = default;
    static std::shared_ptr<AudView> withFields(Fields fields, std::shared_ptr<AudProps> props);
    bool computeHeaderOrFooter(const AudBounds& screen) const;

    struct MembershipAnswer {
        std::uint32_t question;
        bool answer;
    };
    mutable std::vector<MembershipAnswer> membership_;
    mutable std::uint64_t membershipGeneration_ = 0;

    struct LazyCaches;
    mutable std::unique_ptr<LazyCaches> lazy_;
    LazyCaches& lazy() const;
};

// The id of a new node: a random UUID with everything but digits and "." removed.
std::string makeAudViewId();

// Pre-order over a subtree without recursion; the visitor's answer steers it.
bool visitPreOrder(const AudView& root, const std::function<RunStatus(const AudView&)>& visitor);

}  // namespace audkit
