#include "ui/NameCodec.h"

#include "scores/Cp1250.h"

QString decodeName(std::string_view bytes) {
  return QString::fromStdU16String(pelorin::decodeCp1250(bytes));
}

std::string encodeName(const QString& name) {
  return pelorin::encodeCp1250(name.normalized(QString::NormalizationForm_C).toStdU16String());
}
