#include <gtest/gtest.h>

#include "audkit/rules/rule_focusable_text.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleFocusableText;

// Texts a person sees, reached by VoiceOver in each of the ways the rule
// knows, and one reached by none.
test::ScreenBuilder checkout() {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"scroll"}).frame(0, 0, 390, 844);
    screen
        .add("scroll", T::scrollView, "UIScrollView",
             {"caption", "card", "delivery", "deliveryOverlay", "shipping", "priceOverlay", "buy", "buyOverlay",
              "table", "form", "title", "nearby", "gone", "unseen"})
        .frame(0, 0, 390, 844);
    screen.add("caption", T::staticText, "Caption")
        .label("Prices include VAT")
        .focusable(false)
        .frame(16, 100, 200, 20);
    screen.add("card", T::other, "Card", {"inCard"}).label("Free returns").focusable().frame(16, 130, 358, 40);
    screen.add("inCard", T::staticText, "InCard").label("Free returns").focusable(false).frame(28, 140, 150, 20);
    // Transparent focusable overlays lying over texts that are not their children.
    screen.add("delivery", T::staticText, "Delivery")
        .label("Delivery tomorrow")
        .focusable(false)
        .frame(16, 180, 200, 20);
    screen.add("deliveryOverlay", T::other, "DeliveryOverlay")
        .label("Delivery tomorrow, free")
        .focusable()
        .frame(16, 176, 358, 28);
    screen.add("shipping", T::staticText, "Shipping")
        .label("Shipping 4 euros")
        .focusable(false)
        .frame(16, 210, 200, 20);
    screen.add("priceOverlay", T::other, "PriceOverlay").label("Price").focusable().frame(16, 206, 358, 28);
    screen.add("buy", T::staticText, "Buy").label("Buy now").focusable(false).frame(16, 240, 200, 20);
    screen.add("buyOverlay", T::button, "BuyOverlay").label("Purchase").focusable().frame(16, 236, 358, 28);
    screen.add("table", T::table, "UITableView", {"cell"}).frame(0, 270, 390, 44);
    screen.add("cell", T::cell, "UITableViewCell", {"order"}).frame(0, 270, 390, 44);
    screen.add("order", T::staticText, "Order").label("Order shipped").focusable(false).frame(16, 282, 200, 20);
    screen.add("form", T::other, "Form", {"emailLabel", "email"}).frame(0, 320, 390, 80);
    screen.add("emailLabel", T::staticText, "EmailLabel").label("Email").focusable(false).frame(16, 320, 60, 20);
    screen.add("email", T::textField, "EmailField").focusable().frame(16, 344, 358, 44);
    screen.add("title", T::staticText, "Title").label("Checkout").focusable().frame(16, 420, 200, 20);
    // Shown but beside the field's label, in the same 50-pixel cell: not its label.
    screen.add("nearby", T::staticText, "Nearby").label("Required").focusable(false).frame(80, 320, 60, 10);
    screen.add("gone", T::staticText, "Gone")
        .label("Almost gone")
        .focusable(false)
        .frame(16, 830, 200, 30)
        .visibleFrame(16, 830, 200, 14);
    screen.add("unseen", T::staticText, "Unseen").label("Not drawn").focusable(false).frame(16, 500, 200, 20);
    return screen;
}

std::vector<test::ShownLine> checkoutLines() {
    return {{"Prices include VAT", 16, 100, 150, 20},
            {"Free returns", 28, 140, 100, 20},
            {"Delivery tomorrow", 16, 180, 150, 20},
            {"Shipping 4 euros", 16, 210, 150, 20},
            {"Buy now", 16, 240, 80, 20},
            {"Order shipped", 16, 282, 120, 20},
            {"Email", 16, 320, 50, 20},
            {"Checkout", 16, 420, 90, 20},
            {"Required", 80, 320, 60, 10},
            {"Almost gone", 16, 831, 100, 12}};
}

TEST(RuleFocusableText, ShownTextMustBeReachable) {
    test::LogCapture log;
    const auto byClass = test::resultsByClass(checkout(), AudRuleId::focusableText, checkoutLines());
    const auto status = [&](const std::string& className) {
        return byClass.contains(className) ? std::string(toString(byClass.at(className)->status)) : "NONE";
    };
    EXPECT_EQ(status("Caption"), "FAIL");     // reached by nothing
    EXPECT_EQ(status("InCard"), "PASS");      // inside a focusable card
    EXPECT_EQ(status("Delivery"), "PASS");    // the overlay's name holds the text
    EXPECT_EQ(status("Shipping"), "FAIL");    // the overlay is announced "Price" only
    EXPECT_EQ(status("Buy"), "PASS");         // a control covering the text reads it
    EXPECT_EQ(status("Order"), "PASS");       // in a table
    EXPECT_EQ(status("EmailLabel"), "PASS");  // the field's label
    EXPECT_EQ(status("Title"), "PASS");       // focusable itself
    EXPECT_EQ(status("Nearby"), "FAIL");      // near a label, but no one's label
    EXPECT_EQ(status("Gone"), "NONE");        // more than half off the screen
    EXPECT_EQ(status("Unseen"), "NONE");      // not confirmed on the screenshot
    EXPECT_EQ(status("Card"), "NONE");        // only static texts are judged

    const auto& shipping = *byClass.at("Shipping")->props;
    EXPECT_EQ(shipping.get(R::containerClassNameKey), "PriceOverlay");
    EXPECT_EQ(shipping.get(R::containerNameKey), "Price");
    EXPECT_EQ(shipping.get(R::detectedTextKey), "Shipping 4 euros");
    EXPECT_EQ(shipping.get(rulekey::elementType), "staticText");
    const auto& buy = *byClass.at("Buy")->props;
    EXPECT_EQ(buy.get(R::containerElementTypeKey), "button");
    EXPECT_FALSE(buy.contains(R::containerNameKey));  // a control's name is not compared
    EXPECT_EQ(byClass.at("EmailLabel")->props->get(R::controlClassNameKey), "EmailField");
    for (const auto& [className, result] : byClass) {
        for (const auto& key : test::keysOf(*result->props))
            EXPECT_TRUE(key == "className" || test::declared(R::keys).contains(key)) << className << " " << key;
    }
}

TEST(RuleFocusableText, AnUnnamedContainerDoesNotReadTheText) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"text", "overlay"}).frame(0, 0, 390, 844);
    screen.add("text", T::staticText, "Text").label("Total").focusable(false).frame(16, 100, 100, 20);
    screen.add("overlay", T::other, "Overlay").focusable().frame(16, 96, 358, 28);
    const auto byClass = test::resultsByClass(screen, AudRuleId::focusableText, {{"Total", 16, 100, 60, 20}});
    ASSERT_TRUE(byClass.contains("Text"));
    EXPECT_EQ(byClass.at("Text")->status, AudStatus::fail);
    EXPECT_TRUE(byClass.at("Text")->props->contains(R::containerNameKey));
    EXPECT_FALSE(byClass.at("Text")->props->get(R::containerNameKey));
}

}  // namespace
}  // namespace audkit
