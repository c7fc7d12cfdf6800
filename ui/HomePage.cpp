#include "ui/HomePage.h"

#include <QDesktopServices>
#include <QUrl>

#include "ui/ExeDir.h"

namespace {
constexpr char kHomePageAddress[] = "https://www.quillon.example";
}

QString homePageAddress() { return QString::fromLatin1(kHomePageAddress); }

QString homePageCaption() { return QUrl(homePageAddress()).host(); }

void openWebPage(const QString& address) {
  enterExeDir();
  QDesktopServices::openUrl(QUrl(address));
}
