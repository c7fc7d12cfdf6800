#include "platform/FaceStandIns.h"

namespace pelorin {

// Fontconfig resolves every laid-out face to the system's own sans-serif face, or to its metric
// twin (Arial to Liberation Sans): a Windows face named beside it would only cost a lookup.
std::span<const std::string_view> faceStandIns(std::string_view) { return {}; }

}  // namespace pelorin
