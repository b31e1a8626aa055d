#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// Compares a result document with an example's expected-verdicts.json (the
// verdicts a reviewer decided from the rendered page). Shared by the example
// test and bench_scan.
namespace audkit::verdicts {

struct Comparison {
    std::string rule;
    std::string element;
    std::string expected;
    std::string actual;  // "NONE" when the rule recorded nothing for the element
    bool agrees() const { return expected == actual; }
};

// Whether the example is scanned opted in to the dynamic-type rule
// ("dynamicType": true, as `audkit scan --dynamic-type`).
inline bool scansWithDynamicType(const nlohmann::json& expected) { return expected.value("dynamicType", false); }

// Each expected verdict against the result: elements are found by their
// accessibility identifier in the result's view tree.
inline std::vector<Comparison> compare(const nlohmann::json& result, const nlohmann::json& expected) {
    std::map<std::string, std::string> viewIdOf;
    std::vector<const nlohmann::json*> stack{&result.at("audContext").at("audView")};
    while (!stack.empty()) {
        const auto* view = stack.back();
        stack.pop_back();
        if (view->contains("accessibilityIdentifier"))
            viewIdOf[view->at("accessibilityIdentifier").get<std::string>()] = view->at("audViewId").get<std::string>();
        for (const auto& child : view->at("children")) stack.push_back(&child);
    }
    std::map<std::pair<std::string, std::string>, std::string> statusOf;  // (view id, rule) -> status
    for (const auto& ruleResult : result.at("audRuleResults"))
        statusOf[{ruleResult.at("audViewId").get<std::string>(), ruleResult.at("ruleId").get<std::string>()}] =
            ruleResult.at("status").get<std::string>();

    std::vector<Comparison> comparisons;
    for (const auto& verdict : expected.at("verdicts")) {
        Comparison comparison{verdict.at("rule").get<std::string>(), verdict.at("element").get<std::string>(),
                              verdict.at("status").get<std::string>(), "NO SUCH ELEMENT"};
        if (const auto view = viewIdOf.find(comparison.element); view != viewIdOf.end()) {
            const auto status = statusOf.find({view->second, comparison.rule});
            comparison.actual = status == statusOf.end() ? "NONE" : status->second;
        }
        comparisons.push_back(std::move(comparison));
    }
    return comparisons;
}

}  // namespace audkit::verdicts
