#include <gtest/gtest.h>

#include "platform/Browser.h"
#include "platform/ExeDir.h"
#include "platform/WebPage.h"
#include "tests/platform/windows_child.h"
#include "tests/platform/windows_scratch.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using testing::linesOf;
using testing::ScratchDirectory;
using testing::waitForRuns;

constexpr char kAddress[] = "https://www.quillon.example";

// Sets the default value of a key under HKEY_CLASSES_ROOT (Wine has no per-user classes)
// and puts back what was there before, or removes the key, at the end.
class ClassesValue {
 public:
  ClassesValue(std::wstring key, const std::wstring& value) : key_(std::move(key)) {
    wchar_t previous[4096];
    DWORD size = sizeof previous;
    hadValue_ = RegGetValueW(HKEY_CLASSES_ROOT, key_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                             previous, &size) == ERROR_SUCCESS;
    if (hadValue_) previous_ = previous;
    set(value);
  }
  ~ClassesValue() {
    if (hadValue_)
      set(previous_);
    else
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key_.c_str());
  }
  ClassesValue(const ClassesValue&) = delete;
  ClassesValue& operator=(const ClassesValue&) = delete;

 private:
  void set(const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }

  std::wstring key_;
  bool hadValue_ = false;
  std::wstring previous_;
};

class BrowserRoute : public ::testing::Test {
 protected:
  void SetUp() override {
    browserDirectory_ = scratch_.path() / L"Prohl\u00ed\u017ee\u010d \u03a9";
    gameDirectory_ = scratch_.path() / L"Hra \u017dlu\u0165 \u6f22";
    fs::create_directories(browserDirectory_);
    fs::create_directories(gameDirectory_);
    fakeBrowser_ = browserDirectory_ / testing::kFakeBrowserName;
    fs::copy_file(executablePath(), fakeBrowser_);
    savedExeDir_ = exeDir();
    setExeDir(gameDirectory_);
  }
  void TearDown() override { setExeDir(savedExeDir_); }

  std::wstring openCommand() const { return L"\"" + fakeBrowser_.native() + L"\" \"%1\""; }

  void placeWebPage() const { std::ofstream(gameDirectory_ / L"web.htm") << "<html></html>\n"; }

  // What each start of the fake browser received.
  std::vector<std::vector<std::string>> browserStarts(std::size_t expected) const {
    std::vector<std::vector<std::string>> starts;
    for (const fs::path& run : waitForRuns(browserDirectory_, expected))
      starts.push_back(linesOf(run));
    return starts;
  }

  ScratchDirectory scratch_;
  fs::path browserDirectory_;
  fs::path gameDirectory_;
  fs::path fakeBrowser_;
  fs::path savedExeDir_;
};

TEST_F(BrowserRoute, StartsTheProgramAssociatedWithWebHtmWithTheAddressAsItsOneArgument) {
  const ClassesValue type(L".htm", L"PelorinTest.htmfile");
  const ClassesValue command(L"PelorinTest.htmfile\\shell\\open\\command", openCommand());
  placeWebPage();

  openWebPage(kAddress);

  const auto starts = browserStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], (std::vector<std::string>{"1", kAddress}));
  // The lookup is relative to the executable's directory, which stays current.
  EXPECT_TRUE(fs::equivalent(fs::current_path(), gameDirectory_));
  const fs::path program = associatedProgram(L"web.htm");
  EXPECT_TRUE(!program.empty() && fs::equivalent(program, fakeBrowser_))
      << pathAsUtf8Text(program) << ": the whole path, every character kept";
}

TEST_F(BrowserRoute, WithoutWebHtmTheShellOpensTheAddress) {
  const ClassesValue type(L".htm", L"PelorinTest.htmfile");
  const ClassesValue command(L"PelorinTest.htmfile\\shell\\open\\command", openCommand());
  const ClassesValue https(L"https\\shell\\open\\command", openCommand());

  openWebPage(kAddress);

  EXPECT_TRUE(associatedProgram(L"web.htm").empty());
  const auto starts = browserStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], (std::vector<std::string>{"1", kAddress}));
}

}  // namespace
}  // namespace pelorin
