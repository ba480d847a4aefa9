// The README window.
#include "desktop/ReadmeWindow.h"

#include <QKeyEvent>

#include "reader/Version.h"

namespace vexlor::desktop {

ReadmeWindow::ReadmeWindow(QWidget* parent) : QPlainTextEdit(parent) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("readmeWindow"));
    setWindowTitle(QStringLiteral("OPT Vexlor README"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setPlainText(Text());
    QFont font(QStringLiteral("DejaVu Sans Mono"), 9);
    font.setStyleHint(QFont::Monospace);
    setFont(font);
    resize(640, 420);
}

void ReadmeWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString ReadmeWindow::Text() {
    return QStringLiteral(
        "OPT Vexlor " VEXLOR_VERSION
        "\n"
        "\n"
        "An inspector for OPT model files. Open a file with File > Open... (Ctrl+O) or drop it on "
        "the main window: the tree on the left shows its meshes and blocks, and choosing a node "
        "shows that block's report in the list on the right while the 3D view paints its mesh "
        "red. Hardpoints and mesh descriptors also show a marker. Report lines can be selected "
        "and copied with Ctrl+C, or from the list's context menu.\n"
        "\n"
        "File > Save ASCII... (Ctrl+S) writes the full report of every block to a text file; "
        "Save PRJ... writes every face as four corners to a PRJ file. OPTions > Check OPT tests "
        "the geometry (co-incident corners, face normals, soft vectors, vertex normals). "
        "Browse OPTs... leafs through a folder with a live preview. Problems in a file are report "
        "lines starting with \"!!\"; after an open the status bar counts them and tree nodes "
        "with problems carry a warning sign.\n"
        "\n"
        "The hex view shows the chosen block's bytes, tinted by field; hover a byte for its field "
        "and value. Inspect > Find... (Ctrl+F) searches the pane that has the focus: the report "
        "list, the tree (a filter) or the hex view. Inspect > Go to offset... (Ctrl+G) shows a "
        "byte and chooses the block that holds it. The findings panel lists the file's problems "
        "and the findings of Check OPT; choosing a row, or double-clicking a finding line of the "
        "check, chooses the face block, fills the face yellow in the 3D view and shows its record "
        "in the hex view. File > Recent files lists the last ten files; File > Reload (F5) reads "
        "the file again, as the bar that appears when it changes on disk offers to (Auto reload "
        "does it at once).\n"
        "\n"
        "Show LOD chooses the level of detail the 3D view draws; \"model rotation\" and the track "
        "bar turn the model. View > 3D view (Ctrl+3) shows the view window again after it was "
        "closed.\n"
        "\n"
        "Keys of the 3D view (click it first):\n"
        "  Arrow keys          turn about the x axis (up, down) and the y axis (left, right)\n"
        "  Page Up, Page Down  turn about the z axis\n"
        "  = (or +) and -      zoom in and out (the keys of the main keyboard)\n"
        "  Shift + arrow keys  pan\n");
}

}  // namespace vexlor::desktop
