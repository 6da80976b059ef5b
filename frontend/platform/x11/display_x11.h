// Window-system and toolkit services shared by the whole front end. One implementation of
// each operation; callers never touch Xlib directly.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "processes_posix.h"
#include "window_contract.h"

class QColor;
class QPainter;
class QRect;
class QWidget;

namespace platform {

using WindowId = unsigned long;  // an X11 window id (XID); 0 means none

struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Application facts. SetCommandLine is called once from main(); CommandLine() is the text
// after the program's own name, the arguments joined by single blanks.
void SetCommandLine(int argc, char** argv);
const std::string& CommandLine();
using orbilon::kAppTitle;

// True while the layer has a display to talk to (false with the offscreen Qt platform or
// without $DISPLAY; every window operation then answers "none").
bool HaveDisplay();

// FindWindowA(NULL, title): a top-level window, mapped or not, whose _NET_WM_NAME or
// WM_NAME is exactly title; 0 when none. Top-level: a child of the root, or a client window
// a window manager has framed.
WindowId FindWindowByTitle(const std::string& title);

// Whether FindWindowByTitle(title) would find a window, for asking again and again: the
// window once found is remembered and followed through its events until it is destroyed or
// retitled, so while it stays an answer costs no round trip to the server.
bool WindowTitledExists(const std::string& title);

// Whether the id names an existing window.
bool WindowExists(WindowId id);

// ShowCursor(flag): non-zero flag counts up, zero counts down; the pointer is hidden
// screen-wide while the counter is below 0. Returns the counter after the call.
int ShowCursor(int flag);

// GetCursorPos: the pointer in screen pixels; false when it cannot be read.
bool GetCursorPos(int& x, int& y);

// WindowFromPoint among the front end's own widgets; nullptr over a foreign window.
QWidget* WindowFromPoint(int x, int y);

// GetWindowRect: the outer rectangle in root coordinates.
std::optional<WindowRect> GetWindowRect(WindowId id);

// GetWindow(GW_OWNER): WM_TRANSIENT_FOR, 0 when unset.
WindowId GetOwner(WindowId id);

// SetParent: makes the widget's native window a child of a foreign window. The widget
// keeps working as a Qt widget (painting, events). False when the parent is unusable.
bool SetParent(QWidget* widget, WindowId parent);

// PostMessageA(WM_CLOSE) to a form: a queued close.
void PostClose(QWidget* widget);

// The screen's root window.
WindowId ScreenRoot();

// Before the toolkit starts: the folder Qt makes for itself ($TMPDIR/runtime-USER) when there
// is no usable runtime folder. RemoveToolkitRuntimeDir, after the start, has it removed at
// the end when this process made it (it was not there before and is empty then).
std::string ToolkitRuntimeDirIfAbsent();
void RemoveToolkitRuntimeDir(const std::string& absentBefore);

// What has to happen however the process ends, also from a signal handler: async-signal-safe.
// Runs what ClearAtEnd and RemoveToolkitRuntimeDir registered; EndProcess runs it itself.
void RunEndActions();

// Has the window cleared (to its background, with exposures) when the process ends: what a
// renderer drew on the root window stays there otherwise.
void ClearAtEnd(WindowId window);

// Modal message box, OK button only, no icon.
void MessageBox(const std::string& text, const std::string& caption);

// Immediate end of the process, status 0 unless given; nothing of the front end runs
// afterwards.
[[noreturn]] void EndProcess(int status = 0);

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

// Twips per pixel on each axis: 1440 / the screen's logical DPI (15 at 96 DPI).
double TwipsPerPixelX();
double TwipsPerPixelY();

}  // namespace platform
