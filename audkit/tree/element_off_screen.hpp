#pragma once

#include "audkit/base/json.hpp"

namespace audkit {

// The fraction of an element's frame that lies outside its visible frame
// (0 fully visible, 1 fully off screen).
struct ElementOffScreen {
    float offScreenAmount = 0;
    bool operator==(const ElementOffScreen&) const = default;
};

// Writes "offScreenAmount" and the formatted "percentOffScreen"; reads the amount only.
void to_json(Json& json, const ElementOffScreen& record);
void from_json(const Json& json, ElementOffScreen& record);

}  // namespace audkit
