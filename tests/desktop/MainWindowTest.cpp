// The main window as a user meets it: its controls, the open flow, the tree and the block
// display, the tree buttons, the level of detail, and the two saves, with the dialogs, the
// messages and the 3D view replaced by recording stand-ins.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "check/ConsistencyCheck.h"
#include "desktop/Hints.h"
#include "desktop/MainWindow.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "inspector/TreeFilterModel.h"
#include "inspector/TreeImages.h"
#include "reader/Version.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::desktop {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";
const QString kDataFolder = QStringLiteral(VEXLOR_SOURCE_DIR "/data");

std::string Vexlor(const std::string& args) {
    const std::string command = "'" VEXLOR_BINARY "' --names '" VEXLOR_SOURCE_DIR "/data' " + args;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TheMainWindow : public ::testing::Test {
  protected:
    TheMainWindow() : window_({document_, view_, messages_, dialogs_, kDataFolder}) {
        dir_ = testing::TempFolderFor(
            "gui-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~TheMainWindow() override { fs::remove_all(dir_); }

    template <typename T>
    T* Child(const char* name) const {
        T* child = window_.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QStringList ListLines() const {
        QStringList lines;
        const QAbstractItemModel* model =
            window_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))->model();
        for (int row = 0; row < model->rowCount(); ++row)
            lines << model->index(row, 0).data().toString();
        return lines;
    }
    inspector::ReportListModel* ReportLines() const {
        return qobject_cast<inspector::ReportListModel*>(
            window_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))->model());
    }
    void OpenFighter() {
        window_.OpenFile(QString::fromStdString((kSamples / "fighter.opt").string()));
    }
    void Choose(int32_t node) {
        window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
            ->setCurrentIndex(window_.TreeIndexOfNode(node));
    }

    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow window_;
    fs::path dir_;
};

TEST_F(TheMainWindow, ControlsHaveTheirCaptionsHintsAndPlaces) {
    EXPECT_EQ(window_.windowTitle(), "OPT Vexlor");
    EXPECT_EQ(Child<QWidget>("toolPanel")->height(), 89);
    struct Control {
        const char* name;
        QPoint place;
        QString toolTip;
        QString statusTip;
    };
    const Control controls[] = {
        {"openButton", {10, 2}, "Open", ""},
        {"saveButton", {34, 2}, "Save text to file", "Save text to file"},
        {"exitButton", {59, 2}, "Exit", ""},
        {"browseButton", {112, 2}, "Browse OPTs", "Browse OPTs"},
        {"rotationBox", {173, 6}, "", ""},
        {"spinSpeed", {269, 6}, "", ""},
        {"lodChoice", {8, 28}, "", ""},
        {"shadedBox",
         {276, 30},
         "Shaded faces in the 3D view (W)",
         "Shaded faces in the 3D view (W)"},
        {"normalCheckMode", {276, 52}, "", ""},
        {"checkButton", {564, 58}, "Check OPT", "Check OPT"},
        {"expandAllButton", {8, 64}, "expand all below this level", "expand all below this level"},
        {"collapseAllButton",
         {76, 64},
         "collapse all below this level",
         "collapse all below this level"},
        {"expandButton",
         {152, 64},
         "expand all below current node",
         "expand all below current node"},
    };
    for (const Control& control : controls) {
        const QWidget* widget = Child<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->pos(), control.place) << control.name;
        EXPECT_EQ(widget->toolTip(), control.toolTip) << control.name;
        EXPECT_EQ(widget->statusTip(), control.statusTip) << control.name;
    }
    EXPECT_EQ(Child<QCheckBox>("rotationBox")->text(), "model rotation");
    EXPECT_TRUE(Child<QCheckBox>("rotationBox")->isChecked());
    EXPECT_EQ(Child<QCheckBox>("shadedBox")->text(), "shaded");
    EXPECT_FALSE(Child<QCheckBox>("shadedBox")->isChecked());
    // The shaded box fits between the track bar and the vertex normal group, caption and all.
    const QCheckBox* shaded = Child<QCheckBox>("shadedBox");
    EXPECT_GE(shaded->width(), shaded->sizeHint().width());
    EXPECT_FALSE(shaded->geometry().intersects(Child<QWidget>("spinSpeed")->geometry()));
    EXPECT_FALSE(shaded->geometry().intersects(Child<QWidget>("lodChoice")->geometry()));
    EXPECT_FALSE(shaded->geometry().intersects(Child<QWidget>("normalCheckMode")->geometry()));
    const QSlider* slider = Child<QSlider>("spinSpeed");
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 8000);
    EXPECT_EQ(slider->value(), 1000);
    EXPECT_EQ(Child<QGroupBox>("lodChoice")->title(), "Show LOD:");
    EXPECT_EQ(Child<QGroupBox>("normalCheckMode")->title(), "Vertex normal check");
    EXPECT_EQ(Child<QPushButton>("expandAllButton")->text(), "expand all");
    EXPECT_EQ(Child<QPushButton>("collapseAllButton")->text(), "collapse all");
    EXPECT_EQ(Child<QPushButton>("expandButton")->text(), "expand");

    QStringList lod;
    for (QRadioButton* item : Child<QGroupBox>("lodChoice")->findChildren<QRadioButton*>())
        lod << item->text() + (item->isChecked() ? "*" : "");
    EXPECT_EQ(lod, (QStringList{"All", "1*", "2", "3"}));
    QStringList normals;
    for (QRadioButton* item : Child<QGroupBox>("normalCheckMode")->findChildren<QRadioButton*>())
        normals << item->text() + (item->isChecked() ? "*" : "");
    EXPECT_EQ(normals, (QStringList{"across whole model*", "mesh-by-mesh", "none"}));
}

