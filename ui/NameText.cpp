#include "ui/NameText.h"

bool isControlCharacter(QChar character) {
  const char16_t code = character.unicode();
  return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

QString withVisibleControlCharacters(QString name) {
  for (QChar& character : name) {
    if (isControlCharacter(character)) character = QLatin1Char('?');
  }
  return name;
}

QValidator::State NameValidator::validate(QString& input, int& position) const {
  QString kept;
  kept.reserve(input.size());
  int keptBeforeCursor = 0;
  for (int i = 0; i < input.size(); ++i) {
    if (isControlCharacter(input[i])) continue;
    kept.append(input[i]);
    if (i < position) ++keptBeforeCursor;
  }
  input = kept;
  position = keptBeforeCursor;
  return Acceptable;
}
