#include "frame_api/frame_link.h"

namespace frame {

namespace {
FrameLink* installed = nullptr;
}

FrameLink* frameLink() { return installed; }

void setFrameLink(FrameLink* link) { installed = link; }

}  // namespace frame
