/* A C program that uses only zelmor.h and the shared library: the calls a program makes before
 * it has attached to a data control, and the ones that need no data control. Exits non-zero on
 * the first unexpected result. */
#include <stdio.h>
#include <string.h>

#include "datacontrol/zelmor.h"

static int failures = 0;

static void expect(const char* what, long got, long wanted) {
    if (got != wanted) {
        fprintf(stderr, "%s: %ld, expected %ld\n", what, got, wanted);
        ++failures;
    }
}

int main(void) {
    int32_t count = 0;
    int16_t percentage = 0;
    uint8_t version[5] = {0};
    char* name;

    expect("DbGetNumOfTable", DbGetNumOfTable(), -12);
    expect("DbOpen", DbOpen(0), -12);
    expect("DbAccess", DbAccess(12, 0, -1), -12);
    expect("DbGetNumOfRecords", DbGetNumOfRecords(0, &count), -12);
    expect("DbFindPercentage", DbFindPercentage(0, -1, 0, &percentage), -12);
    expect("DbAttachControl", DbAttachControl("Data1", "Form1"), -11);
    expect("DbAttachControlByHwnd", DbAttachControlByHwnd("Data1", 1), -11);
    expect("DbSetFormattedString", DbSetFormattedString("line"), 0);
    expect("DbExSetFormattedString", DbExSetFormattedString("line"), 0);
    expect("DbExFree", DbExFree(3), -1);
    expect("DbExGetPosition", DbExGetPosition(3, 0), -1);
    expect("DbGetVersion", DbGetVersion(version), 0);
    expect("DbBeginTransaction", DbBeginTransaction(150), -10);
    name = DbGetTableName(0);
    expect("DbGetTableName is an empty text", name != NULL && strlen(name) == 0, 1);
    ZelFreeString(name);
    name = DbExGetFieldData(3, 0, 0);
    expect("DbExGetFieldData of a free result set", name != NULL && strlen(name) == 0, 1);
    ZelFreeString(name);
    return failures == 0 ? 0 : 1;
}
