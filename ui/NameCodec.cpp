#include "ui/NameCodec.h"

#include "scores/rules/Cp1250.h"
#include "scores/rules/PlayerName.h"

namespace {

std::u16string composed(std::u16string_view text) {
  return QString::fromStdU16String(std::u16string(text))
      .normalized(QString::NormalizationForm_C)
      .toStdU16String();
}

}  // namespace

QString decodeName(std::string_view bytes) {
  return QString::fromStdU16String(pelorin::decodeCp1250(bytes));
}

std::string encodeName(const QString& name) {
  return pelorin::storedName(name.toStdU16String(), composed);
}
