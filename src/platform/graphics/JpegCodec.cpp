#include "platform/graphics/JpegCodec.hpp"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace platform::graphics::codec {
namespace {

// More scans than any real progressive file has; each scan can cost a pass
// over the whole image, so a file made of thousands of tiny scans is refused.
constexpr int maxJpegScans = 500;

struct JpegErrorManager {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    Refusal refusal = Refusal::notDecodable;
};

// Everything the decoder touches lives here, in the caller of the function
// that runs it: its errors leave through a longjmp, which skips destructors.
struct JpegJob {
    jpeg_decompress_struct info{};
    JpegErrorManager error;
    jpeg_progress_mgr progress{};
    bool created = false;
    int orientation = 1;
    Decoded out;
    std::vector<std::uint8_t> row;      // one decoded row, when it is not written in place
    std::vector<std::uint8_t> inkRow;   // one CMYK row before conversion

    JpegJob() = default;
    JpegJob(const JpegJob&) = delete;
    JpegJob& operator=(const JpegJob&) = delete;
    ~JpegJob() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegErrorManager*>(info->err);
    // The memory manager's refusals: its cap (no backing store to spill to)
    // or the allocator's.
    if (info->err->msg_code == JERR_NO_BACKING_STORE || info->err->msg_code == JERR_OUT_OF_MEMORY) {
        error->refusal = Refusal::overBudget;
    }
    std::longjmp(error->jump, 1);
}

// Whether the data may run out now with nothing of the image missing: in the
// one scan of a single-scan file, which can be followed only by the
// end-of-image marker. The entropy decoder then says whether it still needed
// bits (JWRN_HIT_MARKER). A progressive or multi-scan file cannot tell
// whether more scans were to come, and before the scan the image is missing.
bool mayRunOutNow(j_common_ptr info) {
    if (!info->is_decompressor) return false;
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    return !decompress->progressive_mode && decompress->num_components > 0 &&
           decompress->comps_in_scan >= decompress->num_components;
}

// Warnings that mean the data stopped before the image did end the decoding
// at once (libjpeg would go on and fill the rest with grey); the others
// (stray bytes between segments and the like) are common in real files.
void jpegMessage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    const int code = info->err->msg_code;
    if ((code == JWRN_JPEG_EOF && !mayRunOutNow(info)) || code == JWRN_HIT_MARKER) {
        auto* error = reinterpret_cast<JpegErrorManager*>(info->err);
        error->refusal = Refusal::truncated;
        std::longjmp(error->jump, 1);
    }
}

void jpegIgnoreOutput(j_common_ptr) {}

void jpegProgress(j_common_ptr info) {
    if (!info->is_decompressor) return;
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > maxJpegScans) info->err->error_exit(info);
}

std::uint64_t roundUp(std::uint64_t value, std::uint64_t multiple) {
    return multiple == 0 ? value : (value + multiple - 1) / multiple * multiple;
}

// What the decoder keeps beyond a few rows: a progressive or multi-scan file
// holds the coefficients of every block of every component until its last
// scan (64 coefficients of 2 bytes each, blocks rounded up to whole
// sampling units, as the decoder requests them).
std::uint64_t coefficientBytes(const jpeg_decompress_struct& info) {
    if (!info.progressive_mode && info.comps_in_scan >= info.num_components) return 0;
    std::uint64_t total = 0;
    for (int i = 0; i < info.num_components; ++i) {
        const jpeg_component_info& component = info.comp_info[i];
        total += roundUp(component.width_in_blocks, static_cast<std::uint64_t>(component.h_samp_factor)) *
                 roundUp(component.height_in_blocks, static_cast<std::uint64_t>(component.v_samp_factor)) *
                 DCTSIZE2 * sizeof(JCOEF);
    }
    return total;
}

