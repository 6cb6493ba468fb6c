#include "orvane/demo/Yandrel.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Yandrel::Yandrel()
    : editor("Yandrel Media"),
      description("The Long Walk Home",
                  "Conversations with people who changed their lives by slowing down.",
                  "https://media.example.com/yandrel/cover.jpg"),
      track1(demo::makeTrack({"19", "Leaving the city",
                                  "https://media.example.com/shared/entrevista-larga.mp3", 1487.0,
                                  "Episode 2: Leaving the city",
                                  "A software engineer trades her office for an orchard.",
                                  "https://media.example.com/yandrel/cover.jpg", "2019-08-02"})),
      track2(demo::makeTrack({"20", "First steps",
                                  "https://media.example.com/yandrel/first-steps.mp3", 1307.0,
                                  "Episode 1: First steps",
                                  "Why we started this show, and what walking taught us.",
                                  "https://media.example.com/yandrel/cover.jpg", "2019-07-12"})) {}

}  // namespace orvane
