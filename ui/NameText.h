#pragma once

#include <QString>
#include <QValidator>

// A player's name is text: control characters (C0, DEL and C1) are never part of one.

bool isControlCharacter(QChar character);

// Shows a name read from the file on one line: each control character appears as '?'.
QString withVisibleControlCharacters(QString name);

// Takes control characters out of whatever reaches the name field, typed or pasted, so that
// what the field holds is what is stored.
class NameValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};
