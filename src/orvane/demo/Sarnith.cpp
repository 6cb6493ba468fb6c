#include "orvane/demo/Sarnith.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Sarnith::Sarnith()
    : editor("Éditions Sarnith"),
      description("Les ateliers sonores",
                  "Des artisans nous ouvrent la porte de leur atelier.<br/>On écoute les gestes, les outils et les silences.<br/>Un épisode, un métier.",
                  "https://storage.example.com/orvane-demo-assets/images/sarnith-cover.jpg"),
      track1(demo::makeTrack({"12", "Le souffleur de verre",
                                  "https://storage.example.com/orvane-demo-assets/audio/sarnith-souffleur-de-verre.mp4", 1973.0,
                                  "Le souffleur de verre",
                                  "Dans la chaleur du four, le verre prend forme en quelques secondes.",
                                  "https://storage.example.com/orvane-demo-assets/images/sarnith-verre.jpg", "2019-08-05"})),
      track2(demo::makeTrack({"13", "La relieuse",
                                  "https://storage.example.com/orvane-demo-assets/audio/sarnith-relieuse.mp4", 1908.0,
                                  "La relieuse",
                                  "Fil, colle et cuir : la patience d'une relieuse au travail.",
                                  "https://storage.example.com/orvane-demo-assets/images/ateliers-sonores.png", "2019-08-05"})) {}

}  // namespace orvane
