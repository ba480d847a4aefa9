// The inspector in the main window as a user meets it: the hex view following the tree and each
// open, "Go to offset" and the searches from their keys, check findings and the file's problems
// leading to their faces and blocks, tree tool tips, reload on change, recent files, and what the
// window remembers in its settings. The 3D view, dialogs and messages are recording stand-ins;
// each test keeps its settings in a file of its own.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "desktop/MainWindow.h"
#include "desktop/RecentFiles.h"
#include "desktop/ReloadBar.h"
#include "inspector/ComparePanel.h"
#include "inspector/FindingsPanel.h"
#include "inspector/FindingsTableModel.h"
#include "inspector/HexLegend.h"
#include "inspector/HexPane.h"
#include "inspector/HexTints.h"
#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/OffsetBar.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/ReportSearch.h"
#include "inspector/SearchBar.h"
#include "inspector/StructureTreeModel.h"
#include "inspector/TreeFilterModel.h"
#include "inspector/TreeImages.h"
#include "reader/BlockRegions.h"
#include "reader/BlockTypes.h"
#include "reader/ByteOutput.h"
#include "reader/FormatTables.h"
#include "samples/EveryBlockSample.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::inspector {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";
const QString kDataFolder = QStringLiteral(VEXLOR_SOURCE_DIR "/data");

fs::path TestFolder() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("vexlor-inspector-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

bool IsProblemLine(const std::string& line) {
    const size_t text = line.find_first_not_of(' ');
    return text != std::string::npos && line.compare(text, 2, "!!") == 0;
}

// The "!!" lines of what Save ASCII writes for the open file. (The document's tables outlive a
// file, as the walk's readers need, so an index can be good or bad after another file was open:
// the count is that of this document's report, not of a fresh one.)
std::vector<std::string> ProblemLinesOfTheReport(OptDocument& document) {
    MemoryOutput report;
    CrLfLineOutput lines(report);
    document.WriteReport(lines, "caption");
    const std::string text(report.Bytes().begin(), report.Bytes().end());
    std::vector<std::string> problems;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string line = text.substr(start, end - start);
        if (IsProblemLine(line)) problems.push_back(line);
    }
    return problems;
}

// What a double-click delivers: a press and a release, then the double-click and its release.
void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

class Inspector : public ::testing::Test {
  protected:
    Inspector() { window_.resize(1300, 850); }
    ~Inspector() override {
        settings_.sync();
        fs::remove_all(dir_);
    }

    void Show() {
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }
    fs::path Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing::WriteFile((dir_ / name).string(), bytes);
        return dir_ / name;
    }
    bool Open(const fs::path& path) { return window_.OpenFile(Q(path)); }
    int32_t NodeOfBlock(int64_t offset, int32_t type = -1) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 1; k < table.size(); ++k)
            if (table[k].Offset == offset && (type < 0 || table[k].Type == type))
                return static_cast<int32_t>(k);
        return -1;
    }
    int32_t FirstNodeOfType(int32_t type) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 1; k < table.size(); ++k)
            if (table[k].Type == type) return static_cast<int32_t>(k);
        return -1;
    }
    const BlockEntry& BlockOfNode(int32_t node) const {
        return document_.Model().BlockTable[static_cast<size_t>(node)];
    }
    // A click on the node's row in the tree, scrolled into sight first.
    void ClickNode(int32_t node) {
        QTreeView* tree = window_.findChild<QTreeView*>(QStringLiteral("structureTree"));
        const QModelIndex index = window_.TreeIndexOfNode(node);
        ASSERT_TRUE(index.isValid()) << node;
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }
    void ClickListRow(int row) {
        ReportListView* list = window_.findChild<ReportListView*>(QStringLiteral("reportList"));
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }
    // Keys go where a user's keys go: to the widget with the focus.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    }
    static void Type(QLineEdit* field, const QString& text) {
        field->clear();
        QTest::keyClicks(field, text);
    }
    QString TreeToolTip(int32_t node) {
        QTreeView* tree = window_.findChild<QTreeView*>(QStringLiteral("structureTree"));
        const QModelIndex index = window_.TreeIndexOfNode(node);
        tree->scrollTo(index);
        const QPoint at = tree->visualRect(index).center();
        QTest::mouseMove(tree->viewport(), at);
        QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    QStringList ListLines() const {
        QStringList lines;
        const QAbstractItemModel* model =
            window_.findChild<ReportListView*>(QStringLiteral("reportList"))->model();
        for (int row = 0; row < model->rowCount(); ++row)
            lines << model->index(row, 0).data().toString();
        return lines;
    }
    HexView* Hex() const { return window_.findChild<HexPane*>()->View(); }

    fs::path dir_ = TestFolder();
    QSettings settings_{Q(dir_ / "settings.ini"), QSettings::IniFormat};
    OptDocument document_;
    desktop::RecordingViewLink view_;
    desktop::RecordingMessagePresenter messages_;
    desktop::ScriptedFileDialogs dialogs_;
    desktop::MainWindow window_{{document_, view_, messages_, dialogs_, kDataFolder, &settings_}};
};

