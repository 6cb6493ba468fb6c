// A fresh temporary Documents directory for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "platform/core/FileManager.hpp"

namespace testsupport {

class TempDocuments {
public:
    TempDocuments() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("orvane-test-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
        platform::core::FileManager::setDocumentsDirectory(path_);
    }
    ~TempDocuments() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDocuments(const TempDocuments&) = delete;
    TempDocuments& operator=(const TempDocuments&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
