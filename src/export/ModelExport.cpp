// Format list, format choice and the export itself.
#include "ModelExport.h"

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
#include <new>
#include <string_view>

#include "ExportFiles.h"
#include "FbxRepair.h"
#include "SceneBuilder.h"
#include "WriteTarget.h"
#include "ZipCheck.h"

namespace vexlor {

namespace {

struct FormatTraits {
    std::string_view id;
    bool keepsPolygons;
    bool keepsNodes;
    bool yUp;
};

// What each of assimp's writers does with faces and nodes, and the frame its format declares or
// is read in: y up for glTF (the format requires it), FBX and Collada (assimp's writers declare Y
// up), X and X3D (their formats define y up) and assimp's own dumps; the OPT frame (z up, the frame
// of 3D printing and CAD) for the formats that declare none. A format not listed (a newer assimp's)
// gets triangles, nodes and the file's axes.
constexpr FormatTraits kTraits[] = {
    {"collada", true, true, true}, {"x", true, true, true},          {"stp", false, false, false},
    {"obj", true, false, false},   {"objnomtl", true, false, false}, {"stl", false, false, false},
    {"stlb", false, false, false}, {"ply", true, false, false},      {"plyb", true, false, false},
    {"3ds", false, true, false},   {"gltf2", false, true, true},     {"glb2", false, true, true},
    {"gltf", false, true, true},   {"glb", false, true, true},       {"assbin", true, true, true},
    {"assxml", true, true, true},  {"x3d", false, true, true},       {"fbx", true, true, true},
    {"fbxa", true, true, true},    {"3mf", false, false, false},     {"pbrt", false, false, false},
    {"assjson", true, true, true}, {"m3d", false, true, false},      {"m3da", false, true, false},
};

// Preferred among formats that share an extension.
constexpr std::string_view kPreferred[] = {"glb2", "gltf2", "stlb",   "plyb",
                                           "fbx",  "obj",   "collada"};

FormatTraits TraitsOf(std::string_view id) {
    for (const FormatTraits& traits : kTraits)
        if (traits.id == id) return traits;
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
    Assimp::Exporter& exporter;
    ~ProgressHandlerGuard() { exporter.SetProgressHandler(nullptr); }
};

ExportResult Failure(ExportResult result, std::string message, std::string reason = {}) {
    result.ok = false;
    result.message = std::move(message);
    result.reason = std::move(reason);
    result.files.clear();
    return result;
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

}  // namespace

std::vector<ExportFormat> ExportFormats() {
    std::vector<ExportFormat> formats;
    Assimp::Exporter exporter;
    for (size_t i = 0; i < exporter.GetExportFormatCount(); ++i) {
        const aiExportFormatDesc* desc = exporter.GetExportFormatDescription(i);
        if (desc == nullptr || desc->id == nullptr) continue;
        if (std::string_view(desc->id) == "pbrt") continue;  // crashes on scenes without a camera
        const FormatTraits traits = TraitsOf(desc->id);
        formats.push_back(ExportFormat{desc->id, desc->description ? desc->description : "",
                                       desc->fileExtension ? desc->fileExtension : "",
                                       traits.keepsPolygons, traits.keepsNodes, traits.yUp});
    }
    return formats;
}

std::string FormatForPath(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    if (extension.empty()) return {};
    const std::vector<ExportFormat> formats = ExportFormats();
    for (std::string_view preferred : kPreferred)
        for (const ExportFormat& format : formats)
            if (format.id == preferred && Lower(format.extension) == extension) return format.id;
    for (const ExportFormat& format : formats)
        if (Lower(format.extension) == extension) return format.id;
    return {};
}

namespace {

// The largest magnitude among the finite coordinates of every position the export scales.
double LargestCoordinate(const ExportModel& model) {
    double largest = 0;
    const auto take = [&largest](const Vec3& v) {
        for (const float c : {v.x, v.y, v.z})
            if (std::isfinite(c)) largest = std::max(largest, std::fabs(double{c}));
    };
    for (const ExportMesh& mesh : model.meshes) {
        for (const ExportLevel& level : mesh.levels)
            for (const ExportFaceBlock& block : level.faceBlocks)
                for (const ExportFace& face : block.faces)
                    for (const ExportCorner& corner : face.corners)
                        take(corner.position);
        for (const ExportHardpoint& hardpoint : mesh.hardpoints)
            take(hardpoint.position);
        for (const ExportDescriptor& d : mesh.descriptors)
            for (const Vec3& v : {d.span, d.centre, d.minima, d.maxima, d.targetCentre})
                take(v);
    }
    return largest;
}

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

ExportResult ExportOrThrow(const ExportModel& model, const std::string& path,
                           const ExportOptions& options) {
    ExportResult result;
    result.warnings = model.warnings;
    const auto report = [&](double fraction) {
        return !options.progress || options.progress(fraction);
    };
    if (!report(0.0)) return Failure(std::move(result), "Export cancelled");

    // The format: the one asked for, else the extension's.
    const std::vector<ExportFormat> formats = ExportFormats();
    std::string formatId = options.formatId;
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
                                     [&](const ExportFormat& f) { return f.id == formatId; });
    if (format == formats.end())
        return Failure(std::move(result), "Unknown export format " + formatId);
    result.formatId = formatId;

