#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "audkit/tree/aud_color.hpp"

namespace audkit {

// Real screenshots are often JPEG-born: a flat white page holds pixels of
// 230 to 255 beside text, a black stroke a spread of greys, so no two
// neighbours share a colour and runs of one colour never form. Each colour
// is then snapped to the most common colour of the pixels read that is
// within noiseLevels of it in luma (and chromaReach times that on each
// channel, as JPEG keeps colour at a quarter of the resolution of
// brightness), most common first, which gives a flat area and a stroke their
// one colour back. Whether an image is noisy is read from rows that should
// be flat (above and below a line of text): a clean render's are exactly one
// colour and it keeps every colour as it is (colours a few levels apart are
// then different colours); rows that vary a little are noise, whose spread
// beside the glyphs is several times that of the rows; rows that vary a lot
// are texture (a photograph, a gradient), not noise.
constexpr int noiseLevels = 16;
constexpr int chromaReach = 3;
constexpr int leastNoise = 2;
constexpr int mostNoise = 24;

// What rows that should be flat tell of an image, with the pixels read. How
// far, on the worst channel, 49 pixels in 50 of the rows stay from their
// row's median colour tells texture (more than mostNoise); the image is noisy
// where the rows vary at all or where many pixels read lie a level or few off
// the most common colour, as JPEG blocks beside glyphs do; clean otherwise.
enum class Surface { clean, noisy, textured };
Surface surfaceOf(const std::vector<std::vector<AudColor>>& flatRows, const std::vector<AudColor>& sample);

// Pixels within faintNoise levels of the most common colour but not of it,
// against those of it, from which an image is noisy; a clean render has few,
// where a glyph's faintest edge crosses the line (and text that close to its
// background is not text a reader can see).
constexpr double noisyShare = 0.2;
constexpr int faintNoise = 4;

// Whether two colours differ by at most `levels` on every channel.
bool withinLevels(const AudColor& a, const AudColor& b, int levels);
// The median of each channel of the colours (black for none).
AudColor medianColor(const std::vector<AudColor>& colors);

class FlattenedNoise {
public:
    // Learns the clusters from the colours of the pixels that will be read.
    // levels 0 snaps nothing.
    FlattenedNoise(const std::vector<AudColor>& sample, int levels);

    // The colour its cluster stands for (its alpha kept); a colour not in
    // the sample stays as it is.
    AudColor operator()(const AudColor& color) const;

private:
    std::unordered_map<std::uint32_t, std::uint32_t> snapped_;
};

}  // namespace audkit
