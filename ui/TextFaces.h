#pragma once

#include <QFont>

class QWidget;

// The face a text is drawn in: the one its layout names, or where this system cannot draw that
// face at its laid-out size or lacks it, the stand-ins it has (platform/FaceStandIns.h),
// never a serif face.
QFont drawnFace(QFont laidOut);

// Gives the window, and each of its controls that names a face of its own, its drawn face.
void keepLaidOutFaces(QWidget& window);

// While it lives, the toolkit's default face is the windows' drawn dialog face, so that what a
// window makes before its layout gives it a face (an edit box lays out its empty text at once)
// has the font database look up no other face. Tooltips and message boxes get the platform's
// default face back afterwards.
class DialogFaceWhileMakingWindows {
 public:
  DialogFaceWhileMakingWindows();
  ~DialogFaceWhileMakingWindows();
  DialogFaceWhileMakingWindows(const DialogFaceWhileMakingWindows&) = delete;
  DialogFaceWhileMakingWindows& operator=(const DialogFaceWhileMakingWindows&) = delete;

 private:
  QFont platformDefault_;
};
