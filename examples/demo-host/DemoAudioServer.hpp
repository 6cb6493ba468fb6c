// The demo host's audio server: an HTTP server on 127.0.0.1 (a port the
// system picks) that serves short generated WAV episodes at
// "/audio/<name>.wav" and tells, through a callback on its own thread, of
// every episode request it answers; it also serves the demo's artwork, PNG
// images at "/artwork/<name>.png". Made and stopped by the demo's main
// function.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace demo {

// A 16-bit mono PCM WAV of `seconds` of a quiet tone at `sampleRate`.
std::vector<std::uint8_t> makeToneWav(double seconds, int sampleRate = 8000, double frequency = 440.0);

class DemoAudioServer {
public:
    // Called on the server's thread with the path of each request answered.
    using RequestHandler = std::function<void(const std::string& path)>;

    explicit DemoAudioServer(RequestHandler onRequest);
    ~DemoAudioServer();
    DemoAudioServer(const DemoAudioServer&) = delete;
    DemoAudioServer& operator=(const DemoAudioServer&) = delete;

    // Serves a generated episode of `seconds` at "/audio/<name>.wav"; before `start()`.
    void addEpisode(const std::string& name, double seconds);
    // Serves the PNG image `png` at "/artwork/<name>.png"; before `start()`.
    void addImage(const std::string& name, const std::vector<std::uint8_t>& png);
    // Listens on 127.0.0.1; false when no port could be bound.
    bool start();
    void stop();

    // "http://127.0.0.1:<port>/audio/<name>.wav"
    std::string episodeURL(const std::string& name) const;
    // "http://127.0.0.1:<port>/artwork/<name>.png"
    std::string imageURL(const std::string& name) const;
    // Requests answered for the episode so far.
    int requestCount(const std::string& name) const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    RequestHandler onRequest_;
    mutable std::mutex mutex_;
    std::map<std::string, int> counts_;
};

}  // namespace demo
