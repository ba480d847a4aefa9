// optvexlor: the desktop program. Creates its windows, opens a file named on the command line,
// and runs until the main window closes.
#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "DesktopProgram.h"
#include "NumberText.h"
#include "TreeImages.h"

int main(int argc, char** argv) {
    using namespace vexlor;
    // Read before Qt sets the process locale; the report never consults the process locale.
    const NumberText numbers(DecimalSeparatorFromEnvironment());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OPT Vexlor"));
    QApplication::setWindowIcon(app::ProgramIcon());
    // The program ends with the main window, not with the last window.
    QApplication::setQuitOnLastWindowClosed(false);

    app::BoxMessagePresenter messages;
    app::QtFileDialogs dialogs;
    // The user's settings: ~/.config/optvexlor/optvexlor.conf.
    QSettings settings(QStringLiteral("optvexlor"), QStringLiteral("optvexlor"));
    app::DesktopProgram program(numbers, messages, dialogs, {}, &settings);
    messages.SetParent(&program.Main());
    dialogs.SetParent(&program.Main());
    program.Show();
    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        QTimer::singleShot(0, &program.Main(), [&program, path] { program.Main().OpenFile(path); });
    }
    const int status = QApplication::exec();
    program.ViewLink().StopRotation();
    return status;
}
