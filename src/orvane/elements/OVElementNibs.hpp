// The nibs of the element cells: each cell class's builder, registered with
// the nib registry under the cell's reuse identifier, all in this one place.
// They are registered while the library loads, so every element finds its
// cell's nib from the start; `registerAll` registers them again, replacing
// any builder registered under the same names since. Main thread only.
#pragma once

namespace orvane {

struct OVElementNibs {
    static void registerAll();
};

}  // namespace orvane
