// The main window as the desktop benchmarks drive it: a document of its own, and stand-ins for
// the 3D view, the message boxes and the file dialogs, so that only the window's work is timed.
#pragma once

#include <QString>

#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "desktop/MainWindow.h"
#include "reader/OptDocument.h"

namespace vexlor::bench {

struct StandInWindow {
    OptDocument Document;
    desktop::RecordingViewLink View;
    desktop::RecordingMessagePresenter Messages;
    desktop::ScriptedFileDialogs Dialogs;
    desktop::MainWindow Window{
        {Document, View, Messages, Dialogs, QStringLiteral(VEXLOR_DATA_DIR)}};
};

}  // namespace vexlor::bench
