// The picture box's transfer: which file a field value names, which loader it asks for, and
// what it reports, with a fake view recording the loads.
#include <gtest/gtest.h>

#include <fstream>

#include "binding/tests/FakeControls.h"
#include "controls/PictureLogic.h"
#include "controls/tests/FakeControlHost.h"
#include "core/DictionaryLoader.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = kTestForm;

class FakePicture : public PictureView {
  public:
    void LoadPicture(ImageKind kind, const std::string& path) override {
        loads.push_back({kind, path});
    }
    void ClearPicture() override { ++clears; }
    std::vector<std::pair<ImageKind, std::string>> loads;
    int clears = 0;
};

class PictureLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
        source.context = context.get();
        registry.RegisterDataSource(source);
        picture.dbSource = u"Data1";
        picture.dbTable = u"Customer";
        picture.dbField = u"Name";  // a String field
        for (const char* name : {"pen.bmp", "map.wmf", "a.ico", "b.jpg"}) {
            std::ofstream(directory.Path() + "/" + name) << "x";
        }
    }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    std::unique_ptr<FormContext> context;
    BindingRegistry registry{[](WindowHandle) -> WindowHandle { return 0; }};
    FakeDataSource source{u"Data1", kForm, "Form1"};
    FakeControlHost host{u"Picture1"};
    FakePicture view;
    PictureLogic picture{host, registry, view};
};

}  // namespace

TEST_F(PictureLogicTest, LoadsTheNamedFileByItsEnding) {
    picture.blobPath = directory.Path();
    picture.SetFieldText("pen.bmp");
    picture.SetFieldText("map.wmf");
    picture.SetFieldText("a.ico");
    picture.SetFieldText("b.jpg");  // exists, but no loader takes it
    const std::string folder = directory.Path() + "\\";
    EXPECT_EQ(view.loads, (std::vector<std::pair<ImageKind, std::string>>{
                              {ImageKind::Bitmap, folder + "pen.bmp"},
                              {ImageKind::Metafile, folder + "map.wmf"},
                              {ImageKind::Icon, folder + "a.ico"}}));
    EXPECT_TRUE(platform.Messages().empty());

    picture.blobPath.clear();  // the field value is the whole path
    picture.SetFieldText(directory.Path() + "/pen.bmp");
    EXPECT_EQ(view.loads.back().second, directory.Path() + "/pen.bmp");
}

TEST_F(PictureLogicTest, AMissingFileIsReportedAndNothingIsLoaded) {
    picture.blobPath = directory.Path();
    picture.SetFieldText("gone.bmp");
    EXPECT_TRUE(view.loads.empty());
    EXPECT_EQ(view.clears, 0);  // the old picture stays
    EXPECT_EQ(platform.MessagesUtf8(),
              std::vector<std::string>{"VE819 イメージ・ファイル(" + directory.Path() +
                                       "\\gone.bmp)が存在しません。"});
}

TEST_F(PictureLogicTest, AnEmptyValueShowsNoPicture) {
    picture.blobPath = directory.Path();
    picture.SetFieldText("");
    EXPECT_EQ(view.clears, 1);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(PictureLogicTest, OnlyAStringFieldNamesAFile) {
    picture.blobPath = directory.Path();
    picture.dbField = u"Code";  // an Integer
    picture.SetFieldText("pen.bmp");
    EXPECT_TRUE(view.loads.empty());
    EXPECT_EQ(view.clears, 0);
}
