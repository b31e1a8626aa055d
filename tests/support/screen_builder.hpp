#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/aud_element_type.hpp"
#include "audkit/tree/aud_traits.hpp"
#include "audkit/tree/aud_view.hpp"
#include "tests/support/test_support.hpp"

namespace audkit::test {

// A screen described in the library's own words (element types, traits,
// labels) and built through the real capture path: capture.json text, the
// bundle platform, the snapshot capture and the tree builder. Every element
// is visible, enabled, not an accessibility element and 10 x 10 points at the
// origin unless said otherwise.
class ScreenBuilder {
public:
    class Element {
    public:
        explicit Element(nlohmann::json& attributes) : attributes_(attributes) {}
        // Sets the label and makes the element an accessibility element.
        Element& label(const std::string& text);
        Element& focusable(bool isElement = true);
        Element& traits(AudTraits traits);
        Element& frame(double x, double y, double width, double height);
        // A visible frame of its own (the frame stays as it is).
        Element& visibleFrame(double x, double y, double width, double height);
        Element& hidden();
        Element& identifier(const std::string& text);
        Element& value(const nlohmann::json& value);
        Element& set(AccessibilityAttribute attribute, const nlohmann::json& value);
        nlohmann::json& attributes() { return attributes_; }

    private:
        nlohmann::json& attributes_;
    };

    explicit ScreenBuilder(double scale = 3);

    Element add(const std::string& id, AudElementType type, const std::string& className,
                const std::vector<std::string>& children = {});
    // `screen` in pixels places headers and footers by position.
    std::shared_ptr<AudView> build(const AudBounds& screen = {}) const { return buildViewTree(bundle_, screen); }
    BundleBuilder& bundle() { return bundle_; }

private:
    BundleBuilder bundle_;
};

// The first view in pre-order with this class name (a test failure when none).
const AudView& findView(const AudView& root, const std::string& className);

}  // namespace audkit::test
