// How a screen-saver service started the front end, decided before the letter dispatch and
// without any window system: XScreenSaver, MATE, xfce and xsecurelock pass --root with the
// target in $XSCREENSAVER_WINDOW; XScreenSaver's settings app passes --window-id for its pane.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window_id.h"

namespace orbilon {

inline constexpr const char* kProgramName = "Orbilon.scr";
inline constexpr const char* kTargetVariable = "XSCREENSAVER_WINDOW";

enum class ServiceKind {
    None,       // not a service start: the letter dispatch decides
    Root,       // a saver run inside `window` (0: the screen's root window), with music
    Pane,       // the live animation in a preview pane `window`, no music
    BadWindow,  // print `error` (one line) and end with status 1
};

struct ServiceStart {
    ServiceKind kind = ServiceKind::None;
    uint32_t window = 0;
    std::string error;
};

// args: the arguments after the program's name; target: $XSCREENSAVER_WINDOW or nullptr.
// --window-id ID (or -window-id, --window-id=ID) wins over --root / -root.
ServiceStart ReadServiceStart(const std::vector<std::string>& args, const char* target);

// The renderer's environment: ours without any XSCREENSAVER_WINDOW, plus the target's id
// when there is one, so a full-screen run never inherits a stray service window.
std::vector<std::string> RendererEnvironment(const std::vector<std::string>& environment,
                                             std::optional<uint32_t> target);

// The X display a $DISPLAY value names, without its screen number, fit for a file name:
// ":0.1", "unix:0" and ":0" are all "0"; "host:10.0" is "host_10".
std::string DisplayKey(std::string_view display);

// The file of a per-user, per-display lock: under the runtime folder when there is one,
// else under /tmp with the user's id in its name.
std::string LockPath(std::string_view runtimeDir, uint32_t uid, std::string_view what,
                     std::string_view display);

// Where to try that lock, in order: the runtime folder's file, then the /tmp one. A runtime
// folder the user cannot write (inherited through su or sudo -E) must not leave every
// process without a lock, and so every process playing.
std::vector<std::string> LockPaths(std::string_view runtimeDir, uint32_t uid, std::string_view what,
                                   std::string_view display);

// What the front end says and returns when its renderer ended by itself in a service run.
// status: the renderer's wait status. A clean exit ends quietly with 0.
struct RendererEnd {
    int exitStatus = 0;
    std::string line;  // empty for a clean end
};
RendererEnd DescribeRendererEnd(int status);

// A run that did not get the music lock tries again this often for as long as it runs: the
// player may end at any time (a restarted hack, a monitor's run killed), and the next one
// to take the lock plays from then on.
inline constexpr int kMusicRetryMs = 100;

// The music needs file descriptors of its own (GStreamer's pipelines, threads and wake-up
// pipes; GLib aborts the process when it cannot make one). Fewer free than this: no music.
inline constexpr long kMusicDescriptors = 16;
inline bool MusicHasRoom(long freeDescriptors) {
    return freeDescriptors >= kMusicDescriptors;
}

}  // namespace orbilon
