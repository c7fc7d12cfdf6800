#include "ui/NameCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr char kCodePage[] = "windows-1250";
constexpr char kSubstitute = 0x1A;  // what the converter writes for an unmappable character
}  // namespace

QString decodeName(std::string_view bytes) {
  QStringDecoder decoder(kCodePage);
  return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string encodeName(const QString& name) {
  QStringEncoder encoder(kCodePage);
  std::string bytes;
  const QString composed = name.normalized(QString::NormalizationForm_C);
  for (qsizetype i = 0; i < composed.size();) {
    // one code point at a time, a surrogate pair included
    const qsizetype length = composed.at(i).isHighSurrogate() && i + 1 < composed.size() ? 2 : 1;
    const QStringView character = QStringView(composed).mid(i, length);
    const QByteArray encoded = encoder(character);
    const bool mapped = encoded.size() == 1 &&
                        (encoded.front() != kSubstitute || character.front() == QChar(kSubstitute));
    bytes += mapped ? encoded.front() : '?';
    i += length;
  }
  return bytes;
}