TEST_F(TheMainWindow, MenusHaveEveryItemWithCaptionHintAndShortcut) {
    QStringList items;
    for (QAction* menu : window_.menuBar()->actions()) {
        items << menu->text();
        for (QAction* action : menu->menu()->actions())
            items << (action->isSeparator() ? QStringLiteral("-")
                                            : "  " + action->text() + "|" + action->statusTip());
    }
    EXPECT_EQ(items,
              (QStringList{
                  "&File",
                  "  &Open...|Open a file",
                  "  Recent &files|",
                  "  &Reload|Read the open file again from disk",
                  "  A&uto reload|Read the open file again whenever it changes on disk",
                  "  &Browse OPTs...|",
                  "  Save &PRJ...|",
                  "  &Save ASCII...|Save current file",
                  "  &Export...|Export the model to glTF, OBJ, FBX, STL and other formats",
                  "  &Compare with...|Compare the open file with another, field by field",
                  "  Rep&air...|List what a repair of the face normals, soft vectors and vertex "
                  "normals would change, then write it to a new file",
                  "-",
                  "  E&xit|Exit application",
                  "&View",
                  "  &3D view|Show the 3D view and give it the keyboard",
                  "-",
                  "  &Fit model\tF|Fit the model into the view",
                  "  Fit current &mesh\tShift+F|Fit the red mesh into the view",
                  "  &Start view\tHome|No turn, zoom 1, no pan",
                  "  F&ront\tKeypad 1|The model from the front",
                  "  R&ight\tKeypad 3|The model from the right",
                  "  &Top\tKeypad 7|The model from above",
                  "  &Back\tCtrl+Keypad 1|The model from the back",
                  "  &Left\tCtrl+Keypad 3|The model from the left",
                  "  B&ottom\tCtrl+Keypad 7|The model from below",
                  "-",
                  "  S&haded\tW|Shaded faces in the 3D view",
                  "  Model rotatio&n\tR|Keep the model turning about its z axis",
                  "-",
                  "  Reset l&ayout|Put the 3D view, the hex view and the findings back in their "
                  "places",
                  "  Save &picture...|Save the 3D view's frame as a PNG picture",
                  "&Inspect",
                  "  &Find...|Search the report list, the tree or the hex view, whichever has the "
                  "focus",
                  "  &Go to offset...|Show a byte of the file in the hex view and its block in the "
                  "tree",
                  "  Full &report|Show the whole report of the file in the list, as Save ASCII "
                  "writes it",
                  "-",
                  "  &Hex view|Show or hide the hex view",
                  "  F&indings|Show or hide the findings panel",
                  "  &Compare|Show or hide the compare panel",
                  "  Re&pair|Show or hide the repair panel",
                  "  R&ecord|Show or hide the record inspector",
                  "&OPTions :=)",
                  "  &Check OPT|",
                  "&Help",
                  "  &About...|",
                  "  view &README|"}));
    const auto shortcuts = [&](const char* name) { return Child<QAction>(name)->shortcuts(); };
    EXPECT_EQ(shortcuts("exitAction"), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Q),
                                                            QKeySequence(Qt::ALT | Qt::Key_X)}));
    EXPECT_EQ(shortcuts("openAction"), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_O)});
    EXPECT_EQ(shortcuts("saveAsciiAction"),
              QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_S)});
    EXPECT_EQ(shortcuts("readmeAction"), QList<QKeySequence>{QKeySequence(Qt::Key_F1)});
    EXPECT_EQ(shortcuts("showViewAction"), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_3)});
    EXPECT_EQ(shortcuts("findAction"), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_F)});
    EXPECT_EQ(shortcuts("goToOffsetAction"),
              QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_G)});
    EXPECT_EQ(shortcuts("reloadAction"), QList<QKeySequence>{QKeySequence(Qt::Key_F5)});

    // Every menu and item has one underlined letter, none used twice in the same menu.
    const auto mnemonic = [](const QString& text) {
        const qsizetype at = text.indexOf(u'&');
        return at < 0 || at + 1 >= text.size() ? QChar() : text[at + 1].toLower();
    };
    QList<QChar> titles;
    for (QAction* menu : window_.menuBar()->actions()) {
        EXPECT_FALSE(mnemonic(menu->text()).isNull()) << menu->text().toStdString();
        EXPECT_FALSE(titles.contains(mnemonic(menu->text()))) << menu->text().toStdString();
        titles << mnemonic(menu->text());
        QList<QChar> letters;
        for (QAction* action : menu->menu()->actions()) {
            if (action->isSeparator()) continue;
            EXPECT_FALSE(mnemonic(action->text()).isNull()) << action->text().toStdString();
            EXPECT_FALSE(letters.contains(mnemonic(action->text())))
                << action->text().toStdString();
            letters << mnemonic(action->text());
        }
    }
}

