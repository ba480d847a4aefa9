// Creating the desktop program's windows.
#include "desktop/DesktopProgram.h"

#include "desktop/ModelThumbnail.h"

namespace vexlor::desktop {

DesktopProgram::DesktopProgram(const NumberText& numbers, MessagePresenter& messages,
                               FileDialogs& dialogs, const QString& namesFolder,
                               QSettings* settings)
    : document_(numbers),
      link_(viewState_),
      main_({document_, link_, messages, dialogs, namesFolder, settings}),
      about_(&main_),
      viewWindow_(viewState_),
      browser_(main_, link_, messages, {DrawModelThumbnail, ThumbnailCache()}) {
    main_.SetAboutBox(&about_);
    main_.SetBrowser(&browser_);
    viewWindow_.SetNumbers(numbers);
    link_.Attach(&viewWindow_);
    main_.PlaceView(&viewWindow_);
}

DesktopProgram::~DesktopProgram() {
    link_.StopRotation();
}

void DesktopProgram::Show() {
    main_.ShowAtStart();
}

}  // namespace vexlor::desktop
