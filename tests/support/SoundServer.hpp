// A private sound server for one test: starts its own PulseAudio daemon (no
// system service, no session bus) in a temporary runtime folder with one null
// sink, points PULSE_SERVER of this process at it, and records what the sink
// plays from its monitor with `parec`. Stops both afterwards. It can also be
// killed and started again in its place, as a server that crashes and comes
// back, or stopped (it still takes connections and answers none) and let go
// on, as a server that hangs. `available()` says whether Debian's
// `pulseaudio` and `parec` are installed. The daemon suspends its sink once
// nothing has played on it (nor recorded from it) for 1 s.
//
// With Kind::pipewire it starts PipeWire instead, as a desktop runs it:
// `pipewire`, `wireplumber` and `pipewire-pulse`, which answers the clients
// of a PulseAudio server. The null sink is then loaded through `pactl`. The
// process that crashes or hangs is `pipewire-pulse`; the other two go on.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testsupport {

class SoundServer {
public:
    static constexpr int kRate = 48000;  // the sink's rate: the component's output rate, no resampling

    enum class Kind { pulseaudio, pipewire };

    // Whether that kind's programs are installed.
    static bool available(Kind kind = Kind::pulseaudio) {
        const std::vector<std::string> programs =
            kind == Kind::pulseaudio
                ? std::vector<std::string>{"pulseaudio", "parec"}
                : std::vector<std::string>{"pipewire", "wireplumber", "pipewire-pulse", "pactl", "parec"};
        std::string command = "true";
        for (const auto& program : programs) command += " && command -v " + program + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    explicit SoundServer(Kind kind = Kind::pulseaudio) : kind_(kind) {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() / ("orvane-pulse-" + std::to_string(random()));
        std::filesystem::create_directories(folder_ / "home");
        if (kind_ == Kind::pulseaudio) {
            socket_ = folder_ / "native";
            startDaemon();
        } else {
            socket_ = folder_ / "pulse" / "native";
            startPipeWire();
        }
        if (running()) ::setenv("PULSE_SERVER", server().c_str(), 1);
    }

    ~SoundServer() {
        stopRecording();
        stopDaemon(SIGTERM);
        stop(wireplumber_, SIGTERM);
        stop(pipewire_, SIGTERM);
        ::unsetenv("PULSE_SERVER");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    Kind kind() const { return kind_; }

    // Kills the daemon (and the recorder) as a crash would.
    void kill() {
        stopRecording();
        stopDaemon(SIGKILL);
        std::error_code ec;
        std::filesystem::remove(socket_, ec);
    }
    // Starts a new daemon at the same address. True once it listens.
    bool start() {
        if (kind_ == Kind::pulseaudio)
            startDaemon();
        else
            startPulseServer();
        return running();
    }
    // Stops the daemon where it stands, and lets it go on.
    void freeze() {
        if (daemon_ > 0) ::kill(daemon_, SIGSTOP);
    }
    void thaw() {
        if (daemon_ > 0) ::kill(daemon_, SIGCONT);
    }

    // Under PipeWire it also takes an answer with the sink in it, which may
    // take up to 5 s from a server that hangs.
    bool running() const {
        if (daemon_ <= 0 || !std::filesystem::exists(socket_)) return false;
        return kind_ == Kind::pulseaudio || hasSink();
    }
    std::string server() const { return "unix:" + socket_.string(); }
    // Under PipeWire, all three programs write here.
    std::filesystem::path log() const { return folder_ / "daemon.log"; }

    // The longest an idle sink may take to be suspended. The PulseAudio daemon
    // suspends it after 1 s; WirePlumber suspends an idle node after 5 s.
    double suspendWithin() const { return kind_ == Kind::pulseaudio ? 3.0 : 8.0; }

    // The sink's state as `pactl list sinks` gives it: "RUNNING", "IDLE" or
    // "SUSPENDED"; empty when it cannot be read. A recording keeps the sink
    // from being suspended.
    std::string sinkState() const {
        std::istringstream lines(pactl("list sinks"));
        std::string line, state;
        while (std::getline(lines, line)) {
            const auto text = trimmed(line);
            if (text.starts_with("Sink #"))
                state.clear();
            else if (text.starts_with("State:"))
                state = trimmed(text.substr(6));
            else if (text == "Name: orvane_test")
                return state;
        }
        return {};
    }

    struct SinkInput {
        int index = -1;
        bool corked = false;
        std::string application;  // the client's application.name property
    };
    // The streams playing on this server, as `pactl list sink-inputs` gives them.
    std::vector<SinkInput> sinkInputs() const {
        std::vector<SinkInput> inputs;
        std::istringstream lines(pactl("list sink-inputs"));
        std::string line;
        while (std::getline(lines, line)) {
            const auto text = trimmed(line);
            if (text.starts_with("Sink Input #")) {
                inputs.push_back({});
                inputs.back().index = std::atoi(text.c_str() + 12);
            } else if (inputs.empty()) {
                continue;
            } else if (text.starts_with("Corked:")) {
                inputs.back().corked = trimmed(text.substr(7)) == "yes";
            } else if (text.starts_with("application.name = ")) {
                inputs.back().application = quoted(text.substr(19));
            }
        }
        return inputs;
    }

    // Starts recording the sink's monitor: 16-bit at kRate, mono (the sink's
    // two channels mixed) or, with `channels` 2, both as the sink plays them.
    // With `append` it goes on after what was recorded before, in as many
    // channels as before, so recording() gives both parts in order (with
    // nothing for the time in between).
    // Returns once the first samples are in (false if none came within 10 s).
    bool startRecording(int channels = 1, bool append = false) {
        stopRecording();
        const auto file = folder_ / "recording.raw";
        if (append) {
            // Only whole frames before the new ones, so the channels stay in step.
            const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels_);
            std::error_code ec;
            const auto bytes = std::filesystem::file_size(file, ec);
            if (!ec && bytes % frameBytes != 0) std::filesystem::resize_file(file, bytes - bytes % frameBytes, ec);
        }
        if (!append || recordedSamples() == 0) channels_ = channels;
        const auto before = append ? recordedSamples() : 0;
        recorder_ = spawn({"parec", "--server=" + server(), "--device=orvane_test.monitor", "--raw",
                           "--format=s16le", "--rate=" + std::to_string(kRate),
                           "--channels=" + std::to_string(channels_), "--latency-msec=20"},
                          {}, file, false, append);
        for (int i = 0; i < 1000 && recorder_ > 0 && recordedSamples() <= before; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return recordedSamples() > before;
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
    // Stops the recorder, keeping what it recorded: recording() still gives
    // it, and startRecording() with `append` goes on after it. The sink can
    // then be suspended.
    void pauseRecording() { stopRecording(); }
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
                             " channels=2",
                         "--load=module-suspend-on-idle timeout=1"},
                        environment, folder_ / "daemon.log");
        // It listens once its socket exists.
        for (int i = 0; i < 100 && daemon_ > 0 && !std::filesystem::exists(socket_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    // The three programs see only this folder: no session bus, no settings
    // of the user's, and WirePlumber leaves this machine's devices alone.
    std::vector<std::string> pipeWireEnvironment() const {
        return {"HOME=" + (folder_ / "home").string(), "XDG_RUNTIME_DIR=" + folder_.string(),
                "XDG_CONFIG_HOME=" + (folder_ / "home" / ".config").string(),
                "XDG_STATE_HOME=" + (folder_ / "home" / ".local" / "state").string(),
                "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "")};
    }

    void startPipeWire() {
        std::error_code ec;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ec);
        // Without a session bus WirePlumber stops where it would use one:
        // device reservation and the portal. No devices are wanted anyway.
        const auto config = folder_ / "home" / ".config" / "wireplumber";
        std::filesystem::create_directories(config / "main.lua.d");
        std::filesystem::create_directories(config / "bluetooth.lua.d");
        std::ofstream(config / "main.lua.d" / "60-test-server.lua")
            << "alsa_monitor.enabled = false\n"
               "v4l2_monitor.enabled = false\n"
               "libcamera_monitor.enabled = false\n"
               "default_access.properties[\"enable-flatpak-portal\"] = false\n";
        std::ofstream(config / "bluetooth.lua.d" / "60-test-server.lua") << "bluez_monitor.enabled = false\n";

        pipewire_ = spawn({"pipewire"}, pipeWireEnvironment(), log(), true, true);
        for (int i = 0; i < 100 && pipewire_ > 0 && !std::filesystem::exists(folder_ / "pipewire-0"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!std::filesystem::exists(folder_ / "pipewire-0")) return;
        wireplumber_ = spawn({"wireplumber"}, pipeWireEnvironment(), log(), true, true);
        startPulseServer();
    }

    // Starts pipewire-pulse and loads the sink in it. The sink goes with the
    // process, so it is loaded again each time.
    void startPulseServer() {
        daemon_ = spawn({"pipewire-pulse"}, pipeWireEnvironment(), log(), true, true);
        for (int i = 0; i < 100 && daemon_ > 0 && !std::filesystem::exists(socket_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!std::filesystem::exists(socket_)) return;
        pactl("load-module module-null-sink sink_name=orvane_test rate=" + std::to_string(kRate) + " channels=2");
        // Clients that name no sink play on the default one, which
        // WirePlumber picks once it has seen the sink.
        for (int i = 0; i < 100 && pactl("get-default-sink") != "orvane_test\n"; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    void stopDaemon(int signal) {
        if (daemon_ <= 0) return;
        ::kill(daemon_, signal);
        ::kill(daemon_, SIGCONT);  // a frozen daemon takes its signal too
        ::waitpid(daemon_, nullptr, 0);
        daemon_ = -1;
    }

    static void stop(pid_t& process, int signal) {
        if (process <= 0) return;
        ::kill(process, signal);
        ::waitpid(process, nullptr, 0);
        process = -1;
    }

    bool hasSink() const {
        std::istringstream lines(pactl("list short sinks"));
        std::string line;
        while (std::getline(lines, line))
            if (line.find("\torvane_test\t") != std::string::npos) return true;
        return false;
    }

    // Runs pactl on this server and gives what it printed. English in any
    // locale; nothing from a server that does not answer within 5 s.
    std::string pactl(const std::string& arguments) const {
        const std::string command =
            "LC_ALL=C timeout 5 pactl --server='" + server() + "' " + arguments + " 2>/dev/null";
        std::string output;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        ::pclose(pipe);
        return output;
    }

    static std::string trimmed(const std::string& text) {
        const auto first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos) return {};
        return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
    }

    // The value of a property line: "value" with \" and \\ inside.
    static std::string quoted(const std::string& text) {
        if (text.size() < 2 || text.front() != '"' || text.back() != '"') return text;
        std::string value;
        for (std::size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == '\\' && i + 2 < text.size()) ++i;
            value += text[i];
        }
        return value;
    }

    // Runs `arguments` with its output in `output` and its errors there too
    // or, with `errorsToo` false, nowhere; with `environment`, only those
    // variables. With `append` the output goes after what `output` holds.
    static pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                       const std::filesystem::path& output, bool errorsToo = true, bool append = false) {
        std::vector<std::string> args = arguments, env = environment;
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC), 0600);
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

    Kind kind_;
    std::filesystem::path folder_;
    std::filesystem::path socket_;
    pid_t daemon_ = -1;  // the process that answers clients: pulseaudio, or pipewire-pulse
    pid_t pipewire_ = -1;
    pid_t wireplumber_ = -1;
    pid_t recorder_ = -1;
    int channels_ = 1;
};

}  // namespace testsupport
