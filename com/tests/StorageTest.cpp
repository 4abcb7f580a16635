// Saving and loading through a structured storage (IPersistStorage): the same properties as a
// stream save, and the states of the protocol the container drives.
#include <gtest/gtest.h>
#include <olectl.h>

#include <vector>

#include "HostedControl.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

ComPtr<IStorage> MemoryStorage() {
    ComPtr<ILockBytes> bytes;
    EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()), S_OK);
    ComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfileOnILockBytes(
                  bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                  storage.Put()),
              S_OK);
    return storage;
}

std::vector<char> AllBytes(IStream* stream) {
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    std::vector<char> bytes;
    char buffer[256];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0) {
        bytes.insert(bytes.end(), buffer, buffer + read);
    }
    return bytes;
}

IPersistStorage* Storage(ComInstance<TestControl>* control) {
    return static_cast<IPersistStorage*>(control);
}

void SetSample(ComInstance<TestControl>* control) {
    Bstr caption(L"得意先 &Save");
    EXPECT_EQ(control->put_Caption(caption.Get()), S_OK);
    EXPECT_EQ(control->put_Number(-42), S_OK);
    EXPECT_EQ(control->put_Flag(VARIANT_TRUE), S_OK);
    SIZEL extent{3333, 1111};
    control->SetExtent(DVASPECT_CONTENT, &extent);
}

}  // namespace

TEST(Storage, SavedPropertiesLoadBackEitherWay) {
    HostedControl saved;
    ComPtr<IStorage> storage = MemoryStorage();
    ASSERT_EQ(Storage(saved.control.Get())->InitNew(storage.Get()), S_OK);
    SetSample(saved.control.Get());
    ASSERT_EQ(Storage(saved.control.Get())->Save(storage.Get(), TRUE), S_OK);
    ASSERT_EQ(Storage(saved.control.Get())->SaveCompleted(nullptr), S_OK);

    CLSID written{};
    EXPECT_EQ(ReadClassStg(storage.Get(), &written), S_OK);
    EXPECT_EQ(written, CLSID_ZelmorTestControl);

    // The stream inside holds what a stream save writes, byte for byte.
    ComPtr<IStream> contents;
    ASSERT_EQ(storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                  contents.Put()),
              S_OK);
    ComPtr<IStream> plain;
    CreateStreamOnHGlobal(nullptr, TRUE, plain.Put());
    ASSERT_EQ(saved.control->Save(plain.Get(), FALSE), S_OK);
    EXPECT_EQ(AllBytes(contents.Get()), AllBytes(plain.Get()));

    // Loaded from the storage, and from the plain stream: the same control.
    for (bool fromStorage : {true, false}) {
        SCOPED_TRACE(fromStorage ? "storage" : "stream");
        HostedControl loaded;
        if (fromStorage) {
            contents = nullptr;  // the stream is opened exclusively
            ASSERT_EQ(Storage(loaded.control.Get())->Load(storage.Get()), S_OK);
        } else {
            LARGE_INTEGER zero{};
            plain->Seek(zero, STREAM_SEEK_SET, nullptr);
            ASSERT_EQ(loaded.control->Load(plain.Get()), S_OK);
        }
        Bstr caption;
        loaded.control->get_Caption(caption.Put());
        EXPECT_EQ(caption.Text(), L"得意先 &Save");
        long number = 0;
        loaded.control->get_Number(&number);
        EXPECT_EQ(number, -42);
        VARIANT_BOOL flag = VARIANT_FALSE;
        loaded.control->get_Flag(&flag);
        EXPECT_EQ(flag, VARIANT_TRUE);
        SIZEL extent{};
        loaded.control->GetExtent(DVASPECT_CONTENT, &extent);
        EXPECT_EQ(extent.cx, 3333);
        EXPECT_EQ(extent.cy, 1111);
        EXPECT_EQ(Storage(loaded.control.Get())->IsDirty(), S_FALSE);
        EXPECT_EQ(loaded.control->propertiesLoaded, 1);
    }
}

TEST(Storage, AStorageWithoutTheContentsStreamFailsAndLeavesTheControlUninitialised) {
    HostedControl host;
    ComPtr<IStorage> empty = MemoryStorage();
    EXPECT_EQ(Storage(host.control.Get())->Load(empty.Get()), STG_E_FILENOTFOUND);
    EXPECT_EQ(host.control->propertiesLoaded, 0);
    // Still uninitialised: a storage may be given now.
    EXPECT_EQ(Storage(host.control.Get())->InitNew(empty.Get()), S_OK);
}

