#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Reads a picture of a known format ("BMP", "PNG"). Naming the format spares probing every
// installed image plugin, which loads them all; the pixels are the same.
QImage readImageFile(const QString& path, const QByteArray& format);
