#include "ui/TextFaces.h"

#include <QGuiApplication>
#include <QWidget>
#include <string_view>

#include "platform/FaceStandIns.h"

QFont drawnFace(QFont font) {
  const QByteArray laidOut = font.family().toUtf8();
  const auto standIns =
      pelorin::faceStandIns(std::string_view(laidOut.constData(), laidOut.size()));
  if (standIns.empty()) return font;
  QStringList faces;
  for (const std::string_view face : standIns)
    faces.append(QString::fromUtf8(face.data(), qsizetype(face.size())));
  font.setFamilies(faces);
  // Where none of them is installed; on Windows the font database's own fallback may be serif.
  font.setStyleHint(QFont::SansSerif);
  return font;
}

void keepLaidOutFaces(QWidget& window) {
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(&window);
  for (QWidget* widget : widgets) {
    // The others inherit the window's face.
    if (widget != &window && !widget->testAttribute(Qt::WA_SetFont)) continue;
    const QFont drawn = drawnFace(widget->font());
    if (drawn != widget->font()) widget->setFont(drawn);
  }
}

DialogFaceWhileMakingWindows::DialogFaceWhileMakingWindows()
    : platformDefault_(QGuiApplication::font()) {
  // The face and size the windows' layouts (resources/*.ui) give their texts. Were a layout to
  // name another, start-up would only look up one face more.
  QFont dialogFace(QStringLiteral("MS Sans Serif"));
  dialogFace.setPointSize(8);
  QGuiApplication::setFont(drawnFace(dialogFace));
}

DialogFaceWhileMakingWindows::~DialogFaceWhileMakingWindows() {
  QGuiApplication::setFont(platformDefault_);
}
