#include "ui/HomePage.h"

#include <QUrl>

#include "platform/WebPage.h"

namespace {
constexpr char kHomePageAddress[] = "https://www.quillon.example";
}  // namespace

QString homePageAddress() { return QString::fromLatin1(kHomePageAddress); }

QString homePageCaption() { return QUrl(homePageAddress()).host(); }

void openWebPage(const QString& address) { pelorin::openWebPage(address.toStdString()); }
