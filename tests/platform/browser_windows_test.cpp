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
// and leaves the classes as they were at the end: the keys it made are removed, and a value
// that was there before is put back.
class ClassesValue {
 public:
  ClassesValue(std::wstring key, const std::wstring& value) : key_(std::move(key)) {
    createdKey_ = firstMissingKey();
    wchar_t previous[4096];
    DWORD size = sizeof previous;
    hadValue_ = RegGetValueW(HKEY_CLASSES_ROOT, key_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                             previous, &size) == ERROR_SUCCESS;
    if (hadValue_) previous_ = previous;
    set(value);
  }
  ~ClassesValue() {
    if (!createdKey_.empty())
      RegDeleteTreeW(HKEY_CLASSES_ROOT, createdKey_.c_str());
    else if (hadValue_)
      set(previous_);
    else
      RegDeleteKeyValueW(HKEY_CLASSES_ROOT, key_.c_str(), nullptr);
  }
  ClassesValue(const ClassesValue&) = delete;
  ClassesValue& operator=(const ClassesValue&) = delete;

 private:
  // The shortest leading part of the key's path that does not exist yet, or empty.
  std::wstring firstMissingKey() const {
    for (std::size_t end = key_.find(L'\\');; end = key_.find(L'\\', end + 1)) {
      const std::wstring part = key_.substr(0, end);
      HKEY handle = nullptr;
      if (RegOpenKeyExW(HKEY_CLASSES_ROOT, part.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return part;
      RegCloseKey(handle);
      if (end == std::wstring::npos) return {};
    }
  }

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
  std::wstring createdKey_;
  bool hadValue_ = false;
  std::wstring previous_;
};

// A game directory, and two copies of the fake browser: one registered for the type of
// "web.htm", the other for https addresses, where the shell goes without the first. Both
// stay registered in every test, so that no real browser ever opens.
class BrowserRoute : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const fs::path& directory : {gameDirectory_, browserDirectory_, openerDirectory_}) {
      fs::create_directories(directory);
      if (directory != gameDirectory_)
        fs::copy_file(executablePath(), directory / testing::kFakeBrowserName);
    }
    savedExeDir_ = exeDir();
    setExeDir(gameDirectory_);
  }
  void TearDown() override { setExeDir(savedExeDir_); }

  static std::wstring openCommand(const fs::path& directory) {
    return L"\"" + (directory / testing::kFakeBrowserName).native() + L"\" \"%1\"";
  }

  void placeWebPage() const { std::ofstream(gameDirectory_ / L"web.htm") << "<html></html>\n"; }

  // What each start of the fake browser in `directory` received.
  static std::vector<std::vector<std::string>> starts(const fs::path& directory,
                                                      std::size_t expected) {
    std::vector<std::vector<std::string>> found;
    for (const fs::path& run : waitForRuns(directory, expected)) found.push_back(linesOf(run));
    return found;
  }

  ScratchDirectory scratch_;
  const fs::path gameDirectory_ = scratch_.path() / L"Hra \u017dlu\u0165 \u6f22";
  const fs::path browserDirectory_ = scratch_.path() / L"Prohl\u00ed\u017ee\u010d \u03a9";
  const fs::path openerDirectory_ = scratch_.path() / L"Otev\u00edra\u010d";
  fs::path savedExeDir_;
  const ClassesValue type_{L".htm", L"PelorinTest.htmfile"};
  const ClassesValue htmCommand_{L"PelorinTest.htmfile\\shell\\open\\command",
                                 openCommand(browserDirectory_)};
  const ClassesValue httpsCommand_{L"https\\shell\\open\\command", openCommand(openerDirectory_)};
};

const std::vector<std::string> kAddressAlone{"1", kAddress};

TEST_F(BrowserRoute, StartsTheProgramAssociatedWithWebHtmWithTheAddressAsItsOneArgument) {
  placeWebPage();

  openWebPage(kAddress);

  EXPECT_EQ(starts(browserDirectory_, 1), std::vector<std::vector<std::string>>{kAddressAlone});
  EXPECT_TRUE(starts(openerDirectory_, 0).empty());
  // The lookup is relative to the executable's directory, which stays current.
  EXPECT_TRUE(fs::equivalent(fs::current_path(), gameDirectory_));
  const fs::path program = associatedProgram(L"web.htm");
  EXPECT_TRUE(!program.empty() &&
              fs::equivalent(program, browserDirectory_ / testing::kFakeBrowserName))
      << pathAsUtf8Text(program) << ": the whole path, every character kept";
}

TEST_F(BrowserRoute, WithoutWebHtmTheShellOpensTheAddress) {
  openWebPage(kAddress);

  EXPECT_TRUE(associatedProgram(L"web.htm").empty());
  EXPECT_EQ(starts(openerDirectory_, 1), std::vector<std::vector<std::string>>{kAddressAlone});
  EXPECT_TRUE(starts(browserDirectory_, 0).empty());
}

TEST_F(BrowserRoute, AProgramThatCannotStartLeavesTheAddressToTheShell) {
  startProgram(browserDirectory_ / L"Odinstalov\u00e1n.exe", kAddress);  // uninstalled meanwhile

  EXPECT_EQ(starts(openerDirectory_, 1), std::vector<std::vector<std::string>>{kAddressAlone});
  EXPECT_TRUE(starts(browserDirectory_, 0).empty());
}

}  // namespace
}  // namespace pelorin
