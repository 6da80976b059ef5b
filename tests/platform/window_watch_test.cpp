// Finding a window by title among the top-level windows, and following it once found: a
// window that goes or changes its title is noticed at the next question, a new one with the
// title is found again, and under a window manager a framed window is still found. Needs a
// display of its own (run under tests/with-xvfb.sh); openbox, where installed, manages it.

// gtest before Xlib, whose macros (None, Bool) clash with gtest's names.
// clang-format off
#include <gtest/gtest.h>
#include "window_watch.h"
// clang-format on
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

namespace orbilon {
namespace {

constexpr char Title[] = "Orbilon_VC";

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

class WindowWatchTest : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        them_ = XOpenDisplay(nullptr);
        us_ = XOpenDisplay(nullptr);
        ASSERT_TRUE(them_ && us_);
        XSetErrorHandler(IgnoreXError);
    }
    void TearDown() override {
        if (them_) XCloseDisplay(them_);
        if (us_) XCloseDisplay(us_);
    }

    // Another program's window, titled through WM_NAME.
    Window Make(Window parent, const char* title, bool map) {
        const Window w = XCreateSimpleWindow(them_, parent, 0, 0, 50, 50, 0, 0, 0);
        XStoreName(them_, w, title);
        if (map) XMapWindow(them_, w);
        XSync(them_, False);
        return w;
    }
    void Retitle(Window w, const char* title) {
        XStoreName(them_, w, title);
        XSync(them_, False);
    }
    void Destroy(Window w) {
        XDestroyWindow(them_, w);
        XSync(them_, False);
    }

    Display* them_ = nullptr;
    Display* us_ = nullptr;
};

TEST_F(WindowWatchTest, FindsTopLevelWindowsMappedOrNotButNotDeeperOnes) {
    const WindowTitles titles(us_);
    const Window root = DefaultRootWindow(them_);
    const Window other = Make(root, "something else", true);
    Make(other, Title, true);  // a child window of an application is not top-level
    EXPECT_EQ(FindTopLevelTitled(us_, Title, titles), None);
    const Window hidden = Make(root, Title, false);
    EXPECT_EQ(FindTopLevelTitled(us_, Title, titles), hidden);
    EXPECT_EQ(FindTopLevelTitled(us_, "Orbilon_V", titles), None);  // exact titles only
    Destroy(hidden);
    Destroy(other);
}

TEST_F(WindowWatchTest, FollowsTheWindowUntilItGoesOrIsRetitled) {
    WindowWatch watch(us_, Title);
    EXPECT_FALSE(watch.Present());
    const Window root = DefaultRootWindow(them_);
    const Window first = Make(root, Title, true);
    EXPECT_TRUE(watch.Present());
    EXPECT_EQ(watch.watched(), first);
    EXPECT_TRUE(watch.Present());

    Retitle(first, "Screensaver");
    EXPECT_FALSE(watch.Present());
    Retitle(first, Title);
    EXPECT_TRUE(watch.Present());

    // Another window with the title takes over when the followed one goes.
    const Window second = Make(root, Title, false);
    Destroy(first);
    EXPECT_TRUE(watch.Present());
    EXPECT_EQ(watch.watched(), second);
    Destroy(second);
    EXPECT_FALSE(watch.Present());
    EXPECT_EQ(watch.watched(), None);
}

TEST_F(WindowWatchTest, NoticesTheEndOfTheProgramThatOwnsTheWindow) {
    WindowWatch watch(us_, Title);
    Display* owner = XOpenDisplay(nullptr);
    ASSERT_TRUE(owner);
    const Window w = XCreateSimpleWindow(owner, DefaultRootWindow(owner), 0, 0, 9, 9, 0, 0, 0);
    XStoreName(owner, w, Title);
    XMapWindow(owner, w);
    XSync(owner, False);
    EXPECT_TRUE(watch.Present());
    XCloseDisplay(owner);  // the server destroys its windows
    XSync(them_, False);
    EXPECT_FALSE(watch.Present());
}

// A reparenting window manager puts mapped windows into frames; they still count.
TEST_F(WindowWatchTest, FindsAFramedWindowUnderAWindowManager) {
    const std::string screen = "WM_S" + std::to_string(DefaultScreen(us_));
    const Atom selection = XInternAtom(us_, screen.c_str(), False);
    if (XGetSelectionOwner(us_, selection) != None) GTEST_SKIP() << "a window manager runs";
    char openbox[] = "openbox";
    char* argv[] = {openbox, nullptr};
    pid_t wm = -1;
    if (posix_spawnp(&wm, "openbox", nullptr, nullptr, argv, environ) != 0) {
        GTEST_SKIP() << "openbox is not installed";
    }
    auto wait = [](auto done) {
        for (int i = 0; i < 300 && !done(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return done();
    };
    EXPECT_TRUE(wait([&] { return XGetSelectionOwner(us_, selection) != None; }));
    const Window root = DefaultRootWindow(them_);
    const Window w = Make(root, Title, true);
    // A window mapped while the manager is still starting may stay unframed: map it again.
    int tries = 0;
    const bool framed = wait([&] {
        Window r = None, parent = None, *children = nullptr;
        unsigned int n = 0;
        XQueryTree(them_, w, &r, &parent, &children, &n);
        if (children) XFree(children);
        if (parent == root && ++tries % 20 == 0) {
            XUnmapWindow(them_, w);
            XMapWindow(them_, w);
            XSync(them_, False);
        }
        return parent != root && parent != None;
    });
    const WindowTitles titles(us_);
    if (framed) {
        EXPECT_EQ(FindTopLevelTitled(us_, Title, titles), w);
    }
    WindowWatch watch(us_, Title);
    EXPECT_TRUE(watch.Present());
    Destroy(w);
    EXPECT_FALSE(watch.Present());
    kill(wm, SIGTERM);
    waitpid(wm, nullptr, 0);
    EXPECT_TRUE(framed) << "openbox did not frame the window";
}

}  // namespace
}  // namespace orbilon
