// A stand-in for the file dialogs that answers from a queue and notes what it was asked.
#pragma once

#include <QStringList>

#include "FileDialogs.h"

namespace vexlor::app {

// An empty queue is a cancelled dialog.
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
    QStringList answers;
    QStringList filtersSeen;
    QStringList startsSeen;

  private:
    std::optional<QString> Next(const QString&, const QString& filter, const QString& start) {
        filtersSeen.append(filter);
        startsSeen.append(start);
        if (answers.isEmpty()) return std::nullopt;
        return answers.takeFirst();
    }
};

}  // namespace vexlor::app
