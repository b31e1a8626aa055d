#include <gtest/gtest.h>

#include "audkit/platform/recognition_languages.hpp"

namespace audkit {
namespace {

const std::vector<std::string> installed{"chi_sim", "deu", "eng", "jpn", "osd"};

std::string chosen(const std::vector<std::string>& texts) { return languagesForTexts(texts, installed).languages; }

// A screen is read in the languages of its own labels and values, the one
// with most letters first; a stray letter or digits alone choose nothing.
TEST(RecognitionLanguages, ChosenFromTheScriptsOfTheScreensTexts) {
    EXPECT_EQ(chosen({}), "eng");
    EXPECT_EQ(chosen({"12:40", "100%"}), "eng");
    EXPECT_EQ(chosen({"Settings", "Wi-Fi", "Bluetooth"}), "eng");
    EXPECT_EQ(chosen({"中国.成都市", "推荐关注", "Sioeye"}), "chi_sim+eng");
    EXPECT_EQ(chosen({"Sunny_sioeye2.0", "Who to follow", "啊漆"}), "eng+chi_sim");
    // Han with kana is Japanese; one kanji in a long English screen is no language.
    EXPECT_EQ(chosen({"プレビューを表示", "自宅のネットワーク", "Wi-Fi"}), "jpn+eng");
    EXPECT_EQ(chosen({"Settings", "Sign in", "中"}), "eng");
    // An accent is Latin: read as English.
    EXPECT_EQ(chosen({"Café crème", "Über uns"}), "eng");
    // Bytes that are not UTF-8 belong to no script.
    EXPECT_EQ(chosen({std::string("\xff\xfe\xc0", 3) + "ok"}), "eng");

    // A model that is not installed is named and left out.
    const auto korean = languagesForTexts({"설정", "블루투스", "Wi-Fi"}, installed);
    EXPECT_EQ(korean.languages, "eng");
    EXPECT_EQ(korean.missing, std::vector<std::string>{"kor"});
    EXPECT_EQ(languagePackage("chi_sim"), "tesseract-ocr-chi-sim");
}

}  // namespace
}  // namespace audkit
