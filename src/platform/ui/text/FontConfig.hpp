// The fontconfig configuration that `Font` looks faces up in (with the font
// files registered through `Font::registerFontFile`), so that text layout
// finds exactly the same faces. Internal to the interface kit.
#pragma once

typedef struct _FcConfig FcConfig;  // NOLINT: fontconfig's own declaration

namespace platform::ui::detail {

FcConfig* fontconfigConfig();

}  // namespace platform::ui::detail
