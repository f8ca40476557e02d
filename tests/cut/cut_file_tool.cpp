// Runs the file functions in a process of its own, so that a test can start
// it as another user or with failures injected into the C library.
//   cut_file_tool read PATH            prints "<size> <hash>"
//   cut_file_tool write TARGET SOURCE  exit 0 when the bytes of SOURCE were saved
#include "cut/whole_file.h"
#include "test_support.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "read") == 0) {
        const ByteBuffer bytes = ReadWholeFile(argv[2]);
        const auto hash = cut_test::Hash(bytes.data(), static_cast<std::size_t>(bytes.size()));
        std::printf("%d %llu\n", bytes.size(), static_cast<unsigned long long>(hash));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) {
        const ByteBuffer bytes = ReadWholeFile(argv[3]);
        return WriteBytesToFile(argv[2], bytes.bytes()) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: %s read PATH | write TARGET SOURCE\n", argv[0]);
    return 2;
}
