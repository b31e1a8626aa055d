// Scans a capture bundle offline, prints every failure and saves the result
// document into a folder: consumer BUNDLE FOLDER. Exit 0 without failures, 1
// with failures, 2 when the bundle could not be scanned.
#include <cstdio>
#include <exception>

#include "audkit/audkit.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: consumer BUNDLE FOLDER\n");
        return 2;
    }
    try {
        const auto result = audkit::scanBundle(argv[1]);
        if (!audkit::examinedAnyView(*result)) {
            std::fprintf(stderr, "consumer: nothing on the screen was examined\n");
            return 2;
        }
        for (const auto& failure : result->failures())
            std::printf("FAIL %s: %s\n", failure->ruleId.c_str(), failure->ruleSummary.c_str());
        const auto saved = audkit::AudKit::offline()->saveResultInFolder(*result, argv[2], "result");
        std::printf("saved %s\n", saved.c_str());
        return result->failures().empty() ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "consumer: %s\n", error.what());
        return 2;
    }
}
