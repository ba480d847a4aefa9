// A stand-in for the 3D view that records what the windows ask of it; a test tells the windows
// what the view would (a pick, the cursor, the shaded key) through `events`.
#pragma once

#include <QKeySequence>
#include <QStringList>
#include <utility>
#include <vector>

#include "desktop/ViewLink.h"

namespace vexlor::desktop {

class RecordingViewLink : public ViewLink {
  public:
    void SetEvents(ViewEvents* told) override { events = told; }
    void SetModel(const OptModel* shown) override {
        model = shown;
        calls << QStringLiteral("SetModel");
    }
    void SetupScene() override { calls << QStringLiteral("SetupScene"); }
    void ShowMesh(int32_t mesh) override {
        currentMesh = mesh;
        calls << QStringLiteral("ShowMesh(%1)").arg(mesh);
    }
    void ShowLevelOfDetail(int32_t level) override {
        lod = level;
        calls << QStringLiteral("ShowLevelOfDetail(%1)").arg(level);
    }
    void ShowBlock(const ShownBlock& block) override {
        currentMesh = block.Mesh;
        shownBlock = block;
        calls << QStringLiteral("ShowBlock(%1)").arg(block.Mesh);
    }
    void SetShaded(bool on) override {
        shaded = on;
        calls << QStringLiteral("SetShaded(%1)").arg(on);
    }
    void HighlightFace(int64_t blockOffset, int32_t faceInBlock) override {
        highlight = {blockOffset, faceInBlock};
        calls << QStringLiteral("HighlightFace(%1,%2)").arg(blockOffset).arg(faceInBlock);
    }
    void MarkFaces(std::span<const std::pair<int64_t, int32_t>> faces) override {
        marked.assign(faces.begin(), faces.end());
    }
    void Redraw() override { calls << QStringLiteral("Redraw"); }
    void StopRotation() override {
        rotationOn = false;
        calls << QStringLiteral("StopRotation");
    }
    void RestartRotation(bool ticked) override {
        rotationOn = ticked;
        calls << QStringLiteral("RestartRotation(%1)").arg(ticked);
    }
    void RotationClicked(bool ticked) override {
        calls << QStringLiteral("RotationClicked(%1)").arg(ticked);
    }
    void SpinSliderChanged(int position) override {
        calls << QStringLiteral("SpinSlider(%1)").arg(position);
    }
    void ResetToPreviewView() override { calls << QStringLiteral("ResetToPreviewView"); }
    void ResetToStartView() override { calls << QStringLiteral("ResetToStartView"); }
    void FrameModel() override { calls << QStringLiteral("FrameModel"); }
    void KeepCamera() override { calls << QStringLiteral("KeepCamera"); }
    void RestoreCamera() override { calls << QStringLiteral("RestoreCamera"); }
    void PressViewKey(int key, Qt::KeyboardModifiers modifiers) override {
        calls << QStringLiteral("PressViewKey(%1)")
                     .arg(QKeySequence(QKeyCombination(modifiers, Qt::Key(key))).toString());
    }
    void ShowViewWindow() override { calls << QStringLiteral("ShowViewWindow"); }
    PixelSize FrameSize() const override { return {457, 417}; }
    int32_t LargestPictureSide() override { return largestPicture; }
    Result SavePicture(const std::string& path, PixelSize size) override {
        calls << QStringLiteral("SavePicture(%1,%2x%3)")
                     .arg(QString::fromStdString(path))
                     .arg(size.Width)
                     .arg(size.Height);
        return pictureResult;
    }

    QStringList calls;
    ViewEvents* events = nullptr;
    bool shaded = false;
    int32_t largestPicture = 16384;
    Result pictureResult;
    const OptModel* model = nullptr;
    int32_t currentMesh = 0;
    int32_t lod = 1;
    ShownBlock shownBlock;
    std::pair<int64_t, int32_t> highlight{-1, -1};
    std::vector<std::pair<int64_t, int32_t>> marked;  // the faces a panel marks
    bool rotationOn = false;
};

}  // namespace vexlor::desktop
