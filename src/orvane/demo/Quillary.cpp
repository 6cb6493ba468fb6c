#include "orvane/demo/Quillary.hpp"

#include "orvane/demo/DemoTrack.hpp"

namespace orvane {

OVMock::Data::Quillary::Quillary()
    : description("Quillary, la science en cuisine",
                  "Pourquoi la pâte lève-t-elle ? Que se passe-t-il dans la poêle ? La cuisine expliquée simplement.",
                  "https://storage.example.com/orvane-demo-assets/images/quillary-cover.jpeg"),
      track1(demo::makeTrack({"1", "La magie de la levure",
                                  "https://storage.example.com/orvane-demo-assets/audio/quillary-levure.mp4", 368.0,
                                  "Épisode 1 : La magie de la levure",
                                  "Ce que la levure fait vraiment à votre pâte.",
                                  "https://storage.example.com/orvane-demo-assets/images/quillary-levure.jpg", "2019-07-15"})),
      track2(demo::makeTrack({"2", "L'émulsion parfaite",
                                  "https://storage.example.com/orvane-demo-assets/audio/quillary-emulsion.mp4", 451.0,
                                  "Épisode 2 : L'émulsion parfaite",
                                  "Huile, œuf et un peu de patience : le secret d'une mayonnaise réussie.",
                                  "https://storage.example.com/orvane-demo-assets/images/quillary-emulsion.jpg", "2019-08-01"})) {}

}  // namespace orvane
