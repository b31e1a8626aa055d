#pragma once

#include <cstdint>

namespace audkit {

// The few values that live across scans and are shared by several areas.
// Kept together so tests can reset them in one call. Each thread has its own:
// a scan runs on one thread, and scans on other threads never see its values
// (the debug switch too must be set on the thread that scans).
struct ProcessState {
    // Verbose logging (AudKit.debugStatements); off by default.
    bool debugStatements = false;
    // Whether a keyboard was on screen at the last root capture. Only written
    // when the element under test has no web views, so such a scan reuses the
    // flag of the scan before it.
    bool keyboardOnScreen = false;

    // Generation of the membership caches of the tree queries. Each view keeps
    // its own answers tagged with the generation they were found in; a new
    // generation empties them all at once.
    std::uint64_t membershipGeneration = 0;

    void clearMembershipCaches();
};

ProcessState& processState();
void resetProcessState();

}  // namespace audkit
