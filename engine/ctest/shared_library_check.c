/* A C program that uses only zelrm.h and the shared library: creates a file, inserts records,
 * reads them back by key and physically, and checks the answers. Exit status 0 when all hold. */
#define _DEFAULT_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "engine/zelrm.h"

static int failures = 0;

static void expect(int condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

int main(void) {
    char directory[] = "/tmp/zelrm-c-XXXXXX";
    if (mkdtemp(directory) == NULL) return 2;
    char path[256];
    snprintf(path, sizeof path, "%s/c.btr", directory);

    /* Record: 4-byte integer key, 12 bytes of text. */
    unsigned char spec[32] = {0};
    spec[0] = 16;             /* record length */
    spec[3] = 4096 >> 8;      /* page size */
    spec[4] = 1;              /* keys */
    spec[16] = 1;             /* key position */
    spec[18] = 4;             /* key length */
    spec[20] = ZELRM_KEY_EXTENDED_TYPE & 0xFF;
    spec[21] = ZELRM_KEY_EXTENDED_TYPE >> 8;
    spec[26] = ZELRM_TYPE_INTEGER;
    uint32_t length = sizeof spec;
    expect(BTRCALL(ZELRM_OP_CREATE, NULL, spec, &length, path, (uint8_t)strlen(path), 0) == 0,
           "create");

    unsigned char block[ZELRM_POSITION_BLOCK_SIZE] = {0};
    length = 0;
    expect(BTRCALL(ZELRM_OP_OPEN, block, NULL, &length, path, (uint8_t)strlen(path), 0) == 0,
           "open");
    for (int32_t id = 100; id > 0; --id) {
        unsigned char record[16] = {0};
        int32_t key = 0;
        memcpy(record, &id, 4);
        snprintf((char*)record + 4, 12, "rec%d", (int)id);
        length = sizeof record;
        expect(BTRCALL(ZELRM_OP_INSERT, block, record, &length, &key, 4, 0) == 0, "insert");
    }
    unsigned char record[16];
    int32_t key = 42;
    length = sizeof record;
    expect(BTRCALL(ZELRM_OP_GET_EQUAL, block, record, &length, &key, 4, 0) == 0, "get equal");
    expect(length == 16 && strcmp((char*)record + 4, "rec42") == 0, "record 42");
    length = sizeof record;
    expect(BTRCALL(ZELRM_OP_GET_NEXT, block, record, &length, &key, 4, 0) == 0 && key == 43,
           "get next");
    int steps = 0;
    int16_t status = BTRCALL(ZELRM_OP_STEP_FIRST, block, record, &length, NULL, 0, 0);
    while (status == 0) {
        ++steps;
        length = sizeof record;
        status = BTRCALL(ZELRM_OP_STEP_NEXT, block, record, &length, NULL, 0, 0);
    }
    expect(status == ZELRM_STATUS_END_OF_FILE && steps == 100, "step through all records");
    unsigned char stat[64];
    length = sizeof stat;
    expect(BTRCALL(ZELRM_OP_STAT, block, stat, &length, NULL, 0, 0) == 0 && stat[6] == 100,
           "stat");
    length = 0;
    expect(BTRCALL(ZELRM_OP_CLOSE, block, NULL, &length, NULL, 0, 0) == 0, "close");
    expect(BTRCALL(ZELRM_OP_CLOSE, block, NULL, &length, NULL, 0, 0) == ZELRM_STATUS_FILE_NOT_OPEN,
           "closed block");

    unlink(path);
    rmdir(directory);
    if (failures == 0) printf("shared library check passed\n");
    return failures == 0 ? 0 : 1;
}
