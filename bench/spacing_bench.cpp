// Touch-target spacing at scale: screens of 100, 1,000 and 10,000 targets (a
// long scrolling grid of 20 x 20 pt buttons, 12 to a row, 30 pt apart, with
// every seventh one moved 10 pt closer to its neighbour), each judged
// against all the others as the runner does after the walk. Prints the time
// of the whole spacing step per screen (median of 5 runs) and its growth.
//
//   build/bench/bench_spacing
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "audkit/rules/rule_catalogue.hpp"
#include "audkit/rules/rule_touch_target_spacing.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"

namespace {

using namespace audkit;
using Clock = std::chrono::steady_clock;
constexpr float scale = 3;

std::vector<std::shared_ptr<AudView>> targetsOn(const std::shared_ptr<AudView>& root, int count) {
    std::vector<std::shared_ptr<AudView>> targets;
    for (int i = 0; i < count; ++i) {
        const float crowd = i % 7 == 0 ? -10.0F : 0.0F;
        const float x = (16 + static_cast<float>(i % 12) * 30 + crowd) * scale;
        const float y = (100 + static_cast<float>(i / 12) * 30) * scale;
        AudView::Fields fields;
        fields.className = "UIButton";
        fields.elementType = AudElementType::button;
        fields.boundsInScreen = AudBounds(x, x + 20 * scale, y, y + 20 * scale);
        fields.name = "Target " + std::to_string(i);
        fields.role = AudRole::control;
        fields.isVisibleToUser = true;
        auto view = AudView::make(fields, std::make_shared<AudProps>(), root.get());
        root->addChild(view);
        targets.push_back(std::move(view));
    }
    return targets;
}

// One spacing step: every target's bag and verdict; returns the failures.
int spacingStep(const AudContext& context, const std::vector<std::shared_ptr<AudView>>& targets) {
    RuleTouchTargetSpacing rule(catalogueConf(AudRuleId::touchTargetSpacing));
    rule.setUp(context);
    int failures = 0;
    for (const auto& view : targets)
        if (rule.runRule(*rule.collectPostRunProps(view, targets)) == AudStatus::fail) ++failures;
    rule.tearDown();
    return failures;
}

}  // namespace

int main() {
    std::printf("%8s %12s %10s %8s\n", "targets", "spacing", "growth", "fails");
    double previous = 0;
    for (const int count : {100, 1000, 10000}) {
        AudView::Fields app;
        app.className = "UIApplication";
        app.elementType = AudElementType::application;
        app.isVisibleToUser = true;
        const auto root = AudView::make(app, std::make_shared<AudProps>(), nullptr);
        const auto targets = targetsOn(root, count);
        const AudContext context(root, AudDevice{"iPhone 15", "iOS", "17.2", 844 * scale, 390 * scale, scale},
                                 AudImage{}, AudMetaData{});
        std::vector<double> times;
        int failures = 0;
        for (int run = 0; run < 5; ++run) {
            const auto start = Clock::now();
            failures = spacingStep(context, targets);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(times.begin(), times.end());
        const double median = times[2];
        if (previous > 0)
            std::printf("%8d %10.2fms %9.1fx %8d\n", count, median, median / previous, failures);
        else
            std::printf("%8d %10.2fms %10s %8d\n", count, median, "", failures);
        previous = median;
    }
    return 0;
}
