#pragma once
// A desktop for the window tests: a virtual X display (Xvfb) with a real window manager
// (openbox) on it, and what a desktop shows about its windows, read as the window manager
// publishes it (the EWMH properties of the root window and of each client window): the
// stacking order, the active window, the frame around each window and the working area.
// Keys are typed through the XTEST extension, as a keyboard types them.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

struct _XDisplay;  // Xlib's display connection

namespace vantor::testing {

// Starts Xvfb on a free display number and openbox on it, and waits until the window manager
// has announced itself; stops both when it goes. error() says why it could not start.
class VirtualDesktop {
  public:
    VirtualDesktop(int width, int height);
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // ":N", for DISPLAY.
    const std::string& display() const { return display_; }

  private:
    void Stop();
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    std::string display_;
    std::string error_;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(const Rect& other) const {
        return other.x >= x && other.y >= y && other.x + other.width <= x + width &&
               other.y + other.height <= y + height;
    }
    bool Intersects(const Rect& other) const {
        return other.x < x + width && x < other.x + other.width && other.y < y + height &&
               y < other.y + other.height;
    }
    std::string Text() const;
};

// One client window as the window manager sees it.
struct ClientWindow {
    unsigned long id = 0;
    std::string name;       // _NET_WM_NAME (or WM_NAME)
    std::string type;       // the first _NET_WM_WINDOW_TYPE, without its prefix: "NORMAL", "SPLASH"
    long pid = 0;           // _NET_WM_PID
    bool viewable = false;  // mapped and on the screen
    Rect client;            // the window's contents, in root coordinates
    std::optional<Rect> frame;  // with the frame the window manager put around it, once it has
};

// A connection of its own to the display named by DISPLAY.
class DesktopView {
  public:
    DesktopView();
    ~DesktopView();
    DesktopView(const DesktopView&) = delete;
    DesktopView& operator=(const DesktopView&) = delete;
    bool ok() const { return display_ != nullptr; }

    // _NET_CLIENT_LIST_STACKING: the managed windows, bottom to top.
    std::vector<ClientWindow> Stacking();
    // _NET_ACTIVE_WINDOW: the window with the keyboard; 0 for none.
    unsigned long ActiveWindow();
    // _NET_WORKAREA of the current desktop: the screen without panels.
    Rect WorkArea();
    std::optional<ClientWindow> Find(unsigned long id);

    // Types a key as the keyboard does: "Return", "Escape", "alt+g", "shift+Tab", "x".
    void Key(const std::string& chord);
    // Types a text, letter by letter (letters, digits and a few marks).
    void Type(const std::string& text);
    // What the title bar's close button does: asks the window to close (WM_DELETE_WINDOW).
    void CloseByTitleBar(unsigned long id);

  private:
    ClientWindow Describe(unsigned long id);
    ::_XDisplay* display_ = nullptr;
};

}  // namespace vantor::testing
