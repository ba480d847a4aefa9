// The main() of a fuzz target built without libFuzzer: feeds the target every file of the folders
// (and the files) named on its command line, a folder's files in name order, and ends with status
// 0 when every input ran through, 1 when there was none to run (an emptied corpus is no test) or
// one could not be read. A fault in the target ends the program as it would end the fuzzer: with
// the sanitizer's report, or abort().
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The files a command line word names: the file itself, or a folder's regular files sorted.
std::vector<fs::path> FilesOf(const fs::path& named) {
    if (!fs::is_directory(named)) return {named};
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(named))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : FilesOf(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], file.c_str());
                return 1;
            }
            // A copy of its own, as libFuzzer gives it: a read past its end is a read past the
            // input's, which the address sanitizer sees.
            std::vector<uint8_t> input(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    if (replayed == 0) std::fprintf(stderr, "%s: no inputs to replay\n", argv[0]);
    return replayed > 0 ? 0 : 1;
}
