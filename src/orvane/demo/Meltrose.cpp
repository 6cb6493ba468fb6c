#include "orvane/demo/Meltrose.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

Meltrose::Meltrose()
    : editor("Producciones Meltrose"),
      description("Minutos de ciencia",
                  "Preguntas sencillas, respuestas breves: la ciencia de todos los días en pocos minutos.",
                  "https://media.example.com/meltrose/portada.jpeg"),
      track1(demo::makeTrack({"18", "¿Por qué el cielo es azul?",
                                  "https://media.example.com/shared/entrevista-larga.mp3", 243.0,
                                  "¿Por qué el cielo es azul?",
                                  "Una explicación breve sobre la luz, el aire y nuestros ojos.",
                                  "https://media.example.com/meltrose/portada.jpeg", "2019-09-09"})) {}

}  // namespace orvane
