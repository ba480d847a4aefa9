// A stand-in for the 3D view that records what the windows ask of it.
#pragma once

#include <QStringList>

#include "ViewLink.h"

namespace vexlor::app {

class RecordingViewLink : public ViewLink {
  public:
    void SetModel(ModelStore* store) override {
        model = store;
        calls << QStringLiteral("SetModel");
    }
    void SetupScene() override { calls << QStringLiteral("SetupScene"); }
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
    void ShowViewWindow() override { calls << QStringLiteral("ShowViewWindow"); }

    QStringList calls;
    ModelStore* model = nullptr;
    bool rotationOn = false;
};

}  // namespace vexlor::app
