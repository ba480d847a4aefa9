// The desktop program's windows, created in their start-up order: the main window (which reads
// the type-name tables as it is made), the About box, the 3D view (docked in the main window) and
// the browser.
#pragma once

#include <QSettings>
#include <QString>

#include "desktop/AboutBox.h"
#include "desktop/BrowserWindow.h"
#include "desktop/FileDialogs.h"
#include "desktop/GlViewLink.h"
#include "desktop/MainWindow.h"
#include "desktop/MessagePresenter.h"
#include "reader/OptDocument.h"
#include "view/ViewState.h"
#include "view/ViewWindow.h"

namespace vexlor::desktop {

class DesktopProgram {
  public:
    // `namesFolder` empty: the type-name tables from data/ in the working directory, else beside
    // the program. `settings`: where the main window keeps what it remembers (none: nothing).
    DesktopProgram(const NumberText& numbers, MessagePresenter& messages, FileDialogs& dialogs,
                   const QString& namesFolder = {}, QSettings* settings = nullptr);
    ~DesktopProgram();

    // Shows the main window with the view in its dock, maximised unless it remembers its
    // geometry; the browser stays hidden.
    void Show();

    MainWindow& Main() { return main_; }
    AboutBox& About() { return about_; }
    view::ViewWindow& View() { return viewWindow_; }
    BrowserWindow& Browser() { return browser_; }
    GlViewLink& ViewLink() { return link_; }
    OptDocument& Document() { return document_; }

  private:
    OptDocument document_;
    view::ViewState viewState_;
    GlViewLink link_;
    MainWindow main_;
    AboutBox about_;
    view::ViewWindow viewWindow_;
    BrowserWindow browser_;
};

}  // namespace vexlor::desktop
