#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class QWidget;

// A fixed-size window with a thin frame and a close box, never a maximise button:
// `minimisable` gives a main window with a single border, a system menu and the minimise
// button, otherwise a dialog with the dialog frame.
Qt::WindowFlags fixedWindowFlags(bool minimisable);

// Which showings of a window are centred.
enum class Centring { FirstShowing, EveryShowing };

// Centres a window, frame included, on the desktop of its screen when it is shown.
// The window is placed only once it exists on the display, and by its client area, so that
// nothing depends on how a window manager reads a position given before the window was
// mapped. The frame is known only after the window manager has decorated the window, so the
// window is centred again when its frame changes (without a window manager the frame is the
// client area and nothing more happens). A move by the user is left alone.
class DesktopCentring : public QObject {
 public:
  DesktopCentring(QWidget& window, Centring when);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void centre();

  QWidget& window_;
  Centring when_;
  bool active_ = false;  // from a centred showing until the window is hidden
  bool shownBefore_ = false;
  bool watchingNative_ = false;
  QMargins frame_;
};

// Where a window's frame of `frameSize` stands centred on `desktop`.
QPoint centredFramePosition(const QRect& desktop, const QSize& frameSize);
