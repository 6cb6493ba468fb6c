#include "orvane/demo/Tevolin.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Tevolin::Tevolin()
    : description("Tevolin raconte",
                  "Des contes anciens relus à voix haute, pour petits et grands, avant de dormir.",
                  "https://images.example.com/tevolin/couverture.jpg"),
      track1(demo::makeTrack({"10", "Le renard et la lanterne",
                                  "https://redirect.example.net/r/podhost.example.org/tevolin/renard-lanterne.mp3", 1048.0,
                                  "Le renard et la lanterne",
                                  "Un renard trouve une lanterne qui ne s'éteint jamais.",
                                  std::nullopt, "2019-06-01"})),
      track2(demo::makeTrack({"11", "La fille qui parlait aux nuages",
                                  "https://redirect.example.net/r/podhost.example.org/tevolin/fille-nuages.mp3", 451.0,
                                  "La fille qui parlait aux nuages",
                                  "Chaque soir, elle leur confie un secret ; un jour, ils répondent.",
                                  std::nullopt, "2019-06-15"})) {}

}  // namespace orvane
