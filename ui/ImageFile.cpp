#include "ui/ImageFile.h"

#include <QImageReader>

QImage readImageFile(const QString& path, const QByteArray& format) {
  QImageReader reader(path, format);
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}
