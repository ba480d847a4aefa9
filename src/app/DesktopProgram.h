// The desktop program's windows, created in their start-up order: the main window (which reads
// the type-name tables as it is made), the About box, the 3D view window and the browser.
#pragma once

#include <QString>

#include "About.h"
#include "BrowseCode.h"
#include "FileDialogs.h"
#include "GLformcode.h"
#include "GlViewLink.h"
#include "MainCode.h"
#include "MessagePresenter.h"
#include "OptDocument.h"
#include "ViewState.h"

namespace vexlor::app {

class DesktopProgram {
  public:
    // `namesFolder` empty: the type-name tables from data/ in the working directory, else beside
    // the program.
    DesktopProgram(const NumberText& numbers, MessagePresenter& messages, FileDialogs& dialogs,
                   const QString& namesFolder = {});
    ~DesktopProgram();

    // Shows the view window and the maximised main window; the browser stays hidden.
    void Show();

    TMain& Main() { return main_; }
    TAboutBox& About() { return about_; }
    view::TGLform& GLform() { return glform_; }
    TBrowseForm& Browse() { return browse_; }
    GlViewLink& View() { return link_; }
    OptDocument& Document() { return document_; }

  private:
    OptDocument document_;
    view::ViewState viewState_;
    GlViewLink link_;
    TMain main_;
    TAboutBox about_;
    view::TGLform glform_;
    TBrowseForm browse_;
};

}  // namespace vexlor::app
