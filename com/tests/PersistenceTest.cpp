// Saving and loading by property map through a property bag and a stream, and what a damaged
// or foreign stream does.
#include <gtest/gtest.h>
#include <olectl.h>

#include "HostedControl.h"
#include "TestPropertyBag.h"
#include "com/StreamVariant.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

struct Values {
    std::wstring caption;
    long number = 0;
    VARIANT_BOOL flag = VARIANT_FALSE;
    std::wstring fontName;
    SIZEL extent{};
};

ComPtr<IFontDisp> MakeFont(const wchar_t* name) {
    FONTDESC description{sizeof(FONTDESC),
                         const_cast<LPOLESTR>(name),
                         {120000, 0},
                         FW_BOLD,
                         DEFAULT_CHARSET,
                         FALSE,
                         FALSE,
                         FALSE};
    ComPtr<IFontDisp> font;
    EXPECT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, font.PutVoid()), S_OK);
    return font;
}

void SetValues(ComInstance<TestControl>* control, const Values& values) {
    Bstr caption(values.caption);
    control->put_Caption(caption.Get());
    control->put_Number(values.number);
    control->put_Flag(values.flag);
    control->put_Font(MakeFont(values.fontName.c_str()).Get());
    SIZEL extent = values.extent;
    control->SetExtent(DVASPECT_CONTENT, &extent);
}

Values ReadValues(ComInstance<TestControl>* control) {
    Values values;
    Bstr caption;
    control->get_Caption(caption.Put());
    values.caption = caption.Text();
    control->get_Number(&values.number);
    control->get_Flag(&values.flag);
    ComPtr<IFontDisp> font;
    control->get_Font(font.Put());
    if (auto details = font.As<IFont>()) {
        Bstr name;
        details->get_Name(name.Put());
        values.fontName = name.Text();
    }
    control->GetExtent(DVASPECT_CONTENT, &values.extent);
    return values;
}

// The font's name is the face the system chose for the name asked for, so a round trip is
// compared with what the saved control reported.
void ExpectSame(const Values& a, const Values& b) {
    EXPECT_FALSE(a.fontName.empty());
    EXPECT_EQ(a.caption, b.caption);
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.flag, b.flag);
    EXPECT_EQ(a.fontName, b.fontName);
    EXPECT_EQ(a.extent.cx, b.extent.cx);
    EXPECT_EQ(a.extent.cy, b.extent.cy);
}

const Values kSample{L"得意先マスタ", -5, VARIANT_TRUE, L"Arial", {3000, 1500}};

ComPtr<IStream> NewStream() {
    ComPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    return stream;
}

