// Fixture of the disk-cache tests: a fresh temporary Documents directory, the
// main run loop on a manual clock (so Date::now() stands still), and helpers
// to plant files of a given size and age.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"

class OVCacheManagerTest : public ::testing::Test {
protected:
    using Path = std::filesystem::path;
    using Data = platform::core::Data;

    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-cache-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        documents_ = root_ / "Documents";
        std::filesystem::create_directories(documents_);
        platform::core::FileManager::setDocumentsDirectory(documents_);
        clock_ = platform::core::RunLoop::main().useManualClock();
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    static Path audioFolder() { return documentsPath() / "orvane" / "audio"; }
    static Path audioDownloads() { return audioFolder() / "download"; }
    static Path imageFolder() { return documentsPath() / "orvane" / "image"; }
    static Path imageDownloads() { return imageFolder() / "download"; }
    static Path documentsPath() { return platform::core::FileManager::documentsDirectory(); }

    static Data bytes(std::size_t count, std::uint8_t seed = 1) {
        Data data(count);
        for (std::size_t i = 0; i < count; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 31);
        return data;
    }

    // A file that really occupies `size` bytes on disk.
    static void writeRealFile(const Path& path, std::size_t size) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::vector<char> block(1 << 20, 'x');
        for (std::size_t left = size; left > 0;) {
            const auto n = std::min(left, block.size());
            out.write(block.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
        ASSERT_TRUE(out.good());
    }

    // A file of `size` bytes that occupies (almost) nothing: enough for the
    // size trim, which counts file sizes, not blocks.
    static void writeSparseFile(const Path& path, std::uintmax_t size) {
        std::ofstream(path, std::ios::binary).put('s');
        std::filesystem::resize_file(path, size);
    }

    static void setAccessedSecondsAgo(const Path& path, double seconds) {
        ASSERT_TRUE(platform::core::FileManager::setLastAccessDate(
            path, platform::core::Date::now().addingTimeInterval(-seconds)));
    }
    static void setAccessedMinutesAgo(const Path& path, double minutes) { setAccessedSecondsAgo(path, minutes * 60); }

    static bool exists(const Path& path) { return std::filesystem::exists(path); }

    Path root_;
    Path documents_;
    std::shared_ptr<platform::core::ManualClock> clock_;
};
