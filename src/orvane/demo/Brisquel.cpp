#include "orvane/demo/Brisquel.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Brisquel::Brisquel()
    : description("Carnets de Brisquel",
                  "Un carnet sonore de voyages à pied, d'un village à l'autre, au rythme des rencontres.",
                  "https://storage.example.com/orvane-demo-assets/images/brisquel-cover.jpg"),
      track1(demo::makeTrack({"8", "Le col des Trois Vents",
                                  "https://storage.example.com/orvane-demo-assets/audio/brisquel-col-trois-vents.mp4", 763.0,
                                  "Le col des Trois Vents",
                                  "Départ à l'aube sous un ciel incertain.<br/>Au sommet, un berger nous raconte l'hiver.",
                                  "https://storage.example.com/orvane-demo-assets/images/brisquel-cover.jpg", "2019-06-10"})),
      track2(demo::makeTrack({"9", "La rivière oubliée",
                                  "https://storage.example.com/orvane-demo-assets/audio/brisquel-riviere-oubliee.mp4", 586.0,
                                  "La rivière oubliée",
                                  "Nous suivons un cours d'eau que les cartes ont effacé.<br/>Les riverains, eux, s'en souviennent très bien.",
                                  "https://storage.example.com/orvane-demo-assets/images/ateliers-sonores.png", "2019-06-17"})) {}

}  // namespace orvane
