/* Runs the installed pre-processor in-process on a small source whose
 * #ifndef WIN32 branch is built only with -U WIN32, and checks the text and
 * the version. argv[1] is the version the build was given. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bprep2.h"

static const char kSource[] =
    "#ifndef WIN32\n"
    "PRINT \"elsewhere\"\n"
    "#else\n"
    "PRINT \"windows\"\n"
    "#endif\n";

static const char kBuiltBranch[] = "PRINT \"elsewhere\"\n";
static const char kSkippedBranch[] = "windows";

static int failed(const char* what) {
    fprintf(stderr, "consumer: %s\n", what);
    return 1;
}

static int checkVersion(const char* expected) {
    char composed[64];
    snprintf(composed, sizeof composed, "%d.%d.%d", BPREP2_VERSION_MAJOR, BPREP2_VERSION_MINOR,
             BPREP2_VERSION_PATCH);
    if (strcmp(composed, BPREP2_VERSION_STRING) != 0) return failed("the version numbers do not make the string");
    if (strcmp(bprep2_version(), BPREP2_VERSION_STRING) != 0) return failed("the library is not the header's version");
    if (strcmp(bprep2_version(), expected) != 0) return failed("the library is not the build's version");
    return 0;
}

static int writeSource(void) {
    FILE* out = fopen("prog.b", "wb");
    if (!out) return failed("cannot write prog.b");
    size_t written = fwrite(kSource, 1, sizeof kSource - 1, out);
    return fclose(out) != 0 || written != sizeof kSource - 1 ? failed("cannot write prog.b") : 0;
}

static int checkRun(void) {
    char* text = NULL;
    uint32_t length = 0, status = 1;
    char line[] = "bprep2 -U WIN32 prog.b";
    char* argv[] = {"consumer", "-m", (char*)&text, (char*)&length, (char*)&status, line, NULL};
    int rc = bprep2_run(6, argv);
    int result = 0;
    if (rc != 0 || status != 0 || !text) result = failed("the run failed");
    else if (length != strlen(text) || !strstr(text, kBuiltBranch) || strstr(text, kSkippedBranch)) {
        fprintf(stderr, "consumer: unexpected text:\n%.*s", (int)length, text);
        result = 1;
    }
    free(text);
    return result;
}

int main(int argc, char** argv) {
    if (argc != 2) return failed("usage: consumer VERSION");
    return checkVersion(argv[1]) || writeSource() || checkRun();
}
