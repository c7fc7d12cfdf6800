#include "scores/disk/ScoreDiskCommon.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

#include "scores/rules/ScoreTable.h"

namespace pelorin {
namespace {

constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kHexDigits = 16;

std::atomic<ReplaceStepHook> stepHook{nullptr};

std::uint64_t randomBits() {
  // The clock still separates two games when there is no random device.
  auto bits =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    bits ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (const std::exception&) {
  }
  return bits;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

}  // namespace

void setReplaceStepHook(ReplaceStepHook hook) { stepHook.store(hook); }

namespace detail {

std::string temporaryFileName() {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string digits(kHexDigits, '0');
  std::uint64_t value = randomBits();
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, value >>= 4) {
    *digit = kDigits[value & 0xFu];
  }
  return std::string(kScoreFileName) + "." + digits + std::string(kTemporarySuffix);
}

bool isTemporaryFileName(std::string_view name) {
  const std::string_view prefix = kScoreFileName;
  if (name.size() != prefix.size() + 1 + kHexDigits + kTemporarySuffix.size()) return false;
  if (!name.starts_with(prefix) || name[prefix.size()] != '.') return false;
  if (!name.ends_with(kTemporarySuffix)) return false;
  const std::string_view digits = name.substr(prefix.size() + 1, kHexDigits);
  for (const char c : digits) {
    if (!isHexDigit(c)) return false;
  }
  return true;
}

void reportStep(ReplaceStep step) {
  if (const ReplaceStepHook hook = stepHook.load()) hook(step);
}

}  // namespace detail
}  // namespace pelorin
