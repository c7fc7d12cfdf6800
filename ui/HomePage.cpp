#include "ui/HomePage.h"

#include <QUrl>

#include "ui/Browser.h"
#include "ui/ExeDir.h"

namespace {
constexpr char kHomePageAddress[] = "https://www.quillon.example";

// Never read: only its type matters, to find the browser the player has chosen.
constexpr char kWebPageDocument[] = "web.htm";
}  // namespace

QString homePageAddress() { return QString::fromLatin1(kHomePageAddress); }

QString homePageCaption() { return QUrl(homePageAddress()).host(); }

void openWebPage(const QString& address) {
  enterExeDir();  // so that the document beside the executable is the one looked up
  const QString browser = associatedProgram(QString::fromLatin1(kWebPageDocument));
  if (!browser.isEmpty()) {
    startProgram(browser, address);
    return;
  }
  openAddress(address);
}
