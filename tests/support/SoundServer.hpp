// A private sound server for one test: starts its own PulseAudio daemon (no
// system service, no session bus) in a temporary runtime folder with one null
// sink, points PULSE_SERVER of this process at it, and records what the sink
// plays from its monitor with `parec`. Stops both afterwards. It can also be
// killed and started again in its place, as a server that crashes and comes
// back, or stopped (it still takes connections and answers none) and let go
// on, as a server that hangs. `available()` says whether Debian's
// `pulseaudio` and `parec` are installed.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testsupport {

class SoundServer {
public:
    static constexpr int kRate = 48000;  // the sink's rate: the component's output rate, no resampling

    static bool available() {
        return std::system("command -v pulseaudio >/dev/null 2>&1 && command -v parec >/dev/null 2>&1") == 0;
    }

    SoundServer() {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() / ("orvane-pulse-" + std::to_string(random()));
        std::filesystem::create_directories(folder_ / "home");
        socket_ = folder_ / "native";
        startDaemon();
        if (running()) ::setenv("PULSE_SERVER", server().c_str(), 1);
    }

    ~SoundServer() {
        stopRecording();
        stopDaemon(SIGTERM);
        ::unsetenv("PULSE_SERVER");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Kills the daemon (and the recorder) as a crash would.
    void kill() {
        stopRecording();
        stopDaemon(SIGKILL);
        std::error_code ec;
        std::filesystem::remove(socket_, ec);
    }
    // Starts a new daemon at the same address. True once it listens.
    bool start() {
        startDaemon();
        return running();
    }
    // Stops the daemon where it stands, and lets it go on.
    void freeze() {
        if (daemon_ > 0) ::kill(daemon_, SIGSTOP);
    }
    void thaw() {
        if (daemon_ > 0) ::kill(daemon_, SIGCONT);
    }

    bool running() const { return daemon_ > 0 && std::filesystem::exists(socket_); }
    std::string server() const { return "unix:" + socket_.string(); }
    std::filesystem::path log() const { return folder_ / "daemon.log"; }

    // Starts recording the sink's monitor: 16-bit at kRate, mono (the sink's
    // two channels mixed) or, with `channels` 2, both as the sink plays them.
    // Returns once the first samples are in (false if none came within 10 s).
    bool startRecording(int channels = 1) {
        channels_ = channels;
        recorder_ = spawn({"parec", "--server=" + server(), "--device=orvane_test.monitor", "--raw",
                           "--format=s16le", "--rate=" + std::to_string(kRate),
                           "--channels=" + std::to_string(channels), "--latency-msec=20"},
                          {}, folder_ / "recording.raw", false);
        for (int i = 0; i < 1000 && recorder_ > 0 && recordedSamples() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return recordedSamples() > 0;
    }
    // How many samples the recorder has written so far (of all channels).
    std::size_t recordedSamples() const {
        std::error_code ec;
        const auto bytes = std::filesystem::file_size(folder_ / "recording.raw", ec);
        return ec ? 0 : static_cast<std::size_t>(bytes / 2);
    }
    // How many whole frames (a sample of each channel) it has written so far.
    std::size_t recordedFrames() const { return recordedSamples() / static_cast<std::size_t>(channels_); }
    // Stops the recorder and gives what it recorded.
    std::vector<std::int16_t> stopRecording() {
        if (recorder_ <= 0) return {};
        ::kill(recorder_, SIGTERM);
        ::waitpid(recorder_, nullptr, 0);
        recorder_ = -1;
        return recording();
    }
    // What the recorder has written so far: interleaved samples when it
    // records two channels.
    std::vector<std::int16_t> recording() const {
        std::vector<std::int16_t> samples;
        std::ifstream in(folder_ / "recording.raw", std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        samples.resize(bytes.size() / 2);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                                   (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
        return samples;
    }

private:
    void startDaemon() {
        std::vector<std::string> environment{"HOME=" + (folder_ / "home").string(),
                                             "XDG_RUNTIME_DIR=" + folder_.string(),
                                             "PULSE_RUNTIME_PATH=" + (folder_ / "runtime").string(),
                                             "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "")};
        daemon_ = spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=false",
                         "--disable-shm=true", "--log-target=stderr",
                         "--load=module-native-protocol-unix socket=" + socket_.string() + " auth-anonymous=1",
                         "--load=module-null-sink sink_name=orvane_test rate=" + std::to_string(kRate) +
                             " channels=2"},
                        environment, folder_ / "daemon.log");
        // It listens once its socket exists.
        for (int i = 0; i < 100 && daemon_ > 0 && !std::filesystem::exists(socket_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    void stopDaemon(int signal) {
        if (daemon_ <= 0) return;
        ::kill(daemon_, signal);
        ::kill(daemon_, SIGCONT);  // a frozen daemon takes its signal too
        ::waitpid(daemon_, nullptr, 0);
        daemon_ = -1;
    }

    // Runs `arguments` with its output in `output` and its errors there too
    // or, with `errorsToo` false, nowhere; with `environment`, only those
    // variables.
    static pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                       const std::filesystem::path& output, bool errorsToo = true) {
        std::vector<std::string> args = arguments, env = environment;
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (errorsToo)
            posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.empty() ? environ : envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    std::filesystem::path folder_;
    std::filesystem::path socket_;
    pid_t daemon_ = -1;
    pid_t recorder_ = -1;
    int channels_ = 1;
};

}  // namespace testsupport
