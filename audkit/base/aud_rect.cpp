#include "audkit/base/aud_rect.hpp"

#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/log_protocol.hpp"
#include "audkit/base/zk_log.hpp"

namespace audkit {
namespace {

class DimensionWarning : public WarningMessages {
public:
    DimensionWarning(const char* coordinate, float from, float to)
        : text_(std::string("AudRect has an unexpected dimension. Converting dimension ") + coordinate + " from " +
                describeFloat(from) + " to " + describeFloat(to) + ".") {}
    std::optional<std::string> message() const override { return text_; }

private:
    std::string text_;
};

// Finite values stay; NaN becomes 0 and infinities 32767, each reported.
float checkDimension(const char* coordinate, float value) {
    if (std::isfinite(value)) return value;
    const float replacement = std::isnan(value) ? 0.0F : 32767.0F;
    ZKLog::log(DimensionWarning(coordinate, value, replacement));
    return replacement;
}

std::int64_t truncated(float value) { return truncateToInt64(value); }

}  // namespace

AudRect::AudRect(float left, float right, float top, float bottom) {
    const float checkedRight = checkDimension("right", right);
    const float checkedLeft = checkDimension("left", left);
    const float checkedTop = checkDimension("top", top);
    const float checkedBottom = checkDimension("bottom", bottom);
    left_ = checkedLeft;
    top_ = checkedTop;
    right_ = checkedRight - checkedLeft < 0 ? checkedLeft : checkedRight;
    bottom_ = checkedBottom - checkedTop < 0 ? checkedTop : checkedBottom;
}

AudRect AudRect::unchecked(float left, float right, float top, float bottom) {
    AudRect rect;
    rect.left_ = left;
    rect.right_ = right;
    rect.top_ = top;
    rect.bottom_ = bottom;
    return rect;
}

std::string AudRect::describeAs(const char* typeName) const {
    return std::string(typeName) + "(left: " + std::to_string(truncated(left_)) +
           ", right: " + std::to_string(truncated(right_)) + ", top: " + std::to_string(truncated(top_)) +
           ", bottom: " + std::to_string(truncated(bottom_)) + ")";
}

std::string AudRect::description() const { return describeAs("AudRect"); }
std::string AudBounds::description() const { return describeAs("AudBounds"); }

bool AudRect::operator==(const AudRect& other) const {
    return truncated(left_) == truncated(other.left_) && truncated(right_) == truncated(other.right_) &&
           truncated(bottom_) == truncated(other.bottom_) && truncated(top_) == truncated(other.top_);
}

std::size_t AudRect::hash() const {
    std::size_t seed = 0;
    for (const float value : {left_, right_, bottom_, top_}) {
        seed ^= std::hash<std::int64_t>{}(truncated(value)) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    }
    return seed;
}

float AudBounds::heightDifferencePercent(const std::optional<AudBounds>& other) const {
    const float otherHeight = other ? other->height() : height();
    return std::fabs(otherHeight / height() * 100.0F - 100.0F);
}

void to_json(Json& json, const AudRect& rect) {
    json = Json::object();
    json["left"] = truncated(rect.left());
    json["right"] = truncated(rect.right());
    json["top"] = truncated(rect.top());
    json["bottom"] = truncated(rect.bottom());
}

void from_json(const Json& json, AudRect& rect) {
    rect = AudRect::unchecked(json.at("left").get<float>(), json.at("right").get<float>(), json.at("top").get<float>(),
                              json.at("bottom").get<float>());
}

void to_json(Json& json, const AudBounds& bounds) { to_json(json, static_cast<const AudRect&>(bounds)); }

void from_json(const Json& json, AudBounds& bounds) {
    AudRect rect;
    from_json(json, rect);
    bounds = AudBounds(rect);
}

}  // namespace audkit
