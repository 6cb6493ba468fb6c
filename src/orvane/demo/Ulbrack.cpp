#include "orvane/demo/Ulbrack.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Ulbrack::Ulbrack()
    : description("Ulbrack, histoires de jardins",
                  "Jardiniers amateurs et paysagistes racontent leurs jardins, saison après saison.",
                  "https://storage.example.com/orvane-demo-assets/images/ulbrack-cover.png"),
      track1(demo::makeTrack({"5", "Semer en juillet",
                                  "https://storage.example.com/orvane-demo-assets/audio/ulbrack-semer-juillet.mp4", 1237.0,
                                  "Semer en juillet",
                                  "Ce qu'on peut encore semer en plein été.<br/>Conseils d'arrosage pour les jours chauds.",
                                  "https://storage.example.com/orvane-demo-assets/images/ulbrack-semis.jpg", "2019-07-01"})),
      track2(demo::makeTrack({"6", "Le potager sur le balcon",
                                  "https://storage.example.com/orvane-demo-assets/audio/ulbrack-balcon.mp4", 1562.0,
                                  "Le potager sur le balcon",
                                  "Tomates, herbes et fraises sur deux mètres carrés.<br/>Oui, c'est possible !",
                                  "https://storage.example.com/orvane-demo-assets/images/ulbrack-balcon.jpg", "2019-07-07"})),
      track3(demo::makeTrack({"7", "Les haies vivantes",
                                  "https://storage.example.com/orvane-demo-assets/audio/ulbrack-haies.mp4", 2122.0,
                                  "Les haies vivantes",
                                  "Pourquoi planter une haie variée ?<br/>Les oiseaux et les insectes vous diront merci.",
                                  "https://storage.example.com/orvane-demo-assets/images/ulbrack-haies.jpg", "2019-07-14"})) {}

}  // namespace orvane