TEST_F(Inspector, TheHexViewShowsNothingBeforeAnOpenThenFollowsTreeChoicesAndEachOpen) {
    Show();
    EXPECT_EQ(Hex()->Model()->Stream(), nullptr);
    const QImage blank = Hex()->viewport()->grab().toImage();
    const QColor base = Hex()->palette().color(QPalette::Base);
    EXPECT_EQ(QColor(blank.pixel(20, 10)), base);
    EXPECT_EQ(QColor(blank.pixel(blank.width() / 2, blank.height() / 2)), base);

    const testing::EveryBlockSample sample;
    ASSERT_TRUE(Open(Write("every.opt", sample.Bytes)));
    EXPECT_EQ(Hex()->Model()->FileSize(), static_cast<int64_t>(sample.Bytes.size()));
    window_.ExpandAll();

    ClickNode(NodeOfBlock(sample.Faces));
    EXPECT_EQ(Hex()->CurrentOffset(), sample.Faces);
    EXPECT_FALSE(Hex()->HexCellRect(sample.Faces).isEmpty());
    const int64_t indices = sample.Faces + 24 + 4;
    EXPECT_EQ(Hex()->Model()->TintAt(indices), TintOf(FieldKind::kFaceVertexIndices));
    QStringList legend;
    for (const HexLegend::Entry& entry : window_.findChild<HexPane*>()->Legend()->Entries())
        legend << entry.Name;
    EXPECT_TRUE(legend.contains("vertex indices"));
    EXPECT_TRUE(legend.contains("soft vectors"));
    // The picture: the index bytes' cells carry their tint.
    const QImage picture = Hex()->viewport()->grab().toImage();
    const QRect cell = Hex()->HexCellRect(indices);
    ASSERT_FALSE(cell.isEmpty());
    EXPECT_EQ(QColor(picture.pixel(cell.center().x(), cell.top())),
              TintOf(FieldKind::kFaceVertexIndices));

    ClickNode(NodeOfBlock(sample.Hardpoint));
    EXPECT_EQ(Hex()->CurrentOffset(), sample.Hardpoint);
    EXPECT_FALSE(Hex()->Model()->TintAt(indices).isValid());
    EXPECT_EQ(Hex()->Model()->TintAt(sample.Hardpoint + 24), TintOf(FieldKind::kHardpointType));

    testing::FighterLayout layout;
    const std::vector<uint8_t> fighter = testing::BuildFighter(layout);
    ASSERT_TRUE(Open(Write("fighter.opt", fighter)));
    EXPECT_EQ(Hex()->Model()->FileSize(), static_cast<int64_t>(fighter.size()));
    EXPECT_TRUE(Hex()->Model()->Block().Spans.empty());
    EXPECT_EQ(Hex()->CurrentOffset(), 0);
}

TEST_F(Inspector, CtrlGGoesToHeadersPayloadsAndBetweenBlocksAndSaysWhatIsWrong) {
    Show();
    const testing::EveryBlockSample sample;
    ASSERT_TRUE(Open(Write("every.opt", sample.Bytes)));
    ClickNode(0);
    Press(Qt::Key_G, Qt::ControlModifier);
    OffsetBar* bar = window_.findChild<HexPane*>()->Offsets();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->Field()->hasFocus());
    const auto go = [&](const QString& text) {
        Type(bar->Field(), text);
        QTest::keyClick(bar->Field(), Qt::Key_Return);
    };

    const int32_t faces = NodeOfBlock(sample.Faces);
    go(QString::number(sample.Faces + 6));  // the face block's type field
    EXPECT_EQ(window_.ChosenNode(), faces);
    EXPECT_EQ(Hex()->CurrentOffset(), sample.Faces + 6);
    EXPECT_EQ(ListLines().value(0), "This block is in MESH 0");
    EXPECT_EQ(bar->Status(), OffsetWords(sample.Faces + 6) + " is in Data block 1 at " +
                                 QString::number(sample.Faces));

    const int64_t payload = sample.Faces + 24 + 4 + 99;
    go("0x" + QString::number(payload, 16));
    EXPECT_EQ(window_.ChosenNode(), faces);
    EXPECT_EQ(Hex()->CurrentOffset(), payload);
    EXPECT_FALSE(Hex()->HexCellRect(payload).isEmpty());

    go(" 0x" + QString::number(sample.Hardpoint + 30, 16) + " ");  // spaces around it are no matter
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample.Hardpoint));

    go(QString::number(sample.Gap + 2));  // between blocks: the choice stays
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample.Hardpoint));
    EXPECT_EQ(Hex()->CurrentOffset(), sample.Gap + 2);
    EXPECT_EQ(bar->Status(),
              "No block holds offset " + OffsetWords(sample.Gap + 2) + ": it lies between blocks");

    const auto size = static_cast<int64_t>(sample.Bytes.size());
    go(QString::number(size));
    EXPECT_EQ(bar->Status(), QString("Offset %1 is past the end of the file: it is %1 bytes long, "
                                     "its last offset is %2")
                                 .arg(size)
                                 .arg(size - 1));
    EXPECT_EQ(Hex()->CurrentOffset(), sample.Gap + 2);
    go("12z");
    EXPECT_EQ(bar->Status(),
              "\"12z\" is not an offset: type a decimal number, or 0x and hex digits");
    go("9");  // the file header's bytes belong to the root node
    EXPECT_EQ(window_.ChosenNode(), 0);
    EXPECT_EQ(Hex()->CurrentOffset(), 9);

    Press(Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(Hex()->hasFocus());
}

