#include "audkit/platform/recognition_languages.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <utf8proc.h>

namespace audkit {
namespace {

enum class Script { latin, han, kana, hangul, cyrillic, greek, arabic, hebrew, thai, devanagari, none };

struct Range {
    char32_t first, last;
    Script script;
};

// Letters only: digits and punctuation are shared by every script.
constexpr std::array<Range, 19> ranges{{
    {U'A', U'Z', Script::latin},      {U'a', U'z', Script::latin},        {0x00C0, 0x024F, Script::latin},
    {0x0370, 0x03FF, Script::greek},  {0x0400, 0x052F, Script::cyrillic}, {0x0590, 0x05FF, Script::hebrew},
    {0x0600, 0x06FF, Script::arabic}, {0x0750, 0x077F, Script::arabic},   {0x0900, 0x097F, Script::devanagari},
    {0x0E00, 0x0E7F, Script::thai},   {0x1100, 0x11FF, Script::hangul},   {0x3040, 0x30FF, Script::kana},
    {0x3130, 0x318F, Script::hangul}, {0x31F0, 0x31FF, Script::kana},     {0x3400, 0x4DBF, Script::han},
    {0x4E00, 0x9FFF, Script::han},    {0xAC00, 0xD7AF, Script::hangul},   {0xF900, 0xFAFF, Script::han},
    {0xFF66, 0xFF9F, Script::kana},
}};

Script scriptOf(char32_t codePoint) {
    for (const auto& range : ranges)
        if (codePoint >= range.first && codePoint <= range.last) return range.script;
    return codePoint >= 0x20000 && codePoint <= 0x3134F ? Script::han : Script::none;
}

const char* codeOf(Script script, bool withKana) {
    switch (script) {
        case Script::latin: return "eng";
        case Script::han: return withKana ? "jpn" : "chi_sim";
        case Script::kana: return "jpn";
        case Script::hangul: return "kor";
        case Script::cyrillic: return "rus";
        case Script::greek: return "ell";
        case Script::arabic: return "ara";
        case Script::hebrew: return "heb";
        case Script::thai: return "tha";
        case Script::devanagari: return "hin";
        case Script::none: break;
    }
    return "eng";
}

}  // namespace

RecognitionLanguages languagesForTexts(const std::vector<std::string>& texts,
                                       const std::vector<std::string>& installed) {
    constexpr std::size_t leastLetters = 2;
    std::map<Script, std::size_t> letters;
    for (const auto& text : texts) {
        const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
        for (utf8proc_ssize_t at = 0, size = static_cast<utf8proc_ssize_t>(text.size()); at < size;) {
            utf8proc_int32_t codePoint = 0;
            const auto length = utf8proc_iterate(bytes + at, size - at, &codePoint);
            if (length <= 0) {
                ++at;  // a byte that is not UTF-8 belongs to no script
                continue;
            }
            at += length;
            if (const auto script = scriptOf(static_cast<char32_t>(codePoint)); script != Script::none)
                ++letters[script];
        }
    }
    const bool withKana = letters[Script::kana] >= leastLetters;
    // By letters, most first; Han and kana together are one language.
    std::map<std::string, std::size_t> byCode;
    for (const auto& [script, count] : letters)
        if (count > 0) byCode[codeOf(script, withKana)] += count;
    std::vector<std::pair<std::string, std::size_t>> chosen(byCode.begin(), byCode.end());
    std::erase_if(chosen, [&](const auto& entry) { return entry.second < leastLetters; });
    std::stable_sort(chosen.begin(), chosen.end(), [](const auto& a, const auto& b) { return a.second > b.second; });

    RecognitionLanguages result;
    for (const auto& [code, count] : chosen) {
        if (std::find(installed.begin(), installed.end(), code) == installed.end()) {
            result.missing.push_back(code);
            continue;
        }
        result.languages += (result.languages.empty() ? "" : "+") + code;
    }
    if (result.languages.empty()) result.languages = "eng";
    return result;
}

std::string languagePackage(std::string code) {
    for (auto& c : code) c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "tesseract-ocr-" + code;
}

std::string missingModelNote(const std::string& code) {
    return "its text is written in " + code +
           ", whose Tesseract model is not installed: read without it (apt-get install " + languagePackage(code) + ")";
}

}  // namespace audkit
