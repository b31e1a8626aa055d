#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "audkit/base/aud_rect.hpp"
#include "audkit/tree/aud_color.hpp"
#include "audkit/tree/aud_color_contrast.hpp"
#include "audkit/tree/aud_orientation.hpp"
#include "audkit/tree/aud_point.hpp"
#include "audkit/tree/aud_target_spacing.hpp"
#include "audkit/tree/aud_traits.hpp"
#include "audkit/tree/element_off_screen.hpp"

namespace audkit {

class AudView;
using AudViewRef = std::shared_ptr<AudView>;
using AudViewList = std::vector<AudViewRef>;

// The kinds of value a property bag holds. Adding a kind means adding it here,
// naming it in PropKindName, and giving it a place in the JSON writing and
// reading orders (aud_props_json.cpp).
using PropValue =
    std::variant<bool, std::int64_t, std::uint64_t, double, float, std::string, AudTraits, AudBounds, AudRect,
                 AudViewRef, std::vector<std::string>, std::vector<double>, AudPoint, AudViewList, AudOrientation,
                 ElementOffScreen, PlatformRect, AudTargetSpacing, std::vector<AudTargetSpacing>, AudColor,
                 std::vector<AudColor>, AudColorContrast, std::vector<AudColorContrast>>;

// The platform's name of each kind, as error messages show it.
template <class T>
struct PropKindName;
#define AUDKIT_PROP_KIND_NAME(Type, Name)               \
    template <>                                         \
    struct PropKindName<Type> {                         \
        static constexpr std::string_view value = Name; \
    };
AUDKIT_PROP_KIND_NAME(bool, "Bool")
AUDKIT_PROP_KIND_NAME(std::int64_t, "Int")
AUDKIT_PROP_KIND_NAME(std::uint64_t, "UInt")
AUDKIT_PROP_KIND_NAME(double, "Double")
AUDKIT_PROP_KIND_NAME(float, "Float")
AUDKIT_PROP_KIND_NAME(std::string, "String")
AUDKIT_PROP_KIND_NAME(AudTraits, "AudTraits")
AUDKIT_PROP_KIND_NAME(AudBounds, "AudBounds")
AUDKIT_PROP_KIND_NAME(AudRect, "AudRect")
AUDKIT_PROP_KIND_NAME(AudViewRef, "AudView")
AUDKIT_PROP_KIND_NAME(std::vector<std::string>, "Array<String>")
AUDKIT_PROP_KIND_NAME(std::vector<double>, "Array<Double>")
AUDKIT_PROP_KIND_NAME(AudPoint, "AudPoint")
AUDKIT_PROP_KIND_NAME(AudViewList, "Array<AudView>")
AUDKIT_PROP_KIND_NAME(AudOrientation, "AudOrientation")
AUDKIT_PROP_KIND_NAME(ElementOffScreen, "ElementOffScreen")
AUDKIT_PROP_KIND_NAME(PlatformRect, "CGRect")
AUDKIT_PROP_KIND_NAME(AudTargetSpacing, "AudTargetSpacing")
AUDKIT_PROP_KIND_NAME(std::vector<AudTargetSpacing>, "Array<AudTargetSpacing>")
AUDKIT_PROP_KIND_NAME(AudColor, "AudColor")
AUDKIT_PROP_KIND_NAME(std::vector<AudColor>, "Array<AudColor>")
AUDKIT_PROP_KIND_NAME(AudColorContrast, "AudColorContrast")
AUDKIT_PROP_KIND_NAME(std::vector<AudColorContrast>, "Array<AudColorContrast>")
#undef AUDKIT_PROP_KIND_NAME

std::string_view propKindName(const PropValue& value);

}  // namespace audkit
