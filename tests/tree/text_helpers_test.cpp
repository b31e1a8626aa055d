#include <gtest/gtest.h>

#include "audkit/base/text_helpers.hpp"

namespace audkit {
namespace {

TEST(TextHelpers, BlankMeansOnlyWhiteSpaceAndNewlines) {
    EXPECT_TRUE(isBlank(std::optional<std::string>()));
    EXPECT_TRUE(isBlank(std::string(" \t\n\r\u00a0\u2028\u3000")));
    EXPECT_FALSE(isBlank(std::string(" . ")));
    EXPECT_EQ(trimmedWhitespaceAndNewlines("\u2003 Sign in \n"), "Sign in");
    EXPECT_EQ(trimmedWhitespaceAndNewlines("\xff a \xfe"), "\xff a \xfe");  // invalid bytes are kept, never a crash
}

TEST(TextHelpers, ComparisonFormDropsCaseSpacesPunctuationAndSymbols) {
    EXPECT_EQ(comparisonForm("  Volume: 50 %  "), "volume50");
    EXPECT_EQ(comparisonForm("Sign-In →"), "signin");
    EXPECT_EQ(comparisonForm("Wi‑Fi (5 GHz) & more…"), "wifi5ghzmore");
    EXPECT_EQ(comparisonForm("$ 1,299.00"), "129900");
    EXPECT_EQ(comparisonForm("¡Hola! ¿Qué tal?"), "holaquétal");
}

TEST(TextHelpers, LowercasingFollowsTheFullUnicodeMapping) {
    EXPECT_EQ(lowercased("ÄÖÜ ẞ"), "äöü ß");
    EXPECT_EQ(lowercased("İstanbul"), "i\u0307stanbul");
    EXPECT_EQ(lowercased("ΟΔΟΣ ΣΑΣ"), "οδος σας");
}

TEST(TextHelpers, LettersAndDigitsOfAnyScript) {
    EXPECT_EQ(lettersAndDigits("9:41"), 3U);
    EXPECT_EQ(lettersAndDigits("80%"), 2U);
    EXPECT_EQ(lettersAndDigits("自宅のWi-Fi"), 7U);
    EXPECT_EQ(lettersAndDigits("•••• | —"), 0U);  // password dots, a bar, a dash
    EXPECT_EQ(lettersAndDigits("a\xff"), 1U);        // an invalid byte is none
}

TEST(TextHelpers, GraphemeClustersCountWhatAReaderSees) {
    EXPECT_EQ(graphemeCount(""), 0U);
    EXPECT_EQ(graphemeCount("abc"), 3U);
    EXPECT_EQ(graphemeCount("e\u0301"), 1U);             // e + combining acute
    EXPECT_EQ(graphemeCount("🇩🇪🇫🇷"), 2U);                // two flags
    EXPECT_EQ(graphemeCount("👩‍👩‍👧"), 1U);  // one family
    EXPECT_EQ(graphemeCount("a\xff"
                            "b"),
              3U);  // an invalid byte stands alone
}

}  // namespace
}  // namespace audkit
