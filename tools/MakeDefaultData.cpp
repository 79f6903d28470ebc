// Writes the factory-default data from the program's own defaults:
//   kt_make_default_data res/json/Default_Data_K3Q7.bdfa

#include "tools/FactoryDefaultData.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FILE\n", argv[0]);
        return 2;
    }
    if (!WriteFactoryDefaultData(argv[1])) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
