#include "audkit/rules/rule_screen_title.hpp"

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

using T = AudElementType;

void RuleScreenTitle::setUp(const AudContext& context) {
    isFullScreen_ = context.audMetaData.isFullScreenForML;
    const auto& title = context.audMetaData.screenTitle;
    // The placeholder of an untitled scan is no title.
    if (title != noScreenTitle) title_ = title;
    screen_ = ScanScreen::of(context);
}

void RuleScreenTitle::tearDown() { title_.reset(); }

bool RuleScreenTitle::isDrawer(const AudView& view) const {
    if (view.elementType == T::application || view.elementType == T::window || view.elementType == T::scrollBar)
        return false;
    const auto visible = view.get(viewkey::visibleFrameXCTest);
    const auto& screen = screen_.bounds;
    if (view.children.empty() || !visible || screen.width() <= 0) return false;
    const auto frame = AudBounds::fromPlatform(*visible);
    return frame.height() * screen_.scale == screen.height() &&
           frame.width() * screen_.scale / screen.width() < drawerWidthShare;
}

void RuleScreenTitle::searchTitle(const AudView& root, AudProps& props) const {
    std::optional<std::string> headerLabel;
    visitPreOrder(root, [&](const AudView& node) {
        if (node.get(viewkey::accessibilityTraits).value_or(AudTraits()).contains(AudTraits::header))
            headerLabel = node.get(viewkey::label);
        if (node.className == reactNativeScreenClass) {
            props.add(screenTitleKey, headerLabel);
            return RunStatus::stop;
        }
        if (node.parent && node.parent->className.ends_with("TitleControl") && node.elementType == T::staticText) {
            const auto label = node.associatedTextForControl();
            props.add(screenTitleKey, label ? (label->text() ? label->text() : label->name) : std::nullopt);
            return RunStatus::stop;
        }
        if (isDrawer(node)) {
            props.add(drawerKey, true);
            return RunStatus::stop;
        }
        return RunStatus::proceed;
    });
}

std::shared_ptr<AudProps> RuleScreenTitle::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (view.parent != nullptr) {
        props->add(notFirstViewKey, true);
        return props;
    }
    props->add(screenTitleKey, title_);
    if (!title_) searchTitle(view, *props);
    return props;
}

AudStatus RuleScreenTitle::runRule(const AudProps& props) {
    if (props.get(notFirstViewKey).value_or(false)) return AudStatus::inapplicable;
    if (!props.contains(screenTitleKey)) throw AudPropsError::propDNE(screenTitleKey.name);
    // A blank title announces nothing.
    if (!isBlank(props.get(screenTitleKey))) return AudStatus::pass;
    if (props.get(drawerKey).value_or(false)) return AudStatus::inapplicable;
    if (!isFullScreen_) throw MessageError(partialScreenMessage);
    return AudStatus::fail;
}

}  // namespace audkit
