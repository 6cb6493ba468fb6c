#include "platform/graphics/Color.hpp"

// Color is header-only; this unit keeps the header compiled on its own.
