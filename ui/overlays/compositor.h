#pragma once
// Whether the desktop blends windows by their alpha. Without a compositing manager a window's
// transparent pixels are not see-through, so overlays shape their windows to what they draw.

namespace tildo::ui {

// True when a compositing manager runs on the display the program shows its windows on.
bool hayCompositor();

}  // namespace tildo::ui
