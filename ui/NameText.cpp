#include "ui/NameText.h"

#include "scores/rules/PlayerName.h"

QValidator::State NameValidator::validate(QString& input, int& position) const {
  QString kept;
  kept.reserve(input.size());
  int keptBeforeCursor = 0;
  for (int i = 0; i < input.size(); ++i) {
    if (pelorin::isControlCharacter(input[i].unicode())) continue;
    kept.append(input[i]);
    if (i < position) ++keptBeforeCursor;
  }
  input = kept;
  position = keptBeforeCursor;
  return Acceptable;
}