TEST_F(Inspector, CtrlFSearchesThePaneWithTheFocus) {
    Show();
    ASSERT_TRUE(Open(kSamples / "fighter.opt"));
    const int32_t faces = FirstNodeOfType(kTypeFace);
    ClickNode(faces);

    // The tree: its nodes filtered by label, their ancestors kept.
    Press(Qt::Key_F, Qt::ControlModifier);
    SearchBar* treeBar = window_.findChild<SearchBar*>(QStringLiteral("treeSearchBar"));
    ASSERT_TRUE(treeBar->isVisible());
    EXPECT_TRUE(treeBar->Field()->hasFocus());
    EXPECT_FALSE(window_.findChild<SearchBar*>(QStringLiteral("reportSearchBar"))->isVisible());
    QTest::keyClicks(treeBar->Field(), "data block 22");
    const auto& table = document_.Model().BlockTable;
    const auto hardpoints =
        std::count_if(table.begin(), table.end(), [](const BlockEntry& e) { return e.Type == 22; });
    EXPECT_EQ(window_.findChild<TreeFilterModel*>()->MatchCount(), hardpoints);
    EXPECT_FALSE(window_.TreeIndexOfNode(faces).isValid());
    // The block shown stays while the filter hides its node.
    EXPECT_TRUE(ListLines().join(u'\n').contains("FACE block (01) at offset " +
                                                 QString::number(BlockOfNode(faces).Offset)));
    const int32_t hardpoint = FirstNodeOfType(kTypeHardpoint);
    ClickNode(hardpoint);
    EXPECT_EQ(window_.ChosenNode(), hardpoint);
    EXPECT_EQ(Hex()->CurrentOffset(), BlockOfNode(hardpoint).Offset);
    EXPECT_TRUE(ListLines().join(u'\n').contains("HARDPOINT block (22) at offset " +
                                                 QString::number(BlockOfNode(hardpoint).Offset)));
    Press(Qt::Key_F, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(treeBar->isVisible());
    EXPECT_TRUE(window_.TreeIndexOfNode(faces).isValid());
    EXPECT_EQ(window_.ChosenNode(), hardpoint);

    // The report list: its lines, with the count.
    ClickNode(faces);
    ClickListRow(0);
    Press(Qt::Key_F, Qt::ControlModifier);
    SearchBar* reportBar = window_.findChild<SearchBar*>(QStringLiteral("reportSearchBar"));
    ASSERT_TRUE(reportBar->isVisible());
    EXPECT_TRUE(reportBar->Field()->hasFocus());
    QTest::keyClicks(reportBar->Field(), "soFTvector 2");
    QTRY_VERIFY(!window_.findChild<ReportSearch*>()->Running());
    const int softs = static_cast<int>(ListLines().filter("Softvector 2").size());
    ASSERT_GT(softs, 1);
    EXPECT_EQ(reportBar->Status(), QString("1 of %1").arg(softs));
    Press(Qt::Key_Return);
    EXPECT_EQ(reportBar->Status(), QString("2 of %1").arg(softs));
    EXPECT_TRUE(
        ListLines()
            [window_.findChild<ReportListView*>(QStringLiteral("reportList"))->currentIndex().row()]
                .contains("Softvector 2"));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(reportBar->isVisible());
    EXPECT_TRUE(window_.findChild<ReportListView*>(QStringLiteral("reportList"))->hasFocus());

    // The hex view: bytes, from the current byte on.
    QTest::mouseClick(Hex()->viewport(), Qt::LeftButton, {},
                      Hex()->HexCellRect(Hex()->CurrentOffset()).center());
    Press(Qt::Key_F, Qt::ControlModifier);
    SearchBar* hexBar = window_.findChild<HexPane*>()->Search();
    ASSERT_TRUE(hexBar->isVisible());
    QTest::keyClicks(hexBar->Field(), "16 00 00 00");  // a hardpoint's block type
    Press(Qt::Key_Return);
    ASSERT_EQ(Hex()->MarkedLength(), 4);
    const auto& bytes = document_.Stream().Bytes();
    const auto at = static_cast<size_t>(Hex()->MarkedOffset());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + 4),
              (std::vector<uint8_t>{0x16, 0, 0, 0}));
}

