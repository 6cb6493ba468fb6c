#include "orvane/widget/OVTextLog.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

#include "platform/core/FileManager.hpp"
#include "platform/core/NoDestructor.hpp"

namespace orvane {

using platform::core::FileManager;

OVTextLog& OVTextLog::shared() {
    static platform::core::NoDestructor<OVTextLog> log{std::in_place, [] { return OVTextLog(); }};
    return *log;
}

void OVTextLog::write(std::string_view text) {
    const auto path = FileManager::documentsDirectory() / "log.txt";
    auto appended = FileManager::appendToExistingFile(path, text);
    if (appended) return;
    // The file could not be opened for appending: report why. Only a missing
    // file is replaced by a new one; any other failure leaves the existing
    // log alone rather than wiping it.
    std::printf("%s\n", appended.error().message().c_str());
    std::fflush(stdout);
    if (appended.error() != std::errc::no_such_file_or_directory) return;
    // Create the file only if it is still absent (another writer may have
    // made it meanwhile), then append to it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) {
        std::printf("%s\n", std::error_code(errno, std::generic_category()).message().c_str());
        std::fflush(stdout);
        return;
    }
    if (fd >= 0) ::close(fd);
    if (auto retried = FileManager::appendToExistingFile(path, text); !retried) {
        std::printf("%s\n", retried.error().message().c_str());
        std::fflush(stdout);
    }
}

}  // namespace orvane
