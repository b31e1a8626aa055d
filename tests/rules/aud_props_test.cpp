#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "audkit/tree/aud_props.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/view_keys.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

template <class T>
std::string errorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const T& error) {
        return error.what();
    }
    return "no error";
}

TEST(AudProps, ReadsSucceedOnlyForPresentValuesOfTheRequestedKind) {
    AudProps props;
    props.add("absent", std::nullopt);
    props.add("label", std::string("Volume"));
    props.add("count", std::int64_t{3});
    props.add("count", std::int64_t{4});  // replaces

    EXPECT_EQ(errorOf<AudPropsError>([&] { (void)props.getOrError("absent"); }),
              "Property \"absent\" does not exist in this object.");
    EXPECT_EQ(errorOf<AudPropsError>([&] { (void)props.getOrError<bool>("missing"); }),
              "Property \"missing\" does not exist in this object.");
    EXPECT_EQ(errorOf<AudPropsError>([&] { (void)props.getOrError<bool>("label"); }),
              "Property \"label\" could not be casted from String to Bool).");
    EXPECT_EQ(props.getOrError<std::int64_t>("count"), 4);
    EXPECT_FALSE(props.get<double>("count").has_value());
    EXPECT_FALSE(props.get<std::string>("absent").has_value());
    EXPECT_TRUE(props.contains("absent"));
    props.remove("absent");
    EXPECT_FALSE(props.contains("absent"));
    EXPECT_EQ(props.entries().size(), 2U);
}

TEST(AudProps, JsonLeavesOutAbsentValuesAndListsOfViewsSilently) {
    test::LogCapture log;
    AudProps props;
    props.add("absent", std::nullopt);
    props.add("views", AudViewList{});
    props.add("text", std::string("Wi-Fi"));
    EXPECT_EQ(Json(props).dump(), R"({"text":"Wi-Fi"})");
    EXPECT_TRUE(log.lines().empty());
}

TEST(AudProps, NonFiniteNumbersCannotBeEncodedAndAreLogged) {
    test::LogCapture log;
    AudProps props;
    props.add("ratio", std::numeric_limits<double>::quiet_NaN());
    props.add("size", 17.5F);
    EXPECT_EQ(Json(props).dump(), R"({"size":17.5})");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"ZUNIK ERROR: Type for key ratio cannot be encoded."});
}

TEST(AudProps, DecodingTriesTheKindsInOrder) {
    test::LogCapture log;
    const auto props = propsFromJson(Json::parse(R"({
        "flag": true, "traits": "[Button, Header]", "label": "[Button, Foo]", "none": "None",
        "orientation": "Landscape", "text": "Hello", "count": -3, "big": 18446744073709551615, "ratio": 4.5,
        "bounds": {"left": 1, "right": 2, "top": 3, "bottom": 4}, "point": {"x": 1, "y": 2},
        "offScreen": {"offScreenAmount": 0.5, "percentOffScreen": "50.00%"}, "names": ["a", "b"],
        "numbers": [1, 2.5], "rect": [[1, 2], [3, 4]], "nothing": null, "odd": {"what": 1}})"));
    EXPECT_EQ(props.get<bool>("flag"), true);
    EXPECT_EQ(props.get<AudTraits>("traits"), AudTraits({AudTraits::button, AudTraits::header}));
    EXPECT_EQ(props.get<std::string>("label"), "[Button, Foo]");
    EXPECT_EQ(props.get<AudTraits>("none"), AudTraits());
    EXPECT_EQ(props.get<AudOrientation>("orientation"), AudOrientation::landscape);
    EXPECT_EQ(props.getOrError<AudOrientation>("orientation"), AudOrientation::landscape);
    EXPECT_THROW((void)props.getOrError<AudTraits>("label"), AudPropsError);
    // Text that looks like traits or an orientation stays the text it was.
    EXPECT_EQ(props.get<std::string>("none"), "None");
    EXPECT_EQ(props.get<std::string>("orientation"), "Landscape");
    EXPECT_EQ(props.get<std::string>("traits"), "[Button, Header]");
    EXPECT_EQ(props.get<std::string>("text"), "Hello");
    EXPECT_EQ(props.get<std::int64_t>("count"), -3);
    EXPECT_EQ(props.get<std::uint64_t>("big"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(props.get<double>("ratio"), 4.5);
    EXPECT_EQ(props.get<AudBounds>("bounds"), AudBounds(1, 2, 3, 4));
    EXPECT_EQ(props.get<AudPoint>("point"), AudPoint(1, 2));
    EXPECT_EQ(props.get<ElementOffScreen>("offScreen")->offScreenAmount, 0.5F);
    EXPECT_EQ(props.get<std::vector<std::string>>("names"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(props.get<std::vector<double>>("numbers"), (std::vector<double>{1, 2.5}));
    EXPECT_EQ(props.get<PlatformRect>("rect"), (PlatformRect{1, 2, 3, 4}));
    EXPECT_FALSE(props.contains("nothing"));
    EXPECT_FALSE(props.contains("odd"));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"ZUNIK ERROR: Could not decode property nothing. Skipping property.",
                                        "ZUNIK ERROR: Could not decode property odd. Skipping property."}));
}

TEST(AudProps, TextsKeepTheirKindThroughTheResultDocument) {
    AudProps props;
    for (const char* text : {"None", "All", "Portrait", "Landscape", "[Button]", "[Button, Header]"})
        props.add(std::string("label ") + text, std::string(text));
    props.add(viewkey::accessibilityTraits, AudTraits({AudTraits::button}));
    const auto read = propsFromJson(Json::parse(Json(props).dump()));
    for (const char* text : {"None", "All", "Portrait", "Landscape", "[Button]", "[Button, Header]"})
        EXPECT_EQ(read.get<std::string>(std::string("label ") + text), text);
    EXPECT_EQ(read.get(viewkey::accessibilityTraits), AudTraits({AudTraits::button}));
    EXPECT_EQ(read.getOrError(viewkey::accessibilityTraits), AudTraits({AudTraits::button}));
}

TEST(AudProps, TargetSpacingsSurviveTheResultDocument) {
    test::LogCapture log;
    AudProps props;
    const std::vector<AudTargetSpacing> nearby{{"UIButton", AudBounds(0, 60, 0, 60)}, {"Next", AudBounds(3, 9, 4, 8)}};
    props.add("allNearbyTargets", nearby);
    props.add("one", nearby.front());
    const auto read = propsFromJson(Json::parse(Json(props).dump()));
    EXPECT_EQ(read.get<std::vector<AudTargetSpacing>>("allNearbyTargets"), nearby);
    EXPECT_EQ(read.get<AudTargetSpacing>("one"), nearby.front());
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace audkit
