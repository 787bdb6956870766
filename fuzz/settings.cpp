// The settings values read at start-up: the main window's four placement texts (each present or
// missing, as the input's first byte says), the geometry they give and the screen fit.
#include "app/core/placement.h"
#include "app/core/screen_fit.h"
#include "fuzz/fuzz_input.h"
#include "platform/twips.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t present = in.byte();
    std::array<std::optional<std::string>, 4> stored;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::string_view text = in.line();
        if (present & (1u << i)) stored[i] = std::string(text);
    }
    const app::Placement p = app::placementFromStored(stored);
    FUZZ_CHECK(p.width > 0 && p.height > 0);

    const app::Rect window{platform::px(p.left), platform::px(p.top), platform::px(p.width), platform::px(p.height)};
    const std::vector<app::Rect> screens = {{0, 0, 1920, 1040}, {1920, -200, 1280, 1024}, {-1600, 0, 1600, 900}};
    for (std::size_t k = 0; k <= screens.size(); ++k)
        app::keepOnScreen(window, std::vector<app::Rect>(screens.begin(), screens.begin() + static_cast<long>(k)));

    // What is stored at the end reads back as it was written.
    const auto texts = app::placementToStored(p);
    std::array<std::optional<std::string>, 4> again;
    for (std::size_t i = 0; i < texts.size(); ++i) again[i] = texts[i];
    const app::Placement q = app::placementFromStored(again);
    const auto textsAgain = app::placementToStored(q);
    FUZZ_CHECK(textsAgain == texts);
    return 0;
}
