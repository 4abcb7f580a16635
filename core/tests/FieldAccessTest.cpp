#include <gtest/gtest.h>

#include "core/BoundOperations.h"
#include "core/LittleEndian.h"
#include "core/tests/OpenSampleTables.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {
using FieldAccessTest = OpenSampleTables;
}

TEST_F(FieldAccessTest, ByNameAndById) {
    TableDef& customer = Customer();
    ASSERT_EQ(DbSetFieldData(customer, "Name", "Dora"), 0);
    EXPECT_EQ(DbGetFieldData(customer, "Name"), "Dora");
    EXPECT_EQ(DbGetFieldDataByID(customer, 1), "Dora");
    ASSERT_EQ(DbSetFieldDataByID(customer, 0, "77"), 0);
    EXPECT_EQ(DbGetFieldData(customer, "Code"), "77");
    EXPECT_EQ(DbSetFieldData(customer, "Missing", "x"), rc::kNoSuchField);
    EXPECT_EQ(DbSetFieldDataByID(customer, 5, "x"), rc::kNoSuchField);
    EXPECT_EQ(DbSetFieldDataByID(customer, -1, "x"), rc::kNoSuchField);
    EXPECT_EQ(DbGetFieldData(customer, "Missing"), "");
    EXPECT_EQ(DbGetFieldDataByID(customer, 99), "");
    EXPECT_EQ(DbGetDataType(customer, "Joined"), kDate);
    EXPECT_EQ(DbGetDataSize(customer, "Name"), 30);
    EXPECT_EQ(DbGetDataType(customer, "Missing"), rc::kNoSuchField);
    EXPECT_EQ(DbGetDataSize(customer, "Missing"), rc::kNoSuchField);
}

TEST_F(FieldAccessTest, ClosedTableHasNoRecordBuffer) {
    TableDef& orders = Table(kOrders);
    ASSERT_EQ(CloseTable(orders), 0);
    EXPECT_EQ(DbGetFieldData(orders, "No"), "");
    EXPECT_EQ(DbSetFieldData(orders, "No", "1"), rc::kNotOpen);
    EXPECT_EQ(DbClearFieldBuffer(orders), rc::kNotOpen);
    EXPECT_FALSE(DbIsNull(orders, "No"));
    std::uint8_t image[4] = {9, 9, 9, 9};
    EXPECT_EQ(DbGetRecordImage(orders, image, 4), 0u);
    EXPECT_EQ(image[0], 9);
}

TEST_F(FieldAccessTest, NullIndicatorPrecedesANullableValue) {
    TableDef& customer = Customer();
    DbClearFieldBuffer(customer);
    EXPECT_FALSE(DbIsNull(customer, "Note"));
    customer.record[40] = 1;
    EXPECT_TRUE(DbIsNull(customer, "Note"));
    EXPECT_FALSE(DbIsNull(customer, "Code"));  // not nullable
    // Setting walks over the null byte: Note's value lands after it.
    ASSERT_EQ(DbSetFieldData(customer, "Note", "hi"), 0);
    EXPECT_EQ(customer.record[40], 1);
    EXPECT_EQ(customer.record[41], 'h');
    EXPECT_EQ(WalkedValueOffset(customer, 4), 41u);
}

TEST_F(FieldAccessTest, ClearGivesEveryFieldItsEmptyValue) {
    TableDef& customer = Customer();
    std::fill(customer.record.begin(), customer.record.end(), 0x55);
    ASSERT_EQ(DbClearFieldBuffer(customer), 0);
    EXPECT_EQ(DbGetFieldData(customer, "Code"), "0");
    EXPECT_EQ(std::string(customer.record.begin() + 4, customer.record.begin() + 34),
              std::string(30, ' '));
    EXPECT_EQ(DbGetFieldData(customer, "Name"), "");
    EXPECT_EQ(customer.record[40], 0);  // null byte zeroed
}

TEST_F(FieldAccessTest, RecordTextsBetweenBounds) {
    TableDef& customer = Customer();
    ASSERT_EQ(DbSetRecord(customer, 0, {"5", "Eve", "C"}), 0);
    std::vector<std::string> texts;
    ASSERT_EQ(DbGetRecord(customer, 1, 2, texts), 0);
    EXPECT_EQ(texts, (std::vector<std::string>{"Eve", "C"}));
    // Elements past the last field: read as empty texts, ignored when written.
    ASSERT_EQ(DbGetRecord(customer, 3, 6, texts), 0);
    EXPECT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[3], "");
    EXPECT_EQ(DbSetRecord(customer, 4, {"note", "beyond", "more"}), 0);
    EXPECT_EQ(DbGetFieldData(customer, "Note"), "note");
    EXPECT_EQ(DbGetRecord(customer, 5, 6, texts), -19);
    EXPECT_EQ(DbSetRecord(customer, 9, {"x"}), -19);
}