    if (options.lod < 0)
        return Failure(std::move(result), "Invalid level of detail " + std::to_string(options.lod));
    if (!std::isfinite(options.scale) || options.scale <= 0)
        return Failure(std::move(result), "Invalid scale " + std::to_string(options.scale));
    // Positions are written as 32-bit floats: a scale that makes one infinite is refused whole.
    const double largest = LargestCoordinate(model);
    if (largest * options.scale > std::numeric_limits<float>::max())
        return Failure(std::move(result), "Invalid scale " + NumberText(options.scale) +
                                              ": the model's coordinates up to " +
                                              NumberText(largest) + " would not be finite");

    detail::SceneOptions sceneOptions;
    sceneOptions.lod = options.lod;
    sceneOptions.scale = options.scale;
    sceneOptions.yUp =
        options.axes == ExportAxes::YUp || (options.axes == ExportAxes::Auto && format->yUp);
    sceneOptions.triangulate = !format->keepsPolygons;
    sceneOptions.nodes = format->keepsNodes;
    sceneOptions.flat = formatId == "3mf";
    sceneOptions.faceNormals = formatId == "stl" || formatId == "stlb";

    detail::SceneStats stats;
    const auto buildProgress = [&](double fraction) { return report(0.5 * fraction); };
    detail::ScenePtr scene =
        detail::BuildScene(model, sceneOptions, stats, result.warnings, buildProgress);
    if (!scene) return Failure(std::move(result), "Export cancelled");
    result.faces = stats.faces;
    result.triangles = stats.triangles;
    result.quads = stats.quads;
    if (stats.faces == 0)
        return Failure(std::move(result),
                       model.FaceCount() == 0
                           ? "Nothing to export: the model has no faces"
                           : "Nothing to export: no faces in " + LevelText(options.lod));
    if (!format->keepsNodes) {
        size_t hardpoints = 0, descriptors = 0;
        for (const ExportMesh& mesh : model.meshes) {
            hardpoints += mesh.hardpoints.size();
            descriptors += mesh.descriptors.size();
        }
        if (hardpoints + descriptors > 0)
            result.warnings.push_back(Counted(hardpoints, "hardpoint", "hardpoints") +
                                      (hardpoints > 0 && descriptors > 0 ? " and " : "") +
                                      Counted(descriptors, "mesh descriptor", "mesh descriptors") +
                                      " left out: " + format->description + " keeps no nodes");
    }
    if (!report(0.5)) return Failure(std::move(result), "Export cancelled");

    detail::StagingFolder staging;
    std::string reason;
    if (!staging.Create(path, reason))
        return Failure(std::move(result), "Cannot create file " + path, reason);

    {
        Assimp::Exporter exporter;
        auto* files = new detail::CheckedIOSystem(staging.Folder());
        exporter.SetIOHandler(files);  // the exporter owns it from here
        WriteProgress progress(options.progress);
        exporter.SetProgressHandler(&progress);
        ProgressHandlerGuard guard{exporter};
        LargeBlocksFromHeap heap;
        aiReturn written = aiReturn_FAILURE;
        std::string error;
        try {
            written = exporter.Export(scene.get(), formatId.c_str(), staging.StagedMain().c_str());
            if (written != aiReturn_SUCCESS) error = exporter.GetErrorString();
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "unknown failure in the exporter";
        }
        if (files->Failed())
            return Failure(std::move(result), "Cannot write file " + path, files->Reason());
        if (written != aiReturn_SUCCESS || !error.empty())
            return Failure(std::move(result), "Cannot write file " + path,
                           error.empty() ? std::string("the exporter failed") : error);
        if (progress.Cancelled()) return Failure(std::move(result), "Export cancelled");
    }
    if (formatId == "3mf" &&
        !detail::ZipHoldsEntries(staging.StagedMain(),
                                 {"[Content_Types].xml", "_rels/.rels", "3D/3DModel.model"},
                                 reason))
        return Failure(std::move(result), "Cannot write file " + path, reason);
    if (formatId == "fbx") {
        detail::FbxRepairResult repair = detail::FbxRepairResult::NotNeeded;
        if (!detail::RepairFbxFile(staging.StagedMain(), repair, reason))
            return Failure(std::move(result), "Cannot write file " + path, reason);
        if (repair == detail::FbxRepairResult::Malformed)
            result.warnings.push_back(
                "the FBX writer's node tree could not be checked; written as it came");
    }
    scene.reset();
    if (!report(0.95)) return Failure(std::move(result), "Export cancelled");

    detail::CommitFailure failure;
    if (!staging.Commit(result.files, failure))
        return Failure(
            std::move(result),
            (failure.create ? "Cannot create file " : "Cannot write file ") + failure.file,
            failure.reason);
    report(1.0);
    result.ok = true;
    return result;
}

}  // namespace

ExportResult ExportToFile(const ExportModel& model, const std::string& path,
                          const ExportOptions& options) {
    // Every step, the scene's building included, fails the same way: a message, and the staging
    // folder gone with its files as the stack unwinds.
    try {
        return ExportOrThrow(model, path, options);
    } catch (const std::bad_alloc&) {
        return Failure(ExportResult{}, "Cannot write file " + path, "out of memory");
    } catch (const std::exception& e) {
        return Failure(ExportResult{}, "Cannot write file " + path, e.what());
    } catch (...) {
        return Failure(ExportResult{}, "Cannot write file " + path, "unknown failure");
    }
}

}  // namespace vexlor
