// Events the container asked the control to hold back (IOleControl::FreezeEvents): while the
// freeze count is above zero an event is not delivered but kept, with copies of its arguments,
// and the kept events are delivered in the order they were fired once the count is back to 0.
//
// By-reference arguments of a kept event (Cancel, KeyAscii, Status...) are answers the control
// needed when it fired the event; it did not wait and went on with the values it passed (as if
// no handler had changed them). The late handler still receives them by reference, pointing at
// the kept copies, so that a handler written for the live event runs unchanged, but what it
// writes there has no effect on the control.
#pragma once

#include <oaidl.h>

#include <deque>
#include <memory>
#include <vector>

namespace zelmor::com {

class ConnectionPoint;

// One kept event: its dispatch ID and its own copies of the arguments.
class HeldEvent {
  public:
    // Copies params (last argument first, as a dispatch call passes them); by-reference
    // arguments are copied by value and passed by reference to the copy again on delivery.
    HeldEvent(DISPID dispid, const DISPPARAMS& params);
    ~HeldEvent();
    HeldEvent(const HeldEvent&) = delete;
    HeldEvent& operator=(const HeldEvent&) = delete;

    DISPID Dispid() const { return dispid_; }
    // The arguments for the dispatch call; valid while the event lives.
    DISPPARAMS* Params();

  private:
    DISPID dispid_;
    std::vector<VARIANT> values_;     // the copies, in the order of params
    std::vector<VARTYPE> byRef_;      // the argument's reference type, or 0 when by value
    std::vector<VARIANT> arguments_;  // what the call receives
    DISPPARAMS params_{};
};

// The freeze count and the events kept meanwhile.
class EventGate {
  public:
    // Counts a freeze (true) or a thaw (false); a thaw without a freeze changes nothing.
    void Freeze(bool freeze);
    int FreezeCount() const { return freezeCount_; }
    size_t HeldCount() const { return held_.size(); }

    // Fires the event now, or keeps it while the events are frozen or while earlier kept events
    // are still being delivered (so that the order stays the order of firing).
    void Fire(const ConnectionPoint& point, DISPID dispid, DISPPARAMS* params);

    // Delivers the kept events while the count is 0. A handler may freeze again (the rest stay
    // kept until the next thaw) or thaw (the delivery already under way goes on); only the
    // outermost call delivers.
    void DeliverHeld(const ConnectionPoint& point);

    // Drops the kept events and their arguments (when the control closes).
    void Discard();

  private:
    int freezeCount_ = 0;
    bool delivering_ = false;
    std::deque<std::unique_ptr<HeldEvent>> held_;
};

}  // namespace zelmor::com
