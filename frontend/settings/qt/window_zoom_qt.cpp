#include "window_zoom_qt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRegion>
#include <QThread>
#include <QWidget>

#include "display_x11.h"

namespace {

constexpr int kFrames = 12;
constexpr int kDurationMs = 200;
constexpr int kLine = 2;

// A borderless, unmanaged window cut to a thin outline by its shape: it draws the moving
// frame on any X server, composited or not, without touching other clients' windows.
class Outline : public QWidget {
public:
    Outline()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(128, 128, 160));
        setPalette(p);
    }

    void Place(const zoom::Rect& r) {
        const int w = std::max(1, r.right - r.left);
        const int h = std::max(1, r.bottom - r.top);
        setGeometry(r.left, r.top, w, h);
        QRegion ring(0, 0, w, h);
        if (w > 2 * kLine && h > 2 * kLine) {
            ring = ring.subtracted(QRegion(kLine, kLine, w - 2 * kLine, h - 2 * kLine));
        }
        setMask(ring);
    }
};

void Animate(unsigned long window, bool opening) {
    if (!platform::HaveDisplay()) return;
    const zoom::Rect point{AnchorX, AnchorY, AnchorX, AnchorY};
    const std::optional<platform::WindowRect> wr = platform::GetWindowRect(window);
    if (!wr) return;
    const zoom::Rect frame{wr->left, wr->top, wr->right, wr->bottom};
    const std::vector<zoom::Rect> frames =
        opening ? zoom::Frames(point, frame, kFrames) : zoom::Frames(frame, point, kFrames);

    Outline outline;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kFrames; ++i) {
        outline.Place(frames[static_cast<size_t>(i)]);
        if (!outline.isVisible()) outline.show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const qint64 due = static_cast<qint64>(kDurationMs) * (i + 1) / kFrames;
        const qint64 wait = due - clock.elapsed();
        if (wait > 0) QThread::msleep(static_cast<unsigned long>(wait));
    }
    outline.hide();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void ZoomOpen(unsigned long window) {
    Animate(window, true);
}

void ZoomClose(unsigned long window) {
    Animate(window, false);
}
