#pragma once

#include <QString>

// The platform's part of the home-page link: finding the program associated with a
// document's type, and starting a program or an address without waiting for it.

// The full path of the program associated with the type of `document`, a name looked up
// in the current directory. Empty when the document is missing or its type has no program.
QString associatedProgram(const QString& document);

// Starts `program` with `address` as its only parameter. Failures are ignored.
void startProgram(const QString& program, const QString& address);

// Hands `address` to the platform to open as it sees fit. Failures are ignored.
void openAddress(const QString& address);
