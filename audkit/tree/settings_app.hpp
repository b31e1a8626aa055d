#pragma once

#include <memory>
#include <optional>
#include <string>

namespace audkit {

// The system Settings application as the UI-test framework reaches it, for
// moving the Larger Text slider. Launching and ending it go through
// ApplicationControl with its bundle identifier.
class SettingsApp {
public:
    // One element found by its label (or the first slider).
    class Element {
    public:
        virtual ~Element() = default;
        virtual bool exists() = 0;
        virtual bool isHittable() = 0;
        virtual void tap() = 0;
        // Names the element, for messages.
        virtual std::string description() = 0;
    };
    class Slider : public Element {
    public:
        // What the slider's value reads ("50%"); none when it is not text.
        virtual std::optional<std::string> value() = 0;
        virtual void adjust(double normalizedPosition) = 0;
    };

    virtual ~SettingsApp() = default;
    virtual std::unique_ptr<Element> staticText(const std::string& label) = 0;
    virtual std::unique_ptr<Element> button(const std::string& label) = 0;
    virtual std::unique_ptr<Slider> firstSlider() = 0;
    virtual void swipeDown() = 0;
};

}  // namespace audkit
