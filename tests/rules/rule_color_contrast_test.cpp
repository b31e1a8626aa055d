#include <gtest/gtest.h>

#include "audkit/rules/rule_color_contrast.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleColorContrast;

const AudColor white(255, 255, 255);

AudColorContrast pair(AudColor text, float size = 17, bool bold = false, AudColor background = white) {
    return AudColorContrast(text, background, size, bold, 3);
}

// A bag as the collection leaves it for a judged view.
AudProps judged(std::vector<AudColorContrast> pairs) {
    AudProps props;
    props.add(R::detectedTextKey, std::string("Sample"));
    props.add(R::allColorContrastsKey, std::move(pairs));
    return props;
}

struct Outcome {
    AudStatus status;
    std::string summary;
    AudImpact impact;
};

Outcome decide(const AudProps& props) {
    auto rule = makeRule(AudRuleId::colorContrast);
    const auto outcome = decideOutcome(*rule, props);
    return {outcome.status, outcome.summary.value_or(""), rule->impactFor(props)};
}

TEST(RuleColorContrast, RatiosAgainstTheSmallAndLargeTextMinimums) {
    // 4.49496 rounds to 4.50 and passes; 4.49496 - 0.00001 rounds to 4.49 and fails.
    const AudColor justEnough(0, 137, 72), justShort(1, 127, 177);
    EXPECT_DOUBLE_EQ(pair(justEnough).contrast(), 4.50);
    EXPECT_DOUBLE_EQ(pair(justShort).contrast(), 4.49);
    EXPECT_EQ(decide(judged({pair(justEnough)})).status, AudStatus::pass);
    EXPECT_EQ(decide(judged({pair(justShort)})).status, AudStatus::fail);

    // 4.0:1 is enough for large text only: 18 pt, or 14 pt and bold.
    const AudColor grey4(0x83, 0x83, 0x83);
    ASSERT_NEAR(pair(grey4).contrast(), 3.8, 0.2);
    EXPECT_EQ(decide(judged({pair(grey4, 17)})).status, AudStatus::fail);
    EXPECT_EQ(decide(judged({pair(grey4, 17)})).impact, AudImpact::moderate);
    EXPECT_EQ(decide(judged({pair(grey4, 18)})).status, AudStatus::pass);
    EXPECT_EQ(decide(judged({pair(grey4, 14, true)})).status, AudStatus::pass);
    EXPECT_EQ(decide(judged({pair(grey4, 13, true)})).status, AudStatus::fail);
    // Below 3.0:1 fails at any size, seriously.
    const AudColor grey25(0xa6, 0xa6, 0xa6);
    EXPECT_EQ(decide(judged({pair(grey25, 40, true)})).status, AudStatus::fail);
    EXPECT_EQ(decide(judged({pair(grey25, 40, true)})).impact, AudImpact::serious);
    EXPECT_EQ(decide(judged({pair(AudColor(0, 0, 0))})).impact, AudImpact::moderate);
    EXPECT_EQ(decide(judged({pair(AudColor(0, 0, 0, 0))})).status, AudStatus::fail);  // transparent
}

TEST(RuleColorContrast, WhatCannotBeJudgedNeedsReview) {
    AudProps error;
    error.add(R::detectedTextKey, std::string("Sample"));
    error.add(R::errorKey, std::string(ColorContrastError::tooManyColors().what()));
    EXPECT_EQ(decide(error).summary, ColorContrastError::tooManyColors().what());
    error.add(R::errorKey, std::string(R::unhandledError));
    EXPECT_EQ(decide(error).summary, ColorContrastError::tooManyColors().what());
    error.add(R::errorKey, std::string(ColorContrastError::unableDetectColors().what()));
    EXPECT_EQ(decide(error).status, AudStatus::incomplete);
    EXPECT_EQ(decide(error).summary, ColorContrastError::unableDetectColors().what());
    EXPECT_EQ(decide(error).impact, AudImpact::serious);  // the configured impact

    // A field being edited: a failing pair may be the cursor; a passing one stands.
    auto editing = judged({pair(AudColor(0xa6, 0xa6, 0xa6))});
    editing.add(R::cursorMayBePresentKey, true);
    EXPECT_EQ(decide(editing).summary, ColorContrastError::textFieldEditing().what());
    auto editingFine = judged({pair(AudColor(0, 0, 0))});
    editingFine.add(R::cursorMayBePresentKey, true);
    EXPECT_EQ(decide(editingFine).status, AudStatus::pass);
    // Partly off the screen: a failure may be the part not seen.
    auto partly = judged({pair(AudColor(0xa6, 0xa6, 0xa6))});
    partly.add(R::elementOffScreenKey, 0.2F);
    EXPECT_EQ(decide(partly).summary, RuleHelperError::offScreen().what());
    EXPECT_TRUE(decide(AudProps()).status == AudStatus::inapplicable);
}

