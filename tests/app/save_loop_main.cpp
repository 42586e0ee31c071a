// Saves the two contents in turn at argv[1], for ever: the kill test's victim.
#include <cstdio>
#include <string>

#include "platform/file.h"
#include "tests/app/save_loop_contents.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string contents[2] = {SaveLoopContents(0), SaveLoopContents(1)};
    std::string why;
    for (int i = 0;; i ^= 1) {
        if (!platform::ReplaceFileSafely(argv[1], contents[i], &why)) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
    }
}
