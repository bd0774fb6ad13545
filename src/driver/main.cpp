#include "driver/driver.h"

int main(int argc, char** argv) { return bprep2::runPreprocessor(argc, argv, false); }
