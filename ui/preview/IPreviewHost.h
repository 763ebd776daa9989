#pragma once

#include <cstdint>

namespace tintwell {

// What the preview window needs from the main window: it passes hovers and
// clicks on pixels to the palette grid, reads the option "Recolor outside of
// selection", clears "Show Preview" when it unloads and passes F5 to the batch.
class IPreviewHost {
  public:
    virtual ~IPreviewHost() = default;
    virtual void DoHover(std::uint8_t ColorNum) = 0;
    // Button 1 left, 2 right, 4 middle; shift and coordinates are not used.
    virtual void lblColor_MouseDown(int Index, int Button, int Shift, double X, double Y) = 0;
    virtual bool RecolorOutsideTicked() const = 0;
    // The preview is unloading: untick "Show Preview" without storing it.
    virtual void PreviewUnloading() = 0;
    virtual void cmdRecolor_Click() = 0;
};

}  // namespace tintwell
