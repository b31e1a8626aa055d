#include "audkit/facade/process_state.hpp"

namespace audkit {

ProcessState& processState() {
    static ProcessState state;
    return state;
}

void resetProcessState() { processState() = ProcessState{}; }

}  // namespace audkit
