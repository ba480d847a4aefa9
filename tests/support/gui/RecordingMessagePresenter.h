// A stand-in for the message boxes that keeps the messages and answers questions from a queue.
#pragma once

#include <QList>
#include <QStringList>

#include "desktop/MessagePresenter.h"

namespace vexlor::desktop {

class RecordingMessagePresenter : public MessagePresenter {
  public:
    void Error(const QString& text, const QString& detail = {}) override {
        messages.append(text);
        details.append(detail);
    }
    // Answers from a queue; an empty queue answers no.
    bool Confirm(const QString& question) override {
        questions.append(question);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QStringList messages;
    QStringList details;
    QStringList questions;
    QList<bool> answers;
};

}  // namespace vexlor::desktop