TEST_F(Inspector, SearchingTheFullReportOfALargeModelLeavesTheWindowAnswering) {
    Show();
    ASSERT_TRUE(Open(Write("large.opt", testing::BuildLargeModel(70'000, 8))));
    window_.findChild<QAction*>(QStringLiteral("fullReportAction"))->trigger();
    const auto* model = qobject_cast<const ReportListModel*>(
        window_.findChild<ReportListView*>(QStringLiteral("reportList"))->model());
    ASSERT_GE(model->Lines().size(), 2'600'000u);
    EXPECT_EQ(model->Lines()[0], "OPTvexlor - " + (dir_ / "large.opt").string());

    const std::string wanted = "face 4321 ";
    size_t expected = 0;
    int first = -1;
    for (size_t row = 0; row < model->Lines().size(); ++row) {
        std::string lower(model->Lines()[row]);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.find(wanted) == std::string::npos) continue;
        if (first < 0) first = static_cast<int>(row);
        ++expected;
    }
    ASSERT_GT(expected, 8u);

    ClickListRow(0);
    Press(Qt::Key_F, Qt::ControlModifier);
    QLineEdit* field = window_.findChild<SearchBar*>(QStringLiteral("reportSearchBar"))->Field();
    ASSERT_TRUE(field->hasFocus());
    ReportSearch* search = window_.findChild<ReportSearch*>();
    QSignalSpy statuses(search, &ReportSearch::StatusChanged);
    QTest::keyClicks(field, "FaCe 4321 ");
    EXPECT_TRUE(search->Running());
    // A key for another part of the window is handled while the search goes on.
    auto* filter = window_.findChild<FindingsPanel*>(QStringLiteral("findingsPanel"))->Filter();
    bool answeredWhileSearching = false;
    QObject::connect(filter, &QLineEdit::textChanged,
                     [&] { answeredWhileSearching = search->Running(); });
    QApplication::postEvent(filter,
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z"));
    QTRY_VERIFY_WITH_TIMEOUT(!search->Running(), 240'000);
    EXPECT_EQ(filter->text(), "z");
    EXPECT_TRUE(answeredWhileSearching);
    EXPECT_GT(statuses.size(), 2);  // progress was shown along the way
    EXPECT_EQ(search->Matches().size(), expected);
    EXPECT_EQ(search->CurrentRow(), first);
    EXPECT_EQ(window_.findChild<SearchBar*>(QStringLiteral("reportSearchBar"))->Status(),
              QString("1 of %1").arg(expected));
    const int row =
        window_.findChild<ReportListView*>(QStringLiteral("reportList"))->currentIndex().row();
    ASSERT_EQ(row, first);
    EXPECT_TRUE(ReportListModel::DisplayText(model->Lines()[static_cast<size_t>(row)])
                    .contains("face 4321 ", Qt::CaseInsensitive));
}

// The place a check finding should lead to, found without the check: the draw table holds every
// face of a mesh in the order the report numbers them.
std::pair<int64_t, int32_t> FaceInFile(const OptModel& model, int32_t mesh, int64_t face) {
    int64_t seen = 0;
    for (const DrawFace& drawn : model.DrawFaces) {
        if (drawn.Mesh != mesh) continue;
        if (seen++ == face) return {drawn.BlockOffset, drawn.FaceInBlock};
    }
    return {-1, -1};
}

TEST_F(Inspector, EveryFindingOfTheFaultySampleLeadsToItsFaceFromTheListAndThePanel) {
    Show();
    ASSERT_TRUE(Open(kSamples / "faulty.opt"));
    window_.findChild<QToolButton*>(QStringLiteral("checkButton"))->click();
    const QStringList checkLines = ListLines();
    const std::vector<CheckFinding>& findings = window_.CheckFindings();
    std::set<FindingKind> kinds;
    int faceFindings = 0;
    for (const CheckFinding& finding : findings) {
        if (finding.BlockOffset < 0) continue;
        ++faceFindings;
        kinds.insert(finding.Kind);
        const auto [block, faceInBlock] = FaceInFile(document_.Model(), finding.Mesh, finding.Face);
        ASSERT_EQ(block, finding.BlockOffset) << finding.Text;
        ASSERT_EQ(faceInBlock, finding.FaceInBlock) << finding.Text;

        // A double-click on the finding's line.
        const auto row = static_cast<int>(finding.Line);
        ASSERT_EQ(checkLines[row].toStdString(), finding.Text);
        ReportListView* list = window_.findChild<ReportListView*>(QStringLiteral("reportList"));
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        view_.calls.clear();
        DoubleClick(list->viewport(), list->visualRect(index).center());
        const int32_t node = window_.ChosenNode();
        ASSERT_GE(node, 0) << finding.Text;
        EXPECT_EQ(BlockOfNode(node).Offset, block) << finding.Text;
        EXPECT_EQ(BlockOfNode(node).Type, kTypeFace) << finding.Text;
        EXPECT_EQ(BlockOfNode(node).Mesh, finding.Mesh) << finding.Text;
        EXPECT_EQ(view_.highlight, std::make_pair(block, faceInBlock)) << finding.Text;
        EXPECT_EQ(
            view_.calls.mid(view_.calls.size() - 2),
            (QStringList{QString("HighlightFace(%1,%2)").arg(block).arg(faceInBlock), "Redraw"}));
        EXPECT_EQ(Hex()->CurrentOffset(), finding.RecordOffset) << finding.Text;
        EXPECT_EQ(Hex()->MarkedOffset(), finding.RecordOffset);
        EXPECT_EQ(Hex()->MarkedLength(), 64);
        EXPECT_EQ(Hex()->Model()->SpanAt(finding.RecordOffset)->Kind,
                  FieldKind::kFaceVertexIndices);
        EXPECT_EQ(ListLines(), checkLines);  // the check's lines stay to go on with
    }
    EXPECT_EQ(kinds, (std::set<FindingKind>{
                         FindingKind::CoincidentVertices, FindingKind::FaceNormalReversed,
                         FindingKind::FaceNormal, FindingKind::SoftVector,
                         FindingKind::NoNormalContributions, FindingKind::VertexNormal}));
    // A line that is no finding's leads nowhere.
    view_.calls.clear();
    ReportListView* list = window_.findChild<ReportListView*>(QStringLiteral("reportList"));
    DoubleClick(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_TRUE(view_.calls.isEmpty());

    // The panel lists the same findings; a click on a row does what the double-click did.
    FindingsPanel* panel = window_.findChild<FindingsPanel*>(QStringLiteral("findingsPanel"));
    QTableView* table = panel->Table();
    ASSERT_EQ(table->model()->rowCount(), static_cast<int>(findings.size()));
    EXPECT_EQ(panel->Count(), QString("%1 rows").arg(findings.size()));
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        const CheckFinding& finding = findings[static_cast<size_t>(row)];
        const auto cell = [&](int column) {
            return table->model()->index(row, column).data().toString();
        };
        EXPECT_EQ(cell(FindingsTableModel::kKind), FindingKindName(finding.Kind).data());
        EXPECT_EQ(cell(FindingsTableModel::kText).toStdString(), finding.Text);
        if (finding.BlockOffset < 0) continue;
        EXPECT_EQ(cell(FindingsTableModel::kMesh), QString::number(finding.Mesh));
        EXPECT_EQ(cell(FindingsTableModel::kFace), QString::number(finding.Face));
        EXPECT_EQ(cell(FindingsTableModel::kOffset), QString::number(finding.RecordOffset));
        if (finding.Kind == FindingKind::FaceNormalReversed) {
            EXPECT_EQ(cell(FindingsTableModel::kDifference), QString::fromUtf8("180.0\u00B0"));
        }
        const QModelIndex index = table->model()->index(row, FindingsTableModel::kKind);
        table->scrollTo(index);
        view_.highlight = {-1, -1};
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
        EXPECT_EQ(BlockOfNode(window_.ChosenNode()).Offset, finding.BlockOffset);
        EXPECT_EQ(view_.highlight, std::make_pair(finding.BlockOffset, finding.FaceInBlock));
        EXPECT_EQ(Hex()->CurrentOffset(), finding.RecordOffset);
        // Chosen from the panel, the face block's report is shown, as a tree click shows it,
        // at the face's lines.
        EXPECT_EQ(ListLines().value(0), QString("This block is in MESH %1").arg(finding.Mesh));
        EXPECT_EQ(list->currentIndex().data().toString(),
                  QString("FACE %1").arg(finding.FaceInBlock));
    }
    // The arrow keys step through the rows, each leading to its face.
    Press(Qt::Key_Up);
    const int current = table->currentIndex().row();
    EXPECT_EQ(view_.highlight, std::make_pair(findings[static_cast<size_t>(current)].BlockOffset,
                                              findings[static_cast<size_t>(current)].FaceInBlock));

    // Sorted by a click on a header, filtered by typed text.
    const int faceColumn = FindingsTableModel::kFace;
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(faceColumn) + 5, header->height() / 2));
    int64_t last = -2;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        const int64_t face =
            table->model()->index(row, faceColumn).data(FindingsTableModel::kSortRole).toLongLong();
        EXPECT_GE(face, last);
        last = face;
    }
    QTest::keyClicks(panel->Filter(), "SOFTVEC");
    const auto softs = std::count_if(findings.begin(), findings.end(), [](const CheckFinding& f) {
        return f.Kind == FindingKind::SoftVector;
    });
    EXPECT_EQ(table->model()->rowCount(), softs);
    EXPECT_EQ(panel->Count(), QString("%1 of %2 rows").arg(softs).arg(findings.size()));
}

TEST_F(Inspector, ABrokenFilesProblemsShowInTheStatusBarOnTheTreeAndInThePanel) {
    testing::OptBuilder b;
    const int64_t vertices = b.AddVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    testing::FaceInput face;
    face.Vertex = {0, 1, 5000, -1};
    const int64_t faces = b.AddFaces({face});
    const int64_t outside = b.AddJump(0, {vertices});
    const int64_t root = b.AddJump(0, {vertices, outside, faces});
    b.SetMeshes({root});
    std::vector<uint8_t> bytes = b.Build();
    // The inner jump block's slot points beyond the end of the file.
    testing::OptBuilder::PatchInt32(bytes, outside + 24, b.StoredOffset(1 << 20));
    const fs::path file = Write("broken.opt", bytes);
    Show();
    ASSERT_TRUE(Open(file));

    // The report of the file has the problems the window counts.
    const std::vector<std::string> problems = ProblemLinesOfTheReport(document_);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(window_.findChild<QLabel*>(QStringLiteral("problemsLabel"))->text(),
              "2 problems in the file");

    // The face block and the jump block with the bad slot carry the warning; the others do not.
    window_.ExpandAll();
    const auto warned = [&](int32_t node) {
        const QIcon icon = window_.TreeIndexOfNode(node).data(Qt::DecorationRole).value<QIcon>();
        const QImage picture = icon.pixmap(16, 16).toImage();
        return QColor(picture.pixel(9, 14)) == WarningColour();
    };
    EXPECT_TRUE(warned(NodeOfBlock(faces)));
    EXPECT_TRUE(warned(NodeOfBlock(outside)));
    EXPECT_FALSE(warned(NodeOfBlock(vertices)));
    EXPECT_FALSE(warned(NodeOfBlock(root)));
    EXPECT_FALSE(warned(0));
    // The tree's picture shows it too.
    const QImage tree = window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
                            ->viewport()
                            ->grab()
                            .toImage();
    const QRect faceRow = window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
                              ->visualRect(window_.TreeIndexOfNode(NodeOfBlock(faces)));
    bool seen = false;
    for (int y = faceRow.top(); y <= faceRow.bottom(); ++y)
        for (int x = std::max(0, faceRow.left() - 20); x < faceRow.left() + 40 && x < tree.width();
             ++x)
            seen = seen || QColor(tree.pixel(x, y)) == WarningColour();
    EXPECT_TRUE(seen);
    // Hovering says what the block is and what is wrong with it.
    EXPECT_EQ(TreeToolTip(NodeOfBlock(faces)),
              "faces, 1 of them\n" + QString::fromStdString(problems[1]).trimmed());

    // The panel lists them; choosing one chooses its block and shows the byte it is about.
    FindingsPanel* panel = window_.findChild<FindingsPanel*>(QStringLiteral("findingsPanel"));
    QTableView* table = panel->Table();
    ASSERT_EQ(table->model()->rowCount(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(table->model()->index(row, FindingsTableModel::kText).data().toString(),
                  QString::fromStdString(problems[static_cast<size_t>(row)]).trimmed());
    EXPECT_EQ(table->model()->index(0, FindingsTableModel::kKind).data().toString(),
              "offset outside the file");
    EXPECT_EQ(table->model()->index(1, FindingsTableModel::kKind).data().toString(),
              "index outside its table");
    const QModelIndex badIndex = table->model()->index(1, FindingsTableModel::kKind);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(badIndex).center());
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(faces));
    EXPECT_EQ(Hex()->CurrentOffset(), faces + 24 + 4 + 8);  // vertex index 2 of face 0
    EXPECT_EQ(Hex()->MarkedLength(), 4);
    // A problem about a face names the face and corner, shows the face's lines and the face.
    EXPECT_EQ(table->model()->index(1, FindingsTableModel::kFace).data().toString(), "0");
    EXPECT_EQ(table->model()->index(1, FindingsTableModel::kCorner).data().toString(), "2");
    EXPECT_EQ(view_.highlight, std::make_pair(faces, 0));
    EXPECT_EQ(window_.findChild<ReportListView*>(QStringLiteral("reportList"))
                  ->currentIndex()
                  .data()
                  .toString(),
              "FACE 0");
    EXPECT_FALSE(table->model()->index(0, FindingsTableModel::kFace).data().isValid());
    const QModelIndex slot = table->model()->index(0, FindingsTableModel::kKind);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(slot).center());
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(outside));
    EXPECT_EQ(Hex()->CurrentOffset(), outside + 24);

    // A clean file: no problems, no rows, no warnings.
    ASSERT_TRUE(Open(kSamples / "fighter.opt"));
    EXPECT_EQ(window_.findChild<QLabel*>(QStringLiteral("problemsLabel"))->text(),
              "No problems in the file");
    EXPECT_EQ(table->model()->rowCount(), 0);
}

