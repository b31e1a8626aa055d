#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/float_format.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/tree/aud_element_type.hpp"
#include "audkit/tree/aud_orientation.hpp"
#include "audkit/tree/aud_point.hpp"
#include "audkit/tree/aud_role.hpp"
#include "audkit/tree/aud_view_hierarchy.hpp"
#include "audkit/tree/element_off_screen.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

TEST(AudRect, NeverHasNegativeWidthOrHeight) {
    const AudRect rect(10, 5, 20, 3);
    EXPECT_EQ(rect.left(), 10);
    EXPECT_EQ(rect.right(), 10);
    EXPECT_EQ(rect.width(), 0);
    EXPECT_EQ(rect.bottom(), 20);
    EXPECT_EQ(rect.height(), 0);
}

TEST(AudRect, ReplacesNonFiniteValuesAndWarnsInCheckOrder) {
    test::LogCapture log;
    processState().debugStatements = true;
    const AudRect rect(nan, inf, -inf, 4);
    EXPECT_EQ(rect.left(), 0);
    EXPECT_EQ(rect.right(), 32767);
    EXPECT_EQ(rect.top(), 32767);
    EXPECT_EQ(rect.bottom(), 32767);  // 4 is above the top, so it becomes the top
    const std::string prefix = "ZUNIK WARNING: AudRect has an unexpected dimension. Converting dimension ";
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{prefix + "right from inf to 32767.0.", prefix + "left from nan to 0.0.",
                                        prefix + "top from -inf to 32767.0."}));
}

TEST(AudRect, DimensionWarningsStayQuietWithoutDebugOutput) {
    test::LogCapture log;
    const AudRect rect(0, inf, 0, 1);
    EXPECT_EQ(rect.right(), 32767);
    EXPECT_TRUE(log.lines().empty());
}

TEST(AudRect, OriginConstructorJsonAndDescriptionTruncate) {
    const auto rect = AudRect::withOrigin(1.5F, 2, 3, 4);
    EXPECT_EQ(rect.left(), 1.5F);
    EXPECT_EQ(rect.right(), 4.5F);
    EXPECT_EQ(rect.top(), 2);
    EXPECT_EQ(rect.bottom(), 6);
    EXPECT_EQ(Json(rect).dump(), R"({"left":1,"right":4,"top":2,"bottom":6})");
    EXPECT_EQ(rect.description(), "AudRect(left: 1, right: 4, top: 2, bottom: 6)");
    EXPECT_EQ(AudBounds(rect).description(), "AudBounds(left: 1, right: 4, top: 2, bottom: 6)");
}

TEST(AudRect, PlatformRectanglesAreStandardisedFirst) {
    const auto rect = AudRect::fromPlatform({10, 20, -4, -6});
    EXPECT_EQ(rect.left(), 6);
    EXPECT_EQ(rect.right(), 10);
    EXPECT_EQ(rect.top(), 14);
    EXPECT_EQ(rect.bottom(), 20);
}

TEST(AudRect, EqualityAndHashUseTruncatedCoordinates) {
    const AudRect a(1.2F, 3, 4, 5);
    const AudRect b(1.9F, 3, 4, 5);
    const AudRect c(2.0F, 3, 4, 5);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.hash(), b.hash());
    EXPECT_NE(a, c);
    const std::unordered_set<AudRect> set{a, b, c};
    EXPECT_EQ(set.size(), 2U);
    // Huge finite coordinates saturate instead of overflowing the integer.
    EXPECT_EQ(AudRect(0, 3e30F, 0, 1), AudRect(0, 3.1e30F, 0, 1));
}

TEST(AudRect, JsonReadsFractionsWithoutTheDimensionCheck) {
    AudBounds bounds = Json::parse(R"({"top":2.5,"left":9,"right":3,"bottom":8})").get<AudBounds>();
    EXPECT_EQ(bounds.left(), 9);
    EXPECT_EQ(bounds.right(), 3);  // stored as read
    EXPECT_EQ(bounds.top(), 2.5F);
    EXPECT_THROW((void)Json::parse(R"({"left":1,"right":2,"top":3})").get<AudBounds>(), nlohmann::json::exception);
    EXPECT_THROW((void)Json::parse(R"({"left":"1","right":2,"top":3,"bottom":4})").get<AudBounds>(),
                 nlohmann::json::exception);
}