FoundText found(AudColor ink, AudColor background) {
    RgbaImage image{90, 30, std::vector<std::uint8_t>(90 * 30 * 4, 255)};
    for (std::uint32_t y = 0; y < 30; ++y)
        for (std::uint32_t x = 0; x < 90; ++x) {
            const auto& color = (y >= 8 && y < 22 && x >= 6 && x < 84 && x % 10 < 3) ? ink : background;
            auto* pixel = image.pixels.data() + (y * 90 + x) * 4;
            pixel[0] = color.red, pixel[1] = color.green, pixel[2] = color.blue;
        }
    FoundText text;
    text.text = "Sample";
    text.scale = 3;
    text.estimatedFontSize = 17;
    text.image = std::make_shared<AudBitmap>(std::move(image));
    return text;
}

TEST(RuleColorContrast, CollectionJudgesTextViewsAndDropsNoisePairs) {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"label", "image", "picker", "button", "field"})
        .frame(0, 0, 390, 844);
    screen.add("label", T::staticText, "UILabel").label("Sample").frame(0, 100, 200, 20);
    screen.add("image", T::image, "UIImageView").label("Sample").frame(0, 130, 200, 20);
    screen.add("picker", T::datePicker, "UIDatePicker", {"day"}).frame(0, 160, 200, 60);
    screen.add("day", T::staticText, "DayLabel").label("Monday").frame(0, 160, 200, 20);
    screen.add("button", T::button, "UIButton", {"buttonLabel"})
        .label("Buy")
        .focusable()
        .traits(AudTraits::button.unionWith(AudTraits::notEnabled))
        .frame(0, 230, 200, 44);
    screen.add("buttonLabel", T::staticText, "ButtonText").label("Buy").frame(10, 240, 100, 20);
    screen.add("field", T::textField, "UITextField").label("Email").focusable().frame(0, 300, 200, 44);
    const auto root = screen.build();
    RuleColorContrast rule(catalogueConf(AudRuleId::colorContrast));
    const auto collect = [&](const std::string& className, const std::vector<FoundText>& texts) {
        return rule.collectVisionProps(test::findView(*root, className), texts, {});
    };
    const auto black = found(AudColor(0, 0, 0), white);
    EXPECT_FALSE(collect("UIImageView", {black})->contains(R::detectedTextKey));
    EXPECT_FALSE(collect("DayLabel", {black})->contains(R::detectedTextKey));
    EXPECT_FALSE(collect("UIButton", {black})->contains(R::detectedTextKey));    // disabled
    EXPECT_FALSE(collect("ButtonText", {black})->contains(R::detectedTextKey));  // inside a disabled control

    // Two found texts: the pairs of both are judged; one that cannot be read spoils the view.
    const auto grey = found(AudColor(0x76, 0x76, 0x76), white);
    const auto props = collect("UILabel", {black, grey});
    EXPECT_EQ(props->get(R::detectedTextKey), "Sample\nSample");
    ASSERT_TRUE(props->get(R::allColorContrastsKey));
    EXPECT_EQ(props->get(R::allColorContrastsKey)->size(), 2U);
    EXPECT_DOUBLE_EQ(props->get(R::decidingPairKey)->contrast(), 4.54);  // the lowest, none failing
    FoundText flat = black;
    flat.image = std::make_shared<AudBitmap>(RgbaImage{40, 40, std::vector<std::uint8_t>(40 * 40 * 4, 200)});
    const auto spoilt = collect("UILabel", {black, flat});
    EXPECT_FALSE(spoilt->contains(R::allColorContrastsKey));
    EXPECT_EQ(spoilt->get(R::errorKey), ColorContrastError::unableDetectColors().what());
    EXPECT_EQ(collect("UILabel", {})->get(R::detectedTextKey), "");

    // Pairs under 1.5:1 are noise beside a real pair, but judged when they are all there is.
    const auto faint = found(AudColor(0xee, 0xee, 0xee), white);
    const auto onlyFaint = collect("UILabel", {faint});
    EXPECT_EQ(decideOutcome(rule, *onlyFaint).status, AudStatus::fail);
    // A pair recognition could not have read as text (1.01:1) decides nothing.
    const auto speck = collect("UILabel", {found(AudColor(0xfe, 0xfe, 0xfe), white)});
    EXPECT_EQ(decideOutcome(rule, *speck).status, AudStatus::incomplete);
    const auto mixed = collect("UILabel", {faint, black});
    EXPECT_EQ(mixed->get(R::allColorContrastsKey)->size(), 1U);
    EXPECT_EQ(decideOutcome(rule, *mixed).status, AudStatus::pass);
}

}  // namespace
}  // namespace audkit
