#pragma once

#include <QString>

// The maker's home page: a scheme and a host only.
QString homePageAddress();

// The address as the status bar shows it: without its scheme.
QString homePageCaption();

// Opens the address in the browser associated with "web.htm" beside the executable, or else
// hands it to the platform. Never waits for the browser; failures are ignored.
void openWebPage(const QString& address);
