#include "audkit/base/process_state.hpp"

namespace audkit {

ProcessState& processState() {
    static ProcessState state;
    return state;
}

// Generations only ever grow, so answers kept before a reset never count after it.
void ProcessState::clearMembershipCaches() {
    static std::uint64_t lastGeneration = 0;
    membershipGeneration = ++lastGeneration;
}

void resetProcessState() {
    processState() = ProcessState{};
    processState().clearMembershipCaches();
}

}  // namespace audkit