TEST_F(TheMainWindow, KeysReachTheirCommandsAndTheReadmeWindowClosesWithEscape) {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    QTest::keyClick(&window_, Qt::Key_F1);
    auto* readme = window_.findChild<QPlainTextEdit*>(QStringLiteral("readmeWindow"));
    ASSERT_NE(readme, nullptr);
    EXPECT_TRUE(readme->isVisible());
    // Paragraphs are single lines, wrapped by the window alone.
    EXPECT_EQ(readme->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_TRUE(readme->toPlainText().contains(
        "An inspector for OPT model files. Open a file with File > Open... (Ctrl+O) or drop it on "
        "the main window: the tree"));
    EXPECT_TRUE(readme->toPlainText().startsWith("OPT Vexlor " VEXLOR_VERSION "\n"));
    QTest::keyClick(readme, Qt::Key_Escape);
    EXPECT_FALSE(readme->isVisible());

    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    view_.calls.clear();
    QTest::keyClick(&window_, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(view_.calls, QStringList{"ShowViewWindow"});
    QTest::keyClick(&window_, Qt::Key_O, Qt::ControlModifier);  // an Open dialog, cancelled
    EXPECT_EQ(dialogs_.filtersSeen, QStringList{"OPT files (*.OPT *.opt *.Opt);;All files (*)"});
    window_.hide();
}

TEST(Hints, StatusBarShowsThePartAfterTheBar) {
    EXPECT_EQ(StatusTextOfHint("Open|"), "");
    EXPECT_EQ(ToolTipOfHint("Open|"), "Open");
    EXPECT_EQ(StatusTextOfHint("Open a file"), "Open a file");
    EXPECT_EQ(StatusTextOfHint("tip|status"), "status");
}

TEST_F(TheMainWindow, StartUpReadsTheTypeNamesAndReportsAMissingTable) {
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(document_.Names().HardpointTypeNames[1], "Laser cannon");

    OptDocument other;
    RecordingMessagePresenter messages;
    const QString folder = QString::fromStdString(dir_.string());
    std::ofstream(dir_ / "Mesh_Type.ace", std::ios::binary) << "Hull\r\n";
    MainWindow window({other, view_, messages, dialogs_, folder});
    EXPECT_EQ(messages.messages, QStringList{"File not found"});
    EXPECT_EQ(other.Names().MeshTypeNames[0], "Hull");
    EXPECT_EQ(other.Names().HardpointTypeNames[0], "");
}

TEST_F(TheMainWindow, OpenShowsTheFileWithAnEmptyListAndTheTreeOfTheReader) {
    Child<QGroupBox>("lodChoice")->findChildren<QRadioButton*>().front()->click();  // "All"
    EXPECT_EQ(view_.lod, 0);
    view_.calls.clear();
    OpenFighter();

    const QString path = QString::fromStdString((kSamples / "fighter.opt").string());
    EXPECT_EQ(window_.windowTitle(), "OPTvexlor - " + path);
    EXPECT_TRUE(ListLines().isEmpty());
    EXPECT_EQ(view_.lod, 1);  // although the radio group still shows "All"
    EXPECT_EQ(view_.calls, (QStringList{"StopRotation", "ShowLevelOfDetail(1)", "SetModel",
                                        "SetupScene", "ShowMesh(0)", "ResetToStartView",
                                        "FrameModel", "Redraw", "RestartRotation(1)"}));
    EXPECT_TRUE(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
                    ->isExpanded(window_.TreeIndexOfNode(0)));

    // The tree model, walked in pre-order, is what `vexlor tree` lists.
    std::string listed;
    int index = 0;
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& node, int depth) {
        const int32_t k = inspector::StructureTreeModel::NodeOf(node);
        EXPECT_EQ(k, index) << "pre-order";
        const BlockEntry& entry = document_.Model().BlockTable[static_cast<size_t>(k)];
        listed += std::to_string(index++) + "\t" + std::to_string(depth) + "\t" +
                  std::to_string(document_.Model().Tree.Node(k).ImageIndex) + "\t" +
                  std::to_string(entry.Offset) + "\t" + std::to_string(entry.Type) + "\t" +
                  std::to_string(entry.Mesh) + "\t" + node.data().toString().toStdString() + "\n";
        for (int row = 0; row < window_.findChild<inspector::StructureTreeModel*>()->rowCount(node);
             ++row)
            walk(window_.findChild<inspector::StructureTreeModel*>()->index(row, 0, node),
                 depth + 1);
    };
    walk(window_.findChild<inspector::StructureTreeModel*>()->index(0, 0), 0);
    EXPECT_EQ(listed, Vexlor("tree '" + (kSamples / "fighter.opt").string() + "'"));
}

TEST_F(TheMainWindow, ChoosingEveryNodeShowsWhatVexlorBlockShows) {
    OpenFighter();
    const std::string file = (kSamples / "fighter.opt").string();
    for (int32_t node = 0; node < document_.Model().Tree.Count(); node += 7) {
        view_.calls.clear();
        Choose(node);
        std::string shown;
        for (const QString& line : ListLines())
            shown += line.toLatin1().toStdString() + "\n";
        std::string expected = Vexlor("block '" + file + "' " + std::to_string(node));
        std::replace(expected.begin(), expected.end(), '\0', '\xB7');
        QString expectedText =
            QString::fromLatin1(expected.data(), static_cast<qsizetype>(expected.size()));
        EXPECT_EQ(QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())),
                  expectedText)
            << node;
        // The block's mesh goes red in one frame.
        const int32_t mesh = document_.Model().BlockTable[static_cast<size_t>(node)].Mesh;
        EXPECT_EQ(view_.calls, (QStringList{QStringLiteral("ShowBlock(%1)").arg(mesh), "Redraw"}))
            << node;
    }
}

