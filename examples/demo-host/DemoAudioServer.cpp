#include "DemoAudioServer.hpp"

#include <chrono>
#include <cmath>
#include <numbers>

namespace demo {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::string pathOf(const std::string& name) { return "/audio/" + name + ".wav"; }
std::string imagePathOf(const std::string& name) { return "/artwork/" + name + ".png"; }

}  // namespace

std::vector<std::uint8_t> makeToneWav(double seconds, int sampleRate, double frequency) {
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * sampleRate));
    const std::uint32_t dataSize = frames * 2;
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataSize);
    putTag(out, "RIFF");
    put32(out, 36 + dataSize);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * 2);
    put16(out, 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataSize);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double phase = 2.0 * std::numbers::pi * frequency * i / sampleRate;
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(3000.0 * std::sin(phase)))));
    }
    return out;
}

DemoAudioServer::DemoAudioServer(RequestHandler onRequest) : onRequest_(std::move(onRequest)) {
    // One request per connection, so that stop() never waits for an idle
    // kept-alive connection.
    server_.set_keep_alive_max_count(1);
    server_.set_logger([this](const httplib::Request& request, const httplib::Response&) {
        {
            std::lock_guard lock(mutex_);
            ++counts_[request.path];
        }
        if (onRequest_ && request.path.starts_with("/audio/")) onRequest_(request.path);
    });
}

DemoAudioServer::~DemoAudioServer() { stop(); }

void DemoAudioServer::addEpisode(const std::string& name, double seconds) {
    auto body = std::make_shared<std::string>();
    const auto wav = makeToneWav(seconds);
    body->assign(wav.begin(), wav.end());
    server_.Get(pathOf(name), [body](const httplib::Request&, httplib::Response& response) {
        response.set_content(*body, "audio/wav");
    });
}

void DemoAudioServer::addImage(const std::string& name, const std::vector<std::uint8_t>& png) {
    auto body = std::make_shared<std::string>(png.begin(), png.end());
    server_.Get(imagePathOf(name), [body](const httplib::Request&, httplib::Response& response) {
        response.set_content(*body, "image/png");
    });
}

bool DemoAudioServer::start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) return false;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_.is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return server_.is_running();
}

void DemoAudioServer::stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string DemoAudioServer::episodeURL(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(port_) + pathOf(name);
}

std::string DemoAudioServer::imageURL(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(port_) + imagePathOf(name);
}

int DemoAudioServer::requestCount(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto it = counts_.find(pathOf(name));
    return it == counts_.end() ? 0 : it->second;
}

}  // namespace demo
