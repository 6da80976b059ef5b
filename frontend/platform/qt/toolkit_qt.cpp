#include "toolkit_qt.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QScreen>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include "units.h"

namespace platform {

bool GetCursorPos(int& x, int& y) {
    if (!QGuiApplication::primaryScreen()) return false;
    const QPoint p = QCursor::pos();
    x = p.x();
    y = p.y();
    return true;
}

QWidget* WindowFromPoint(int x, int y) {
    return QApplication::widgetAt(x, y);
}

bool SetParent(QWidget* widget, unsigned long parent) {
    if (!widget || parent == 0) return false;
    widget->winId();  // the native window must exist before it can move
    QWindow* own = widget->windowHandle();
    QWindow* foreign = QWindow::fromWinId(static_cast<WId>(parent));
    if (!own || !foreign) return false;
    foreign->setParent(nullptr);
    own->setParent(foreign);
    return true;
}

void MessageBox(const std::string& text, const std::string& caption) {
    QMessageBox box;
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QString::fromStdString(caption));
    // Messages quote paths; a "<b>" in one is text, not markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::optional<std::string> OpenFileDialog(QWidget* owner, const std::string& title,
                                          const std::string& filter, const std::string& startDir) {
    QFileDialog dialog(owner, QString::fromStdString(title), QString::fromStdString(startDir),
                       QString::fromStdString(filter));
    // No existence check: a typed name of a file that is not there (yet) is taken as it is.
    // Qt's own dialog, because a native one may refuse such a name in open mode.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first().toStdString();
}

void OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void FillVerticalGradient(QPainter& painter, const QRect& rect, const QColor& top,
                          const QColor& bottom) {
    if (rect.isEmpty()) return;
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    painter.fillRect(rect, g);
}

QColor FromOleColour(uint32_t colour) {
    const orbilon::units::OleColour c = orbilon::units::DecodeOleColour(colour);
    if (!c.system) return QColor(c.r, c.g, c.b);
    const QPalette pal = QApplication::palette();
    switch (c.index) {
        case 5:
            return pal.color(QPalette::Base);  // window
        case 8:
            return pal.color(QPalette::Text);  // window text
        case 13:
            return pal.color(QPalette::Highlight);
        case 14:
            return pal.color(QPalette::HighlightedText);
        case 15:
            return pal.color(QPalette::Button);  // button face
        case 16:
            return pal.color(QPalette::Mid);  // button shadow
        case 17:
            return pal.color(QPalette::Disabled, QPalette::Text);  // grey text
        case 18:
            return pal.color(QPalette::ButtonText);
        case 20:
            return pal.color(QPalette::Light);  // button highlight
        case 21:
            return pal.color(QPalette::Shadow);  // dark shadow
        case 22:
            return pal.color(QPalette::Midlight);  // 3D light
        case 23:
            return pal.color(QPalette::ToolTipText);
        case 24:
            return pal.color(QPalette::ToolTipBase);
        default:
            return pal.color(QPalette::Window);
    }
}

namespace {

// No screen reads as an unknown DPI.
double ScreenDpi(bool horizontal) {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return 0;
    return horizontal ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
}

}  // namespace

double TwipsPerPixelX() {
    return orbilon::units::TwipsPerPixel(ScreenDpi(true));
}
double TwipsPerPixelY() {
    return orbilon::units::TwipsPerPixel(ScreenDpi(false));
}

}  // namespace platform
