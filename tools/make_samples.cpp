// make_samples: writes the sample OPT files.
//
//   make_samples OUTDIR                     OUTDIR/fighter.opt, OUTDIR/faulty.opt,
//                                           OUTDIR/seam.opt and OUTDIR/broken/*.opt
//   make_samples --large FACES MESHES OUT   one large model of about FACES faces
//
// Exits 2 with a one-line message on bad usage or when a file cannot be written.
#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace {

namespace fs = std::filesystem;
using vexlor::testing::WriteFile;

constexpr int kUsageError = 2;
constexpr int kMaxLargeFaces = 5'000'000;  // keeps every stored offset within 32 bits

int Fail(const std::string& message) {
    std::fprintf(stderr, "make_samples: %s\n", message.c_str());
    return kUsageError;
}

int Usage() {
    return Fail("usage: make_samples OUTDIR | make_samples --large FACES MESHES OUT");
}

bool ParseCount(std::string_view text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end && value >= low && value <= high;
}

void WriteSamples(const fs::path& dir) {
    fs::create_directories(dir / "broken");
    WriteFile((dir / "fighter.opt").string(), vexlor::testing::BuildFighter());
    WriteFile((dir / "faulty.opt").string(), vexlor::testing::BuildFaultySample());
    WriteFile((dir / "seam.opt").string(), vexlor::testing::BuildSeamSample());
    for (const auto& [name, bytes] : vexlor::testing::BuildBrokenSamples()) {
        WriteFile((dir / "broken" / name).string(), bytes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 2 && std::string_view(argv[1]) != "--large") {
            WriteSamples(argv[1]);
            return 0;
        }
        if (argc == 5 && std::string_view(argv[1]) == "--large") {
            int faces = 0;
            int meshes = 0;
            if (!ParseCount(argv[2], 0, kMaxLargeFaces, faces)) {
                return Fail("FACES must be a whole number from 0 to 5000000");
            }
            if (!ParseCount(argv[3], 1, 10000, meshes)) {
                return Fail("MESHES must be a whole number from 1 to 10000");
            }
            WriteFile(argv[4], vexlor::testing::BuildLargeModel(faces, meshes));
            return 0;
        }
        return Usage();
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
