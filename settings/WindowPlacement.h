#pragma once

#include <string>

#include "settings/IPlacementWindow.h"
#include "settings/clsINI.h"

namespace tintwell {

// Stores a window's placement in `section` ("Main", "Preview"): normal writes
// "Left", "Top", "Width", "Height" (whole numbers of twips) then
// "WindowState" = "0"; maximized writes only "WindowState" = "2", keeping the
// normal rectangle stored earlier; minimized writes nothing.
void SaveWindowPlacement(clsINI& settings, const IPlacementWindow& window,
                         const std::string& section);

// Restores it before the window is first shown: left and top below 0 become 0;
// the stored size never makes the window smaller than it is now (its designed
// size); one Move with all four values, then the stored state (0 normal,
// 1 minimized, 2 maximized, anything else normal). No section: 0,0 at the
// designed size, normal.
void RestoreWindowPlacement(const clsINI& settings, IPlacementWindow& window,
                            const std::string& section);

// The state stored as a whole number, anything unknown being normal.
WindowState WindowStateFromNumber(int value);

}  // namespace tintwell