TEST_F(FieldAccessTest, RecordImagesStayInsideTheBuffer) {
    TableDef& orders = Table(kOrders);
    std::vector<std::uint8_t> image(100, 0xAB);
    EXPECT_EQ(DbSetRecordImage(orders, image.data(), image.size()), orders.record.size());
    EXPECT_EQ(orders.record[0], 0xAB);
    std::vector<std::uint8_t> back(100, 0);
    EXPECT_EQ(DbGetRecordImage(orders, back.data(), back.size()), 11u);
    EXPECT_EQ(back[10], 0xAB);
    EXPECT_EQ(back[11], 0);
}

TEST_F(FieldAccessTest, NoteValuesTravelInTheVariablePart) {
    TableDef& memo = Table(kMemo);
    DbClearFieldBuffer(memo);
    DbSetFieldData(memo, "Id", "1");
    DbSetFieldData(memo, "Title", "first");
    DbSetFieldData(memo, "Body", "a body of forty bytes, give or take some");
    ASSERT_EQ(DbAccessByID(memo, 2, 0), 0);
    DbClearFieldBuffer(memo);
    ASSERT_EQ(DbAccessByID(memo, 12, 0), 0);
    EXPECT_EQ(DbGetFieldData(memo, "Title"), "first");
    EXPECT_EQ(DbGetFieldData(memo, "Body"), "a body of forty bytes, give or take some");
}

// A record image may carry any Blob descriptor: a length beyond the buffer is never passed on
// as the data length, so the record manager never reads past the buffer.
TEST_F(FieldAccessTest, BlobDescriptorsClaimingMoreThanTheBufferAreNotBelieved) {
    TableDef& pictures = Table(kPictures);
    DbClearFieldBuffer(pictures);
    const FieldDef* image = pictures.FieldByName("Image");
    ASSERT_NE(image, nullptr);
    StoreU32(pictures.record, static_cast<std::size_t>(image->offset), 0x7FFFFFF0u);
    EXPECT_EQ(DataLengthFor(pictures, 2), pictures.record.size());
}

TEST_F(FieldAccessTest, BlobValuesRoundTripThroughAShortBufferAndAReRead) {
    TableDef& pictures = Table(kPictures);
    DbClearFieldBuffer(pictures);
    DbSetFieldData(pictures, "Id", "7");
    DbSetFieldData(pictures, "Caption", "cat");
    std::string image(500, 'i');
    std::string thumb(40, 't');
    ASSERT_EQ(DbSetFieldData(pictures, "Image", image), 0);
    ASSERT_EQ(DbSetFieldData(pictures, "Thumb", thumb), 0);
    EXPECT_EQ(DataLengthFor(pictures, 2), 28u + 500 + 40);
    ASSERT_EQ(DbAccessByID(pictures, 2, 0), 0);

    // A freshly opened table's buffer holds only the fixed part: the read says 22, and the
    // record is read again by its position into a buffer large enough.
    ASSERT_EQ(CloseTable(pictures), 0);
    ASSERT_EQ(OpenTable(*context, pictures, "", kOpenNormal), 0);
    ASSERT_TRUE(pictures.variableLength);
    EXPECT_EQ(DbAccessByID(pictures, 12, 0), 22);
    EXPECT_EQ(DbGetFieldData(pictures, "Caption"), "cat");
    ASSERT_EQ(ReadWholeRecord(pictures, 12, 0, 0), 0);
    EXPECT_EQ(DbGetFieldData(pictures, "Image"), image);
    EXPECT_EQ(DbGetFieldData(pictures, "Thumb"), thumb);

    // Shrinking one Blob keeps the other.
    ASSERT_EQ(DbSetFieldData(pictures, "Image", "small"), 0);
    ASSERT_EQ(DbAccessByID(pictures, 3, 0), 0);
    ASSERT_EQ(ReadWholeRecord(pictures, 12, 0, 0), 0);
    EXPECT_EQ(DbGetFieldData(pictures, "Image"), "small");
    EXPECT_EQ(DbGetFieldData(pictures, "Thumb"), thumb);
}

