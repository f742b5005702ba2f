#include "headless/password_entry.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace vantor {

namespace {

// Turns the terminal's echo off for as long as it lives.
class EchoOff {
  public:
    EchoOff() {
        if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    termios saved_{};
    bool active_ = false;
};

bool ReadLine(std::string& line) {
    if (!std::getline(std::cin, line)) return false;
    // A file written on Windows ends its lines with a carriage return.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool Ask(const char* prompt, std::string& line) {
    std::cerr << prompt << std::flush;
    bool read = false;
    {
        EchoOff echoOff;
        read = ReadLine(line);
    }
    // The Enter that ended the line was not echoed either.
    std::cerr << "\n" << std::flush;
    return read;
}

}  // namespace

std::optional<NewPasswordEntry> ReadNewPassword(std::string& why) {
    NewPasswordEntry entry;
    if (isatty(STDIN_FILENO)) {
        if (!Ask("New password: ", entry.password) ||
            !Ask("Type the new password again: ", entry.repetition)) {
            why = "No password was typed";
            return std::nullopt;
        }
        return entry;
    }
    if (!ReadLine(entry.password)) {
        why =
            "No password on standard input: give the password on its first line and its "
            "repetition on the second";
        return std::nullopt;
    }
    if (!ReadLine(entry.repetition)) {
        why = "The password was not repeated on the second line of standard input";
        return std::nullopt;
    }
    return entry;
}

}  // namespace vantor
