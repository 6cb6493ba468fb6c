#include "platform/core/FileManager.hpp"

#include "platform/core/NoDestructor.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <random>

namespace platform::core {
namespace fs = std::filesystem;

namespace {

// Read from any thread, also while the process exits: never destroyed.
struct DocumentsState {
    std::mutex mutex;
    std::optional<fs::path> override;
    fs::path ensured;  // the last path whose folder was created
    std::atomic<std::uint64_t> generation{0};
};

DocumentsState& documentsState() {
    static NoDestructor<DocumentsState> state;
    return *state;
}

std::error_code lastError() { return {errno, std::generic_category()}; }

fs::path defaultDocuments() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "orvane" / "Documents";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share" / "orvane" / "Documents";
    return fs::temp_directory_path() / "orvane" / "Documents";
}

// Writes all of `bytes` to `fd`, retrying short writes and interruptions.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string temporarySuffix() {
    static std::atomic<std::uint64_t> counter{0};
    thread_local std::mt19937_64 random{std::random_device{}()};
    return ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random() & 0xffffff);
}

Date fromTimespec(const timespec& ts) {
    return Date{static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9};
}

}  // namespace

FileManager::Path FileManager::documentsDirectory() {
    // The folder is created the first time a path is handed out; later calls
    // for the same path cost no file-system work (callers on hot paths, such
    // as cache lookups during state decoding, ask for it every time).
    auto& state = documentsState();
    std::lock_guard lock(state.mutex);
    fs::path path = state.override ? *state.override : defaultDocuments();
    if (path != state.ensured) {
        std::error_code ec;
        fs::create_directories(path, ec);
        if (!ec) state.ensured = path;
    }
    return path;
}

void FileManager::setDocumentsDirectory(Path path) {
    auto& state = documentsState();
    std::lock_guard lock(state.mutex);
    state.override = std::move(path);
    state.generation.fetch_add(1, std::memory_order_release);
}

std::uint64_t FileManager::documentsDirectoryGeneration() {
    return documentsState().generation.load(std::memory_order_acquire);
}

bool FileManager::exists(const Path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool FileManager::isDirectory(const Path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool FileManager::isRegularFile(const Path& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

FileManager::Result<void> FileManager::createDirectory(const Path& path, bool withIntermediateDirectories) {
    std::error_code ec;
    if (withIntermediateDirectories) {
        fs::create_directories(path, ec);
    } else {
        fs::create_directory(path, ec);
    }
    if (ec) return std::unexpected(ec);
    if (!fs::is_directory(path, ec)) return std::unexpected(std::make_error_code(std::errc::not_a_directory));
    return {};
}

FileManager::Result<std::vector<FileManager::Path>> FileManager::contentsOfDirectory(const Path& path) {
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    if (ec) return std::unexpected(ec);
    std::vector<Path> entries;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return std::unexpected(ec);
        entries.push_back(it->path());
    }
    if (ec) return std::unexpected(ec);
    std::sort(entries.begin(), entries.end());
    return entries;
}

FileManager::Result<Data> FileManager::readFile(const Path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::unexpected(lastError());
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        auto ec = lastError();
        ::close(fd);
        return std::unexpected(ec);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::unexpected(std::make_error_code(std::errc::is_a_directory));
    }
    Data data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            auto ec = lastError();
            ::close(fd);
            return std::unexpected(ec);
        }
        if (n == 0) break;
        data.insert(data.end(), buffer, buffer + n);
    }
    ::close(fd);
    return data;
}

FileManager::Result<void> FileManager::writeFileAtomically(const Path& path, std::span<const std::uint8_t> bytes) {
    Path temporary = path;
    temporary += temporarySuffix();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return std::unexpected(lastError());
    if (!writeAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) {
        auto ec = lastError();
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::unexpected(ec);
    }
    if (::close(fd) != 0) {
        auto ec = lastError();
        ::unlink(temporary.c_str());
        return std::unexpected(ec);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        auto ec = lastError();
        ::unlink(temporary.c_str());
        return std::unexpected(ec);
    }
    return {};
}

FileManager::Result<void> FileManager::writeFileAtomically(const Path& path, std::string_view bytes) {
    return writeFileAtomically(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

FileManager::Result<void> FileManager::appendToExistingFile(const Path& path, std::string_view bytes) {
    // O_APPEND makes each write(2) land at the end atomically with respect to
    // other appenders; one write call per append keeps entries whole.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return std::unexpected(lastError());
    if (!writeAll(fd, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())) {
        auto ec = lastError();
        ::close(fd);
        return std::unexpected(ec);
    }
    if (::close(fd) != 0) return std::unexpected(lastError());
    return {};
}

FileManager::Result<void> FileManager::moveItem(const Path& from, const Path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) return std::unexpected(ec);
    return {};
}

FileManager::Result<void> FileManager::removeItem(const Path& path) {
    std::error_code ec;
    const auto removed = fs::remove_all(path, ec);
    if (ec) return std::unexpected(ec);
    if (removed == 0) return std::unexpected(std::make_error_code(std::errc::no_such_file_or_directory));
    return {};
}

FileManager::Result<std::uint64_t> FileManager::fileSize(const Path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::unexpected(lastError());
    return static_cast<std::uint64_t>(st.st_size);
}

FileManager::Result<std::uint64_t> FileManager::allocatedSize(const Path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::unexpected(lastError());
    return static_cast<std::uint64_t>(st.st_blocks) * 512u;
}

FileManager::Result<Date> FileManager::lastAccessDate(const Path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::unexpected(lastError());
    return fromTimespec(st.st_atim);
}

FileManager::Result<Date> FileManager::modificationDate(const Path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::unexpected(lastError());
    return fromTimespec(st.st_mtim);
}

FileManager::Result<void> FileManager::setLastAccessDate(const Path& path, Date date) {
    if (!std::isfinite(date.timeIntervalSince1970)) return std::unexpected(std::make_error_code(std::errc::invalid_argument));
    const double seconds = std::floor(date.timeIntervalSince1970);
    timespec times[2];
    times[0].tv_sec = static_cast<time_t>(seconds);
    times[0].tv_nsec = static_cast<long>((date.timeIntervalSince1970 - seconds) * 1e9);
    times[1].tv_sec = 0;
    times[1].tv_nsec = UTIME_OMIT;
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return std::unexpected(lastError());
    return {};
}

}  // namespace platform::core
