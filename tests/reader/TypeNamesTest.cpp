// Reading the type-name tables: the line-end rules and what a missing file leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "TempFolder.h"
#include "reader/TypeNames.h"

namespace vexlor {
namespace {

using Names = std::vector<std::string>;

TEST(TypeNameFile, CrLfEndsALineAndALoneLfBelongsToIt) {
    EXPECT_EQ(ParseTypeNames("Hull\r\nWing\r\n"), (Names{"Hull", "Wing"}));
    EXPECT_EQ(ParseTypeNames("Hull\r\nWing"), (Names{"Hull", "Wing"}));
    EXPECT_EQ(ParseTypeNames("Hull\rWing\r"), (Names{"Hull", "Wing"}));
    EXPECT_EQ(ParseTypeNames("Hull\nWing\r\n"), (Names{"Hull\nWing"}));
    EXPECT_EQ(ParseTypeNames("A\r\n\r\nC\r\n"), (Names{"A", "", "C"}));
    EXPECT_EQ(ParseTypeNames(""), Names{});
}

TEST(TypeNameFile, CtrlZEndsTheFile) {
    EXPECT_EQ(ParseTypeNames("Hull\r\nWi\x1Ang\r\nEngine\r\n"), (Names{"Hull", "Wi"}));
    EXPECT_EQ(ParseTypeNames("\x1AHull\r\n"), Names{});
}

TEST(TypeNameFile, KeepsAtMostTheTableCapacity) {
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "name" + std::to_string(i) + "\r\n";
    const Names names = ParseTypeNames(many);
    ASSERT_EQ(names.size(), kTypeNameCount);
    EXPECT_EQ(names.back(), "name50");
}

class TypeNameFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            testing::TempFolderFor(std::string("names-") +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(TypeNameFiles, FillBothTablesInLineOrderWithEmptyNamesBeyond) {
    TypeNameTables store;
    const Result load = LoadTypeNameTables(store, Write("m.ace", "Hull\r\nWing\r\nEngine\r\n"),
                                           Write("h.ace", "None\r\nLaser\r\n"));
    ASSERT_TRUE(load.Ok());
    EXPECT_EQ(store.MeshTypeNames[2], "Engine");
    EXPECT_EQ(store.MeshTypeNames[3], "");
    EXPECT_EQ(store.MeshTypeNames.size(), kTypeNameCount);
    EXPECT_EQ(store.HardpointTypeNames[1], "Laser");
}

TEST_F(TypeNameFiles, AMissingMeshFileLeavesBothTablesEmpty) {
    TypeNameTables store;
    const Result load =
        LoadTypeNameTables(store, (dir_ / "missing.ace").string(), Write("h.ace", "None\r\n"));
    EXPECT_FALSE(load.Ok());
    EXPECT_EQ(load.Reason(), "File not found");
    EXPECT_EQ(load.Message(), (dir_ / "missing.ace").string());
    EXPECT_EQ(store.MeshTypeNames[0], "");
    EXPECT_EQ(store.HardpointTypeNames[0], "");
}

TEST_F(TypeNameFiles, AMissingHardpointFileKeepsTheMeshNames) {
    TypeNameTables store;
    const Result load =
        LoadTypeNameTables(store, Write("m.ace", "Hull\r\n"), (dir_ / "missing.ace").string());
    EXPECT_FALSE(load.Ok());
    EXPECT_EQ(store.MeshTypeNames[0], "Hull");
    EXPECT_EQ(store.HardpointTypeNames[0], "");
}

TEST_F(TypeNameFiles, AFolderInPlaceOfAFileIsAnErrorNotANameList) {
    std::filesystem::create_directory(dir_ / "folder.ace");
    const Expected<std::vector<std::string>> file =
        ReadTypeNameFile((dir_ / "folder.ace").string());
    EXPECT_FALSE(file.Ok());
    EXPECT_FALSE(file.Reason().empty());
}

// The lookup of the tables, run in a folder laid out as an installed prefix (bin/ beside
// share/optvexlor/data/) with the working folder inside it, so that each place can be filled in
// turn.
class TypeNameLookup : public TypeNameFiles {
  protected:
    void SetUp() override {
        TypeNameFiles::SetUp();
        previous_ = std::filesystem::current_path();
        std::filesystem::create_directories(dir_ / "work");
        std::filesystem::create_directories(dir_ / "bin");
        std::filesystem::current_path(dir_ / "work");
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        TypeNameFiles::TearDown();
    }
    void Place(const std::string& folder) {
        std::filesystem::create_directories(dir_ / folder);
        Write(folder + "/Mesh_Type.ace", "Hull\r\n");
    }
    std::string Lookup(const std::string& namesFolder = {}) const {
        return TypeNameFilePath("Mesh_Type.ace", namesFolder, (dir_ / "bin").string());
    }
    std::filesystem::path previous_;
};

TEST_F(TypeNameLookup, TakesTheWorkingFolderThenBesideTheProgramThenTheInstalledShare) {
    EXPECT_EQ(Lookup(), "data/Mesh_Type.ace") << "no place holds it: the usual place is named";
    Place("share/optvexlor/data");
    EXPECT_EQ(Lookup(), (dir_ / "share/optvexlor/data/Mesh_Type.ace").string());
    Place("bin/data");
    EXPECT_EQ(Lookup(), (dir_ / "bin/data/Mesh_Type.ace").string());
    Place("work/data");
    EXPECT_EQ(Lookup(), "data/Mesh_Type.ace");
}

TEST_F(TypeNameLookup, AGivenFolderWinsEvenWhereItLacksTheFile) {
    Place("work/data");
    Place("share/optvexlor/data");
    EXPECT_EQ(Lookup("elsewhere"), "elsewhere/Mesh_Type.ace");
}

}  // namespace
}  // namespace vexlor