// The end of the Blob data follows from the descriptors, never from how large the buffer once
// grew: a value placed after a clear, or into a small record read after a large one, is sent.
TEST_F(FieldAccessTest, BlobPlacedAfterALargerRecordIsStoredWhole) {
    TableDef& pictures = Table(kPictures);
    auto insert = [&](const std::string& id, const std::string& image) {
        ASSERT_EQ(DbClearFieldBuffer(pictures), 0);
        ASSERT_EQ(DbSetFieldData(pictures, "Id", id), 0);
        ASSERT_EQ(DbSetFieldData(pictures, "Image", image), 0);
        ASSERT_EQ(DbAccessByID(pictures, 2, 0), 0);
    };
    // Each read starts from a freshly opened table, so that no byte of an earlier read is left
    // in the buffer to stand in for what the file holds.
    auto read = [&](const std::string& id) {
        EXPECT_EQ(CloseTable(pictures), 0);
        EXPECT_EQ(OpenTable(*context, pictures, "", kOpenNormal), 0);
        DbClearFieldBuffer(pictures);
        DbSetFieldData(pictures, "Id", id);
        EXPECT_EQ(ReadWholeRecord(pictures, 5, 0, 0), 0);
        return DbGetFieldData(pictures, "Image");
    };
    insert("1", std::string(1000, 'L'));
    insert("2", "small");
    EXPECT_EQ(read("2"), "small");
    insert("3", "");

    // Read the large record, then a small one, and give the small one's values new lengths.
    auto readAfterLarge = [&](const std::string& id) {
        EXPECT_EQ(read("1"), std::string(1000, 'L'));
        DbClearFieldBuffer(pictures);
        DbSetFieldData(pictures, "Id", id);
        EXPECT_EQ(ReadWholeRecord(pictures, 5, 0, 0), 0);
    };
    struct Case {
        const char* id;
        const char* image;
        const char* thumb;
    } cases[] = {{"3", "grown", "th"}, {"2", "", "t2"}};
    for (const Case& c : cases) {
        readAfterLarge(c.id);
        ASSERT_EQ(DbSetFieldData(pictures, "Image", c.image), 0);
        ASSERT_EQ(DbSetFieldData(pictures, "Thumb", c.thumb), 0);
        ASSERT_EQ(DbAccessByID(pictures, 3, 0), 0);
        EXPECT_EQ(read(c.id), c.image);
        EXPECT_EQ(DbGetFieldData(pictures, "Thumb"), c.thumb);
    }
}

// Clearing and refilling the buffer record after record does not let it grow without end.
TEST_F(FieldAccessTest, RepeatedInsertsKeepTheBufferToTheRecord) {
    TableDef& pictures = Table(kPictures);
    for (int id = 1; id <= 50; ++id) {
        ASSERT_EQ(DbClearFieldBuffer(pictures), 0);
        ASSERT_EQ(DbSetFieldData(pictures, "Id", std::to_string(id)), 0);
        ASSERT_EQ(DbSetFieldData(pictures, "Image", std::string(200, 'x')), 0);
        ASSERT_EQ(DbAccessByID(pictures, 2, 0), 0);
    }
    EXPECT_LE(pictures.record.size(), 28u + 200 + 1);
}

// A descriptor set through a record image that points into the fixed part is refused: placing
// a value there would overwrite other fields.
TEST_F(FieldAccessTest, BlobDescriptorPointingIntoTheFixedPartIsRefused) {
    TableDef& pictures = Table(kPictures);
    ASSERT_EQ(DbClearFieldBuffer(pictures), 0);
    ASSERT_EQ(DbSetFieldData(pictures, "Thumb", "keep"), 0);
    const std::size_t image = static_cast<std::size_t>(pictures.FieldByName("Image")->offset);
    const std::size_t thumb = static_cast<std::size_t>(pictures.FieldByName("Thumb")->offset);
    StoreU32(pictures.record, image, 4);              // length 4
    StoreU32(pictures.record, image + 4, thumb + 4);  // over the Thumb descriptor's offset
    EXPECT_EQ(DbSetFieldData(pictures, "Image", "over"), rc::kBadLength);
    EXPECT_EQ(DbGetFieldData(pictures, "Thumb"), "keep");
}
