#include "tests/support/screen_builder.hpp"

#include <gtest/gtest.h>

namespace audkit::test {

using A = AccessibilityAttribute;

ScreenBuilder::ScreenBuilder(double scale) { bundle_.document()["device"]["scale"] = scale; }

ScreenBuilder::Element ScreenBuilder::add(const std::string& id, AudElementType type, const std::string& className,
                                          const std::vector<std::string>& children) {
    return Element(bundle_.element(id, rawValue(type), attributes(className, rect(0, 0, 10, 10), children)));
}

ScreenBuilder::Element& ScreenBuilder::Element::set(AccessibilityAttribute attribute, const nlohmann::json& value) {
    attributes_[std::string(attributeKey(attribute))] = value;
    return *this;
}

ScreenBuilder::Element& ScreenBuilder::Element::label(const std::string& text) {
    return set(A::label, text).focusable();
}
ScreenBuilder::Element& ScreenBuilder::Element::focusable(bool isElement) {
    return set(A::isElement, isElement ? 1 : 0);
}
ScreenBuilder::Element& ScreenBuilder::Element::traits(AudTraits traits) { return set(A::traits, traits.rawValue); }
ScreenBuilder::Element& ScreenBuilder::Element::frame(double x, double y, double width, double height) {
    return set(A::frame, rect(x, y, width, height)).set(A::visibleFrame, rect(x, y, width, height));
}
ScreenBuilder::Element& ScreenBuilder::Element::visibleFrame(double x, double y, double width, double height) {
    return set(A::visibleFrame, rect(x, y, width, height));
}
ScreenBuilder::Element& ScreenBuilder::Element::hidden() { return set(A::isVisible, 0); }
ScreenBuilder::Element& ScreenBuilder::Element::identifier(const std::string& text) { return set(A::identifier, text); }
ScreenBuilder::Element& ScreenBuilder::Element::value(const nlohmann::json& value) { return set(A::value, value); }

const AudView& findView(const AudView& root, const std::string& className) {
    const AudView* found = nullptr;
    visitPreOrder(root, [&](const AudView& view) {
        if (view.className != className) return RunStatus::proceed;
        found = &view;
        return RunStatus::stop;
    });
    if (found == nullptr) {
        ADD_FAILURE() << "no view of class " << className;
        return root;
    }
    return *found;
}

}  // namespace audkit::test
