// The toolkit-style error messages ("Cannot open file ...", "File not found", "Invalid index")
// go through one presenter, so tests can record them instead of blocking on a modal box.
#pragma once

#include <QString>

namespace vexlor::desktop {

class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    // `text` is the message itself; `detail`, when given, is the system's reason.
    virtual void Error(const QString& text, const QString& detail = {}) = 0;
    // A yes/no question; true for yes.
    virtual bool Confirm(const QString& question) = 0;
};

}  // namespace vexlor::desktop