TEST_F(Inspector, EveryBrokenSamplesProblemsAreCountedListedAndLeadToAMarkedNode) {
    Show();
    FindingsPanel* panel = window_.findChild<FindingsPanel*>(QStringLiteral("findingsPanel"));
    QTableView* table = panel->Table();
    const auto warned = [&](int32_t node) {
        const QIcon icon = window_.TreeIndexOfNode(node).data(Qt::DecorationRole).value<QIcon>();
        return QColor(icon.pixmap(16, 16).toImage().pixel(9, 14)) == WarningColour();
    };
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kSamples / "broken")) {
        const fs::path file = entry.path();
        ++files;
        // A broken sample may not look like an OPT file: the user opens it anyway.
        messages_.answers = {true};
        ASSERT_TRUE(Open(file)) << file;
        messages_.answers.clear();
        const std::vector<std::string> problems = ProblemLinesOfTheReport(document_);
        const auto count = static_cast<int>(problems.size());
        EXPECT_EQ(window_.findChild<QLabel*>(QStringLiteral("problemsLabel"))->text(),
                  count == 0   ? QString("No problems in the file")
                  : count == 1 ? QString("1 problem in the file")
                               : QString("%1 problems in the file").arg(count))
            << file;
        ASSERT_EQ(table->model()->rowCount(), count) << file;
        int marked = 0;
        for (int32_t node = 0; node < document_.Model().Tree.Count(); ++node)
            marked += warned(node) ? 1 : 0;
        EXPECT_EQ(marked > 0, count > 0) << file;
        for (int row = 0; row < count; ++row) {
            EXPECT_EQ(table->model()->index(row, FindingsTableModel::kText).data().toString(),
                      ReportListModel::DisplayText(problems[static_cast<size_t>(row)]).trimmed())
                << file;
            // Chosen, the row's block is the chosen node, and it carries the warning.
            const QModelIndex cell = table->model()->index(row, FindingsTableModel::kKind);
            table->scrollTo(cell);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(cell).center());
            const int32_t node = window_.ChosenNode();
            ASSERT_GE(node, 0) << file << " " << problems[static_cast<size_t>(row)];
            EXPECT_TRUE(warned(node)) << file << " " << problems[static_cast<size_t>(row)];
        }
    }
    EXPECT_GE(files, 10);
}