TEST_F(TheMainWindow, TreeNodesShowTheirImageAndThePlainImageWhenSelected) {
    OpenFighter();
    const OptModel& store = document_.Model();
    const QImage plain = inspector::TreeImage(kImagePlain).toImage();
    for (int32_t image : {kImageJump, kImageFace, kImageHardpoint}) {
        int32_t node = 0;
        while (store.Tree.Node(node).ImageIndex != image)
            ++node;
        const QIcon icon = window_.findChild<inspector::StructureTreeModel*>()
                               ->IndexOfNode(node)
                               .data(Qt::DecorationRole)
                               .value<QIcon>();
        EXPECT_EQ(icon.pixmap(16, 16, QIcon::Normal).toImage(),
                  inspector::TreeImage(image).toImage())
            << image;
        EXPECT_EQ(icon.pixmap(16, 16, QIcon::Selected).toImage(), plain) << image;
    }
}

TEST_F(TheMainWindow, AClickThatChangesTheSelectionShowsTheBlockOnce) {
    OpenFighter();
    window_.resize(900, 700);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    const QModelIndex mesh = window_.TreeIndexOfNode(1);
    const QRect place =
        window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->visualRect(mesh);
    QTest::mouseClick(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->viewport(),
                      Qt::LeftButton, {}, place.center());
    EXPECT_EQ(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(), mesh);
    EXPECT_EQ(ListLines().count("This block is in MESH 0"), 1);
    EXPECT_EQ(ListLines().front(), "This block is in MESH 0");
    window_.hide();
}

