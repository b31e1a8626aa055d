// FocusableText and CollidingViews at scale: long screens of 1,000 and 10,000
// texts (rows of ten 30 x 20 pt labels, 32 pt apart, on a screen as tall as
// the rows, at scale 1), each with its line found on the screenshot. Every
// third text lies under a transparent focusable overlay, every fifth is not
// focusable, every seventh is found cut short, and every eleventh is found
// together with its neighbour's word (their text areas overlap). The whole
// scan runs with only the two rules and once with none; the difference is
// the rules' time. Prints the medians of 5 runs and the growth.
//
//   build/bench/bench_text_rules
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "audkit/facade/aud.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace {

using namespace audkit;
using Clock = std::chrono::steady_clock;
constexpr int perRow = 10;
constexpr float pitchX = 38, pitchY = 32, width = 30, height = 20, top = 50;

float screenHeight(int count) { return top + static_cast<float>((count + perRow - 1) / perRow) * pitchY + 50; }

AudBounds boxOf(int i) {
    const float x = 4 + static_cast<float>(i % perRow) * pitchX, y = top + static_cast<float>(i / perRow) * pitchY;
    return AudBounds(x, x + width, y, y + height);
}

std::shared_ptr<AudView> screenOf(int count) {
    AudView::Fields app;
    app.className = "UIApplication";
    app.elementType = AudElementType::application;
    app.isVisibleToUser = true;
    const auto root = AudView::make(app, std::make_shared<AudProps>(), nullptr);
    for (int i = 0; i < count; ++i) {
        AudView::Fields fields;
        fields.className = "UILabel";
        fields.elementType = AudElementType::staticText;
        fields.boundsInScreen = boxOf(i);
        fields.name = "Word" + std::to_string(i) + " text";
        fields.role = AudRole::textElement;
        fields.isVisibleToUser = true;
        auto props = std::make_shared<AudProps>();
        props->add("text", *fields.name);
        props->add("isActiveControl", false);
        props->add("accessibilityPath", fields.boundsInScreen);
        auto label = AudView::make(fields, props, root.get());
        label->isAccessibilityFocusable = i % 5 != 0;
        root->addChild(std::move(label));
        if (i % 3 == 0) {
            AudView::Fields overlay;
            overlay.className = "Overlay";
            overlay.boundsInScreen = boxOf(i);
            overlay.name = *fields.name;
            overlay.isVisibleToUser = true;
            auto overlayProps = std::make_shared<AudProps>();
            overlayProps->add("isActiveControl", false);
            overlayProps->add("accessibilityPath", overlay.boundsInScreen);
            auto cover = AudView::make(overlay, overlayProps, root.get());
            cover->isAccessibilityFocusable = true;
            root->addChild(std::move(cover));
        }
    }
    return root;
}

// The lines a recogniser would find on such a screen.
class ScreenLines : public TextRecognizer {
public:
    ScreenLines(int count, float screenHeight) : count_(count), screenHeight_(screenHeight) {}
    std::vector<TextObservation> recognize(const RgbaImage&) override {
        std::vector<TextObservation> lines;
        for (int i = 0; i < count_; ++i) {
            std::string text = "Word" + std::to_string(i) + " text";
            auto box = boxOf(i);
            if (i % 7 == 0) text = "Wo";
            if (i % 11 == 0 && i % perRow != perRow - 1) {
                text += " Word" + std::to_string(i + 1);
                box = AudBounds(box.left(), box.right() + pitchX, box.top(), box.bottom());
            }
            lines.push_back({text, box.left() / 390, 1 - box.bottom() / screenHeight_, box.width() / 390,
                             box.height() / screenHeight_});
        }
        return lines;
    }

private:
    int count_;
    float screenHeight_;
};

std::shared_ptr<AudConf> onlyRules(const std::vector<AudRuleId>& kept) {
    auto conf = std::make_shared<AudConf>();
    for (const auto id : allCases<AudRuleId>())
        if (std::find(kept.begin(), kept.end(), id) == kept.end()) conf->ignore(std::string(toString(id)), true);
    return conf;
}

double medianScan(const std::shared_ptr<AudConf>& conf, int count, std::size_t& results) {
    const float tall = screenHeight(count);
    auto page = std::make_shared<RgbaImage>();
    page->width = 390;
    page->height = static_cast<std::uint32_t>(tall);
    page->pixels.assign(std::size_t{page->width} * page->height * 4, 255);
    AudImage image;
    image.decoded = page;
    ScreenLines recognizer(count, tall);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        const auto context = std::make_shared<AudContext>(
            screenOf(count), AudDevice{"Tall phone", "iOS", "17.2", tall, 390, 1}, image, AudMetaData{});
        const auto start = Clock::now();
        results = Aud(conf, &recognizer).run(context)->audRuleResults.size();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

}  // namespace

int main() {
    std::printf("%8s %12s %12s %12s %10s %8s\n", "texts", "scan", "no rules", "rules", "growth", "results");
    double previous = 0;
    for (const int count : {1000, 3000, 10000}) {
        std::size_t results = 0, none = 0;
        const double withRules =
            medianScan(onlyRules({AudRuleId::focusableText, AudRuleId::collidingViews}), count, results);
        const double without = medianScan(onlyRules({}), count, none);
        const double rules = std::max(withRules - without, 0.0);
        if (previous > 0)
            std::printf("%8d %10.1fms %10.1fms %10.1fms %9.1fx %8zu\n", count, withRules, without, rules,
                        rules / previous, results);
        else
            std::printf("%8d %10.1fms %10.1fms %10.1fms %10s %8zu\n", count, withRules, without, rules, "", results);
        previous = rules;
    }
    return 0;
}
