#pragma once

#include <QString>
#include <string>
#include <string_view>

// Names are stored as Windows-1250 bytes; the windows show them as Unicode.

QString decodeName(std::string_view bytes);

// The bytes stored for a name typed in the dialog, composed by Qt's Unicode tables.
std::string encodeName(const QString& name);
