// The application object: what the component asks of the host application
// itself. For now, the delivery of remote-control events. Main-thread only.
#pragma once

namespace platform::ui {

class Application {
public:
    static Application& shared();

    void beginReceivingRemoteControlEvents() {
        receiving_ = true;
        ++beginCount_;
    }
    void endReceivingRemoteControlEvents() { receiving_ = false; }
    bool isReceivingRemoteControlEvents() const { return receiving_; }
    int beginCount() const { return beginCount_; }

private:
    Application() = default;
    bool receiving_ = false;
    int beginCount_ = 0;
};

}  // namespace platform::ui
