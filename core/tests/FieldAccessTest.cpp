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
