// The three searches as a user runs them from the search bar: the report list's (typed text,
// Enter and Shift+Enter, highlights, the count; millions of lines while the window goes on
// answering are the inspector window's test), the tree filter's (matches with their ancestors,
// stepping, clicking a filtered node), and the hex view's (bytes, int32, single, from the current
// byte, wrapping).
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <cctype>

#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/HexViewSearch.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/ReportMatchDelegate.h"
#include "inspector/ReportSearch.h"
#include "inspector/SearchBar.h"
#include "inspector/StructureTreeModel.h"
#include "inspector/TreeFilterModel.h"
#include "reader/OptDocument.h"
#include "samples/EveryBlockSample.h"
#include "samples/SampleModels.h"

namespace vexlor::inspector {
namespace {

using namespace std::string_literals;

class ReportSearchTest : public ::testing::Test {
  protected:
    ReportSearchTest() {
        model_.SetLines({"FACE block (01) at offset 100", "", "Number of faces this block is 2",
                         "   vertex 0 : XYZ is 1 , 0.5 , -2", "Header name is wood\0\0\0\0\0"s,
                         "FACE 1", "nothing here"});
        list_.setModel(&model_);
        search_.Follow(&model_);
        search_.Show(&list_);
        search_.Attach(&bar_);
        ReportMatchDelegate::Install(&list_, search_);
        list_.resize(500, 300);
        bar_.show();
    }
    // Typed key by key; text beyond ASCII arrives whole, as from an input method.
    void Type(const QString& text) {
        bar_.Field()->clear();
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
            QTest::keyClicks(bar_.Field(), text);
        else
            bar_.Field()->insert(text);
        QTRY_VERIFY(!search_.Running());
    }
    int CurrentRow() const { return list_.currentIndex().row(); }

