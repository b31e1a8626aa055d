#pragma once

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tools/audkit/report/reports.hpp"

namespace audkit::cli {

// The findings a team has accepted: by screen (the bundle's folder name), rule
// and element key. The element key never uses the random view id: it is the
// accessibility identifier, else the class, label and frame rounded to whole
// points, so it survives a new scan and views listed in another order.
class Baseline {
public:
    using Key = std::tuple<std::string, std::string, std::string>;  // screen, rule, element

    static std::string screenKey(const std::string& bundle);
    static std::string elementKey(const Finding& finding, float scale);

    void record(const ScreenReport& screen);
    bool contains(const Key& key) const { return keys_.contains(key); }
    std::size_t size() const { return keys_.size(); }

    // {"format": "audkit-baseline", "version": 1, "findings": [{"screen", "rule", "element"}...]}
    std::string document() const;
    // Throws UsageError naming the file and what is wrong with it.
    static Baseline read(const std::string& path);

    // Marks the screen's findings that the baseline holds as known.
    void mark(ScreenReport& screen) const;

private:
    std::set<Key> keys_;
};

}  // namespace audkit::cli
