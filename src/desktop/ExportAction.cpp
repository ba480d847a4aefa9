// File > Export...: format filters, the choice of the format, the export and its outcome.
#include "desktop/ExportAction.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>
#include <QStatusBar>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

#include "desktop/FileDialogs.h"
#include "desktop/MainWindow.h"
#include "desktop/MessagePresenter.h"
#include "export/ExportModelBuilder.h"
#include "export/ExportWriter.h"
#include "reader/SameFileRule.h"

namespace vexlor::desktop {

namespace {

// The formats whose files the tests read back come first in the dialog, glTF binary (the
// default) at the top; the rest follow in assimp's order.
constexpr const char* kFirstFormats[] = {"glb2", "gltf2", "obj",     "fbx",
                                         "stlb", "plyb",  "collada", "3mf"};

struct FormatFilter {
    QString Filter;  // "GL Transmission Format v. 2 (binary) (*.glb)"
    std::string Id;
    QString Extension;
};

std::vector<FormatFilter> Filters() {
    std::vector<ExportFormat> formats = ExportFormats();
    const auto rank = [](const ExportFormat& format) {
        const auto first = std::find(std::begin(kFirstFormats), std::end(kFirstFormats), format.Id);
        return std::distance(std::begin(kFirstFormats), first);
    };
    std::stable_sort(
        formats.begin(), formats.end(),
        [&](const ExportFormat& a, const ExportFormat& b) { return rank(a) < rank(b); });
    std::vector<FormatFilter> filters;
    for (const ExportFormat& format : formats) {
        const QString extension = QString::fromStdString(format.Extension);
        filters.push_back({QString::fromStdString(format.Description) + " (*." + extension + ")",
                           format.Id, extension});
    }
    return filters;
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The export in a worker thread while the event loop goes on under a modal progress dialog. The
// worker waits for the dialog at each progress step, so a cancel clicked before a step is seen
// at that step.
Expected<ExportSummary> ExportWithProgress(QWidget* parent, ExportModel model,
                                           const std::string& path, ExportOptions options,
                                           const QString& name, bool& cancelled) {
    QProgressDialog progress(QStringLiteral("Exporting to %1…").arg(name), QStringLiteral("Cancel"),
                             0, 1000, parent);
    progress.setObjectName(QStringLiteral("exportProgress"));
    progress.setWindowTitle(QStringLiteral("Export"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    std::atomic<bool> stop{false};
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] {
        stop = true;
        progress.setLabelText(QStringLiteral("Cancelling…"));
    });
    progress.show();
    progress.setValue(0);  // a modal dialog's first value lets waiting events run: it paints

    options.Progress = [&](double fraction) {
        QMetaObject::invokeMethod(
            &progress,
            [&, fraction] {
                if (!stop) progress.setValue(static_cast<int>(std::lround(fraction * 1000)));
            },
            Qt::BlockingQueuedConnection);
        return !stop.load();
    };
    Expected<ExportSummary> result = ExportSummary();
    QEventLoop loop;
    // Nothing may leave the worker: an exception there would end the program.
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result = ExportToFile(std::move(model), path, options);
        } catch (const std::bad_alloc&) {
            result = Result::Failure("Cannot write file " + path, "out of memory");
        } catch (...) {
            result = Result::Failure("Cannot write file " + path, "unknown failure");
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    cancelled = stop && !result.Ok();
    return result;
}

}  // namespace

std::optional<QString> ChooseAndExport(MainWindow& window, FileDialogs& dialogs,
                                       MessagePresenter& messages, int lod,
                                       const QString& startFolder) {
    const std::vector<FormatFilter> filters = Filters();
    if (filters.empty()) return std::nullopt;
    QStringList filterList;
    for (const FormatFilter& f : filters)
        filterList << f.Filter;
    OptDocument& document = window.Document();
    const QString baseName =
        QFileInfo(QFile::decodeName(document.CurrentFileName().c_str())).completeBaseName();
    QString selected = filters.front().Filter;
    const std::optional<QString> chosen = dialogs.SaveFileWithFilter(
        QStringLiteral("Export"), filterList.join(QStringLiteral(";;")),
        QDir(startFolder).filePath(baseName + "." + filters.front().Extension), selected);
    if (!chosen) return std::nullopt;

    // The chosen filter's format where the name has its extension, the extension's format where
    // the name has another one, and the filter's extension added to a name that has none.
    const auto picked = std::find_if(filters.begin(), filters.end(),
                                     [&](const FormatFilter& f) { return f.Filter == selected; });
    const FormatFilter& filter = picked == filters.end() ? filters.front() : *picked;
    QString path = *chosen;
    ExportOptions options;
    options.Lod = lod;
    if (QFileInfo(path).suffix().compare(filter.Extension, Qt::CaseInsensitive) == 0) {
        options.FormatId = filter.Id;
    } else if (FormatForPath(LocalPath(path)).empty()) {
        path += "." + filter.Extension;
        options.FormatId = filter.Id;
        // The dialog asked about the name chosen in it; a name it never saw is asked about here.
        if (QFileInfo::exists(path) &&
            !messages.Confirm(QFileInfo(path).fileName() +
                              QStringLiteral(" already exists.\nDo you want to replace it?")))
            return chosen;
    }

    // The open file is never written over, by any name: refused before anything is written.
    if (const Result distinct = RefuseSameFile(document.CurrentFileName(), LocalPath(path));
        !distinct.Ok()) {
        const QString message = QFile::decodeName(distinct.Message().c_str());
        window.statusBar()->showMessage(message);
        messages.Error(message, {});
        return chosen;
    }

    const QString shown = QDir::toNativeSeparators(path);
    window.statusBar()->showMessage(QStringLiteral("Exporting to %1…").arg(shown));
    // The model is handed over: the export lets it go once the scene is built.
    ExportModel model = BuildExportModel(document);
    bool cancelled = false;
    const Expected<ExportSummary> result =
        model.FaceCount() >= kExportProgressFaces
            ? ExportWithProgress(&window, std::move(model), LocalPath(path), options,
                                 QFileInfo(path).fileName(), cancelled)
            : ExportToFile(std::move(model), LocalPath(path), options);

    if (cancelled) {
        window.statusBar()->showMessage(QStringLiteral("Export cancelled"));
        return chosen;
    }
    if (!result.Ok()) {
        const QString message = QFile::decodeName(result.Message().c_str());
        window.statusBar()->showMessage(message);
        messages.Error(message, QString::fromStdString(result.Reason()));
        return chosen;
    }
    QString done = QStringLiteral("Exported %1 faces to %2")
                       .arg(QLocale(QLocale::English).toString(result->Faces), shown);
    if (!result->Warnings.empty()) {
        const auto count = static_cast<qlonglong>(result->Warnings.size());
        done += count == 1 ? QStringLiteral(" with 1 warning (listed)")
                           : QStringLiteral(" with %1 warnings (listed)").arg(count);
        std::vector<std::string> lines{"Export to " + LocalPath(shown) + ":"};
        for (const std::string& warning : result->Warnings)
            lines.push_back("!! " + warning);
        window.ShowLines(std::move(lines));
    }
    window.statusBar()->showMessage(done);
    return chosen;
}

}  // namespace vexlor::desktop
