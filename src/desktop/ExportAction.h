// File > Export...: the save dialog with a filter per export format, the export of the open
// file's model (in a worker thread under a progress dialog for large models), and its outcome:
// "Exported N faces to PATH" in the status bar, the warnings in the report list, a failure in the
// status bar and a message box.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace vexlor::desktop {

class FileDialogs;
class MainWindow;
class MessagePresenter;

// Models of at least this many faces are exported under a progress dialog that can cancel; the
// others take a moment and are exported at once, as the saves are.
inline constexpr int64_t kExportProgressFaces = 50'000;

// Asks for the file and exports the model of the file open in `window`. `lod` is the tool panel's
// level-of-detail choice (0 for all levels); the dialog starts in `startFolder` with the open
// file's base name. Returns the file chosen in the dialog; nothing when the dialog was cancelled.
std::optional<QString> ChooseAndExport(MainWindow& window, FileDialogs& dialogs,
                                       MessagePresenter& messages, int lod,
                                       const QString& startFolder);

}  // namespace vexlor::desktop
