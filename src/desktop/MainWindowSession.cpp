// What the main window keeps from one run to the next (geometry, splitter and dock places, the
// last folder, the auto reload choice, the model rotation), and reading the open file again when
// it changes on disk.
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>

#include "desktop/FileWatch.h"
#include "desktop/MainWindow.h"
#include "desktop/ReloadBar.h"

namespace vexlor::desktop {

namespace {
const QString kGeometryKey = QStringLiteral("window/geometry");
// The window's place and size alone, where the geometry would keep a maximised first start.
const QString kPlaceKey = QStringLiteral("window/place");
const QString kRotationKey = QStringLiteral("view/rotation");
const QString kStateKey = QStringLiteral("window/state");
const QString kSplitterKey = QStringLiteral("window/splitter");
const QString kLastFolderKey = QStringLiteral("lastFolder");
const QString kAutoReloadKey = QStringLiteral("autoReload");
}  // namespace

void MainWindow::RestoreSettings() {
    QSettings* settings = services_.Settings;
    if (settings == nullptr) return;
    lastFolder_ = settings->value(kLastFolderKey).toString();
    const QByteArray geometry = settings->value(kGeometryKey).toByteArray();
    hasSavedGeometry_ = !geometry.isEmpty() && restoreGeometry(geometry);
    if (!hasSavedGeometry_) {
        const QRect place = settings->value(kPlaceKey).toRect();
        hasSavedGeometry_ = place.isValid();
        if (hasSavedGeometry_) setGeometry(place);
    }
    // On at the first start, as designed; the user's choice after that.
    const bool rotation = settings->value(kRotationKey, true).toBool();
    rotationBox_->setChecked(rotation);
    rotationAction_->setChecked(rotation);
    docksPlaced_ = restoreState(settings->value(kStateKey).toByteArray());
    splitter_->restoreState(settings->value(kSplitterKey).toByteArray());
    SetAutoReload(settings->value(kAutoReloadKey, false).toBool());
}

void MainWindow::SaveWindowSettings() {
    QSettings* settings = services_.Settings;
    if (settings == nullptr) return;
    if (maximizedAtStart_ && isMaximized()) {
        settings->remove(kGeometryKey);
        settings->setValue(kPlaceKey, normalGeometry());
    } else {
        settings->remove(kPlaceKey);
        settings->setValue(kGeometryKey, saveGeometry());
    }
    settings->setValue(kStateKey, saveState());
    settings->setValue(kSplitterKey, splitter_->saveState());
    settings->sync();
}

void MainWindow::ShowAtStart() {
    if (hasSavedGeometry_) {
        show();
        return;
    }
    maximizedAtStart_ = true;
    // Where no window manager maximises it (a bare X server), it still fills the screen.
    if (const QScreen* shown = screen()) setGeometry(shown->availableGeometry());
    showMaximized();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A window the user brought out of the maximised state and maximised again stays so.
    if (event->type() == QEvent::WindowStateChange && isVisible() && !isMaximized())
        maximizedAtStart_ = false;
}

void MainWindow::RememberRotation(bool on) {
    rotationAction_->setChecked(on);
    if (services_.Settings != nullptr) services_.Settings->setValue(kRotationKey, on);
}

void MainWindow::SetLastFolder(const QString& folder) {
    lastFolder_ = folder;
    if (services_.Settings != nullptr) services_.Settings->setValue(kLastFolderKey, folder);
}

void MainWindow::SetAutoReload(bool on) {
    // The menu item and the bar's box show the same choice.
    autoReloadAction_->setChecked(on);
    reloadBar_->AutoReloadBox()->setChecked(on);
    if (services_.Settings != nullptr) services_.Settings->setValue(kAutoReloadKey, on);
    // A change the bar is offering is read at once.
    if (on && reloadBar_->isVisible() && reloadBar_->ReloadButton()->isVisible()) ReloadFile();
}

void MainWindow::FileChangedOnDisk(bool exists) {
    if (!services_.Document.OptLoaded()) return;
    if (exists && autoReloadAction_->isChecked()) {
        ReloadFile();
        return;
    }
    reloadBar_->ShowChange(QFileInfo(fileWatch_->Path()).fileName(), exists);
}

bool MainWindow::ReloadFile() {
    const OptDocument& document = services_.Document;
    if (!document.OptLoaded()) return false;
    reloadBar_->hide();
    const OptModel& model = document.Model();
    const int32_t chosen = ChosenNode();
    std::optional<BlockEntry> kept;
    if (chosen >= 0 && static_cast<size_t>(chosen) < model.BlockTable.size())
        kept = model.BlockTable[static_cast<size_t>(chosen)];
    currentFileName_ = QFile::decodeName(document.CurrentFileName().c_str());
    if (!OpenCurrentFile()) return false;
    if (!kept) return true;
    // The node of the same block: of the same type if there is one, else any at that place.
    int32_t same = -1;
    for (size_t k = 0; k < model.BlockTable.size(); ++k) {
        const BlockEntry& entry = model.BlockTable[k];
        if (entry.Offset != kept->Offset) continue;
        if (entry.Type == kept->Type) {
            same = static_cast<int32_t>(k);
            break;
        }
        if (same < 0) same = static_cast<int32_t>(k);
    }
    if (same >= 0) ChooseNode(same);
    return true;
}

}  // namespace vexlor::desktop
