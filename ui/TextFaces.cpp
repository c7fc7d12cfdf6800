#include "ui/TextFaces.h"

#include <QFont>
#include <QWidget>

void keepLaidOutFaces(QWidget& window) {
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(&window);
  for (QWidget* widget : widgets) {
    // The others inherit the window's face.
    if (widget != &window && !widget->testAttribute(Qt::WA_SetFont)) continue;
    QFont font = widget->font();
    QStringList faces{font.family()};
    if (faces.front() == QStringLiteral("MS Sans Serif"))
      faces.append(QStringLiteral("Microsoft Sans Serif"));
    faces.append(QStringLiteral("Tahoma"));
    font.setFamilies(faces);
    // Where none of them is installed; on Windows the hint alone may still give a serif face.
    font.setStyleHint(QFont::SansSerif);
    widget->setFont(font);
  }
}
