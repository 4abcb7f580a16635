// libFuzzer target: random record bytes, texts, options and field descriptions through every
// conversion of the field codecs. Built and run by scripts/fuzz.sh under AddressSanitizer and
// UndefinedBehaviorSanitizer; a crash, a sanitizer report or a broken invariant stops it.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/RecordingPlatform.h"
#include "values/FieldCodecs.h"
#include "values/GlobalOptions.h"

using namespace zelmor;

namespace {

// Reads the fuzz input front to back; past its end everything is 0.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        count = std::min(count, size_ - position_);
        std::vector<std::uint8_t> bytes(data_ + position_, data_ + position_ + count);
        position_ += count;
        return bytes;
    }
    std::string Text(std::size_t count) {
        std::vector<std::uint8_t> bytes = Bytes(count);
        return std::string(bytes.begin(), bytes.end());
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// The options of one combination of settings, read once and kept.
GlobalOptions& OptionsFor(std::uint8_t choice, std::uint8_t floatSize) {
    struct Loaded {
        platform::RecordingPlatform platform;
        std::unique_ptr<GlobalOptions> options;
    };
    static std::map<int, Loaded> loaded;
    const int signNibbles[] = {15, 12, 13, 0x1F};
    const int key = (choice & 0x1F) << 8 | floatSize;
    Loaded& entry = loaded[key];
    if (!entry.options) {
        std::string settings = "[zelmor320]\n";
        settings += (choice & 1) ? "fill_space=no\n" : "fill_space=yes\n";
        if (choice & 2) settings += "sShortDate=YY/MM/DD\n";
        settings += (choice & 4) ? "year_2000=1\n" : "year_2000=0\n";
        settings += "sign_nibble=" + std::to_string(signNibbles[(choice >> 3) & 3]) + "\n";
        settings += "float_size=" + std::to_string(static_cast<int>(floatSize % 24) - 2) + "\n";
        entry.platform.SetProfile("zelmor.ini", settings);
        entry.options = std::make_unique<GlobalOptions>(entry.platform);
    }
    return *entry.options;
}

platform::RecordingPlatform& Messages() {
    static platform::RecordingPlatform recording;
    static platform::ScopedPlatform installed(recording);
    return recording;
}

FieldDef FuzzField(Input& input) {
    FieldDef field;
    std::uint8_t type = input.Byte();
    field.dataType = type < 240 ? type % 28 : type;  // mostly the known codes
    std::uint16_t size = input.Word();
    field.size = size < 0xF000 ? size % 300 : static_cast<std::int16_t>(size);
    field.decimals = static_cast<std::int8_t>(input.Byte());
    field.flags = input.Byte() & 1 ? kFieldNullable : 0;
    return field;
}

// Every conversion of one field on an exact-size heap buffer, so that any access past it is a
// sanitizer report.
void Conversions(Input& input) {
    FieldDef field = FuzzField(input);
    std::size_t offset = input.Byte();
    std::vector<std::uint8_t> record = input.Bytes(input.Word() % 600);
    std::string text = input.Text(input.Byte());

    std::string read = FieldToText(field, record.data(), record.size(), offset);
    Require(read.find('\0') == std::string::npos, "text holds a zero byte");
    std::size_t stored = StoredFieldSize(field, record.data(), record.size(), offset);
    if (field.dataType == kNote || field.dataType == kLVar) {
        Require(offset >= record.size() ? stored == 0 : stored <= record.size() - offset,
                "Note size past the buffer");
    }
    FilterNumericText(text);
    TextToField(field, record.data(), record.size(), offset, text);
    FieldToText(field, record.data(), record.size(), offset);
    TextToField(field, record.data(), record.size(), offset, read);
    ClearFieldValue(field, record.data(), record.size(), offset);
    FieldToText(field, record.data(), record.size(), offset);
}

// A Blob placement in a record buffer of random fields and bytes.
void BlobPlacement(Input& input) {
    std::vector<FieldDef> fields(input.Byte() % 8);
    for (FieldDef& field : fields) {
        field = FuzzField(input);
        if (input.Byte() & 1) field.dataType = kBlob;
    }
    FieldDef blob = fields.empty() ? FieldDef{} : fields[input.Byte() % fields.size()];
    std::vector<std::uint8_t> buffer = input.Bytes(input.Word() % 400);
    std::size_t descriptorOffset = input.Byte();
    std::size_t endOfData = input.Word() % 512;
    std::string text = input.Text(input.Word() % 300);
    BlobRecord table{buffer, fields, input.Byte() & 1 ? std::size_t{512} : kMaxBlobRecordSize};

    const std::vector<std::uint8_t> before = buffer;
    int length = PlaceBlobText(table, text, blob, descriptorOffset, endOfData);
    if (length < 0) {
        Require(buffer == before, "a failed placement changed the buffer");
        return;
    }
    const std::string placed = text.substr(0, text.find('\0'));
    Require(static_cast<std::size_t>(length) == placed.size(), "placed length");
    if (!placed.empty()) {
        Require(FieldToText(blob, buffer.data(), buffer.size(), descriptorOffset) == placed,
                "placed text reads back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    std::uint8_t choice = input.Byte();
    ScopedOptions options(OptionsFor(choice, input.Byte()));
    Messages().Clear();
    if (choice & 0x80) {
        BlobPlacement(input);
    } else {
        Conversions(input);
    }
    return 0;
}
