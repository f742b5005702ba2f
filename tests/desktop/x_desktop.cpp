#include "x_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <thread>

namespace vantor::testing {

namespace {

using Clock = std::chrono::steady_clock;

// Runs a program with its output thrown away; the file descriptor keep stays open in it.
pid_t Spawn(const std::vector<std::string>& command, const std::string& display, int keep) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != keep) close(fd);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

bool Running(pid_t pid) {
    int status = 0;
    return pid > 0 && waitpid(pid, &status, WNOHANG) == 0;
}

void StopProcess(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    pid = -1;
}

Atom AtomOf(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// The 32-bit items of a property (windows, atoms, cardinals), as the longs Xlib returns.
std::vector<unsigned long> Longs(Display* display, Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, AtomOf(display, property), 0, 4096, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            values.assign(items, items + count);
        }
        XFree(data);
    }
    return values;
}

std::string Text(Display* display, Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, AtomOf(display, property), 0, 4096, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 8) text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return text;
}

// Xlib reports a window that vanished under us as an error; the poll that asked just sees
// the window gone.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

std::string Rect::Text() const {
    return std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(x) +
           "," + std::to_string(y);
}

VirtualDesktop::VirtualDesktop(int width, int height) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        error_ = "no pipe for the display number";
        return;
    }
    server_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen", "0",
                     std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten",
                     "tcp"},
                    "", pipeEnds[1]);
    close(pipeEnds[1]);
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        pollfd wait{pipeEnds[0], POLLIN, 0};
        if (poll(&wait, 1, 200) <= 0) {
            if (!Running(server_)) break;
            continue;
        }
        char chunk[16];
        const ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
        if (got <= 0) break;
        number.append(chunk, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    if (number.find('\n') == std::string::npos) {
        error_ = "the virtual display (Xvfb, Debian package xvfb) did not start";
        Stop();
        return;
    }
    display_ = ":" + number.substr(0, number.find('\n'));

    windowManager_ = Spawn({"openbox", "--sm-disable"}, display_, -1);
    Display* x = XOpenDisplay(display_.c_str());
    if (x == nullptr) {
        error_ = "the virtual display " + display_ + " does not accept connections";
        Stop();
        return;
    }
    XSetErrorHandler(IgnoreErrors);
    // The window manager announces itself with a window of its own named on the root window.
    bool announced = false;
    const auto until = Clock::now() + std::chrono::seconds(20);
    while (!announced && Clock::now() < until && Running(windowManager_)) {
        std::vector<unsigned long> check =
            Longs(x, DefaultRootWindow(x), "_NET_SUPPORTING_WM_CHECK");
        announced = !check.empty() && !Text(x, check[0], "_NET_WM_NAME").empty();
        if (!announced) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(x);
    if (!announced) {
        error_ = "the window manager (openbox, Debian package openbox) did not start on " +
                 display_;
        Stop();
    }
}

VirtualDesktop::~VirtualDesktop() {
    Stop();
}

void VirtualDesktop::Stop() {
    StopProcess(windowManager_);
    StopProcess(server_);
}

DesktopView::DesktopView() {
    display_ = XOpenDisplay(nullptr);
    if (display_ != nullptr) XSetErrorHandler(IgnoreErrors);
}

DesktopView::~DesktopView() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

ClientWindow DesktopView::Describe(unsigned long id) {
    ClientWindow window;
    window.id = id;
    window.name = Text(display_, id, "_NET_WM_NAME");
    if (window.name.empty()) window.name = Text(display_, id, "WM_NAME");
    std::vector<unsigned long> types = Longs(display_, id, "_NET_WM_WINDOW_TYPE");
    if (!types.empty()) {
        if (char* name = XGetAtomName(display_, types[0])) {
            window.type = name;
            XFree(name);
            const std::string prefix = "_NET_WM_WINDOW_TYPE_";
            if (window.type.rfind(prefix, 0) == 0) window.type = window.type.substr(prefix.size());
        }
    }
    std::vector<unsigned long> pid = Longs(display_, id, "_NET_WM_PID");
    if (!pid.empty()) window.pid = static_cast<long>(pid[0]);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, id, &attributes)) {
        window.viewable = attributes.map_state == IsViewable;
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates(display_, id, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        window.client = {x, y, attributes.width, attributes.height};
    }
    std::vector<unsigned long> extents = Longs(display_, id, "_NET_FRAME_EXTENTS");
    if (extents.size() == 4) {
        const int left = static_cast<int>(extents[0]), right = static_cast<int>(extents[1]);
        const int top = static_cast<int>(extents[2]), bottom = static_cast<int>(extents[3]);
        window.frame = Rect{window.client.x - left, window.client.y - top,
                            window.client.width + left + right,
                            window.client.height + top + bottom};
    }
    return window;
}

std::vector<ClientWindow> DesktopView::Stacking() {
    std::vector<ClientWindow> windows;
    for (unsigned long id :
         Longs(display_, DefaultRootWindow(display_), "_NET_CLIENT_LIST_STACKING"))
        windows.push_back(Describe(id));
    return windows;
}

unsigned long DesktopView::ActiveWindow() {
    std::vector<unsigned long> active =
        Longs(display_, DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active[0];
}

Rect DesktopView::WorkArea() {
    std::vector<unsigned long> area = Longs(display_, DefaultRootWindow(display_), "_NET_WORKAREA");
    std::vector<unsigned long> desktop =
        Longs(display_, DefaultRootWindow(display_), "_NET_CURRENT_DESKTOP");
    const size_t at = 4 * (desktop.empty() ? 0 : desktop[0]);
    if (area.size() < at + 4) {
        Screen* screen = DefaultScreenOfDisplay(display_);
        return {0, 0, WidthOfScreen(screen), HeightOfScreen(screen)};
    }
    return {static_cast<int>(area[at]), static_cast<int>(area[at + 1]),
            static_cast<int>(area[at + 2]), static_cast<int>(area[at + 3])};
}

std::optional<ClientWindow> DesktopView::Find(unsigned long id) {
    for (const ClientWindow& window : Stacking())
        if (window.id == id) return window;
    return std::nullopt;
}

void DesktopView::Key(const std::string& chord) {
    std::vector<KeyCode> held;
    size_t start = 0;
    while (true) {
        const size_t plus = chord.find('+', start);
        std::string name = chord.substr(start, plus == std::string::npos ? plus : plus - start);
        if (name == "alt") name = "Alt_L";
        if (name == "ctrl") name = "Control_L";
        if (name == "shift") name = "Shift_L";
        const KeySym symbol = XStringToKeysym(name.c_str());
        const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
        if (code != 0) {
            XTestFakeKeyEvent(display_, code, True, CurrentTime);
            held.push_back(code);
        }
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    XSync(display_, False);
}

void DesktopView::Type(const std::string& text) {
    for (char c : text) {
        std::string name(1, static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        if (c == ' ') name = "space";
        if (c == '/') name = "slash";
        if (c == '.') name = "period";
        if (c == '-') name = "minus";
        Key(std::isupper(static_cast<unsigned char>(c)) ? "shift+" + name : name);
    }
}

void DesktopView::CloseByTitleBar(unsigned long id) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = AtomOf(display_, "_NET_CLOSE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // asked for by the person at the desk
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display_, False);
}

}  // namespace vantor::testing
