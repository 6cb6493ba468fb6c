#include "platform/graphics/GifCodec.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace platform::graphics::codec {
namespace {

struct GifSource {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

int readGif(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    if (length <= 0) return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(length), source->data.size() - source->position);
    if (count > 0) std::memcpy(buffer, source->data.data() + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// giflib's reason for a failed call, as a refusal: its data ran out.
Refusal refusalOf(const GifFileType* gif) {
    const int error = gif->Error;
    return error == D_GIF_ERR_READ_FAILED || error == D_GIF_ERR_EOF_TOO_SOON ? Refusal::truncated
                                                                              : Refusal::notDecodable;
}

}  // namespace

bool isGif(std::span<const std::uint8_t> data) {
    return data.size() >= 6 && std::memcmp(data.data(), "GIF8", 4) == 0 && (data[4] == '7' || data[4] == '9') &&
           data[5] == 'a';
}

Result decodeGif(std::span<const std::uint8_t> data, const Budget& budget) {
    GifSource source{data};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readGif, &error));
    if (!gif) {
        return std::unexpected(error == D_GIF_ERR_READ_FAILED ? Refusal::truncated : Refusal::notDecodable);
    }
    const auto fail = [&] { return std::unexpected(refusalOf(gif.get())); };

    int transparentIndex = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return fail();
        if (type == TERMINATE_RECORD_TYPE) return std::unexpected(Refusal::notDecodable);  // no frame at all
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return fail();
            // Graphic control: block[0] is the length, block[1] the flags
            // (bit 0: a transparent index is given), block[4] the index.
            if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
                transparentIndex = (block[1] & 0x01) ? block[4] : -1;
            }
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return fail();
            }
            continue;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) break;
        return std::unexpected(Refusal::notDecodable);
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return fail();

    const GifImageDesc& frame = gif->Image;
    if (frame.Left < 0 || frame.Top < 0 || frame.Width < 0 || frame.Height < 0) {
        return std::unexpected(Refusal::notDecodable);
    }
    std::uint64_t width = static_cast<std::uint64_t>(gif->SWidth);
    std::uint64_t height = static_cast<std::uint64_t>(gif->SHeight);
    if (width == 0 || height == 0) {
        width = static_cast<std::uint64_t>(frame.Width);
        height = static_cast<std::uint64_t>(frame.Height);
    }
    if (!budget.fitsPixels(width, height) ||
        (frame.Width > 0 && frame.Height > 0 &&
         !budget.fitsPixels(static_cast<std::uint64_t>(frame.Width), static_cast<std::uint64_t>(frame.Height)))) {
        return std::unexpected(Refusal::overBudget);
    }
    const ColorMapObject* colors = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colors == nullptr || colors->Colors == nullptr) return std::unexpected(Refusal::notDecodable);

    Decoded out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(static_cast<std::size_t>(width * height * 4u), 0);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));

    auto drawLine = [&](int frameRow) {
        const std::uint64_t y = static_cast<std::uint64_t>(frame.Top) + static_cast<std::uint64_t>(frameRow);
        if (y >= height) return;
        for (int i = 0; i < frame.Width; ++i) {
            const std::uint64_t x = static_cast<std::uint64_t>(frame.Left) + static_cast<std::uint64_t>(i);
            if (x >= width) break;
            const int index = line[static_cast<std::size_t>(i)];
            if (index == transparentIndex || index >= colors->ColorCount) continue;
            std::uint8_t* pixel = out.rgba.data() + (y * width + x) * 4u;
            pixel[0] = colors->Colors[index].Red;
            pixel[1] = colors->Colors[index].Green;
            pixel[2] = colors->Colors[index].Blue;
            pixel[3] = 0xFF;
        }
    };
    if (frame.Width > 0 && frame.Height > 0) {
        if (frame.Interlace) {
            static constexpr int start[] = {0, 4, 2, 1};
            static constexpr int step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int row = start[pass]; row < frame.Height; row += step[pass]) {
                    if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) return fail();
                    drawLine(row);
                }
            }
        } else {
            for (int row = 0; row < frame.Height; ++row) {
                if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) return fail();
                drawLine(row);
            }
        }
    }
    return out;
}

}  // namespace platform::graphics::codec
