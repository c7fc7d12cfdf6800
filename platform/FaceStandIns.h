#pragma once

#include <span>
#include <string_view>

namespace pelorin {

// The faces that this system draws a text in where its layout names `laidOutFace`, best first;
// empty where the laid-out face is drawn as the system resolves it. Only faces the system can
// have are named, so that the font lookup never asks for one it cannot find.
std::span<const std::string_view> faceStandIns(std::string_view laidOutFace);

}  // namespace pelorin
