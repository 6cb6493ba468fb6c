// What the image codecs share (internal to the graphics layer: Image calls
// them, tests may): the decoded pixels, why a decoding was refused, and the
// memory a decoding may use. Each codec checks the budget before it
// allocates anything that grows with the image: first the size its header
// declares, then (JPEG) the decoder's own working memory. Plain values;
// every codec function is safe to call from any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <string_view>
#include <vector>

namespace platform::graphics::codec {

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // row-major, 4 bytes a pixel, not premultiplied
};

enum class Refusal {
    notDecodable,  // not of the format, damaged, or of a kind the codec does not take
    truncated,     // the data ends before the image does
    overBudget,    // decoding would need more memory than the budget allows
};

constexpr std::string_view describe(Refusal refusal) {
    switch (refusal) {
        case Refusal::notDecodable: return "not decodable";
        case Refusal::truncated: return "truncated";
        case Refusal::overBudget: return "over the decoding memory budget";
    }
    return "not decodable";
}

using Result = std::expected<Decoded, Refusal>;

// What one decoding may allocate: the decoded RGBA pixels, and the decoder's
// own working memory beyond them (coefficient buffers of a progressive JPEG,
// and whatever else grows with the image). No side may exceed `maxSide`.
struct Budget {
    std::uint64_t pixelBytes = 0;
    std::uint64_t workingBytes = 0;
    std::uint32_t maxSide = 0;

    // Whether `width` x `height` RGBA pixels fit.
    constexpr bool fitsPixels(std::uint64_t width, std::uint64_t height) const {
        return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
               width * height <= pixelBytes / 4;
    }
};

}  // namespace platform::graphics::codec