void Rewind(IStream* stream) {
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

void WriteBytes(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    stream->Write(data, size, &written);
}

// A stream as the control writes it, with the given header and properties.
ComPtr<IStream> HandWrittenStream(uint32_t version, uint32_t count,
                                  const std::vector<VARIANT>& properties) {
    ComPtr<IStream> stream = NewStream();
    WriteU32(stream.Get(), version);
    WriteU32(stream.Get(), 1000);
    WriteU32(stream.Get(), 500);
    WriteU32(stream.Get(), count);
    for (const VARIANT& value : properties) WriteVariant(stream.Get(), value);
    Rewind(stream.Get());
    return stream;
}

VARIANT Long(long value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

}  // namespace

TEST(Persistence, PropertyBagRoundTripInMapOrder) {
    auto bag = MakeInstance<TestPropertyBag>();
    Values expected;
    {
        HostedControl saved;
        SetValues(saved.control.Get(), kSample);
        expected = ReadValues(saved.control.Get());
        ASSERT_EQ(saved.control->Save(static_cast<IPropertyBag*>(bag.Get()), TRUE, TRUE), S_OK);
        EXPECT_EQ(saved.control->IsDirty(), S_FALSE);
    }
    std::vector<std::wstring> order{L"_cx", L"_cy", L"Caption", L"Number", L"Flag", L"Font"};
    EXPECT_EQ(bag->Names(), order);
    EXPECT_EQ(V_VT(bag->Find(L"_cx")), VT_UI4);

    HostedControl loaded;
    loaded.site->calls.clear();
    ASSERT_EQ(loaded.control->Load(static_cast<IPropertyBag*>(bag.Get()), nullptr), S_OK);
    ExpectSame(ReadValues(loaded.control.Get()), expected);
    EXPECT_EQ(loaded.control->IsDirty(), S_FALSE);
    EXPECT_EQ(loaded.control->propertiesLoaded, 1);
    // Loading is not an edit: the container is neither asked nor told.
    EXPECT_TRUE(loaded.site->CallsStartingWith("RequestEdit").empty());
    EXPECT_TRUE(loaded.site->CallsStartingWith("Changed").empty());
}

TEST(Persistence, PropertyBagMissingOrRefusedValuesKeepTheirDefaults) {
    auto bag = MakeInstance<TestPropertyBag>();
    {
        auto saved = MakeInstance<TestControl>();
        SetValues(saved.Get(), kSample);
        ASSERT_EQ(saved->Save(static_cast<IPropertyBag*>(bag.Get()), FALSE, TRUE), S_OK);
    }
    bag->Remove(L"Caption");
    bag->Remove(L"_cy");
    Variant tooSmall;
    *tooSmall.Get() = Long(TestControl::kSmallestNumber - 1);
    bag->Write(L"Number", tooSmall.Get());

    auto loaded = MakeInstance<TestControl>();
    auto log = MakeInstance<TestErrorLog>();
    ASSERT_EQ(loaded->Load(static_cast<IPropertyBag*>(bag.Get()), log.Get()), S_OK);
    Values values = ReadValues(loaded.Get());
    EXPECT_EQ(values.caption, L"");
    EXPECT_EQ(values.number, 7);
    EXPECT_EQ(values.flag, VARIANT_TRUE);
    EXPECT_EQ(values.extent.cx, 3000);
    EXPECT_EQ(values.extent.cy, 1270);  // the default height
    EXPECT_EQ(log->names, std::vector<std::wstring>{L"Number"});
    EXPECT_EQ(log->errors, std::vector<HRESULT>{CTL_E_INVALIDPROPERTYVALUE});
}

TEST(Persistence, StreamRoundTrip) {
    ComPtr<IStream> stream = NewStream();
    Values expected;
    {
        HostedControl saved;
        SetValues(saved.control.Get(), kSample);
        expected = ReadValues(saved.control.Get());
        ASSERT_EQ(saved.control->Save(stream.Get(), TRUE), S_OK);
        EXPECT_EQ(saved.control->IsDirty(), S_FALSE);
    }
    // Something the container writes after the control must stay where it is.
    uint32_t marker = 0xC0FFEE;
    WriteBytes(stream.Get(), &marker, sizeof marker);
    STATSTG written{};
    stream->Stat(&written, STATFLAG_NONAME);
    Rewind(stream.Get());

    HostedControl loaded;
    loaded.site->calls.clear();
    ASSERT_EQ(loaded.control->Load(stream.Get()), S_OK);
    ExpectSame(ReadValues(loaded.control.Get()), expected);
    EXPECT_EQ(loaded.control->IsDirty(), S_FALSE);
    EXPECT_TRUE(loaded.site->CallsStartingWith("Changed").empty());
    uint32_t after = 0;
    EXPECT_EQ(ReadU32(stream.Get(), &after), S_OK);
    EXPECT_EQ(after, marker);

    // The size the container may reserve is what the control writes.
    ULARGE_INTEGER size{};
    ASSERT_EQ(loaded.control->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart + sizeof marker, written.cbSize.QuadPart);
}

TEST(Persistence, StreamOfAnotherVersionWithMoreOrFewerProperties) {
    Bstr caption(L"kept");
    VARIANT captionValue;
    VariantInit(&captionValue);
    V_VT(&captionValue) = VT_BSTR;
    V_BSTR(&captionValue) = caption.Get();
    VARIANT flag;
    VariantInit(&flag);
    V_VT(&flag) = VT_BOOL;
    V_BOOL(&flag) = VARIANT_TRUE;
    VARIANT noFont;
    VariantInit(&noFont);
    V_VT(&noFont) = VT_DISPATCH;
    V_DISPATCH(&noFont) = nullptr;

    // Fewer: the properties not in the stream keep their defaults.
    auto older = HandWrittenStream(1, 2, {captionValue, Long(99)});
    auto first = MakeInstance<TestControl>();
    ASSERT_EQ(first->Load(older.Get()), S_OK);
    Values values = ReadValues(first.Get());
    EXPECT_EQ(values.caption, L"kept");
    EXPECT_EQ(values.number, 99);
    EXPECT_EQ(values.flag, VARIANT_FALSE);
    EXPECT_EQ(values.extent.cx, 1000);

    // More: those beyond the map are read past.
    auto newer =
        HandWrittenStream(1, 6, {captionValue, Long(1), flag, noFont, Long(5), captionValue});
    auto second = MakeInstance<TestControl>();
    ASSERT_EQ(second->Load(newer.Get()), S_OK);
    EXPECT_EQ(ReadValues(second.Get()).flag, VARIANT_TRUE);
    STATSTG stat{};
    newer->Stat(&stat, STATFLAG_NONAME);
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    newer->Seek(zero, STREAM_SEEK_CUR, &position);
    EXPECT_EQ(position.QuadPart, stat.cbSize.QuadPart);
}

TEST(Persistence, DamagedStreamsFailTheLoad) {
    ComPtr<IStream> complete = NewStream();
    {
        auto saved = MakeInstance<TestControl>();
        SetValues(saved.Get(), kSample);
        ASSERT_EQ(saved->Save(complete.Get(), FALSE), S_OK);
    }
    STATSTG stat{};
    complete->Stat(&stat, STATFLAG_NONAME);
    std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    Rewind(complete.Get());
    ReadExactly(complete.Get(), bytes.data(), static_cast<ULONG>(bytes.size()));

    // Cut at every length from nothing to one byte short: never a crash, always a failure.
    for (size_t length = 0; length < bytes.size(); length += 3) {
        ComPtr<IStream> cut = NewStream();
        WriteBytes(cut.Get(), bytes.data(), static_cast<ULONG>(length));
        Rewind(cut.Get());
        auto control = MakeInstance<TestControl>();
        EXPECT_TRUE(FAILED(control->Load(cut.Get()))) << "cut at " << length;
        EXPECT_EQ(control->propertiesLoaded, 0) << "started up on a stream cut at " << length;
    }

    auto foreign = HandWrittenStream(2, 0, {});
    auto control = MakeInstance<TestControl>();
    EXPECT_EQ(control->Load(foreign.Get()), STG_E_OLDFORMAT);
}

TEST(StreamVariant, StringLongerThanTheStreamIsRefusedBeforeAllocating) {
    ComPtr<IStream> stream = NewStream();
    VARTYPE type = VT_BSTR;
    WriteBytes(stream.Get(), &type, sizeof type);
    WriteU32(stream.Get(), 0x7FFFFFF0);  // claims almost 2 GB
    WriteBytes(stream.Get(), L"ab", 4);
    Rewind(stream.Get());
    Variant value;
    EXPECT_EQ(ReadVariant(stream.Get(), value.Get()), STG_E_READFAULT);
    EXPECT_EQ(V_VT(value.Get()), VT_EMPTY);
}

TEST(StreamVariant, ValuesOfEveryPersistedKindSurvive) {
    ComPtr<IStream> stream = NewStream();
    std::vector<Variant> written(6);
    V_VT(written[0].Get()) = VT_I2;
    V_I2(written[0].Get()) = -2;
    V_VT(written[1].Get()) = VT_R8;
    V_R8(written[1].Get()) = 2.5;
    V_VT(written[2].Get()) = VT_BSTR;
    V_BSTR(written[2].Get()) = SysAllocString(L"");
    V_VT(written[3].Get()) = VT_BSTR;
    V_BSTR(written[3].Get()) = nullptr;
    V_VT(written[4].Get()) = VT_UI1;
    V_UI1(written[4].Get()) = 200;
    V_VT(written[5].Get()) = VT_NULL;
    for (const Variant& value : written) ASSERT_EQ(WriteVariant(stream.Get(), *value.Get()), S_OK);
    Rewind(stream.Get());
    for (const Variant& expected : written) {
        Variant read;
        ASSERT_EQ(ReadVariant(stream.Get(), read.Get()), S_OK);
        EXPECT_EQ(VarCmp(read.Get(), const_cast<VARIANT*>(expected.Get()), LOCALE_USER_DEFAULT, 0),
                  V_VT(expected.Get()) == VT_NULL ? VARCMP_NULL : VARCMP_EQ);
        EXPECT_EQ(V_VT(read.Get()), V_VT(expected.Get()));
    }
    Variant unsupported;
    V_VT(unsupported.Get()) = VT_UNKNOWN | VT_ARRAY;
    EXPECT_EQ(WriteVariant(stream.Get(), *unsupported.Get()), DISP_E_BADVARTYPE);
}
