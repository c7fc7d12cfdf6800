#include "platform/WebPage.h"

#include "platform/Browser.h"
#include "platform/ExeDir.h"

namespace pelorin {

namespace {
// Never read: only its type matters, to find the browser the player has chosen.
constexpr char kWebPageDocument[] = "web.htm";
}  // namespace

void openWebPage(std::string_view address) {
  enterExeDir();  // so that the document beside the executable is the one looked up
  const std::filesystem::path browser = associatedProgram(kWebPageDocument);
  if (!browser.empty()) {
    startProgram(browser, address);
    return;
  }
  openAddress(address);
}

}  // namespace pelorin