TEST_F(Inspector, CompareWithListsTheChangedFieldsAndARowLeadsToItsFaceBytesAndReportLines) {
    Show();
    // Before any open there is nothing to compare.
    window_.findChild<QAction*>(QStringLiteral("compareAction"))->trigger();
    EXPECT_EQ(ListLines(), (QStringList{"", "?? no opt loaded!"}));
    EXPECT_TRUE(dialogs_.filtersSeen.isEmpty());

    testing::FighterLayout layout;
    std::vector<uint8_t> bytes = testing::BuildFighter(layout);
    const fs::path a = Write("a.opt", bytes);
    ASSERT_TRUE(Open(a));
    const int64_t faces = layout.Meshes[0].Faces[0];
    const BlockRegions regions =
        LocateBlock(document_.Stream(), document_.Model().GlobalOffset, faces, kTypeFace);
    const int64_t normal = regions.Region(format::kFaceNormalsRegion).RecordOffset(3);
    bytes[static_cast<size_t>(normal) + 3] ^= 0x80;  // face 3's normal.x negated
    const fs::path b = Write("b.opt", bytes);
    Write("empty.opt", {});

    // File > Compare with..., a file that is no OPT file: said, and nothing listed.
    auto* compare = window_.findChild<ComparePanel*>(QStringLiteral("comparePanel"));
    dialogs_.answers = {Q(dir_ / "empty.opt")};
    window_.findChild<QAction*>(QStringLiteral("compareAction"))->trigger();
    EXPECT_EQ(dialogs_.filtersSeen.back(), "OPT files (*.OPT *.opt *.Opt)");
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_EQ(messages_.messages.back(), Q(dir_ / "empty.opt") + " is not an OPT file");
    EXPECT_EQ(messages_.details.back(), "it is empty");
    EXPECT_EQ(compare->Table()->model()->rowCount(), 0);

    dialogs_.answers = {Q(b)};
    window_.findChild<QAction*>(QStringLiteral("compareAction"))->trigger();
    ASSERT_TRUE(compare->isVisible());
    EXPECT_EQ(compare->Count(), "1 row");
    QTableView* table = compare->Table();
    const auto cell = [&](int column) {
        return table->model()->index(0, column).data().toString();
    };
    EXPECT_EQ(cell(CompareTableModel::kField), "normal");
    EXPECT_EQ(cell(CompareTableModel::kRecord), "face 3");
    EXPECT_EQ(cell(CompareTableModel::kB), "-" + cell(CompareTableModel::kA));
    EXPECT_TRUE(
        cell(CompareTableModel::kText).startsWith(QStringLiteral("offset %1: ").arg(normal)));
    EXPECT_TRUE(
        cell(CompareTableModel::kText)
            .contains(
                QStringLiteral("(face block at %1), mesh 0, faceNormals[3].normal: ").arg(faces)));
    // The differing face is marked in the view while the panel shows.
    EXPECT_EQ(view_.marked, (std::vector<std::pair<int64_t, int32_t>>{{faces, 3}}));
    EXPECT_TRUE(window_.statusBar()->currentMessage().endsWith(
        "1 difference: 1 field value, 0 record ranges, 0 blocks only in A, 0 blocks only in B"));

    // A click on the row: the face block chosen, the face highlighted, its bytes marked.
    view_.calls.clear();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    EXPECT_EQ(BlockOfNode(window_.ChosenNode()).Offset, faces);
    EXPECT_EQ(view_.highlight, std::make_pair(faces, 3));
    EXPECT_EQ(Hex()->MarkedOffset(), normal);
    EXPECT_EQ(Hex()->MarkedLength(), format::kVectorSize);
    ReportListView* list = window_.findChild<ReportListView*>(QStringLiteral("reportList"));
    EXPECT_EQ(list->currentIndex().data().toString(), "FACE 3");
    window_.grab().save(Q(fs::temp_directory_path() / "vexlor-compare-panel.png"));

    // Opening another file empties the panel: its rows named the other file's blocks.
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(compare->Table()->model()->rowCount(), 0);
}

