// The bprep2 executable: a thin layer over the run, whose status it returns.
#include "driver/driver.h"
#include "driver/platform.h"

int main(int argc, char** argv) {
    bprep2::occupyClosedStandardDescriptors();
    bprep2::useBinaryStandardStreams();
    return bprep2::runPreprocessor(argc, argv, false);
}
