// A stand-in for the file dialogs that answers from a queue and notes what it was asked.
#pragma once

#include <QList>
#include <QSize>
#include <QStringList>

#include "desktop/FileDialogs.h"

namespace vexlor::desktop {

// An empty queue of names is a cancelled dialog; an empty queue of sizes takes the size offered.
class ScriptedFileDialogs : public FileDialogs {
  public:
    std::optional<QString> OpenFile(const QString& caption, const QString& filter,
                                    const QString& start) override {
        return Next(caption, filter, start);
    }
    std::optional<QString> SaveFile(const QString& caption, const QString& filter,
                                    const QString& start) override {
        return Next(caption, filter, start);
    }
    // Notes the filter shown first and leaves the next of filterAnswers chosen, if any.
    std::optional<QString> SaveFileWithFilter(const QString& caption, const QString& filters,
                                              const QString& start, QString& selected) override {
        selectedSeen.append(selected);
        if (!filterAnswers.isEmpty()) selected = filterAnswers.takeFirst();
        return Next(caption, filters, start);
    }
    std::optional<QSize> PictureSize(const QSize& frame, int largest) override {
        sizesOffered.append(frame);
        largestSeen = largest;
        if (sizes.isEmpty()) return frame;
        return sizes.takeFirst();
    }
    QStringList answers;
    QStringList filterAnswers;
    QList<std::optional<QSize>> sizes;
    QList<QSize> sizesOffered;
    int largestSeen = 0;
    QStringList filtersSeen;
    QStringList startsSeen;
    QStringList selectedSeen;

  private:
    std::optional<QString> Next(const QString&, const QString& filter, const QString& start) {
        filtersSeen.append(filter);
        startsSeen.append(start);
        if (answers.isEmpty()) return std::nullopt;
        return answers.takeFirst();
    }
};

}  // namespace vexlor::desktop
