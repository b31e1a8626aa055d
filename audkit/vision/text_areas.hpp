#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/base/spatial_index.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {

// The areas where the views of a vision map show their found text, indexed
// once per scan, so that the views whose text overlaps one view's are looked
// for among its neighbours instead of among all views.
class TextAreas {
public:
    // The map must outlive this object and stay unchanged.
    explicit TextAreas(const VisionMap& visionMap);

    // For the entry at this position of the map: nothing when the view's text
    // is legible on screen; otherwise the other views of the map, in map
    // order, whose found texts read differently and whose text areas overlap
    // its own.
    std::vector<std::shared_ptr<AudView>> overlapping(std::size_t entry) const;

private:
    // The view's texts joined with blanks, and its found texts read in order.
    struct Reading {
        std::string text;
        std::string ordered;
    };
    const Reading& reading(std::size_t entry) const;

    const VisionMap& visionMap_;
    std::vector<std::optional<AudBounds>> areas_;
    SpatialIndex index_;
    mutable std::vector<std::optional<Reading>> readings_;
};

}  // namespace audkit
