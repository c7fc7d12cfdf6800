#include "ui/WindowFrame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/ScreenColormap.h"

Qt::WindowFlags fixedWindowFlags(bool minimisable) {
  // Without the fixed-size hint Windows gives the window a sizing frame, fixed size or not.
  const Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
  if (minimisable)
    return flags | Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
  // A dialog whose close box comes without the system-menu hint gets the dialog frame.
  return flags | Qt::Dialog;
}

namespace {

// Hands a window's native window the screen's colormap each time it is shown, before it is mapped.
class ScreenColormapOnShow : public QObject {
 public:
  explicit ScreenColormapOnShow(QWidget& window) : QObject(&window), window_(window) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) pelorin::useScreenColormap(window_.winId());
    return false;
  }

 private:
  QWidget& window_;
};

}  // namespace

void useScreenColormapWhenShown(QWidget& window) {
  if (QGuiApplication::platformName() == QLatin1String("xcb")) new ScreenColormapOnShow(window);
}

QPoint centredFramePosition(const QRect& desktop, const QSize& frameSize) {
  // Rounded down on both sides alike, so that the frame's centre lies within half a
  // pixel of the desktop's.
  return {desktop.x() + (desktop.width() - frameSize.width()) / 2,
          desktop.y() + (desktop.height() - frameSize.height()) / 2};
}

DesktopCentring::DesktopCentring(QWidget& window, Centring when)
    : QObject(&window), window_(window), when_(when) {
  window.installEventFilter(this);
}

bool DesktopCentring::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_) {
    if (event->type() == QEvent::Show) {
      // Sent once the native window exists, before it is mapped.
      if (when_ == Centring::EveryShowing || !shownBefore_) {
        active_ = true;
        if (QWindow* native = window_.windowHandle(); native && !watchingNative_) {
          native->installEventFilter(this);
          watchingNative_ = true;
        }
        centre(expectedFrame());
      }
      shownBefore_ = true;
    } else if (event->type() == QEvent::Hide) {
      active_ = false;
    }
    return false;
  }
  // The native window learns its frame from the window manager after it is mapped, by the
  // time it is first exposed; a frame that changes later is followed too.
  const QEvent::Type type = event->type();
  if (!window_.windowHandle() || !window_.isVisible()) return false;
  if (type != QEvent::Expose && type != QEvent::Move && type != QEvent::Resize) return false;
  const QMargins margins = window_.windowHandle()->frameMargins();
  // While the window manager reparents the window, its margins can read negative.
  const bool plausible =
      margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
  if (!plausible) return false;
  decorated_ = margins;
  if (active_ && margins != placedWith_) centre(margins);
  return false;
}

QMargins DesktopCentring::expectedFrame() const {
  if (decorated_) return *decorated_;
  const QWidget* owner = window_.parentWidget() ? window_.parentWidget()->window() : nullptr;
  if (owner && owner->isVisible() && owner->windowHandle())
    return owner->windowHandle()->frameMargins();
  return window_.windowHandle() ? window_.windowHandle()->frameMargins() : QMargins();
}

void DesktopCentring::centre(const QMargins& frame) {
  const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  placedWith_ = frame;
  const QSize frameSize = window_.size().grownBy(frame);
  const QPoint frameAt = centredFramePosition(screen->availableGeometry(), frameSize);
  window_.setGeometry(QRect(frameAt + QPoint(frame.left(), frame.top()), window_.size()));
}
