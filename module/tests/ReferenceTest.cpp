// The control reference in docs/ is what zelref writes from the type library today: a member
// added, renamed or given another type or dispatch identifier without writing the reference
// again fails here.
#include <gtest/gtest.h>
#include <ole2.h>

#include <fstream>
#include <sstream>

#include "LibraryFile.h"
#include "com/ComPtr.h"
#include "module/ClassTable.h"
#include "module/reference/ReferenceWriter.h"

using namespace zelmor;
using namespace zelmor::module;

TEST(Reference, DocumentIsWrittenFromTheTypeLibraryOfToday) {
    com::ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(module::testing::LibraryPath().c_str(), REGKIND_NONE, library.Put()), S_OK);
    std::string written = WriteReference(library.Get(), ClassTable());
    std::ifstream file(ZELMOR_REFERENCE_FILE, std::ios::binary);
    std::stringstream stored;
    stored << file.rdbuf();
    EXPECT_TRUE(written == stored.str())
        << ZELMOR_REFERENCE_FILE << " is out of date: run scripts/make-reference.sh";
    // Every control class and its members are there, not only a heading.
    for (const ClassEntry& entry : ClassTable()) {
        if (entry.kind != ClassKind::Control) continue;
        std::wstring heading = std::wstring(L"\n## ") + entry.className + L"\n";
        EXPECT_NE(written.find(std::string(heading.begin(), heading.end())), std::string::npos)
            << entry.className;
    }
    EXPECT_NE(written.find("| DbOpen | [in] BSTR TableName, [out] short* pRc | 6 |"),
              std::string::npos);
}
