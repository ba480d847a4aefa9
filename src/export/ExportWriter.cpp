// Format list, format choice and the export itself.
#include "export/ExportWriter.h"

#include <assimp/scene.h>
#include <assimp/Exporter.hpp>
#include <assimp/ProgressHandler.hpp>

#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string_view>

#include "export/ExportFiles.h"
#include "export/ExportUnits.h"
#include "export/FbxRepair.h"
#include "export/SceneBuilder.h"
#include "export/ThreeMfWriter.h"
#include "export/WriterRepairs.h"
#include "reader/WriteTarget.h"

namespace vexlor {

namespace {

struct FormatTraits {
    std::string_view Id;
    bool KeepsPolygons;
    bool KeepsNodes;
    bool YUp;
};

// What each of assimp's writers does with faces and nodes, and the up axis of its format's world:
// y up for glTF (the format requires it), FBX and Collada (assimp's writers declare Y up), X and
// X3D (their formats define it), OBJ and PLY (what Blender, three.js and f3d assume when reading
// them) and assimp's own dumps; z up, the OPT frame, for STL and 3MF (3D printing), 3DS and STEP
// (3ds Max and CAD). A format not listed (a newer assimp's) gets triangles, nodes and z up.
constexpr FormatTraits kTraits[] = {
    {"collada", true, true, true}, {"x", true, true, true},         {"stp", false, false, false},
    {"obj", true, false, true},    {"objnomtl", true, false, true}, {"stl", false, false, false},
    {"stlb", false, false, false}, {"ply", true, false, true},      {"plyb", true, false, true},
    {"3ds", false, true, false},   {"gltf2", false, true, true},    {"glb2", false, true, true},
    {"assbin", true, true, true},  {"assxml", true, true, true},    {"x3d", false, true, true},
    {"fbx", true, true, true},     {"fbxa", true, true, true},      {"3mf", false, false, false},
    {"assjson", true, true, true}, {"m3d", false, true, false},     {"m3da", false, true, false},
};

// Writers left out of the list: pbrt crashes on scenes without a camera; "gltf" and "glb" write
// glTF 1.0, which no current importer reads (their GLB's length also leaves out its padding).
constexpr std::string_view kLeftOut[] = {"pbrt", "gltf", "glb"};

// Preferred among formats that share an extension.
constexpr std::string_view kPreferred[] = {"glb2", "gltf2", "stlb",   "plyb",
                                           "fbx",  "obj",   "collada"};

FormatTraits TraitsOf(std::string_view id) {
    for (const FormatTraits& traits : kTraits)
        if (traits.Id == id) return traits;
    return {id, false, true, false};
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ExtensionOf(const std::string& path) {
    const std::string name = NameOf(path);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return {};
    return Lower(name.substr(dot + 1));
}

// Maps assimp's four write steps (copy, preparation, post-processing, writing) onto 0.5 ... 0.95
// of ours and remembers a request to stop (assimp itself does not stop; the export is dropped).
class WriteProgress : public Assimp::ProgressHandler {
  public:
    explicit WriteProgress(const std::function<bool(double)>& progress) : progress_(progress) {}
    bool Update(float) override { return !cancelled_; }
    void UpdateFileWrite(int step, int steps) override {
        const double own =
            steps > 0 ? std::clamp(static_cast<double>(step) / steps, 0.0, 1.0) : 1.0;
        if (progress_ && !progress_(0.5 + 0.45 * own)) cancelled_ = true;
    }
    bool Cancelled() const { return cancelled_; }

  private:
    const std::function<bool(double)>& progress_;
    bool cancelled_ = false;
};

// assimp 5.2's glTF writer grows its buffer by exactly what each accessor needs, copying it
// every time; with glibc's default rules each of those blocks is a fresh mapping whose pages the
// kernel must clear, which makes a model with a few hundred scene meshes take seconds. While
// the writer runs, blocks up to 256 MB come from the heap and freed memory stays there; the
// defaults come back afterwards and the free memory is handed back to the system.
class LargeBlocksFromHeap {
  public:
    LargeBlocksFromHeap() {
#ifdef __GLIBC__
        set_ = mallopt(M_MMAP_THRESHOLD, 256 << 20) == 1 && mallopt(M_TRIM_THRESHOLD, 1 << 30) == 1;
#endif
    }
    LargeBlocksFromHeap(const LargeBlocksFromHeap&) = delete;
    LargeBlocksFromHeap& operator=(const LargeBlocksFromHeap&) = delete;
    ~LargeBlocksFromHeap() {
#ifdef __GLIBC__
        if (!set_) return;
        mallopt(M_MMAP_THRESHOLD, 128 << 10);
        mallopt(M_TRIM_THRESHOLD, 128 << 10);
        malloc_trim(0);
#endif
    }

  private:
    bool set_ = false;
};

// Hands the progress handler back before the exporter would delete it.
struct ProgressHandlerGuard {
    Assimp::Exporter& Exporter;
    ~ProgressHandlerGuard() { Exporter.SetProgressHandler(nullptr); }
};

// A failed export keeps the warnings found before it failed.
Expected<ExportSummary> Failure(ExportSummary summary, std::string message,
                                std::string reason = {}) {
    summary.Files.clear();
    return {Result::Failure(std::move(message), std::move(reason)), std::move(summary)};
}

// "1 hardpoint", "3 hardpoints"; nothing for none.
std::string Counted(size_t n, const char* one, const char* more) {
    if (n == 0) return {};
    return std::to_string(n) + " " + (n == 1 ? one : more);
}

std::string LevelText(int32_t lod) {
    return lod == kAllLevels ? std::string("any level of detail")
                             : "level of detail " + std::to_string(lod);
}

// The unit of the numbers, where the format declares one: FBX's UnitScaleFactor (centimetres
// per number, which assimp's writer takes from the scene's metadata) and Collada's <unit> (metres
// per number, which assimp's writer takes from the root node's scale). 3MF's writer is ours.
void DeclareUnit(aiScene& scene, const std::string& formatId, double metresPerNumber) {
    if (formatId == "fbx" || formatId == "fbxa") {
        delete scene.mMetaData;
        scene.mMetaData = aiMetadata::Alloc(2);
        scene.mMetaData->Set(0, "UnitScaleFactor", 100.0 * metresPerNumber);
        scene.mMetaData->Set(1, "OriginalUnitScaleFactor", 100.0 * metresPerNumber);
    } else if (formatId == "collada") {
        const auto s = static_cast<ai_real>(metresPerNumber);
        scene.mRootNode->mTransformation =
            aiMatrix4x4(aiVector3D(s, s, s), aiQuaternion(), aiVector3D(0, 0, 0));
    }
}

// "OPT units (1/41 m)" or "0.5 m".
std::string UnitText(double scale) {
    if (scale == 1.0) return "OPT units (1/41 m)";
    char text[64];
    std::snprintf(text, sizeof text, "%g m", MetresPerNumber(scale));
    return text;
}

// OBJ's group names (the scene meshes') and the level each belongs to, as an object name.
std::map<std::string, std::string> ObjectOfGroup(const aiScene& scene) {
    std::map<std::string, std::string> objects;
    for (unsigned int i = 0; i < scene.mRootNode->mNumChildren; ++i) {
        const aiNode& mesh = *scene.mRootNode->mChildren[i];
        for (unsigned int j = 0; j < mesh.mNumChildren; ++j) {
            const aiNode& level = *mesh.mChildren[j];
            std::string object = level.mName.C_Str();
            std::replace(object.begin(), object.end(), ' ', '_');
            for (unsigned int k = 0; k < level.mNumMeshes; ++k)
                objects[scene.mMeshes[level.mMeshes[k]]->mName.C_Str()] = object;
        }
    }
    return objects;
}

// What a writer did; a failure's reason says why the files could not be written.
struct WriteOutcome {
    bool Cancelled = false;
    int64_t Degenerate = 0;  // triangles left out (3MF)
};

Result CannotWrite(const std::string& path, std::string reason) {
    return Result::Failure("Cannot write file " + path, std::move(reason));
}

Expected<WriteOutcome> WriteOwnThreeMf(const aiScene& scene, const detail::StagingFolder& staging,
                                       const std::string& path, const std::string& unit) {
    detail::CheckedIOSystem files(staging.Folder());
    const Expected<int64_t> written =
        detail::WriteThreeMf(scene, files, staging.StagedMain(), unit);
    if (files.Failed()) return CannotWrite(path, files.Reason());
    if (!written.Ok()) return CannotWrite(path, written.Reason());
    return WriteOutcome{false, written.Value()};
}

Expected<WriteOutcome> WriteWithAssimp(const aiScene& scene, const std::string& formatId,
                                       const detail::StagingFolder& staging,
                                       const std::string& path,
                                       const std::function<bool(double)>& onProgress) {
    Assimp::Exporter exporter;
    auto* files = new detail::CheckedIOSystem(staging.Folder());
    exporter.SetIOHandler(files);  // the exporter owns it from here
    WriteProgress progress(onProgress);
    exporter.SetProgressHandler(&progress);
    ProgressHandlerGuard guard{exporter};
    LargeBlocksFromHeap heap;
    aiReturn written = aiReturn_FAILURE;
    std::string error;
    try {
        written = exporter.Export(&scene, formatId.c_str(), staging.TargetName().c_str());
        if (written != aiReturn_SUCCESS) error = exporter.GetErrorString();
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "unknown failure in the exporter";
    }
    if (files->Failed()) return CannotWrite(path, files->Reason());
    if (written != aiReturn_SUCCESS)
        return CannotWrite(path, error.empty() ? "the exporter failed" : error);
    return WriteOutcome{progress.Cancelled(), 0};
}

}  // namespace

std::vector<ExportFormat> ExportFormats() {
    std::vector<ExportFormat> formats;
    Assimp::Exporter exporter;
    for (size_t i = 0; i < exporter.GetExportFormatCount(); ++i) {
        const aiExportFormatDesc* desc = exporter.GetExportFormatDescription(i);
        if (desc == nullptr || desc->id == nullptr) continue;
        if (std::find(std::begin(kLeftOut), std::end(kLeftOut), desc->id) != std::end(kLeftOut))
            continue;
        const FormatTraits traits = TraitsOf(desc->id);
        formats.push_back(ExportFormat{desc->id, desc->description ? desc->description : "",
                                       desc->fileExtension ? desc->fileExtension : "",
                                       traits.KeepsPolygons, traits.KeepsNodes, traits.YUp});
    }
    return formats;
}

std::string FormatForPath(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    if (extension.empty()) return {};
    const std::vector<ExportFormat> formats = ExportFormats();
    for (std::string_view preferred : kPreferred)
        for (const ExportFormat& format : formats)
            if (format.Id == preferred && Lower(format.Extension) == extension) return format.Id;
    for (const ExportFormat& format : formats)
        if (Lower(format.Extension) == extension) return format.Id;
    return {};
}

namespace {

// The smallest non-zero and the largest magnitude among the finite coordinates of every position
// the export scales (0 and 0 when there is none).
struct CoordinateRange {
    double Smallest = 0;
    double Largest = 0;
};

CoordinateRange RangeOfCoordinates(const ExportModel& model) {
    CoordinateRange range;
    const auto take = [&range](const Vec3& v) {
        for (const float c : {v.X, v.Y, v.Z}) {
            if (!std::isfinite(c) || c == 0) continue;
            const double magnitude = std::fabs(double{c});
            range.Largest = std::max(range.Largest, magnitude);
            if (range.Smallest == 0 || magnitude < range.Smallest) range.Smallest = magnitude;
        }
    };
    for (const ExportMesh& mesh : model.Meshes) {
        for (const ExportLevel& level : mesh.Levels)
            for (const ExportFaceBlock& block : level.FaceBlocks)
                for (const ExportFace& face : block.Faces)
                    for (const ExportCorner& corner : face.Corners)
                        take(corner.Position);
        for (const ExportHardpoint& hardpoint : mesh.Hardpoints)
            take(hardpoint.Position);
        for (const ExportDescriptor& d : mesh.Descriptors)
            for (const Vec3& v : {d.Span, d.Centre, d.Minima, d.Maxima, d.TargetCentre})
                take(v);
    }
    return range;
}

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The export; `owned`, when given, is the model itself, released once the scene is built.
Expected<ExportSummary> ExportOrThrow(const ExportModel& model, ExportModel* owned,
                                      const std::string& path, const ExportOptions& options) {
    ExportSummary result;
    result.Warnings = model.Warnings;
    const auto report = [&](double fraction) {
        return !options.Progress || options.Progress(fraction);
    };
    if (!report(0.0)) return Failure(std::move(result), "Export cancelled");

    // The format: the one asked for, else the extension's.
    const std::vector<ExportFormat> formats = ExportFormats();
    std::string formatId = options.FormatId;
    if (formatId.empty()) {
        formatId = FormatForPath(path);
        if (formatId.empty()) {
            const std::string extension = ExtensionOf(path);
            return Failure(std::move(result),
                           extension.empty() ? "No export format: " + path + " has no extension"
                                             : "No export format for the extension ." + extension);
        }
    }
    const auto format = std::find_if(formats.begin(), formats.end(),
                                     [&](const ExportFormat& f) { return f.Id == formatId; });
    if (format == formats.end())
        return Failure(std::move(result), "Unknown export format " + formatId);
    result.FormatId = formatId;

    if (options.Lod < 0)
        return Failure(std::move(result), "Invalid level of detail " + std::to_string(options.Lod));
    if (!std::isfinite(options.Scale) || options.Scale <= 0)
        return Failure(std::move(result), "Invalid scale " + std::to_string(options.Scale));
    // Positions are written as 32-bit floats: a scale that makes one infinite, or turns one that
    // is not zero into zero, is refused whole.
    const CoordinateRange range = RangeOfCoordinates(model);
    if (range.Largest * options.Scale > std::numeric_limits<float>::max())
        return Failure(std::move(result), "Invalid scale " + NumberText(options.Scale) +
                                              ": the model's coordinates up to " +
                                              NumberText(range.Largest) + " would not be finite");
    if (range.Smallest > 0 && static_cast<float>(range.Smallest * options.Scale) == 0.0f)
        return Failure(std::move(result), "Invalid scale " + NumberText(options.Scale) +
                                              ": the model's coordinates down to " +
                                              NumberText(range.Smallest) + " would become 0");

    detail::SceneOptions sceneOptions;
    sceneOptions.Lod = options.Lod;
    sceneOptions.Scale = options.Scale;
    sceneOptions.YUp =
        options.Axes == ExportAxes::YUp || (options.Axes == ExportAxes::Auto && format->YUp);
    sceneOptions.Triangulate = !format->KeepsPolygons;
    sceneOptions.Nodes = format->KeepsNodes;
    sceneOptions.FaceNormals = formatId == "stl" || formatId == "stlb";
    sceneOptions.LinearColours = formatId == "glb2" || formatId == "gltf2";
    sceneOptions.AmbientAndSpecular = formatId == "3ds";

    detail::SceneStats stats;
    const auto buildProgress = [&](double fraction) { return report(0.5 * fraction); };
    detail::ScenePtr scene =
        detail::BuildScene(model, sceneOptions, stats, result.Warnings, buildProgress);
    if (!scene) return Failure(std::move(result), "Export cancelled");
    result.Faces = stats.Faces;
    result.Triangles = stats.Triangles;
    result.Quads = stats.Quads;
    const int64_t modelFaces = model.FaceCount();
    size_t hardpoints = 0, descriptors = 0;
    for (const ExportMesh& mesh : model.Meshes) {
        hardpoints += mesh.Hardpoints.size();
        descriptors += mesh.Descriptors.size();
    }
    // The scene holds all that is written: the model's memory goes before the writer takes its own.
    if (owned != nullptr) *owned = ExportModel();
    if (stats.Faces == 0)
        return Failure(std::move(result),
                       modelFaces == 0
                           ? "Nothing to export: the model has no faces"
                           : "Nothing to export: no faces in " + LevelText(options.Lod));
    if (!format->KeepsNodes && hardpoints + descriptors > 0)
        result.Warnings.push_back(Counted(hardpoints, "hardpoint", "hardpoints") +
                                  (hardpoints > 0 && descriptors > 0 ? " and " : "") +
                                  Counted(descriptors, "mesh descriptor", "mesh descriptors") +
                                  " left out: " + format->Description + " keeps no nodes");
    const double metresPerNumber = MetresPerNumber(options.Scale);
    DeclareUnit(*scene, formatId, metresPerNumber);
    std::string threeMfUnit = "millimeter";
    if (formatId == "3mf") {
        if (const auto unit = ThreeMfUnit(metresPerNumber))
            threeMfUnit = *unit;
        else
            result.Warnings.push_back("3MF names no unit of " + UnitText(options.Scale) +
                                      ": the file says millimetres, a number a millimetre "
                                      "(vexlor export --units metres, centimetres or millimetres "
                                      "writes a unit it names)");
    }
    if (!report(0.5)) return Failure(std::move(result), "Export cancelled");

    detail::StagingFolder staging;
    if (const Result created = staging.Create(path); !created.Ok())
        return Failure(std::move(result), created.Message(), created.Reason());

    const Expected<WriteOutcome> written =
        formatId == "3mf" ? WriteOwnThreeMf(*scene, staging, path, threeMfUnit)
                          : WriteWithAssimp(*scene, formatId, staging, path, options.Progress);
    if (!written.Ok()) return Failure(std::move(result), written.Message(), written.Reason());
    if (written->Cancelled) return Failure(std::move(result), "Export cancelled");
    if (written->Degenerate > 0)
        result.Warnings.push_back(Counted(static_cast<size_t>(written->Degenerate),
                                          "triangle with a corner twice",
                                          "triangles with a corner twice") +
                                  " left out: 3MF wants three different vertices");

    const std::string staged = staging.StagedMain();
    if (formatId == "fbx") {
        const Expected<detail::FbxRepairResult> repair = detail::RepairFbxFile(staged);
        if (!repair.Ok())
            return Failure(std::move(result), "Cannot write file " + path, repair.Reason());
        if (repair.Value() == detail::FbxRepairResult::Malformed)
            result.Warnings.push_back(
                "the FBX writer's node tree could not be checked; written as it came");
    }
    Result repaired;
    if (formatId == "obj" || formatId == "objnomtl")
        repaired = detail::AddObjObjects(staged, ObjectOfGroup(*scene));
    else if (formatId == "glb2" || formatId == "gltf2")
        repaired = detail::DropUnusedGltfExtensions(staged, formatId == "glb2");
    else if (formatId == "x3d")
        repaired = detail::DropEmptyImageTextures(staged);
    else if (formatId == "fbxa")
        repaired = detail::JoinFbxPropertyValues(staged);
    if (!repaired.Ok())
        return Failure(std::move(result), "Cannot write file " + path, repaired.Reason());
    scene.reset();
    if (!report(0.95)) return Failure(std::move(result), "Export cancelled");

    Expected<std::vector<std::string>> files = staging.Commit();
    if (!files.Ok()) return Failure(std::move(result), files.Message(), files.Reason());
    result.Files = std::move(files).Value();
    report(1.0);
    return result;
}

// Every step, the scene's building included, fails the same way: a message, and the staging
// folder gone with its files as the stack unwinds.
Expected<ExportSummary> ExportCatching(const ExportModel& model, ExportModel* owned,
                                       const std::string& path, const ExportOptions& options) {
    try {
        return ExportOrThrow(model, owned, path, options);
    } catch (const std::bad_alloc&) {
        return Failure(ExportSummary{}, "Cannot write file " + path, "out of memory");
    } catch (const std::exception& e) {
        return Failure(ExportSummary{}, "Cannot write file " + path, e.what());
    } catch (...) {
        return Failure(ExportSummary{}, "Cannot write file " + path, "unknown failure");
    }
}

}  // namespace

Expected<ExportSummary> ExportToFile(const ExportModel& model, const std::string& path,
                                     const ExportOptions& options) {
    return ExportCatching(model, nullptr, path, options);
}

Expected<ExportSummary> ExportToFile(ExportModel&& model, const std::string& path,
                                     const ExportOptions& options) {
    return ExportCatching(model, &model, path, options);
}

}  // namespace vexlor