    ReportListModel model_;
    ReportListView list_;
    ReportSearch search_{model_.Lines()};
    SearchBar bar_;
};

TEST_F(ReportSearchTest, TypingFindsLinesAndEnterStepsThroughThemBothWays) {
    Type("face");
    EXPECT_EQ(search_.Matches(), (std::vector<int32_t>{0, 2, 5}));
    EXPECT_EQ(bar_.Status(), "1 of 3");
    EXPECT_EQ(CurrentRow(), 0);
    QTest::keyClick(bar_.Field(), Qt::Key_Return);
    EXPECT_EQ(CurrentRow(), 2);
    EXPECT_EQ(bar_.Status(), "2 of 3");
    QTest::keyClick(bar_.Field(), Qt::Key_Return);
    QTest::keyClick(bar_.Field(), Qt::Key_Return);  // round to the first again
    EXPECT_EQ(CurrentRow(), 0);
    QTest::keyClick(bar_.Field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 5);
    EXPECT_EQ(bar_.Status(), "3 of 3");
    QTest::mouseClick(bar_.findChild<QWidget*>("searchprevious"), Qt::LeftButton);
    EXPECT_EQ(CurrentRow(), 2);

    Type(QString::fromUtf8("wood\u00B7\u00B7"));  // as the list shows the name's zero bytes
    EXPECT_EQ(search_.Matches(), (std::vector<int32_t>{4}));
    Type("missing");
    EXPECT_EQ(bar_.Status(), "No matches");
    Type(QString::fromUtf8("\u20AC"));  // no report line can hold it
    EXPECT_EQ(bar_.Status(), "No matches");
}

TEST_F(ReportSearchTest, MatchesAreHighlightedUntilTheBarCloses) {
    Type("o");
    const QModelIndex header = model_.index(4, 0);  // a match, not the current one
    const QModelIndex empty = model_.index(1, 0);
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
    const auto pixelAt = [&](const QModelIndex& index) {
        // Above the glyphs of the first "o" of "Header name is wood": in "wood".
        const QRect row = list_.visualRect(index);
        const QFontMetrics metrics(list_.font());
        const int x = row.left() + metrics.horizontalAdvance("Header name is w") + 6;
        return QColor(list_.viewport()->grab().toImage().pixel(x, row.top() + 1));
    };
    const QColor highlighted = pixelAt(header);
    const QColor plain = pixelAt(empty);
    EXPECT_NE(highlighted, plain);
    EXPECT_GT(highlighted.red(), highlighted.blue() + 40) << "a yellow tint";

    QTest::keyClick(bar_.Field(), Qt::Key_Escape);
    EXPECT_FALSE(bar_.isVisible());
    EXPECT_EQ(search_.Matches().size(), 0u);
    EXPECT_EQ(pixelAt(header), plain);
}

TEST_F(ReportSearchTest, ANewReportIsSearchedAgain) {
    Type("face");
    EXPECT_EQ(search_.Matches().size(), 3u);
    model_.SetLines({"no", "FACE 7", "surface"});
    QTRY_VERIFY(!search_.Running());
    EXPECT_EQ(search_.Matches(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(bar_.Status(), "1 of 2");
}

class TreeFilterTest : public ::testing::Test {
  protected:
    TreeFilterTest() {
        document_.OpenBytes(testing::BuildFighter(layout_), "fighter.opt");
        filter_.SetTree(&tree_);
        view_.setModel(&filter_);
        filter_.Attach(&bar_, &view_);
        view_.resize(400, 700);
    }
    const StructureTree& Tree() const { return document_.Model().Tree; }
    bool Shown(int32_t node) const { return filter_.IndexOfNode(node).isValid(); }
    static bool Holds(const std::string& label, const std::string& text) {
        std::string a = label, b = text;
        for (std::string* s : {&a, &b})
            std::transform(s->begin(), s->end(), s->begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return a.find(b) != std::string::npos;
    }
    bool HasMatchBelow(int32_t node, const std::string& text) const {
        for (int32_t child : Tree().Node(node).Children)
            if (Holds(Tree().Node(child).Label, text) || HasMatchBelow(child, text)) return true;
        return false;
    }

    testing::FighterLayout layout_;
    OptDocument document_;
    StructureTreeModel tree_{document_.Model().Tree};
    TreeFilterModel filter_;
    QTreeView view_;
    SearchBar bar_;
};

TEST_F(TreeFilterTest, TheFilterKeepsMatchesAndTheirAncestorsOnly) {
    QAbstractItemModelTester tester(&filter_,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QTest::keyClicks(bar_.Field(), "DATA BLOCK 22");
    size_t hardpoints = 0;
    for (const testing::FighterMesh& mesh : layout_.Meshes)
        hardpoints += mesh.Hardpoints.size();
    ASSERT_GT(hardpoints, 0u);
    EXPECT_EQ(filter_.MatchCount(), static_cast<int>(hardpoints));
    EXPECT_EQ(bar_.Status(), QString("%1 nodes").arg(hardpoints));
    for (int32_t node = 0; node < Tree().Count(); ++node) {
        const std::string& label = Tree().Node(node).Label;
        const bool wanted = Holds(label, "data block 22") || HasMatchBelow(node, "data block 22");
        EXPECT_EQ(Shown(node), wanted) << label;
        if (Shown(node)) {
            EXPECT_EQ(filter_.NodeOf(filter_.IndexOfNode(node)), node);
        }
    }
    // Matches are in sight: their ancestors are expanded.
    for (int32_t node = 0; node < Tree().Count(); ++node)
        if (Holds(Tree().Node(node).Label, "data block 22")) {
            EXPECT_TRUE(view_.isExpanded(filter_.IndexOfNode(Tree().Node(node).Parent)));
        }

    QTest::keyClicks(bar_.Field(), "x");
    EXPECT_EQ(filter_.rowCount(), 0);
    EXPECT_EQ(bar_.Status(), "No matches");
    bar_.Field()->clear();
    EXPECT_TRUE(Shown(Tree().Count() - 1));
}

TEST_F(TreeFilterTest, EnterStepsThroughMatchesAndAClickedNodeMapsBackToItsBlock) {
    view_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    QTest::keyClicks(bar_.Field(), "jumptype 21");
    std::vector<int32_t> lods;
    for (int32_t node = 0; node < Tree().Count(); ++node)
        if (Holds(Tree().Node(node).Label, "jumptype 21")) lods.push_back(node);
    ASSERT_GE(lods.size(), 2u);

    QTest::keyClick(bar_.Field(), Qt::Key_Return);
    EXPECT_EQ(filter_.NodeOf(view_.currentIndex()), lods[0]);
    QTest::keyClick(bar_.Field(), Qt::Key_Return);
    EXPECT_EQ(filter_.NodeOf(view_.currentIndex()), lods[1]);
    QTest::keyClick(bar_.Field(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(bar_.Field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(filter_.NodeOf(view_.currentIndex()), lods.back());  // round the start

    // A click on a node of the filtered tree chooses the reader's node with its block.
    const QModelIndex second = filter_.IndexOfNode(lods[1]);
    view_.scrollTo(second);
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, view_.visualRect(second).center());
    const int32_t chosen = filter_.NodeOf(view_.currentIndex());
    EXPECT_EQ(chosen, lods[1]);
    EXPECT_EQ(document_.Model().BlockTable[static_cast<size_t>(chosen)].Type, 21);

    // Closing the bar shows the whole tree again with the chosen node still chosen.
    QTest::keyClick(bar_.Field(), Qt::Key_Escape);
    EXPECT_EQ(filter_.FilterText(), "");
    EXPECT_TRUE(Shown(Tree().Count() - 1));
    EXPECT_EQ(filter_.NodeOf(view_.currentIndex()), lods[1]);
}

TEST_F(TreeFilterTest, ANewTreeIsFilteredAndCountedToo) {
    QTest::keyClicks(bar_.Field(), "data block 22");
    tree_.BeginReset();
    document_.OpenBytes(testing::EveryBlockSample().Bytes, "every.opt");
    tree_.EndReset();
    EXPECT_EQ(filter_.MatchCount(), 1);
    EXPECT_EQ(bar_.Status(), "1 node");
    const int32_t hardpoint = filter_.NodeOf(filter_.NextMatch({}));
    ASSERT_GT(hardpoint, 0);
    EXPECT_EQ(document_.Model().BlockTable[static_cast<size_t>(hardpoint)].Type, 22);
    EXPECT_TRUE(view_.isExpanded(filter_.IndexOfNode(Tree().Node(hardpoint).Parent)));
}

class HexSearchTest : public ::testing::Test {
  protected:
    HexSearchTest() {
        document_.OpenBytes(sample_.Bytes, "every.opt");
        view_.Model()->SetFile(&document_.Stream(), document_.Model().GlobalOffset);
        searcher_.Attach(&bar_);
        view_.resize(720, 300);
        view_.show();
        bar_.show();
    }
    void Find(const QString& text, int kind, bool forward = true) {
        bar_.findChild<QComboBox*>("searchkind")->setCurrentIndex(kind);
        if (bar_.Text() != text) {
            bar_.Field()->clear();
            QTest::keyClicks(bar_.Field(), text);
        }
        QTest::keyClick(bar_.Field(), Qt::Key_Return, forward ? Qt::NoModifier : Qt::ShiftModifier);
    }

    testing::EveryBlockSample sample_;
    OptDocument document_;
    HexView view_;
    HexViewSearch searcher_{&view_};
    SearchBar bar_;
};

TEST_F(HexSearchTest, BytesInt32AndSingleAreFoundFromTheCurrentByte) {
    Find("57", 1);  // int32: face 1's fourth vertex index
    const int64_t corner = sample_.Faces + 24 + 4 + 64 + 12;
    EXPECT_EQ(view_.MarkedOffset(), corner);
    EXPECT_EQ(view_.MarkedLength(), 4);
    EXPECT_EQ(view_.CurrentOffset(), corner);
    EXPECT_EQ(bar_.Status(), "At " + OffsetWords(corner));
    Find("57", 1);  // the only one: found again from the start
    EXPECT_EQ(view_.MarkedOffset(), corner);
    EXPECT_EQ(bar_.Status(), "At " + OffsetWords(corner) + ", from the start again");

    view_.GoToOffset(0);
    Find("0.5", 2);  // single: vertex 0's y
    EXPECT_EQ(view_.MarkedOffset(), sample_.Vertices + 24 + 4);
    Find("-4", 2);  // the hardpoint's z
    EXPECT_EQ(view_.MarkedOffset(), sample_.Hardpoint + 24 + 4 + 8);

    Find("ee ee ee ee ee ee ee ee", 0);
    EXPECT_EQ(view_.MarkedOffset(), sample_.Gap);
    EXPECT_EQ(view_.MarkedLength(), 8);
    Find("ee ee", 0);
    EXPECT_EQ(view_.MarkedOffset(), sample_.Gap + 1);  // the next one, one byte on
    Find("ee ee", 0, false);
    EXPECT_EQ(view_.MarkedOffset(), sample_.Gap);

    Find("DE AD BE EF", 0);
    EXPECT_EQ(bar_.Status(), "Not found");
    EXPECT_EQ(view_.MarkedLength(), 0);
    Find("zz", 0);
    EXPECT_EQ(bar_.Status(), "\"zz\" is not hex bytes: type pairs of hex digits, like 3F 80 00 00");
}

}  // namespace
}  // namespace vexlor::inspector