TEST_F(TheMainWindow, LongReportLinesScrollInsteadOfBeingCutAndLinesCanBeCopied) {
    OpenFighter();
    window_.resize(611, 536);  // a small window, whose list is narrower than a face line
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    inspector::ReportListView* list =
        window_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"));
    int32_t faces = 0;
    while (document_.Model().Tree.Node(faces).ImageIndex != kImageFace)
        ++faces;
    Choose(faces);
    QApplication::processEvents();
    // The widest line is not the first one, and it is wider than the list.
    const int widest = ReportLines()->WidestRow();
    ASSERT_GT(widest, 0);
    const QString line = ReportLines()->index(widest, 0).data().toString();
    const int lineWidth = list->fontMetrics().horizontalAdvance(line);
    ASSERT_GT(lineWidth, list->viewport()->width());
    EXPECT_EQ(list->textElideMode(), Qt::ElideNone);
    EXPECT_TRUE(list->horizontalScrollBar()->isVisible());
    EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(), lineWidth);

    // Click, then Shift+click: three lines, copied with Ctrl+C in report order.
    const auto rowCentre = [&](int row) {
        return list->visualRect(ReportLines()->index(row, 0)).center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(3));
    QApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = ListLines();
    EXPECT_EQ(QApplication::clipboard()->text(), lines.mid(1, 3).join(u'\n'));

    // The context menu offers both copies; "Copy all" takes every line.
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        for (QAction* action : menu->actions())
            offered << action->text();
        menu->actions().last()->trigger();
        menu->close();
    });
    QContextMenuEvent context(QContextMenuEvent::Mouse, rowCentre(2),
                              list->viewport()->mapToGlobal(rowCentre(2)));
    QApplication::sendEvent(list->viewport(), &context);
    EXPECT_EQ(offered, (QStringList{"Copy", "Copy all"}));
    EXPECT_EQ(QApplication::clipboard()->text(), lines.join(u'\n'));
    window_.hide();
}

TEST_F(TheMainWindow, TreeButtonsExpandAndCollapse) {
    OpenFighter();
    QTreeView* tree = window_.findChild<QTreeView*>(QStringLiteral("structureTree"));
    const auto everyNode = [&](const std::function<bool(const QModelIndex&)>& test) {
        bool all = true;
        for (int32_t k = 0; k < document_.Model().Tree.Count(); ++k) {
            if (document_.Model().Tree.Node(k).Children.empty()) continue;
            all = all && test(window_.TreeIndexOfNode(k));
        }
        return all;
    };
    window_.ExpandSelected();
    EXPECT_EQ(messages_.messages, QStringList{"Invalid index"});

    window_.ExpandAll();
    EXPECT_TRUE(everyNode([&](const QModelIndex& i) { return tree->isExpanded(i); }));
    window_.CollapseAll();
    EXPECT_TRUE(tree->isExpanded(window_.TreeIndexOfNode(0)));
    EXPECT_TRUE(everyNode([&](const QModelIndex& i) {
        return window_.NodeOfTreeIndex(i) == 0 || !tree->isExpanded(i);
    }));

    Choose(1);
    window_.ExpandSelected();
    const OptModel& store = document_.Model();
    const int32_t secondMesh = store.Tree.Node(0).Children[1];
    for (int32_t k = 1; k < secondMesh; ++k)  // mesh 0 and everything below it
        if (!store.Tree.Node(k).Children.empty()) {
            EXPECT_TRUE(tree->isExpanded(window_.TreeIndexOfNode(k))) << k;
        }
    EXPECT_FALSE(tree->isExpanded(window_.TreeIndexOfNode(secondMesh)));
}

TEST_F(TheMainWindow, DroppingAnOptFileOpensIt) {
    QMimeData data;
    const QString path = QString::fromStdString((kSamples / "fighter.opt").string());
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window_, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window_, &drop);
    EXPECT_EQ(window_.windowTitle(), "OPTvexlor - " + path);
    EXPECT_TRUE(document_.OptLoaded());
}

TEST_F(TheMainWindow, LevelOfDetailChoiceSetsShowLodAndRedraws) {
    OpenFighter();
    const QList<QRadioButton*> items = Child<QGroupBox>("lodChoice")->findChildren<QRadioButton*>();
    view_.calls.clear();
    items[2]->click();
    EXPECT_EQ(view_.lod, 2);
    items[0]->click();
    EXPECT_EQ(view_.lod, 0);
    EXPECT_EQ(view_.calls,
              (QStringList{"ShowLevelOfDetail(2)", "Redraw", "ShowLevelOfDetail(0)", "Redraw"}));
}

TEST_F(TheMainWindow, SavesBeforeAnyOpenSayNoOptLoaded) {
    window_.SaveAsciiWithDialog();
    EXPECT_EQ(ListLines(), (QStringList{"", "?? no opt loaded!"}));
    window_.SavePrjWithDialog();
    EXPECT_EQ(ListLines(), (QStringList{"", "?? no opt loaded!"}));
    EXPECT_TRUE(dialogs_.filtersSeen.isEmpty());
}

