#include "orvane/demo/Dornaway.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Dornaway::Dornaway()
    : editor("Ediciones Ribera Sonora"),
      description("Voces de la Ribera",
                  "Crónicas semanales sobre la vida en los pueblos del río: oficios, fiestas y memorias compartidas.",
                  "https://media.example.com/dornaway/portada.jpg"),
      track1(demo::makeTrack({"1", "Los barqueros del alba",
                                  "https://media.example.com/dornaway/barqueros-del-alba.mp3", 1671.0,
                                  "Episodio 1: Los barqueros del alba",
                                  "Antes de que salga el sol, los barqueros ya cruzan el río con su carga.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-29"})),
      track2(demo::makeTrack({"2", "La feria del pan",
                                  "https://media.example.com/dornaway/feria-del-pan.mp3", 1266.0,
                                  "Episodio 2: La feria del pan",
                                  "Panaderos de toda la comarca comparten recetas y secretos de horno.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-26"})),
      track3(demo::makeTrack({"3", "La feria del pan (segunda parte)",
                                  "https://media.example.com/dornaway/feria-del-pan.mp3", 1266.0,
                                  "Episodio 3: La feria del pan (segunda parte)",
                                  "Seguimos en la feria: premios, discusiones y una receta perdida.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-25"})),
      track4(demo::makeTrack({"4", "El taller de guitarras",
                                  "https://media.example.com/dornaway/taller-de-guitarras.mp3", 1280.0,
                                  "Episodio 4: El taller de guitarras",
                                  "Un luthier nos abre su taller y nos habla de maderas y paciencia.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-24"})),
      track5(demo::makeTrack({"5", "Especial: la gran crecida",
                                  "https://media.example.com/dornaway/especial-gran-crecida.mp3", 1313.0,
                                  "Especial: la gran crecida",
                                  "Recordamos el invierno en que el río lo cubrió todo.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-23"})),
      track6(demo::makeTrack({"6", "Especial: la gran crecida (reposición)",
                                  "https://media.example.com/dornaway/especial-gran-crecida.mp3", 1313.0,
                                  "Especial: la gran crecida (reposición)",
                                  "Volvemos a escuchar los testimonios de aquel invierno.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-22"})),
      track7(demo::makeTrack({"7", "Especial: la gran crecida (versión larga)",
                                  "https://media.example.com/dornaway/especial-gran-crecida.mp3", 1313.0,
                                  "Especial: la gran crecida (versión larga)",
                                  "La versión completa, con las voces que no cupieron en la primera emisión.",
                                  "https://media.example.com/dornaway/portada.jpg", "2019-04-18"})) {}

}  // namespace orvane