TEST_F(Inspector, TreeNodesSayWhatTheirBlockIsInTheirToolTips) {
    Show();
    testing::FighterLayout layout;
    ASSERT_TRUE(Open(Write("fighter.opt", testing::BuildFighter(layout))));
    const testing::FighterMesh& mesh = layout.Meshes[0];
    ASSERT_FALSE(mesh.Hardpoints.empty());
    const auto [type, position] = mesh.Hardpoints.front();
    EXPECT_EQ(TreeToolTip(NodeOfBlock(position)),
              "hardpoint: " + QString::fromStdString(document_.Names().HardpointTypeNames.at(
                                  static_cast<size_t>(type))));
    EXPECT_EQ(TreeToolTip(NodeOfBlock(mesh.Faces[0])),
              QString("faces, %1 of them").arg(mesh.FaceCount[0]));
    EXPECT_EQ(TreeToolTip(NodeOfBlock(mesh.Lod)), "level-of-detail block, 3 levels");
    EXPECT_EQ(TreeToolTip(0),
              QString("file header and mesh jump table, %1 meshes").arg(layout.Meshes.size()));
    int32_t vertices = -1;
    const auto& table = document_.Model().BlockTable;
    for (size_t k = 0; k < table.size() && vertices < 0; ++k)
        if (table[k].Type == kTypeVertex && table[k].Mesh == 0) vertices = static_cast<int32_t>(k);
    EXPECT_EQ(TreeToolTip(vertices), QString("vertices, %1 of them").arg(mesh.VertexCount));
}

// The every-block sample again, with a second mesh put before it: every block of the first file
// keeps its place, and every node of it comes later in the tree.
std::vector<uint8_t> EveryBlockWithAMeshBefore() {
    testing::EveryBlockSample grown;
    const int64_t vertices = grown.B.AddVertices({{5, 5, 5}});
    grown.B.SetMeshes({grown.B.AddJump(0, {vertices}), grown.Root});
    return grown.B.Build();
}

