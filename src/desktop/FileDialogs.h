// The Open and Save dialogs and the picture size dialog behind a seam: the program asks the user
// through Qt's dialogs, tests answer with prepared names and sizes.
#pragma once

#include <QSize>
#include <QString>
#include <optional>

namespace vexlor::desktop {

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen name, or nothing when the user cancels. `filter` is in Qt's form,
    // e.g. "OPT files (*.OPT)"; `start` is the folder (open) or the suggested path (save) the
    // dialog starts with. A save dialog asks itself before the chosen name replaces a file.
    virtual std::optional<QString> OpenFile(const QString& caption, const QString& filter,
                                            const QString& start) = 0;
    virtual std::optional<QString> SaveFile(const QString& caption, const QString& filter,
                                            const QString& start) = 0;
    // A save dialog offering several filters (separated by ";;"): `selected` comes in as the one
    // shown first and goes out as the one the user left chosen.
    virtual std::optional<QString> SaveFileWithFilter(const QString& caption,
                                                      const QString& filters, const QString& start,
                                                      QString& selected) {
        (void)selected;
        return SaveFile(caption, filters, start);
    }
    // The size of a picture, offered as `frame` (the view's frame) and at most `largest` on each
    // side; nothing when the user cancels.
    virtual std::optional<QSize> PictureSize(const QSize& frame, int largest) = 0;
};

}  // namespace vexlor::desktop
