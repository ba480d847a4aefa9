// The thumbnail grid and the delegate that draws each file by its picture.
#include "desktop/ThumbnailGrid.h"

#include <QFileSystemModel>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace vexlor::desktop {

namespace {

constexpr QSize kCell{kNormalThumbnailSide + 20, kNormalThumbnailSide + 36};

class ThumbnailDelegate : public QStyledItemDelegate {
  public:
    explicit ThumbnailDelegate(ThumbnailGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->icon = QIcon(grid_.Shown(index.data(QFileSystemModel::FilePathRole).toString()));
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = QSize(kNormalThumbnailSide, kNormalThumbnailSide);
    }
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        const QString path = index.data(QFileSystemModel::FilePathRole).toString();
        const QString problem = grid_.Problem(path);
        if (event->type() != QEvent::ToolTip || problem.isEmpty())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), problem, view);
        return true;
    }

  private:
    ThumbnailGrid& grid_;
};

}  // namespace

ThumbnailGrid::ThumbnailGrid(ThumbnailDraw draw, ThumbnailCache cache, QWidget* parent)
    : QListView(parent), jobs_(std::move(draw), std::move(cache)) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setIconSize(QSize(kNormalThumbnailSide, kNormalThumbnailSide));
    setGridSize(kCell);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new ThumbnailDelegate(*this));
    connect(&jobs_, &ThumbnailJobs::Ready, this, &ThumbnailGrid::Arrived);

    waiting_ = QPixmap(kNormalThumbnailSide, kNormalThumbnailSide);
    waiting_.fill(QColor(48, 48, 48));
    failed_ = waiting_;
    QPainter painter(&failed_);
    const int sign = kNormalThumbnailSide / 3;
    style()
        ->standardIcon(QStyle::SP_MessageBoxWarning)
        .paint(&painter, QRect((kNormalThumbnailSide - sign) / 2, (kNormalThumbnailSide - sign) / 2,
                               sign, sign));
}

QPixmap ThumbnailGrid::Shown(const QString& path) const {
    if (const auto picture = pictures_.constFind(path); picture != pictures_.cend())
        return *picture;
    return problems_.contains(path) ? failed_ : waiting_;
}

void ThumbnailGrid::ShowFolder(QFileSystemModel* files, const QModelIndex& root) {
    CancelPending();
    pictures_.clear();
    problems_.clear();
    if (model() != files) setModel(files);
    setRootIndex(root);
}

void ThumbnailGrid::RequestMissing() {
    const auto* files = qobject_cast<const QFileSystemModel*>(model());
    if (files == nullptr || !jobs_.CanDraw()) return;
    QStringList wanted;
    for (int row = 0; row < files->rowCount(rootIndex()); ++row) {
        const QModelIndex index = files->index(row, 0, rootIndex());
        const QString path = files->filePath(index);
        if (files->isDir(index) || pictures_.contains(path) || problems_.contains(path)) continue;
        wanted << path;
    }
    if (QSet<QString>(wanted.begin(), wanted.end()) == pending_) return;
    pending_ = QSet<QString>(wanted.begin(), wanted.end());
    jobs_.Request(wanted);
    if (pending_.isEmpty()) emit AllArrived();
}

void ThumbnailGrid::CancelPending() {
    jobs_.Cancel();
    pending_.clear();
}

void ThumbnailGrid::Arrived(const QString& path, const QImage& picture, const QString& problem) {
    if (!pending_.remove(path)) return;
    if (picture.isNull())
        problems_.insert(path, problem);
    else
        pictures_.insert(path, QPixmap::fromImage(picture));
    if (const auto* files = qobject_cast<const QFileSystemModel*>(model()))
        update(files->index(path));
    if (pending_.isEmpty()) emit AllArrived();
}

}  // namespace vexlor::desktop
