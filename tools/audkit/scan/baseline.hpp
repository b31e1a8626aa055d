#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/audkit/report/reports.hpp"

namespace audkit::cli {

// How a baseline knows an element again in a later scan, never by the random
// view id: by its accessibility identifier where it has one; else by its
// class and label and either its place in the tree (each ancestor's class and
// position among siblings of that class) or its frame within a few points.
// A button moved a little, the same screen captured on another device size or
// with its parts listed in another order is the same element.
struct ElementIdentity {
    std::string identifier;  // empty when the element has none
    std::string className, label, path;
    double x = 0, y = 0, width = 0, height = 0;  // the frame, in points

    static ElementIdentity of(const Finding& finding, float scale);
    bool sameElement(const ElementIdentity& other) const;
    // "id signInButton", or UIButton "Sign in" at 24, 320, 327 x 50 pt.
    std::string description() const;
};

// The findings a team has accepted: by screen (the bundle's folder name), rule
// and element, each with the reason given for it, if any.
class Baseline {
public:
    struct Entry {
        std::string screen, rule;
        ElementIdentity element;
        std::string reason;  // why the finding is accepted; empty when none was given
    };

    static std::string screenKey(const std::string& bundle);

    void record(const ScreenReport& screen);
    std::size_t size() const { return entries_.size(); }

    // {"format": "audkit-baseline", "version": 2, "findings": [{"screen", "rule",
    // "element": {"identifier"} or {"className", "label", "path", "frame"},
    // "reason"?}...]}; version 1 files (elements as text) are read too.
    std::string document() const;
    // Throws UsageError naming the file and what is wrong with it.
    static Baseline read(const std::string& path);

    // Marks the screen's findings that the baseline holds as known (on any
    // thread: it only reads the entries).
    void mark(ScreenReport& screen) const;
    // Notes which entries the scanned screen's findings match (on one thread).
    void noteScanned(const ScreenReport& screen);
    // The entries of the screens scanned that matched none of their findings
    // (fixed, or the element is gone): to be taken out of the baseline.
    std::vector<Entry> stale() const;

private:
    // The entry that holds the finding, or none.
    std::optional<std::size_t> entryFor(const std::string& screen, const Finding& finding, float scale) const;

    void add(Entry entry);

    std::vector<Entry> entries_;
    std::map<std::pair<std::string, std::string>, std::vector<std::size_t>> byScreenAndRule_;
    std::set<std::size_t> matched_;
    std::set<std::string> scannedScreens_;
};

// Names on standard error the baseline's entries that the scanned screens no
// longer show, so that the baseline can be brought up to date.
void reportStale(const Baseline& baseline, const std::string& path, std::ostream& err);

}  // namespace audkit::cli
