#pragma once

#include <QString>
#include <string>
#include <string_view>

// Names are stored as Windows-1250 bytes; the windows show them as Unicode.

QString decodeName(std::string_view bytes);

// A character that Windows-1250 cannot hold is stored as '?', never as a silent
// substitute; composed forms are used so that "é" typed in two parts still fits.
std::string encodeName(const QString& name);