TEST_F(TheMainWindow, SavesAddTheirExtensionWhereItLacksAndWriteWhatVexlorWrites) {
    OpenFighter();
    Choose(3);
    const QStringList shown = ListLines();
    const std::string file = (kSamples / "fighter.opt").string();
    dialogs_.answers = {QString::fromStdString((dir_ / "notes.TXT").string()),
                        QString::fromStdString((dir_ / "model").string())};
    window_.SaveAsciiWithDialog();
    EXPECT_EQ(window_.statusBar()->currentMessage(),
              QStringLiteral("Saved %1 bytes to %2")
                  .arg(QLocale(QLocale::English).toString(fs::file_size(dir_ / "notes.TXT")))
                  .arg(QString::fromStdString((dir_ / "notes.TXT").string())));
    window_.SavePrjWithDialog();
    EXPECT_EQ(dialogs_.filtersSeen, (QStringList{"Text Files (*.txt)", "PRJ files (*.prj)"}));
    // Both dialogs start in the open file's folder with its base name.
    EXPECT_EQ(dialogs_.startsSeen,
              (QStringList{QString::fromStdString((kSamples / "fighter.txt").string()),
                           QString::fromStdString((dir_ / "fighter.PRJ").string())}));
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(ReadFile(dir_ / "notes.TXT"), Vexlor("report '" + file + "'"));
    Vexlor("prj '" + file + "' -o '" + (dir_ / "expected.PRJ").string() + "'");
    EXPECT_EQ(ReadFile(dir_ / "model.PRJ"), ReadFile(dir_ / "expected.PRJ"));
    EXPECT_TRUE(window_.statusBar()->currentMessage().endsWith("model.PRJ"));
    EXPECT_EQ(ListLines(), shown);  // the list keeps what it showed

    dialogs_.answers.clear();  // a cancelled dialog writes nothing
    window_.SaveAsciiWithDialog();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3);
    EXPECT_TRUE(messages_.questions.isEmpty());
}

TEST_F(TheMainWindow, FullReportFromTheMenuListsWhatVexlorReportWritesByteForByte) {
    OpenFighter();
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    QTest::keyClick(&window_, Qt::Key_I, Qt::AltModifier);
    auto* inspect = Child<QMenu>("inspectMenu");
    ASSERT_TRUE(QTest::qWaitFor([&] { return inspect->isVisible(); }));
    QTest::keyClick(inspect, Qt::Key_R);
    std::string listed;
    for (const std::string_view line : ReportLines()->Lines())
        listed.append(line).append("\r\n");
    EXPECT_EQ(listed, Vexlor("report '" + (kSamples / "fighter.opt").string() + "'"));
    EXPECT_EQ(ListLines().size(), ReportLines()->Lines().size());
    window_.hide();
}

TEST_F(TheMainWindow, ASaveAsksBeforeItsAddedExtensionReplacesAFile) {
    OpenFighter();
    std::ofstream(dir_ / "fighter.PRJ") << "old";
    const QString typed = QString::fromStdString((dir_ / "fighter").string());
    dialogs_.answers = {typed, typed};
    messages_.answers = {false, true};
    window_.SavePrjWithDialog();
    EXPECT_EQ(messages_.questions,
              QStringList{"fighter.PRJ already exists.\nDo you want to replace it?"});
    EXPECT_EQ(ReadFile(dir_ / "fighter.PRJ"), "old");
    window_.SavePrjWithDialog();
    EXPECT_EQ(messages_.questions.size(), 2);
    EXPECT_NE(ReadFile(dir_ / "fighter.PRJ"), "old");
    EXPECT_FALSE(fs::exists(dir_ / "fighter"));
    // The name the user picked keeps the dialog's own question: none is asked here.
    dialogs_.answers = {QString::fromStdString((dir_ / "fighter.prj").string())};
    window_.SavePrjWithDialog();
    EXPECT_EQ(messages_.questions.size(), 2);
}