TEST_F(Inspector, AFileChangedOnDiskIsOfferedForReloadOrReloadedAtOnceKeepingTheChosenBlock) {
    Show();
    const testing::EveryBlockSample sample;
    const fs::path file = Write("model.opt", sample.Bytes);
    ASSERT_TRUE(Open(file));
    window_.ExpandAll();
    const int32_t before = NodeOfBlock(sample.Hardpoint);
    ClickNode(before);
    const int32_t nodes = document_.Model().Tree.Count();
    desktop::ReloadBar* bar = window_.findChild<desktop::ReloadBar*>();
    EXPECT_FALSE(bar->isVisible());

    // Rewritten in place: the bar offers the new file; the tree stays until asked.
    testing::WriteFile(file.string(), EveryBlockWithAMeshBefore());
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 10'000);
    EXPECT_EQ(bar->Message(), "model.opt has changed on disk.");
    EXPECT_EQ(document_.Model().Tree.Count(), nodes);
    QTest::mouseClick(bar->ReloadButton(), Qt::LeftButton);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_GT(document_.Model().Tree.Count(), nodes);
    const int32_t after = window_.ChosenNode();
    EXPECT_NE(after, before);
    EXPECT_EQ(BlockOfNode(after).Offset, sample.Hardpoint);
    EXPECT_EQ(BlockOfNode(after).Type, kTypeHardpoint);
    EXPECT_TRUE(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
                    ->selectionModel()
                    ->isSelected(window_.TreeIndexOfNode(after)));
    EXPECT_EQ(Hex()->CurrentOffset(), sample.Hardpoint);

    // With "Auto reload" ticked, a file replaced by a rename is read again at once.
    QTest::mouseClick(bar->AutoReloadBox(), Qt::LeftButton);
    EXPECT_TRUE(window_.findChild<QAction*>(QStringLiteral("autoReloadAction"))->isChecked());
    testing::WriteFile((dir_ / "model.new").string(), sample.Bytes);
    fs::rename(dir_ / "model.new", file);
    QTRY_COMPARE_WITH_TIMEOUT(document_.Model().Tree.Count(), nodes, 10'000);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(window_.ChosenNode(), before);
    // And again: the replaced file is still followed.
    testing::WriteFile(file.string(), EveryBlockWithAMeshBefore());
    QTRY_VERIFY_WITH_TIMEOUT(document_.Model().Tree.Count() > nodes, 10'000);
    EXPECT_EQ(window_.ChosenNode(), after);
    EXPECT_TRUE(messages_.messages.isEmpty());

    // A file that is gone is said to be so, with nothing to reload.
    fs::remove(file);
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 10'000);
    EXPECT_EQ(bar->Message(), "model.opt is no longer on disk.");
    EXPECT_FALSE(bar->ReloadButton()->isVisible());
}

TEST_F(Inspector, RecentFilesListTheLastTenNewestFirstAndOpenFromTheMenu) {
    std::vector<fs::path> files;
    for (int i = 0; i < 12; ++i)
        files.push_back(
            Write("model" + std::to_string(i) + ".opt", testing::EveryBlockSample().Bytes));
    for (const fs::path& file : files)
        ASSERT_TRUE(Open(file));
    ASSERT_TRUE(Open(files[4]));  // opened again: to the top, once
    QStringList expected;
    for (const int i : {4, 11, 10, 9, 8, 7, 6, 5, 3, 2})
        expected << Q(files[static_cast<size_t>(i)]);
    EXPECT_EQ(window_.findChild<desktop::RecentFiles*>()->Paths(), expected);

    QMenu* menu = window_.findChild<QMenu*>(QStringLiteral("recentMenu"));
    QStringList shown;
    for (QAction* action : menu->actions())
        if (action->isVisible() && !action->isSeparator()) shown << action->text();
    ASSERT_EQ(shown.size(), 11);
    EXPECT_EQ(shown[0], "&1 " + Q(files[4]));
    EXPECT_EQ(shown[9], "1&0 " + Q(files[2]));
    EXPECT_EQ(shown[10], "&Clear the list");

    // The third item opens its file, which goes to the top.
    window_.findChild<QAction*>(QStringLiteral("recentFile3"))->trigger();
    EXPECT_EQ(window_.windowTitle(), "OPTvexlor - " + Q(files[10]));
    EXPECT_EQ(window_.findChild<desktop::RecentFiles*>()->Paths().front(), Q(files[10]));

    // Another window with the same settings lists them too; clearing empties both.
    {
        OptDocument document;
        desktop::MainWindow other({document, view_, messages_, dialogs_, kDataFolder, &settings_});
        EXPECT_EQ(other.findChild<desktop::RecentFiles*>()->Paths(),
                  window_.findChild<desktop::RecentFiles*>()->Paths());
        other.findChild<QAction*>(QStringLiteral("clearRecentFiles"))->trigger();
    }
    OptDocument document;
    desktop::MainWindow third({document, view_, messages_, dialogs_, kDataFolder, &settings_});
    EXPECT_TRUE(third.findChild<desktop::RecentFiles*>()->Paths().isEmpty());
    QMenu* empty = third.findChild<QMenu*>(QStringLiteral("recentMenu"));
    QStringList left;
    for (QAction* action : empty->actions())
        if (action->isVisible()) left << action->text();
    EXPECT_EQ(left, QStringList{"No recent files"});
}

TEST_F(Inspector, GeometryPlacesAndTheLastFolderAreRememberedInTheWindowsOwnSettings) {
    Show();
    window_.resize(1234, 777);
    window_.findChild<QSplitter*>(QStringLiteral("treeAndReport"))->setSizes({400, 500});
    const QList<int> sizes =
        window_.findChild<QSplitter*>(QStringLiteral("treeAndReport"))->sizes();
    window_.findChild<QDockWidget*>(QStringLiteral("findingsDock"))->hide();
    const fs::path file = Write("model.opt", testing::EveryBlockSample().Bytes);
    dialogs_.answers = {Q(file)};
    window_.OpenWithDialog();
    window_.close();

    OptDocument document;
    desktop::MainWindow again({document, view_, messages_, dialogs_, kDataFolder, &settings_});
    EXPECT_TRUE(again.HasSavedGeometry());
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.size(), QSize(1234, 777));
    EXPECT_EQ(again.findChild<QSplitter*>(QStringLiteral("treeAndReport"))->sizes(), sizes);
    EXPECT_FALSE(again.findChild<QDockWidget*>(QStringLiteral("findingsDock"))->isVisible());
    EXPECT_TRUE(again.findChild<QDockWidget*>(QStringLiteral("hexDock"))->isVisible());
    again.OpenWithDialog();  // cancelled: only where it started matters
    EXPECT_EQ(dialogs_.startsSeen.back(), Q(dir_));

    // A window without settings remembers nothing.
    OptDocument plain;
    desktop::MainWindow forgetful({plain, view_, messages_, dialogs_, kDataFolder});
    EXPECT_FALSE(forgetful.HasSavedGeometry());
    EXPECT_TRUE(forgetful.findChild<desktop::RecentFiles*>()->Paths().isEmpty());
    again.close();
}

}  // namespace
}  // namespace vexlor::inspector
