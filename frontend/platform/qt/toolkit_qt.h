// Qt services of the front end's forms: the message box, the file dialog, opening a link, the
// pointer over the front end's own widgets, gradients, OLE colours and twips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class QColor;
class QPainter;
class QRect;
class QWidget;

namespace platform {

// GetCursorPos: the pointer in screen pixels; false when it cannot be read.
bool GetCursorPos(int& x, int& y);

// WindowFromPoint among the front end's own widgets; nullptr over a foreign window.
QWidget* WindowFromPoint(int x, int y);

// SetParent: makes the widget's native window a child of a foreign native window, which the
// caller has checked exists. The widget keeps working as a Qt widget (painting, events).
bool SetParent(QWidget* widget, unsigned long parent);

// Modal message box, OK button only, no icon.
void MessageBox(const std::string& text, const std::string& caption);

// GetOpenFileNameA without an existence check: the chosen or typed full path, or nothing when
// the user cancelled. filter uses Qt's syntax, e.g. "Music (*.mp3 *.wav)".
std::optional<std::string> OpenFileDialog(QWidget* owner, const std::string& title,
                                          const std::string& filter,
                                          const std::string& startDir = {});

// ShellExecuteA("open", url).
void OpenUrl(const std::string& url);

// GradientFill, vertical mode: top colour at the top row, bottom colour at the last.
void FillVerticalGradient(QPainter& painter, const QRect& rect, const QColor& top,
                          const QColor& bottom);

// A 32-bit &H00BBGGRR colour, or &H8000000x for system colour x, as a Qt colour.
QColor FromOleColour(uint32_t colour);

// Twips per pixel on each axis at the primary screen's logical DPI (15 at 96 DPI).
double TwipsPerPixelX();
double TwipsPerPixelY();

}  // namespace platform
