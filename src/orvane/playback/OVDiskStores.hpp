// The disk cache behind the layers below playback: the audio store that
// audios (episodes) ask about their file and download through, and the image
// store of the toolkit's image loading. The stores themselves are made once
// and never destroyed.
#pragma once

namespace orvane {

// Makes the disk cache the installed audio store and image store. Called by
// `installLayerHooks()`; any thread, any number of times.
void installDiskStores();

}  // namespace orvane
