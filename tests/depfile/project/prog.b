* Built by the Makefile and build.ninja beside it.
INCLUDE COMMON
INCLUDE DICT BP ITEM1
PRINT X, Y