TEST_F(TheMainWindow, AFailedSaveKeepsTheOldFileAndSaysSo) {
    OpenFighter();
    std::ofstream(dir_ / "kept.txt") << "old";
    dialogs_.answers = {QString::fromStdString((dir_ / "missing" / "x").string())};
    window_.SaveAsciiWithDialog();
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].startsWith("Cannot create file "));
    EXPECT_EQ(ReadFile(dir_ / "kept.txt"), "old");
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// Save ASCII, Save PRJ and Export... over the open file, by its name or a hard link, are refused
// in a message box that names both, and nothing is written.
TEST_F(TheMainWindow, WritesOverTheOpenFileAreRefusedAndWriteNothing) {
    const auto q = [](const fs::path& path) { return QString::fromStdString(path.string()); };
    fs::copy_file(kSamples / "fighter.opt", dir_ / "model.txt");
    fs::create_hard_link(dir_ / "model.txt", dir_ / "model.PRJ");
    fs::create_hard_link(dir_ / "model.txt", dir_ / "model.glb");
    ASSERT_TRUE(window_.OpenFile(q(dir_ / "model.txt")));
    const std::string before = ReadFile(dir_ / "model.txt");
    dialogs_.answers = {q(dir_ / "model.txt"), q(dir_ / "model.PRJ"), q(dir_ / "model.glb")};
    for (const char* action : {"saveAsciiAction", "savePrjAction", "exportAction"})
        Child<QAction>(action)->trigger();
    ASSERT_EQ(messages_.messages.size(), 3);
    for (const char* name : {"model.txt", "model.PRJ", "model.glb"})
        EXPECT_TRUE(messages_.messages
                        .filter(q(dir_ / name) +
                                ": it is the same file as the input " + q(dir_ / "model.txt"))
                        .size() == 1)
            << messages_.messages.join('\n').toStdString();
    EXPECT_EQ(ReadFile(dir_ / "model.txt"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3);
}

TEST_F(TheMainWindow, AFailedOpenKeepsThePreviousModelWithItsTreeAsTheUserLeftIt) {
    OpenFighter();
    window_.ExpandAll();  // expand all
    Choose(5);
    const QModelIndex chosen =
        window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex();
    const int32_t nodes = document_.Model().Tree.Count();
    const QString caption = window_.windowTitle();
    const QString missing = QString::fromStdString((dir_ / "gone.opt").string());
    window_.OpenFile(missing);
    EXPECT_EQ(messages_.messages, QStringList{"Cannot open file " + missing});
    EXPECT_EQ(window_.windowTitle(), caption);
    EXPECT_EQ(document_.Model().Tree.Count(), nodes);
    EXPECT_EQ(window_.findChild<inspector::StructureTreeModel*>()->rowCount(
                  window_.findChild<inspector::StructureTreeModel*>()->IndexOfNode(0)),
              4);
    EXPECT_EQ(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(),
              chosen);
    EXPECT_TRUE(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
                    ->selectionModel()
                    ->isSelected(chosen));
    for (int32_t k = 0; k < nodes; ++k) {
        if (!document_.Model().Tree.Node(k).Children.empty()) {
            EXPECT_TRUE(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
                            ->isExpanded(window_.TreeIndexOfNode(k)))
                << k;
        }
    }
    Choose(2);
    EXPECT_FALSE(ListLines().isEmpty());
}

TEST_F(TheMainWindow, TreeAndListModelsKeepQtsModelRulesThroughOpensChoicesAndChecks) {
    static QStringList failures;
    failures.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (QByteArray(context.category) == "qt.modeltest") failures << text;
        });
    {
        QAbstractItemModelTester tree(window_.findChild<inspector::StructureTreeModel*>(),
                                      QAbstractItemModelTester::FailureReportingMode::Warning);
        QAbstractItemModelTester filtered(window_.findChild<inspector::TreeFilterModel*>(),
                                          QAbstractItemModelTester::FailureReportingMode::Warning);
        QAbstractItemModelTester list(ReportLines(),
                                      QAbstractItemModelTester::FailureReportingMode::Warning);
        OpenFighter();
        window_.ExpandAll();
        for (const int32_t node : {0, 1, 5, 12})
            Choose(node);
        window_.RunCheck();
        window_.OpenFile(QString::fromStdString((dir_ / "gone.opt").string()));
        window_.OpenFile(QString::fromStdString((kSamples / "faulty.opt").string()));
        Choose(3);
        window_.CollapseAll();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
}

