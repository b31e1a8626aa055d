#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audkit/base/aud_enum.hpp"
#include "audkit/base/error.hpp"

namespace audkit {

// The platform's UI-test element types; the raw value is the platform's number.
enum class AudElementType : std::uint64_t {
    any = 0,
    other = 1,
    application = 2,
    window = 4,
    sheet = 5,
    alert = 7,
    button = 9,
    keyboard = 19,
    key = 20,
    navigationBar = 21,
    tabBar = 22,
    tabGroup = 23,
    toolbar = 24,
    statusBar = 25,
    table = 26,
    collectionView = 32,
    slider = 33,
    pageIndicator = 34,
    progressIndicator = 35,
    activityIndicator = 36,
    segmentedControl = 37,
    picker = 38,
    pickerWheel = 39,
    switch_ = 40,
    toggle = 41,
    link = 42,
    image = 43,
    searchField = 45,
    scrollView = 46,
    scrollBar = 47,
    staticText = 48,
    textField = 49,
    secureTextField = 50,
    datePicker = 51,
    textView = 52,
    map = 57,
    webView = 58,
    cell = 75,
    stepper = 79,
    tab = 80,
};

template <>
struct AudEnumTraits<AudElementType> {
    using E = AudElementType;
    static constexpr std::string_view typeName = "AudElementType";
    static constexpr std::array<std::pair<E, std::string_view>, 40> cases{{
        {E::any, "any"},
        {E::other, "other"},
        {E::application, "application"},
        {E::window, "window"},
        {E::sheet, "sheet"},
        {E::alert, "alert"},
        {E::button, "button"},
        {E::keyboard, "keyboard"},
        {E::key, "key"},
        {E::navigationBar, "navigationBar"},
        {E::tabBar, "tabBar"},
        {E::tabGroup, "tabGroup"},
        {E::toolbar, "toolbar"},
        {E::statusBar, "statusBar"},
        {E::table, "table"},
        {E::collectionView, "collectionView"},
        {E::slider, "slider"},
        {E::pageIndicator, "pageIndicator"},
        {E::progressIndicator, "progressIndicator"},
        {E::activityIndicator, "activityIndicator"},
        {E::segmentedControl, "segmentedControl"},
        {E::picker, "picker"},
        {E::pickerWheel, "pickerWheel"},
        {E::switch_, "switch"},
        {E::toggle, "toggle"},
        {E::link, "link"},
        {E::image, "image"},
        {E::searchField, "searchField"},
        {E::scrollView, "scrollView"},
        {E::scrollBar, "scrollBar"},
        {E::staticText, "staticText"},
        {E::textField, "textField"},
        {E::secureTextField, "secureTextField"},
        {E::datePicker, "datePicker"},
        {E::textView, "textView"},
        {E::map, "map"},
        {E::webView, "webView"},
        {E::cell, "cell"},
        {E::stepper, "stepper"},
        {E::tab, "tab"},
    }};
};

// A raw element type that is not one of the 40 members.
class ElementTypeInitError : public MessageError {
public:
    explicit ElementTypeInitError(std::uint64_t rawValue)
        : MessageError("RawValue " + std::to_string(rawValue) + " not supported."), rawValue_(rawValue) {}
    std::uint64_t rawValue() const { return rawValue_; }

private:
    std::uint64_t rawValue_;
};

}  // namespace audkit
