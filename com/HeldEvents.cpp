#include "com/HeldEvents.h"

#include "com/ConnectionPoint.h"

namespace zelmor::com {

HeldEvent::HeldEvent(DISPID dispid, const DISPPARAMS& params) : dispid_(dispid) {
    values_.resize(params.cArgs);
    byRef_.resize(params.cArgs);
    for (VARIANT& value : values_) VariantInit(&value);
    for (UINT i = 0; i < params.cArgs; ++i) {
        const VARIANT& argument = params.rgvarg[i];
        byRef_[i] = (V_VT(&argument) & VT_BYREF) ? V_VT(&argument) : 0;
        // VariantCopyInd copies what a reference points at; a value it cannot copy is kept
        // empty rather than left pointing at the caller's variable.
        if (FAILED(VariantCopyInd(&values_[i], const_cast<VARIANT*>(&argument)))) {
            VariantInit(&values_[i]);
            byRef_[i] = 0;
        }
    }
    arguments_.resize(params.cArgs);
    for (UINT i = 0; i < params.cArgs; ++i) {
        VARIANT& argument = arguments_[i];
        VARIANT& value = values_[i];
        if (!byRef_[i]) {
            argument = value;  // a shallow view: the copy owns the value
        } else if (byRef_[i] == (VT_VARIANT | VT_BYREF)) {
            V_VT(&argument) = VT_VARIANT | VT_BYREF;
            V_VARIANTREF(&argument) = &value;
        } else {
            // The same reference type as fired, pointing at the value inside the copy.
            V_VT(&argument) = static_cast<VARTYPE>(V_VT(&value) | VT_BYREF);
            V_BYREF(&argument) = V_VT(&value) == VT_DECIMAL ? static_cast<void*>(&value)
                                                            : static_cast<void*>(&V_UI1(&value));
        }
    }
    params_.rgvarg = arguments_.empty() ? nullptr : arguments_.data();
    params_.cArgs = static_cast<UINT>(arguments_.size());
}

HeldEvent::~HeldEvent() {
    for (VARIANT& value : values_) VariantClear(&value);
}

// A handler that replaces a string passed by reference frees the copy's string and leaves its
// own in the copy, which frees it in turn.
DISPPARAMS* HeldEvent::Params() {
    return &params_;
}

void EventGate::Freeze(bool freeze) {
    if (freeze) {
        ++freezeCount_;
    } else if (freezeCount_ > 0) {
        --freezeCount_;
    }
}

void EventGate::Fire(const ConnectionPoint& point, DISPID dispid, DISPPARAMS* params) {
    if (freezeCount_ > 0 || (delivering_ && !held_.empty())) {
        DISPPARAMS none{};
        held_.push_back(std::make_unique<HeldEvent>(dispid, params ? *params : none));
        return;
    }
    FireDispatchEvent(point, dispid, params);
}

void EventGate::DeliverHeld(const ConnectionPoint& point) {
    if (delivering_) return;
    delivering_ = true;
    try {
        while (freezeCount_ == 0 && !held_.empty()) {
            // Taken off the queue before the call: a handler may fire, freeze or thaw.
            std::unique_ptr<HeldEvent> event = std::move(held_.front());
            held_.pop_front();
            FireDispatchEvent(point, event->Dispid(), event->Params());
        }
    } catch (...) {
        delivering_ = false;
        throw;
    }
    delivering_ = false;
}

void EventGate::Discard() {
    std::deque<std::unique_ptr<HeldEvent>> leaving;
    leaving.swap(held_);
}

}  // namespace zelmor::com
