#pragma once
// The main window's placement as the settings store keeps it: four texts in twips under
// section "Settings". Standard library only.
#include <array>
#include <optional>
#include <string>

namespace app {

struct Placement {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
};

inline constexpr std::array<const char*, 4> kPlacementKeys = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
inline constexpr const char* kSettingsSection = "Settings";

// Each stored text that is a number gives its value; a missing text or one that is not a
// number keeps that key's default. Sizes that are not positive, and values beyond any window's
// geometry, keep their defaults too.
Placement placementFromStored(const std::array<std::optional<std::string>, 4>& stored);

// The decimal texts to store, in key order.
std::array<std::string, 4> placementToStored(const Placement& placement);

}  // namespace app
