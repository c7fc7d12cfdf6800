#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <optional>

class QWidget;

// A fixed-size window with a thin frame and a close box, never a maximise button:
// `minimisable` gives a main window with a single border, a system menu and the minimise
// button, otherwise a dialog with the dialog frame.
Qt::WindowFlags fixedWindowFlags(bool minimisable);

// Gives a window that can open entirely inside another the screen's colormap at every showing,
// so that screenshots show it as the screen does (see platform/ScreenColormap.h).
void useScreenColormapWhenShown(QWidget& window);

// Which showings of a window are centred.
enum class Centring { FirstShowing, EveryShowing };

// Centres a window, frame included, on the desktop of its screen when it is shown.
// The window is placed before the display maps it, by its client area (window managers honour
// that, whatever their gravity), so that it appears where it stays: on a desktop without
// compositing, moving a window that is already on the screen can leave it unpainted there.
// The frame is known only once the window manager has decorated the window, so it is taken
// from the window's last showing or, before its first, from the window it belongs to, which
// the same window manager decorated. Only if the frame then turns out otherwise is the window
// centred again; a move by the user is left alone.
class DesktopCentring : public QObject {
 public:
  DesktopCentring(QWidget& window, Centring when);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QMargins expectedFrame() const;
  void centre(const QMargins& frame);

  QWidget& window_;
  Centring when_;
  bool active_ = false;  // from a centred showing until the window is hidden
  bool shownBefore_ = false;
  bool watchingNative_ = false;
  std::optional<QMargins> decorated_;  // the frame the window manager last gave the window
  QMargins placedWith_;                // the frame the window was centred with
};

// Where a window's frame of `frameSize` stands centred on `desktop`.
QPoint centredFramePosition(const QRect& desktop, const QSize& frameSize);
