// optvexlor: creates the main window, the About box, the 3D view window and the browser window,
// in that order, opens a file named on the command line, and runs until the main window closes.
#include <QApplication>
#include <QTimer>

#include "About.h"
#include "BrowseCode.h"
#include "ConsistencyCheck.h"
#include "FileDialogs.h"
#include "GlViewLink.h"
#include "MainCode.h"
#include "MessagePresenter.h"
#include "NumberText.h"
#include "OptDocument.h"
#include "TreeImages.h"

int main(int argc, char** argv) {
    using namespace vexlor;
    // Read before Qt sets the process locale; the report never consults the process locale.
    const std::string separator = DecimalSeparatorFromEnvironment();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OPT Vexlor"));
    QApplication::setWindowIcon(app::ProgramIcon());
    // The program ends with the main window, not with the last window.
    QApplication::setQuitOnLastWindowClosed(false);

    OptDocument document{NumberText(separator)};
    view::ViewState viewState;
    app::BoxMessagePresenter messages;
    app::QtFileDialogs dialogs;
    app::GlViewLink viewLink(viewState);

    app::TMain main({document, viewLink, messages, dialogs, {}});
    messages.SetParent(&main);
    dialogs.SetParent(&main);
    main.SetCheckCommand([](OptDocument& checked, int mode) {
        CheckOPT(checked, static_cast<VertexNormalCheck>(mode));
    });

    app::TAboutBox about(&main);
    main.SetAboutBox(&about);

    view::TGLform glform(viewState);
    glform.SetNumbers(NumberText(separator));
    viewLink.Attach(&glform);
    glform.show();

    app::TBrowseForm browse(main, viewLink, messages);
    main.SetBrowseForm(&browse);

    main.showMaximized();
    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        QTimer::singleShot(0, &main, [&main, path] { main.OpenFile(path); });
    }
    const int status = QApplication::exec();
    viewLink.StopRotation();
    return status;
}
