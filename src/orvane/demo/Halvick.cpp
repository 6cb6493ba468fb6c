#include "orvane/demo/Halvick.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Halvick::Halvick()
    : description("Halvick, les métiers du port",
                  "Rencontres avec celles et ceux qui font vivre le port, du quai à la criée.",
                  "https://storage.example.com/orvane-demo-assets/images/halvick-cover.png"),
      track1(demo::makeTrack({"3", "La criée de minuit",
                                  "https://storage.example.com/orvane-demo-assets/audio/halvick-criee-de-minuit.mp4", 2421.0,
                                  "La criée de minuit",
                                  "À minuit, les enchères commencent et tout va très vite.",
                                  "http://images.example.com/halvick/criee.jpg", "2019-05-04"})),
      track2(demo::makeTrack({"4", "Le gardien du phare",
                                  "https://storage.example.com/orvane-demo-assets/audio/halvick-gardien-du-phare.mp4", 451.0,
                                  "Le gardien du phare",
                                  "Trente ans de nuits passées à veiller sur les bateaux.",
                                  "https://storage.example.com/orvane-demo-assets/images/halvick-phare.jpg", "2019-08-01"})) {}

}  // namespace orvane
