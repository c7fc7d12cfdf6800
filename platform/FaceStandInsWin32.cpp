#include <array>

#include "platform/FaceStandIns.h"

namespace pelorin {

using namespace std::string_view_literals;

std::span<const std::string_view> faceStandIns(std::string_view laidOutFace) {
  // "MS Sans Serif" is a bitmap face. Qt lists each of its strikes under its cell height
  // (13, 16, 20, ... pixels) and asks GDI for that figure as a character height, which GDI
  // answers with the next strike up: 11 pixels come out as the 10-point strike, too wide for the
  // buttons, whatever size is asked for. Its TrueType successor draws the laid-out 11 pixels,
  // and Tahoma, which every Windows and Wine has, stands in where the successor is missing.
  static constexpr std::array dialogFace{"Microsoft Sans Serif"sv, "Tahoma"sv};
  static constexpr std::array arial{"Arial"sv, "Tahoma"sv};
  if (laidOutFace == "MS Sans Serif"sv) return dialogFace;
  if (laidOutFace == "Arial"sv) return arial;
  return {};
}

}  // namespace pelorin
