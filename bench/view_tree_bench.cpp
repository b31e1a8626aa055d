// View tree at scale: builds trees of 1,000, 10,000 and 100,000 views from a
// capture (a settings-like screen: a navigation bar, then a table of cells,
// each a content view with a title, a detail text and a switch, grouped into
// nested containers), then reads every lazy relation and every tree query the
// rules use on every node.
//
//   build/bench/bench_view_tree [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <string>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"

namespace {

using namespace audkit;

std::string element(const std::string& id, int rawType, const std::string& className, const std::string& label,
                    double y, const std::vector<std::string>& children, bool isElement) {
    std::string list;
    for (const auto& child : children) list += (list.empty() ? "\"" : ",\"") + child + "\"";
    return "\"" + id + "\":{\"rawType\":" + std::to_string(rawType) +
           ",\"attributes\":{\"XC_kAXXCAttributeElementType\":\"" + className + "\"" +
           (label.empty() ? "" : ",\"XC_kAXXCAttributeLabel\":\"" + label + "\"") +
           ",\"XC_kAXXCAttributeFrame\":{\"X\":0,\"Y\":" + std::to_string(y) +
           ",\"Width\":390,\"Height\":44},\"XC_kAXXCAttributeVisibleFrame\":{\"X\":0,\"Y\":" + std::to_string(y) +
           ",\"Width\":390,\"Height\":44},\"XC_kAXXCAttributeIsVisible\":1,\"XC_kAXXCAttributeIsElement\":" +
           (isElement ? "1" : "0") + ",\"XC_kAXXCAttributeIsUserInteractionEnabled\":1" +
           (rawType == 40 ? ",\"XC_kAXXCAttributeValue\":\"1\"" : "") + ",\"XC_kAXXCAttributeChildren\":[" + list +
           "]}}";
}

// About `views` elements: 5 per cell, a table for every 5 cells, and 5 more
// for the application, navigation bar and container.
std::string settingsCapture(int views) {
    const int cells = (views - 5) * 5 / 26;
    std::string elements;
    auto add = [&](const std::string& text) { elements += (elements.empty() ? "" : ",") + text; };
    std::vector<std::string> groups;
    constexpr int cellsPerGroup = 5;
    for (int g = 0; g * cellsPerGroup < cells; ++g) {
        const std::string group = "g" + std::to_string(g);
        std::vector<std::string> groupCells;
        for (int c = g * cellsPerGroup; c < std::min(cells, (g + 1) * cellsPerGroup); ++c) {
            const std::string n = std::to_string(c), y = std::to_string(c);
            add(element("cell" + n, 75, "UITableViewCell", "", c * 44.0, {"content" + n}, false));
            add(element("content" + n, 1, "UITableViewCellContentView", "", c * 44.0,
                        {"title" + n, "detail" + n, "switch" + n}, false));
            add(element("title" + n, 48, "UITableViewLabel", "Setting " + n, c * 44.0, {}, false));
            add(element("detail" + n, 48, "UILabel", "Detail " + n, c * 44.0, {}, true));
            add(element("switch" + n, 40, "UISwitch", "Setting " + n, c * 44.0, {}, true));
            groupCells.push_back("cell" + n);
        }
        add(element(group, 26, "UITableView", "", 0, groupCells, false));
        groups.push_back(group);
    }
    add(element("container", 1, "UIView", "", 0, groups, false));
    add(element("title", 48, "UILabel", "Settings", 50, {}, true));
    add(element("back", 9, "UIButton", "Back", 50, {}, true));
    add(element("nav", 21, "UINavigationBar", "", 47, {"title", "back"}, false));
    add(element("app", 2, "UIApplication", "Settings", 0, {"nav", "container"}, false));
    return R"({"format":"audkit-capture","version":1,"device":{"name":"iPhone","systemName":"iOS",)"
           R"("systemVersion":"17","scale":3},"root":"app","elements":{)" +
           elements + "}}";
}

std::shared_ptr<AudView> build(const CaptureBundle& bundle) {
    BundlePlatform platform(bundle);
    processState().clearMembershipCaches();
    const auto root = makeRootElement(platform.snapshotSource(), *platform.elementUnderTest());
    return buildTree(platform.snapshotSource(), *root, AudBounds(0, 1170, 0, 2532));
}

// Every relation and query a rule reads, on every node.
std::size_t readEverything(const AudView& root) {
    std::size_t answers = 0;
    root.runOnSelfAndDescendants([&](const AudView& view) {
        for (const auto type :
             {AudElementType::table, AudElementType::cell, AudElementType::navigationBar, AudElementType::tabBar,
              AudElementType::toolbar, AudElementType::scrollView, AudElementType::pickerWheel})
            answers += view.isChildOfElementType(type);
        for (const char* key : {"isAccessibilityFocusable", "isActiveControl", "isHeaderOrFooter", "isVisibleToUser"})
            answers += view.isChildOfProp(key);
        answers += view.isStaticTextOutsideBarControl();
        answers += static_cast<std::size_t>(view.viewHierarchy());
        answers += view.expectedValue().has_value();
        answers += view.textOfSelfAndDescendants().size();
        answers += view.visibleLabelInChildElement() != nullptr;
        answers += view.associatedTextForControl() != nullptr;
        answers += view.isHeaderOrFooter();
        return RunStatus::proceed;
    });
    return answers;
}

std::size_t countViews(const AudView& root) {
    std::size_t count = 0;
    root.runOnSelfAndDescendants([&](const AudView&) {
        ++count;
        return RunStatus::proceed;
    });
    return count;
}

void BM_ReadCapture(benchmark::State& state) {
    const auto text = settingsCapture(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(CaptureBundle::fromText(text, "bench.json"));
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_BuildTree(benchmark::State& state) {
    const auto bundle = CaptureBundle::fromText(settingsCapture(static_cast<int>(state.range(0))), "bench.json");
    std::size_t views = 0;
    for (auto _ : state) {
        const auto root = build(bundle);
        views = countViews(*root);
    }
    state.counters["views"] = static_cast<double>(views);
}

void BM_ReadEveryRelation(benchmark::State& state) {
    const auto bundle = CaptureBundle::fromText(settingsCapture(static_cast<int>(state.range(0))), "bench.json");
    for (auto _ : state) {
        state.PauseTiming();
        const auto root = build(bundle);  // fresh lazy caches every round
        state.ResumeTiming();
        benchmark::DoNotOptimize(readEverything(*root));
        state.PauseTiming();
        root->children.clear();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ReadCapture)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTree)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryRelation)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
