/* In-process entry point of the bprep2 BASIC source pre-processor.
 *
 * argv follows the command line of the in-process form:
 *   argv[0]  program name (ignored)
 *   argv[1]  "-m"
 *   argv[2]  (char*)(char**)    where the output text is stored (malloc'd,
 *                               NUL-terminated; release it with free)
 *   argv[3]  (char*)(uint32_t*) where its length in bytes is stored
 *   argv[4]  (char*)(uint32_t*) where 0 is stored when the text is delivered
 *   argv[5]  the further command line, words separated by blanks; its first
 *            word stands in the program-name place
 * Returns the run's exit status (0 success). Diagnostics go to stderr.
 *
 * bprep2_version() returns the library's version as "X.Y.Z"; compare it
 * with BPREP2_VERSION_STRING to find a header that does not match the
 * library linked.
 */
#ifndef BPREP2_H
#define BPREP2_H

#include "bprep2_version.h"

#ifdef __cplusplus
extern "C" {
#endif

int bprep2_run(int argc, char** argv);
const char* bprep2_version(void);

#ifdef __cplusplus
}
#endif

#endif
