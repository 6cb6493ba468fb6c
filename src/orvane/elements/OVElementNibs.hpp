// The nibs of the element cells: each cell class's builder, registered with
// the nib registry under the cell's reuse identifier, all in this one place.
// The facade registers them with the other layer hooks (`installLayerHooks()`);
// tests that show cells without the facade call `registerAll`, which replaces
// any builder registered under the same names since. Main thread only.
#pragma once

namespace orvane {

struct OVElementNibs {
    static void registerAll();
};

}  // namespace orvane
