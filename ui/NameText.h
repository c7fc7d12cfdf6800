#pragma once

#include <QValidator>

// Takes control characters out of whatever reaches the name field, typed or pasted, so that
// what the field holds is what is stored; the cursor stays after the same letter.
class NameValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};