TEST_F(TheMainWindow, AFileThatIsNoOptFileIsAskedAboutAndNoKeepsTheModelListAndRecentFiles) {
    const fs::path picture = dir_ / "picture.opt";
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    png.resize(600, 'x');
    std::ofstream(picture, std::ios::binary) << png;
    const QString picturePath = QString::fromStdString(picture.string());
    const auto recent = [this] {
        QStringList shown;
        for (QAction* action : Child<QMenu>("recentMenu")->actions())
            shown << action->text();
        return shown;
    };
    OpenFighter();
    Choose(2);
    const QStringList lines = ListLines();
    const QString caption = window_.windowTitle();
    const QStringList recentBefore = recent();

    // No: nothing changes, nothing enters the recent files.
    EXPECT_FALSE(window_.OpenFile(picturePath));
    ASSERT_EQ(messages_.questions.size(), 1);
    EXPECT_TRUE(messages_.questions[0].startsWith("picture.opt does not look like an OPT file: "));
    EXPECT_TRUE(messages_.questions[0].endsWith(". Open it anyway?"));
    EXPECT_EQ(window_.windowTitle(), caption);
    EXPECT_EQ(ListLines(), lines);
    EXPECT_EQ(recent(), recentBefore);
    EXPECT_EQ(document_.CurrentFileName(), (kSamples / "fighter.opt").string());

    // A recent file that is gone: its message, and the list as it was.
    const fs::path gone = dir_ / "gone.opt";
    fs::copy_file(kSamples / "fighter.opt", gone);
    window_.OpenFile(QString::fromStdString(gone.string()));
    OpenFighter();
    Choose(2);
    fs::remove(gone);
    QAction* goneItem = nullptr;
    for (QAction* action : Child<QMenu>("recentMenu")->actions())
        if (action->text().contains("gone.opt")) goneItem = action;
    ASSERT_NE(goneItem, nullptr);
    goneItem->trigger();
    EXPECT_EQ(messages_.messages.last(),
              "Cannot open file " + QString::fromStdString(gone.string()));
    EXPECT_EQ(ListLines(), lines);
    EXPECT_EQ(window_.windowTitle(), caption);

    // Yes: opened, and the status bar still says what it is.
    messages_.answers << true;
    EXPECT_TRUE(window_.OpenFile(picturePath));
    EXPECT_EQ(window_.windowTitle(), "OPTvexlor - " + picturePath);
    EXPECT_TRUE(
        window_.statusBar()->currentMessage().startsWith("This does not look like an OPT file: "))
        << window_.statusBar()->currentMessage().toStdString();
    // Read again, it is not asked about again.
    EXPECT_TRUE(window_.ReloadFile());
    EXPECT_EQ(messages_.questions.size(), 2);
    OpenFighter();
    EXPECT_TRUE(window_.statusBar()->currentMessage().isEmpty());
}

TEST_F(TheMainWindow, RotationControlsReachTheView) {
    view_.calls.clear();
    Child<QCheckBox>("rotationBox")->click();
    Child<QSlider>("spinSpeed")->setValue(8000);
    EXPECT_EQ(view_.calls, (QStringList{"RotationClicked(0)", "SpinSlider(8000)"}));
}

TEST_F(TheMainWindow, CheckOptListsWhatVexlorCheckPrintsForTheChosenMode) {
    Child<QToolButton>("checkButton")->click();
    EXPECT_EQ(ListLines(), (QStringList{"", "?? no opt loaded!"}));

    const struct {
        const char* file;
        int item;
        const char* mode;
    } runs[] = {{"seam.opt", 0, "whole"},        {"seam.opt", 1, "mesh"},
                {"faulty.opt", 0, "whole"},      {"faulty.opt", 2, "none"},
                {"fighter.opt", 0, "whole"},     {"broken/offsets-outside.opt", 0, "whole"},
                {"broken/empty.opt", 0, "whole"}};
    // The verdict line carries the tick only when the run ends "All OK!!".
    const auto image = [this](QStyle::StandardPixmap mark) {
        return window_.style()->standardIcon(mark).pixmap(16).toImage();
    };
    for (const auto& run : runs) {
        const std::string file = (kSamples / run.file).string();
        messages_.answers = {true};  // also where it does not look like an OPT file
        window_.OpenFile(QString::fromStdString(file));
        Child<QGroupBox>("normalCheckMode")->findChildren<QRadioButton*>()[run.item]->click();
        Child<QAction>("checkAction")->trigger();
        const QString expected =
            QString::fromStdString(Vexlor("check '" + file + "' --vn " + run.mode));
        EXPECT_EQ(ListLines().join(u'\n') + u'\n', expected) << run.file << " " << run.mode;
        const bool ok = ListLines().back() == "All OK!!";
        const int verdict = ReportLines()->MarkedRow();
        ASSERT_EQ(verdict, ListLines().size() - (ok ? 1 : 2)) << run.file;
        const QIcon mark = ReportLines()->index(verdict).data(Qt::DecorationRole).value<QIcon>();
        EXPECT_EQ(mark.pixmap(16).toImage(),
                  image(ok ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxCritical))
            << run.file;
        EXPECT_EQ(ok, std::string(run.file) == "fighter.opt") << run.file;
    }
    // On the seam sample the two modes find different corners, so a swap of them would show.
    const std::string seam = "'" + (kSamples / "seam.opt").string() + "'";
    EXPECT_NE(Vexlor("check " + seam + " --vn whole"), Vexlor("check " + seam + " --vn mesh"));
    std::vector<std::string> lines;
    EXPECT_EQ(ListLines().back(),
              QString("Number of errors = ") +
                  QString::number(
                      RunConsistencyCheck(document_, VertexNormalCheck::None, lines).ErrorCount));
}

}  // namespace
}  // namespace vexlor::desktop