// Adobe's CMYK files store inverted inks; others store them plain.
void cmykRowToRgba(const std::uint8_t* cmyk, std::uint8_t* rgba, std::size_t width, bool inverted) {
    for (std::size_t x = 0; x < width; ++x) {
        unsigned c = cmyk[x * 4], m = cmyk[x * 4 + 1], y = cmyk[x * 4 + 2], k = cmyk[x * 4 + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgba[x * 4] = static_cast<std::uint8_t>((c * k + 127) / 255);
        rgba[x * 4 + 1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        rgba[x * 4 + 2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        rgba[x * 4 + 3] = 0xFF;
    }
}

// Copies row `y` of a `width` x `height` picture stored in `orientation` to
// where it belongs in the upright image `out`.
void placeRow(const std::uint8_t* row, std::ptrdiff_t y, std::ptrdiff_t width, std::ptrdiff_t height,
              int orientation, Decoded& out) {
    // Index in `out` (in pixels) of the row's first pixel, and the step from
    // one pixel of the row to the next.
    std::ptrdiff_t base = 0, step = 1;
    switch (orientation) {
        case 2: base = y * width + width - 1, step = -1; break;                   // mirrored
        case 3: base = (height - 1 - y) * width + width - 1, step = -1; break;    // turned half round
        case 4: base = (height - 1 - y) * width, step = 1; break;                 // upside down
        case 5: base = y, step = height; break;                                   // transposed
        case 6: base = height - 1 - y, step = height; break;                      // turned left
        case 7: base = (width - 1) * height + height - 1 - y, step = -height; break;  // transversed
        case 8: base = (width - 1) * height + y, step = -height; break;           // turned right
        default: base = y * width, step = 1; break;
    }
    std::uint8_t* pixels = out.rgba.data();
    for (std::ptrdiff_t x = 0; x < width; ++x) std::memcpy(pixels + (base + x * step) * 4, row + x * 4, 4);
}

int orientationOf(const jpeg_decompress_struct& info) {
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1 || marker->data == nullptr) continue;
        const std::span<const std::uint8_t> data(marker->data, marker->data_length);
        if (data.size() >= 6 && std::memcmp(data.data(), "Exif\0\0", 6) == 0) return exifOrientation(data);
    }
    return 1;
}

// Runs the decoder; false on any error, its cause in job.error.refusal.
// Nothing here is read after a longjmp but `job`, which lives in the caller,
// and nothing here has a destructor.
bool runJpegDecoder(JpegJob& job, std::span<const std::uint8_t> data, const Budget& budget) {
    if (setjmp(job.error.jump)) return false;
    jpeg_create_decompress(&job.info);
    job.created = true;
    job.info.mem->max_memory_to_use = static_cast<long>(budget.workingBytes);
    job.info.progress = &job.progress;
    jpeg_mem_src(&job.info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&job.info, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&job.info, TRUE) != JPEG_HEADER_OK) return false;

    bool cmyk = false;
    switch (job.info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            job.info.out_color_space = JCS_EXT_RGBA;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            job.info.out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default:
            return false;
    }
    jpeg_calc_output_dimensions(&job.info);
    if (!budget.fitsPixels(job.info.output_width, job.info.output_height) ||
        coefficientBytes(job.info) > budget.workingBytes) {
        job.error.refusal = Refusal::overBudget;
        return false;
    }
    job.orientation = orientationOf(job.info);

    if (!jpeg_start_decompress(&job.info)) return false;
    const JDIMENSION width = job.info.output_width;
    const JDIMENSION height = job.info.output_height;
    if (!budget.fitsPixels(width, height) || job.info.output_components != 4) return false;

    const bool turned = job.orientation >= 5;
    job.out.width = static_cast<int>(turned ? height : width);
    job.out.height = static_cast<int>(turned ? width : height);
    const std::size_t stride = static_cast<std::size_t>(width) * 4u;
    job.out.rgba.resize(stride * height);
    const bool inPlace = job.orientation == 1 && !cmyk;
    if (!inPlace) job.row.resize(stride);
    if (cmyk) job.inkRow.resize(stride);
    while (job.info.output_scanline < height) {
        const JDIMENSION y = job.info.output_scanline;
        std::uint8_t* rgbaRow = inPlace ? job.out.rgba.data() + y * stride : job.row.data();
        JSAMPROW target = cmyk ? job.inkRow.data() : rgbaRow;
        if (jpeg_read_scanlines(&job.info, &target, 1) != 1) return false;
        if (cmyk) cmykRowToRgba(job.inkRow.data(), rgbaRow, width, job.info.saw_Adobe_marker);
        if (!inPlace) placeRow(rgbaRow, y, width, height, job.orientation, job.out);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

}  // namespace

bool isJpeg(std::span<const std::uint8_t> data) {
    return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

Result decodeJpeg(std::span<const std::uint8_t> data, const Budget& budget) {
    JpegJob job;
    job.info.err = jpeg_std_error(&job.error.manager);
    job.error.manager.error_exit = jpegErrorExit;
    job.error.manager.emit_message = jpegMessage;
    job.error.manager.output_message = jpegIgnoreOutput;
    job.progress.progress_monitor = jpegProgress;
    if (!runJpegDecoder(job, data, budget)) return std::unexpected(job.error.refusal);
    return std::move(job.out);
}

int exifOrientation(std::span<const std::uint8_t> app1) {
    if (app1.size() < 6 || std::memcmp(app1.data(), "Exif\0\0", 6) != 0) return 1;
    const auto tiff = app1.subspan(6);
    if (tiff.size() < 8) return 1;
    bool littleEndian = false;
    if (tiff[0] == 'I' && tiff[1] == 'I') {
        littleEndian = true;
    } else if (!(tiff[0] == 'M' && tiff[1] == 'M')) {
        return 1;
    }
    // Reads within the block only; none past its end.
    auto read = [&](std::uint64_t at, int bytes) -> std::optional<std::uint32_t> {
        if (at + static_cast<std::uint64_t>(bytes) > tiff.size()) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t byte = tiff[at + static_cast<std::uint64_t>(littleEndian ? bytes - 1 - i : i)];
            value = (value << 8) | byte;
        }
        return value;
    };
    if (read(2, 2) != 42u) return 1;
    const auto directory = read(4, 4);
    if (!directory) return 1;
    const auto count = read(*directory, 2);
    if (!count) return 1;
    constexpr std::uint32_t orientationTag = 0x0112, shortType = 3;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = std::uint64_t{*directory} + 2 + 12 * std::uint64_t{i};
        const auto tag = read(entry, 2);
        if (!tag) return 1;
        if (*tag != orientationTag) continue;
        if (read(entry + 2, 2) != shortType || read(entry + 4, 4).value_or(0) < 1) return 1;
        const auto value = read(entry + 8, 2);
        return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
    }
    return 1;
}

}  // namespace platform::graphics::codec
