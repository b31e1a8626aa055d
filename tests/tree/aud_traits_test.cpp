#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "audkit/tree/aud_traits.hpp"

namespace audkit {
namespace {

std::set<std::string> namesIn(std::string text) {
    // The order of the names is not fixed: compare as a set.
    EXPECT_TRUE(text.starts_with('[') && text.ends_with(']')) << text;
    text = text.substr(1, text.size() - 2);
    std::set<std::string> names;
    for (std::size_t start = 0;;) {
        const auto end = text.find(", ", start);
        names.insert(text.substr(start, end - start));
        if (end == std::string::npos) return names;
        start = end + 2;
    }
}

Json objectForm(std::uint64_t raw, bool withHeader = true) {
    const char* keys[] = {"button",         "link",
                          "image",          "selected",
                          "playsSound",     "keyboardKey",
                          "staticText",     "summaryElement",
                          "notEnabled",     "updatesFrequently",
                          "searchField",    "startsMediaSession",
                          "adjustable",     "allowsDirectInteraction",
                          "causesPageTurn", "tabBar",
                          "header"};
    Json object = Json::object();
    for (int bit = 0; bit < 17; ++bit)
        if (withHeader || bit < 16) object[keys[bit]] = ((raw >> bit) & 1U) != 0;
    return object;
}

TEST(AudTraits, StringFormShowsOnlyDisplayedBits) {
    EXPECT_EQ(AudTraits().toString(), "None");
    EXPECT_EQ(AudTraits(0x100000).toString(), "None");
    EXPECT_EQ(namesIn(AudTraits({AudTraits::button, AudTraits::selected}).toString()),
              (std::set<std::string>{"Button", "Selected"}));
    EXPECT_EQ(namesIn(AudTraits({AudTraits::switchButton, AudTraits::textEntry, AudTraits(0x100000)}).toString()),
              (std::set<std::string>{"Switch", "Text Field"}));
}

TEST(AudTraits, ParsingAcceptsBracketedDisplayNames) {
    EXPECT_EQ(AudTraits::fromString("[Button]").rawValue, 1U);
    EXPECT_EQ(AudTraits::fromString("None").rawValue, 0U);
    EXPECT_EQ(AudTraits::fromString("[Button, Foo]").rawValue, 1U);
    EXPECT_EQ(AudTraits::fromString("[Switch, Text Field, Header]").rawValue, 0x20000000050000U);
    for (const char* bad : {"Button", "[]", "[Foo]", "[button]", "[Button"}) {
        EXPECT_THROW((void)AudTraits::fromString(bad), AudTraits::InvalidString) << bad;
    }
    try {
        (void)AudTraits::fromString("[Foo]");
    } catch (const AudTraits::InvalidString& error) {
        EXPECT_EQ(std::string(error.what()), "[Foo] does not contain a valid AudTrait.");
    }
}

TEST(AudTraits, SwitchAndTextFieldSurviveTheStringForm) {
    const AudTraits traits({AudTraits::switchButton, AudTraits::textEntry, AudTraits::adjustable});
    EXPECT_EQ(Json(traits).get<AudTraits>(), traits);
}

TEST(AudTraits, ObjectFormNeedsAllSeventeenKeys) {
    EXPECT_EQ(objectForm(1).get<AudTraits>().rawValue, 1U);
    EXPECT_EQ(objectForm(0x1FFFF).get<AudTraits>().rawValue, 0x1FFFFU);
    EXPECT_THROW((void)objectForm(1, false).get<AudTraits>(), nlohmann::json::exception);
}

TEST(AudTraits, SetOperations) {
    AudTraits traits({AudTraits::button, AudTraits::header});
    EXPECT_TRUE(traits.contains(AudTraits::button));
    EXPECT_FALSE(traits.contains(AudTraits({AudTraits::button, AudTraits::link})));
    EXPECT_TRUE(AudTraits::button.isSubset(traits));
    EXPECT_TRUE(traits.isDisjoint(AudTraits::link));
    EXPECT_EQ(traits.symmetricDifference(AudTraits({AudTraits::button, AudTraits::link})),
              AudTraits({AudTraits::header, AudTraits::link}));
    traits.remove(AudTraits::button);
    EXPECT_EQ(traits, AudTraits::header);
    traits.formIntersection(AudTraits::link);
    EXPECT_TRUE(traits.isEmpty());
}

}  // namespace
}  // namespace audkit
