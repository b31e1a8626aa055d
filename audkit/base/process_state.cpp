#include "audkit/base/process_state.hpp"

#include <atomic>

namespace audkit {

// One per thread: scans running on several threads at once (a batch) never
// share a screen rectangle or a cache generation.
ProcessState& processState() {
    thread_local ProcessState state;
    return state;
}

// Generations only ever grow, in every thread, so answers kept before a reset
// never count after it.
void ProcessState::clearMembershipCaches() {
    static std::atomic<std::uint64_t> lastGeneration{0};
    membershipGeneration = ++lastGeneration;
}

void resetProcessState() {
    processState() = ProcessState{};
    processState().clearMembershipCaches();
}

}  // namespace audkit
