// Writes the demo archive to the path given.
#include <cstdio>

#include "tools/archive_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-archive OUTPUT\n");
        return 1;
    }
    if (!tolvaren::WriteWholeFile(argv[1], tolvaren::DemoArchive())) {
        std::fprintf(stderr, "make-demo-archive: cannot write %s\n", argv[1]);
        return 2;
    }
    return 0;
}
