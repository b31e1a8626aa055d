#include "audkit/platform/recognition_bands.hpp"

#include <algorithm>

#include "audkit/platform/ink_image.hpp"

namespace audkit {

bool RecognitionBand::keeps(const std::vector<RecognisedWord>& line) const {
    if (line.empty()) return false;
    int top = line.front().top, bottom = line.front().bottom;
    for (const auto& word : line) top = std::min(top, word.top), bottom = std::max(bottom, word.bottom);
    const int middle = (top + bottom) / 2;
    return middle >= keepFrom && middle < keepBefore;
}

std::vector<RecognitionBand> recognitionBands(const std::vector<std::uint8_t>& ink, int width, int height, int count) {
    // A band much shorter than its overlap would mostly recognise its neighbours' rows.
    count = std::max(1, std::min(count, height / (4 * bandOverlap)));
    std::vector<int> seams{0};
    for (int i = 1; i < count; ++i) {
        const int even = height * i / count, reach = height / (4 * count);
        int best = even;
        long fewest = -1;
        for (int row = even - reach; row <= even + reach; ++row) {
            const auto* pixels = ink.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
            const long dark = std::count_if(pixels, pixels + width, [](std::uint8_t value) { return value < darkInk; });
            // The least ink, and of rows alike the one nearest the even split.
            if (fewest < 0 || dark < fewest || (dark == fewest && std::abs(row - even) < std::abs(best - even))) {
                fewest = dark;
                best = row;
            }
        }
        seams.push_back(best);
    }
    seams.push_back(height);
    std::vector<RecognitionBand> bands;
    for (int i = 0; i < count; ++i) {
        RecognitionBand band;
        band.keepFrom = seams[i];
        band.keepBefore = seams[i + 1];
        band.top = i == 0 ? 0 : std::max(0, seams[i] - bandOverlap);
        band.bottom = i == count - 1 ? height : std::min(height, seams[i + 1] + bandOverlap);
        bands.push_back(band);
    }
    return bands;
}

}  // namespace audkit
