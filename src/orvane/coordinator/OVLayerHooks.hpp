// The hooks through which lower layers call higher ones, installed in one
// place: the audio and image stores of the model and the toolkit (playback's
// disk cache) and the web view's component starter (the facade's `start()`).
// Without them the lower layers work on their own: nothing is cached or
// downloaded, no image is kept, and a widget's first message restarts
// nothing.
//
// The facade installs them when it is made (`Orvane::shared()`, which every
// host calls before it shows the widget's page); a test that uses a lower
// layer without the facade calls this itself. Any thread, any number of
// times; the hooks are never uninstalled.
#pragma once

namespace orvane {

void installLayerHooks();

}  // namespace orvane
