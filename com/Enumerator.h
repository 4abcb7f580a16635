// An enumerator over a snapshot of items (connection points, connections): Next, Skip, Reset
// and Clone as the enumeration interfaces define them. Clones share the snapshot and keep their
// own position. The snapshot holds a reference to every item; Next hands out new references.
#pragma once

#include <memory>
#include <vector>

#include "com/ObjectRoot.h"

namespace zelmor::com {

// Item policies: how an item's references are taken and dropped.
struct InterfaceItem {
    template <typename I>
    static void AddRef(I* item) {
        if (item) item->AddRef();
    }
    template <typename I>
    static void Release(I* item) {
        if (item) item->Release();
    }
};

struct ConnectDataItem {
    static void AddRef(CONNECTDATA& item) {
        if (item.pUnk) item.pUnk->AddRef();
    }
    static void Release(CONNECTDATA& item) {
        if (item.pUnk) item.pUnk->Release();
    }
};

template <typename EnumInterface, typename Item, typename Policy>
class Enumerator : public ObjectRoot, public EnumInterface {
    struct Snapshot;

  public:
    // Takes a reference to each item.
    explicit Enumerator(std::vector<Item> items)
        : snapshot_(std::make_shared<Snapshot>(std::move(items))) {}

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG given = 0;
        while (given < count && position_ < snapshot_->items.size()) {
            out[given] = snapshot_->items[position_++];
            Policy::AddRef(out[given]);
            ++given;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }

    STDMETHODIMP Skip(ULONG count) override {
        size_t left = snapshot_->items.size() - position_;
        if (count > left) {
            position_ = snapshot_->items.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }

    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }

    STDMETHODIMP Clone(EnumInterface** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto clone = MakeInstance<Enumerator>(snapshot_, position_);
        if (!clone) return E_OUTOFMEMORY;
        *out = static_cast<EnumInterface*>(clone.Detach());
        return S_OK;
    }

  protected:
    // A clone: the same snapshot at the same position.
    Enumerator(std::shared_ptr<Snapshot> snapshot, size_t position)
        : snapshot_(std::move(snapshot)), position_(position) {}

    void* FindInterface(REFIID iid) override {
        if (iid == IID_IUnknown || iid == __uuidof(EnumInterface)) {
            return static_cast<EnumInterface*>(this);
        }
        return nullptr;
    }

  private:
    struct Snapshot {
        explicit Snapshot(std::vector<Item> taken) : items(std::move(taken)) {
            for (Item& item : items) Policy::AddRef(item);
        }
        ~Snapshot() {
            for (Item& item : items) Policy::Release(item);
        }
        std::vector<Item> items;
    };

    std::shared_ptr<Snapshot> snapshot_;
    size_t position_ = 0;
};

}  // namespace zelmor::com
