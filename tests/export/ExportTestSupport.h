// Shared pieces of the export tests: a scratch folder per test, assimp's importer set up for
// reading our files back, and the Khronos glTF validator.
#pragma once

#include <gtest/gtest.h>

#include <assimp/config.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <unistd.h>
#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace vexlor::testing {

namespace fs = std::filesystem;

inline bool ValidateGltf(const std::vector<std::string>& files, std::string& output);

// Whether a file is glTF 2.0 (the validator knows no other version; assimp's "gltf" and "glb"
// writers make glTF 1.0).
inline bool IsGltf2(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (path.extension() == ".glb")
        return text.size() >= 8 && text.compare(0, 8, std::string("glTF\2\0\0\0", 8)) == 0;
    if (path.extension() != ".gltf") return false;
    const size_t key = text.find("\"version\"");
    const size_t value = key == std::string::npos ? key : text.find('"', key + 9);
    return value != std::string::npos && text.compare(value, 5, "\"2.0\"") == 0;
}

// A folder of its own for each test, removed afterwards. Every glTF 2.0 file left in it at the
// end of the test must pass the Khronos validator with no error.
class ExportFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        dir_ = fs::temp_directory_path() /
               ("vexlor-export-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::vector<std::string> gltf;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(dir_, ignored))
            if (entry.is_regular_file() && IsGltf2(entry.path()))
                gltf.push_back(entry.path().string());
        std::sort(gltf.begin(), gltf.end());
        if (!gltf.empty()) {
            std::string report;
            EXPECT_TRUE(ValidateGltf(gltf, report)) << report;
        }
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    // Every entry of the folder (hidden ones too), sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

// Reads a file as assimp does, with Collada's node names (not its ids) and FBX nodes without the
// pivot helpers, and no post-processing.
struct Imported {
    std::unique_ptr<Assimp::Importer> importer = std::make_unique<Assimp::Importer>();
    const aiScene* scene = nullptr;
};

inline Imported Import(const std::string& path) {
    Imported imported;
    imported.importer->SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_USE_COLLADA_NAMES, true);
    imported.importer->SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    imported.scene = imported.importer->ReadFile(path, 0);
    return imported;
}

// Runs scripts/validate-gltf.js on the files; true when none has an error. `output` gets what it
// printed (a line per file and every error and warning).
inline bool ValidateGltf(const std::vector<std::string>& files, std::string& output) {
    std::string command = "node '" VEXLOR_SOURCE_DIR "/scripts/validate-gltf.js'";
    for (const std::string& file : files)
        command += " '" + file + "'";
    command += " 2>&1";
    output.clear();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        output = "cannot run " + command;
        return false;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    return status == 0;
}

}  // namespace vexlor::testing