// The protocol, driven as containers do: each step and its answer.
TEST(Storage, TheProtocolStatesRefuseCallsOutOfTurn) {
    enum Call { InitNew, Load, SaveSame, SaveOther, SaveCompletedNone, SaveCompletedNew, HandsOff };
    struct Step {
        Call call;
        HRESULT expected;
    };
    struct Scenario {
        const char* name;
        std::vector<Step> steps;
    };
    const Scenario scenarios[] = {
        {"initialised once", {{InitNew, S_OK}, {InitNew, CO_E_ALREADYINITIALIZED},
                              {Load, CO_E_ALREADYINITIALIZED}}},
        {"completion only after a save", {{InitNew, S_OK}, {SaveCompletedNone, E_UNEXPECTED},
                                          {SaveSame, S_OK}, {SaveCompletedNone, S_OK},
                                          {SaveCompletedNone, E_UNEXPECTED}}},
        {"no scribbling until completed", {{InitNew, S_OK}, {SaveSame, S_OK},
                                           {SaveSame, E_UNEXPECTED}, {SaveOther, E_UNEXPECTED},
                                           {SaveCompletedNone, S_OK}, {SaveOther, S_OK},
                                           {SaveCompletedNew, S_OK}}},
        {"the same storage is the loaded one", {{InitNew, S_OK}, {SaveOther, S_OK},
                                                {SaveCompletedNone, S_OK}}},
        {"hands off after a save needs a storage back",
         {{InitNew, S_OK}, {SaveSame, S_OK}, {HandsOff, S_OK}, {SaveSame, E_UNEXPECTED},
          {SaveCompletedNone, E_INVALIDARG}, {SaveCompletedNew, S_OK}, {SaveSame, S_OK}}},
        {"hands off without a save", {{InitNew, S_OK}, {HandsOff, S_OK}, {HandsOff, E_UNEXPECTED},
                                      {SaveOther, E_UNEXPECTED}, {SaveCompletedNew, S_OK},
                                      {SaveSame, S_OK}}},
        {"hands off before any storage", {{HandsOff, E_UNEXPECTED}, {SaveOther, S_OK},
                                          {SaveCompletedNone, E_UNEXPECTED}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        HostedControl host;
        IPersistStorage* control = Storage(host.control.Get());
        ComPtr<IStorage> own = MemoryStorage();
        ComPtr<IStorage> other = MemoryStorage();
        // Something to load: a saved control in `own`.
        {
            HostedControl writer;
            Storage(writer.control.Get())->Save(own.Get(), FALSE);
        }
        IStorage* current = own.Get();
        for (size_t i = 0; i < scenario.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i));
            const Step& step = scenario.steps[i];
            HRESULT hr = E_FAIL;
            switch (step.call) {
                case InitNew: hr = control->InitNew(current); break;
                case Load: hr = control->Load(current); break;
                case SaveSame: hr = control->Save(current, TRUE); break;
                case SaveOther: hr = control->Save(other.Get(), FALSE); break;
                case SaveCompletedNone: hr = control->SaveCompleted(nullptr); break;
                case SaveCompletedNew:
                    hr = control->SaveCompleted(other.Get());
                    if (hr == S_OK) current = other.Get();
                    break;
                case HandsOff: hr = control->HandsOffStorage(); break;
            }
            EXPECT_EQ(hr, step.expected);
        }
    }
}

TEST(Storage, TheControlIsCleanOnlyOnceTheSaveIsCompleted) {
    HostedControl host;
    IPersistStorage* control = Storage(host.control.Get());
    ComPtr<IStorage> own = MemoryStorage();
    ComPtr<IStorage> copy = MemoryStorage();
    ASSERT_EQ(control->InitNew(own.Get()), S_OK);
    host.control->put_Number(11);
    EXPECT_EQ(control->IsDirty(), S_OK);

    // A copy saved elsewhere does not make the control's own storage current.
    ASSERT_EQ(control->Save(copy.Get(), FALSE), S_OK);
    ASSERT_EQ(control->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(control->IsDirty(), S_OK);

    ASSERT_EQ(control->Save(own.Get(), TRUE), S_OK);
    EXPECT_EQ(control->IsDirty(), S_OK) << "clean only when the container completes the save";
    ASSERT_EQ(control->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(control->IsDirty(), S_FALSE);

    // Saved as into another storage that the container then hands over.
    host.control->put_Number(12);
    ASSERT_EQ(control->Save(copy.Get(), FALSE), S_OK);
    ASSERT_EQ(control->SaveCompleted(copy.Get()), S_OK);
    EXPECT_EQ(control->IsDirty(), S_FALSE);
    EXPECT_EQ(control->Save(own.Get(), TRUE), E_INVALIDARG) << "no longer its storage";
}
