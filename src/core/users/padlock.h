#pragma once
// The padlock picture of the login and change-password windows: it alternates between two
// closed pictures on every tick of a 250-millisecond timer and shows the open one once the
// login has gone through.

#include <string>

namespace vantor {

class Padlock {
  public:
    static constexpr int kIntervalMilliseconds = 250;

    void Start() {
        picture_ = "locked1";
        running_ = true;
    }
    void Tick() {
        if (running_) picture_ = picture_ == "locked1" ? "locked2" : "locked1";
    }
    void Unlock() {
        running_ = false;
        picture_ = "unlocked";
    }
    const std::string& Picture() const { return picture_; }  // a key of the image list
    bool TimerRunning() const { return running_; }

  private:
    std::string picture_ = "locked1";
    bool running_ = false;
};

}  // namespace vantor
