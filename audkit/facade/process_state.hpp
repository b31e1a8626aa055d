#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "audkit/tree/aud_element_type.hpp"
#include "audkit/tree/aud_rect.hpp"

namespace audkit {

// The few values that live for the whole process and are shared by several
// areas. Kept together so tests can reset them in one call.
struct ProcessState {
    // Verbose logging (AudKit.debugStatements); off by default.
    bool debugStatements = false;
    // Whether a keyboard was on screen at the last root capture. Only written
    // when the element under test has no web views, so such a scan reuses the
    // flag of the scan before it.
    bool keyboardOnScreen = false;
    // Pixels per point of the screen, set whenever bounds are computed.
    float screenScale = 1.0F;
    // The screen in pixels, read by the header/footer test; zero until a
    // context build records it.
    AudBounds screenRect;

    // Ids of views known to lie below a view of an element type, or below a
    // view holding a property; emptied at each context build.
    std::unordered_map<AudElementType, std::unordered_set<std::string>> isChildOfElementTypeCache;
    std::unordered_map<std::string, std::unordered_set<std::string>> isChildOfPropCache;
    // Ids of views known to lie below no such view. A view's ancestors never
    // change, so these answers stay true; without them a deep tree would make
    // every negative answer walk to the root.
    std::unordered_map<AudElementType, std::unordered_set<std::string>> isNotChildOfElementTypeCache;
    std::unordered_map<std::string, std::unordered_set<std::string>> isNotChildOfPropCache;

    void clearMembershipCaches() {
        isChildOfElementTypeCache.clear();
        isChildOfPropCache.clear();
        isNotChildOfElementTypeCache.clear();
        isNotChildOfPropCache.clear();
    }
};

ProcessState& processState();
void resetProcessState();

}  // namespace audkit
