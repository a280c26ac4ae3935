#pragma once

// A user at a real window: mouse presses, releases and keys handed to Qt at the top-level window,
// in window coordinates, the way the window system hands them. Qt itself finds the control under
// the pointer, moves the focus and delivers the event, so the window's own event order is what a
// test sees.

#include <qpa/qwindowsysteminterface.h>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace zorvik::testing {

// Handles every event that is already waiting, in order. Done once a marker posted behind them has
// been handled, so anything the events under test queued or posted has run by then; no clock.
// False when the marker was never reached.
[[nodiscard]] inline bool Settle() {
  bool reached = false;
  QObject marker;
  QMetaObject::invokeMethod(
      &marker, [&reached] { reached = true; }, Qt::QueuedConnection);
  for (int round = 0; !reached && round < 1000; ++round) QCoreApplication::processEvents();
  return reached;
}

// How a click is made: a tap (press and release handed over together, as a touchpad gives them)
// or a slow click (the press is fully handled before the button goes up).
enum class Pace { kTap, kSlow };

inline const char* PaceName(Pace pace) {
  return pace == Pace::kTap ? "tap" : "slow click";
}

class WindowUser {
 public:
  explicit WindowUser(QWidget& window) : window_(window) {}

  // A click at the centre of `control`. Returns with everything it caused handled.
  [[nodiscard]] bool Click(QWidget* control, Pace pace, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(window_.windowHandle(), button, Qt::NoModifier, At(control));
    if (pace == Pace::kSlow && !Settle()) return false;
    QTest::mouseRelease(window_.windowHandle(), button, Qt::NoModifier, At(control));
    return Settle();
  }

  // A press at the centre of `control`, without its release. Returns once the press is handled,
  // with whatever it started (a box and its event loop included).
  [[nodiscard]] bool Press(QWidget* control, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(window_.windowHandle(), button, Qt::NoModifier, At(control));
    return Settle();
  }

  // The release of that press, over `control`. Made while a box is up, the box's event loop takes
  // it, as the window system hands it then.
  void Release(QWidget* control, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(window_.windowHandle(), button, Qt::NoModifier, At(control));
  }

  // A click and a key made while the program is busy: handed to Qt's queue of window-system events
  // the way the window system hands them (xcb queues every event it reads), so they reach the
  // window only when the program next looks at its events. Returns at once.
  void QueueClick(QWidget* control) {
    QWindow* window = window_.windowHandle();
    const QPointF local = At(control);
    const QPointF global = window->mapToGlobal(local);
    for (const bool down : {true, false}) {
      // Far apart in time, as QTest spaces its own clicks: no double-click is made of them.
      QTest::lastMouseTimestamp += 1 + QTest::mouseDoubleClickInterval;
      QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
          window, static_cast<ulong>(QTest::lastMouseTimestamp), local, global,
          down ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton,
          down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease);
    }
  }
  void QueueKey(Qt::Key key, const QString& text = {}) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
          window_.windowHandle(), type, key, Qt::NoModifier, text);
    }
  }

  // A double-click at the centre of `control`.
  [[nodiscard]] bool DoubleClick(QWidget* control) {
    QTest::mouseDClick(window_.windowHandle(), Qt::LeftButton, Qt::NoModifier, At(control));
    return Settle();
  }

  // A key pressed and released on whatever has the focus.
  [[nodiscard]] bool Key(Qt::Key key) {
    QTest::keyClick(window_.windowHandle(), key);
    return Settle();
  }

 private:
  QPoint At(QWidget* control) const { return control->mapTo(&window_, control->rect().center()); }

  QWidget& window_;
};

}  // namespace zorvik::testing
