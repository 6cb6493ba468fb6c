// A private session bus for one test: starts its own dbus-daemon, points
// DBUS_SESSION_BUS_ADDRESS of this process (and of the tools it runs) at it
// and stops it afterwards. Make it before anything touches the media centres,
// so that the media controls connect to it. `playerctl` runs the desktop's
// media-control tool against our player and gives what it printed.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/media/MprisService.hpp"

extern char** environ;

namespace testsupport {

class SessionBus {
public:
    SessionBus() {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char program[] = "dbus-daemon";
        char session[] = "--session";
        char print[] = "--print-address";
        char nofork[] = "--nofork";
        char* argv[] = {program, session, print, nofork, nullptr};
        if (posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        // The daemon prints its address once it listens.
        std::string line;
        pollfd ready{out[0], POLLIN, 0};
        while (pid_ > 0 && line.find('\n') == std::string::npos && ::poll(&ready, 1, 10'000) > 0) {
            char buffer[256];
            const auto got = ::read(out[0], buffer, sizeof buffer);
            if (got <= 0) break;
            line.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(out[0]);
        if (auto end = line.find('\n'); end != std::string::npos) address_ = line.substr(0, end);
        if (!address_.empty()) ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }

    ~SessionBus() {
        if (pid_ <= 0) return;
        // Let our media controls see the bus go before the test ends.
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        platform::core::RunLoop::main().runUntil(
            [] {
                const auto state = platform::media::MprisService::shared().state();
                return state != platform::media::MprisService::State::published;
            },
            5.0);
    }

    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool running() const { return !address_.empty(); }

    // Waits until the media controls own their name on this bus.
    static bool waitForPlayer(double timeout = 10.0) {
        return platform::core::RunLoop::main().runUntil(
            [] {
                return platform::media::MprisService::shared().state() ==
                       platform::media::MprisService::State::published;
            },
            timeout);
    }

    // Runs "playerctl --player=<our player> <arguments>" and gives its output
    // without the final line break; "error <status>" when it failed.
    static std::string playerctl(const std::string& arguments) {
        const std::string command =
            "timeout 10 playerctl --player=" + playerName() + " " + arguments + " 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return "error spawn";
        std::string output;
        std::array<char, 256> buffer{};
        while (auto got = std::fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), got);
        const int status = ::pclose(pipe);
        if (status != 0) return "error " + std::to_string(WEXITSTATUS(status));
        while (!output.empty() && output.back() == '\n') output.pop_back();
        return output;
    }

    // Spins the main run loop until playerctl prints `expected` for `arguments`.
    static bool waitForPlayerctl(const std::string& arguments, const std::string& expected, double timeout = 10.0) {
        return platform::core::RunLoop::main().runUntil([&] { return playerctl(arguments) == expected; }, timeout);
    }

    // "playerctl --follow": prints a value at start and again at each change
    // the player signals. Read what it printed so far with `lines()`.
    class Follower {
    public:
        explicit Follower(const std::string& arguments) {
            int out[2];
            if (::pipe(out) != 0) return;
            const std::string script = "exec playerctl --player=" + playerName() + " --follow " + arguments;
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&actions, out[0]);
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
            char shell[] = "sh";
            char dashC[] = "-c";
            std::string command = script;
            char* argv[] = {shell, dashC, command.data(), nullptr};
            if (posix_spawnp(&pid_, "sh", &actions, nullptr, argv, environ) != 0) pid_ = -1;
            posix_spawn_file_actions_destroy(&actions);
            ::close(out[1]);
            fd_ = out[0];
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        }
        ~Follower() {
            if (pid_ > 0) {
                ::kill(pid_, SIGTERM);
                ::waitpid(pid_, nullptr, 0);
            }
            if (fd_ >= 0) ::close(fd_);
        }
        Follower(const Follower&) = delete;
        Follower& operator=(const Follower&) = delete;

        std::vector<std::string> lines() {
            char buffer[512];
            for (ssize_t got; fd_ >= 0 && (got = ::read(fd_, buffer, sizeof buffer)) > 0;)
                text_.append(buffer, static_cast<std::size_t>(got));
            std::vector<std::string> out;
            for (std::size_t start = 0, end; (end = text_.find('\n', start)) != std::string::npos; start = end + 1)
                out.push_back(text_.substr(start, end - start));
            return out;
        }
        // Spins the main run loop until the last line printed is `expected`.
        bool waitForLast(const std::string& expected, double timeout = 10.0) {
            return platform::core::RunLoop::main().runUntil(
                [&] {
                    const auto all = lines();
                    return !all.empty() && all.back() == expected;
                },
                timeout);
        }

    private:
        pid_t pid_ = -1;
        int fd_ = -1;
        std::string text_;
    };

private:
    static std::string playerName() {
        std::string name = platform::media::MprisService::shared().busName();
        const std::string prefix = "org.mpris.MediaPlayer2.";
        if (name.starts_with(prefix)) name.erase(0, prefix.size());
        return name;
    }

    pid_t pid_ = -1;
    std::string address_;
};

}  // namespace testsupport