TEST(AudBounds, HeightDifferencePercent) {
    const AudBounds small(0, 10, 0, 20);
    const AudBounds large(0, 10, 0, 30);
    EXPECT_FLOAT_EQ(small.heightDifferencePercent(large), 50);
    EXPECT_FLOAT_EQ(large.heightDifferencePercent(small), std::fabs(20.0F / 30.0F * 100.0F - 100.0F));
    EXPECT_FLOAT_EQ(small.heightDifferencePercent(), 0);
}

TEST(AudPoint, TruncatesAndDescribes) {
    const auto point = AudPoint::fromFloats(-3.9F, 7.2F);
    EXPECT_EQ(point, AudPoint(-3, 7));
    EXPECT_EQ(point.description(), "AudPoint(x: -3, y: 7)");
    EXPECT_EQ(Json(point).dump(), R"({"x":-3,"y":7})");
    EXPECT_EQ(AudPoint::fromFloats(inf, nan), AudPoint(std::numeric_limits<std::int64_t>::max(), 0));
}

TEST(ElementOffScreen, WritesACappedPercentageAndReadsTheAmountOnly) {
    EXPECT_EQ(Json(ElementOffScreen{1.7F}).dump(), R"({"offScreenAmount":1.7,"percentOffScreen":"100.00%"})");
    EXPECT_EQ(Json(ElementOffScreen{0.25F}).dump(), R"({"offScreenAmount":0.25,"percentOffScreen":"25.00%"})");
    const auto read = Json::parse(R"({"offScreenAmount":0.3,"percentOffScreen":"nonsense"})").get<ElementOffScreen>();
    EXPECT_EQ(read.offScreenAmount, 0.3F);
}

TEST(FloatFormat, ShortestThirtyTwoBitForms) {
    EXPECT_EQ(describeFloat(32767), "32767.0");
    EXPECT_EQ(describeFloat(0), "0.0");
    EXPECT_EQ(describeFloat(0.3F), "0.3");
    EXPECT_EQ(describeFloat(-inf), "-inf");
    EXPECT_EQ(Json(jsonFloat(0.3F)).dump(), "0.3");
}

TEST(AudEnums, ElementTypesUseThePlatformNumbers) {
    EXPECT_EQ(allCases<AudElementType>().size(), 40U);
    EXPECT_EQ(enumFromRawValue<AudElementType>(40), AudElementType::switch_);
    EXPECT_EQ(toString(AudElementType::switch_), "switch");
    EXPECT_EQ(enumFromRawValue<AudElementType>(80), AudElementType::tab);
    EXPECT_FALSE(enumFromRawValue<AudElementType>(3).has_value());
    EXPECT_FALSE(enumFromRawValue<AudElementType>(81).has_value());
    EXPECT_EQ(parseAudEnum<AudElementType>("secureTextField"), AudElementType::secureTextField);
    EXPECT_EQ(std::string(ElementTypeInitError(3).what()), "RawValue 3 not supported.");
}

TEST(AudEnums, UnknownTextListsEveryCase) {
    try {
        (void)parseAudEnum<AudRole>("Control");
        FAIL() << "expected AudEnumError";
    } catch (const AudEnumError& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "AudRole Control does not exist. Valid rawValues are\n\ttextElement\n\tcontrol\n\timage\n\tgenericElement");
    }
    EXPECT_EQ(toString(AudViewHierarchy::reactNative), "ReactNative");
    EXPECT_EQ(rawValue(AudViewHierarchy::swiftUI), 1);
}

TEST(AudEnums, OrientationJson) {
    EXPECT_EQ(Json(AudOrientation::landscape).dump(), R"("Landscape")");
    EXPECT_EQ(Json::parse(R"("Portrait")").get<AudOrientation>(), AudOrientation::portrait);
    EXPECT_THROW((void)Json::parse(R"("portrait")").get<AudOrientation>(), AudEnumError);
}

}  // namespace
}  // namespace audkit
