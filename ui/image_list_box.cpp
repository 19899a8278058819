// The file list with its status images.
#include "ui/image_list_box.h"

#include <algorithm>
#include <charconv>
#include <string>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "ui/bitmap_list.h"

namespace pixmora {

ListItemLook LookOfItem(const QString& item_text, int default_image) {
    const qsizetype bar = item_text.indexOf(QLatin1Char('|'));
    if (bar < 0) return {item_text, default_image};
    const std::string number = item_text.mid(bar + 1).toStdString();
    const char* first = number.data();
    const char* last = first + number.size();
    if (first != last && *first == '+') ++first;
    int image = -1;
    const auto [end, error] = std::from_chars(first, last, image);
    if (first == last || error != std::errc() || end != last) image = -1;
    return {item_text.left(bar), image};
}

namespace {

// Draws one line: background, image at the top left, text 2 px to its right.
class ItemPainter : public QStyledItemDelegate {
public:
    // Owned by the list it paints.
    explicit ItemPainter(TImageListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const ListItemLook look =
            LookOfItem(index.data(Qt::DisplayRole).toString(), list_->DefaultItem());
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        painter->save();
        painter->fillRect(r,
                          selected ? QColor(0, 70, 215) : list_->palette().color(QPalette::Base));
        if (list_->Images()) {
            list_->Images()->Draw(*painter, r.left() + TImageListBox::kMargin,
                                  r.top() + (r.height() - TImageListBox::kImageSize) / 2,
                                  look.image);
        }
        QFont font = list_->font();
        font.setBold(selected);
        painter->setFont(font);
        painter->setPen(selected ? QColor(Qt::white) : list_->palette().color(QPalette::Text));
        const int text_left = r.left() + TImageListBox::kMargin + TImageListBox::kImageSize +
                              TImageListBox::kImageTextGap;
        painter->drawText(QRect(text_left, r.top(), r.right() - text_left + 1, r.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, look.display);
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(selected ? QColor(Qt::white) : QColor(Qt::gray), 1, Qt::DotLine));
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(list_->LineWidth(), TImageListBox::kItemHeight);
    }

private:
    const TImageListBox* list_;
};

// The list's font made bold, as the selected line shows it.
QFont BoldFont(QFont font) {
    font.setBold(true);
    return font;
}

}  // namespace

TImageListBox::TImageListBox(QWidget* parent)
    : QListWidget(parent), bold_metrics_(BoldFont(font())) {
    setItemDelegate(new ItemPainter(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
}

void TImageListBox::SetImages(const TBitmapList* images) {
    images_ = images;
    viewport()->update();
}

int TImageListBox::LineWidth() const {
    return kMargin + kImageSize + kImageTextGap + widest_text_ + kMargin;
}

void TImageListBox::Clear() { clear(); }

void TImageListBox::AddItem(const QString& text) { addItem(text); }

void TImageListBox::ReplaceItem(int index, const QString& text) {
    if (QListWidgetItem* it = item(index)) it->setText(text);
}

QString TImageListBox::ItemText(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

int TImageListBox::ItemIndex() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TImageListBox::SetItemIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index));
}

QItemSelectionModel::SelectionFlags TImageListBox::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
    // The user moves the selection but never takes it away (Ctrl+click, Ctrl+Space, a click
    // below the last line): once a line is chosen, one stays chosen.
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    if (index.isValid() &&
        (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))) {
        return QItemSelectionModel::ClearAndSelect;
    }
    return flags;
}

void TImageListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    // Choosing the chosen line again counts too: it shows that line's preview once more.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
        emit Click();
    }
}

void TImageListBox::mouseMoveEvent(QMouseEvent* event) {
    const int before = ItemIndex();
    QListWidget::mouseMoveEvent(event);
    if (ItemIndex() != before) emit Click();
}

void TImageListBox::keyPressEvent(QKeyEvent* event) {
    const int before = ItemIndex();
    QListWidget::keyPressEvent(event);
    if (ItemIndex() != before) emit Click();
}

void TImageListBox::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && MeasureAll()) scheduleDelayedItemsLayout();
}

int TImageListBox::TextWidth(int row) const {
    const QModelIndex index = model()->index(row, 0);
    return bold_metrics_.horizontalAdvance(
        LookOfItem(index.data(Qt::DisplayRole).toString()).display);
}

bool TImageListBox::MeasureAll() {
    bold_metrics_ = QFontMetrics(BoldFont(font()));
    for (std::size_t row = 0; row < text_widths_.size(); ++row)
        text_widths_[row] = TextWidth(static_cast<int>(row));
    return SettleWidest();
}

bool TImageListBox::SettleWidest() {
    const int widest =
        text_widths_.empty() ? 0 : *std::max_element(text_widths_.begin(), text_widths_.end());
    if (widest == widest_text_) return false;
    widest_text_ = widest;
    return true;
}

void TImageListBox::reset() {
    text_widths_.clear();
    widest_text_ = 0;
    QListWidget::reset();
}

void TImageListBox::rowsInserted(const QModelIndex& parent, int start, int end) {
    if (!parent.isValid() && start >= 0 && static_cast<std::size_t>(start) <= text_widths_.size()) {
        text_widths_.insert(text_widths_.begin() + start, end - start + 1, 0);
        for (int row = start; row <= end; ++row) {
            text_widths_[static_cast<std::size_t>(row)] = TextWidth(row);
            widest_text_ = std::max(widest_text_, text_widths_[static_cast<std::size_t>(row)]);
        }
    }
    QListWidget::rowsInserted(parent, start, end);
}

void TImageListBox::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    if (!parent.isValid() && start >= 0 && end < static_cast<int>(text_widths_.size())) {
        text_widths_.erase(text_widths_.begin() + start, text_widths_.begin() + end + 1);
        if (SettleWidest()) scheduleDelayedItemsLayout();
    }
    QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

void TImageListBox::dataChanged(const QModelIndex& top_left, const QModelIndex& bottom_right,
                                const QList<int>& roles) {
    const int last = std::min(bottom_right.row(), static_cast<int>(text_widths_.size()) - 1);
    bool widest_changed = false;
    bool widest_narrowed = false;  // then every width is looked at again
    for (int row = std::max(top_left.row(), 0); row <= last; ++row) {
        int& width = text_widths_[static_cast<std::size_t>(row)];
        const int before = width;
        width = TextWidth(row);
        if (width > widest_text_) {
            widest_text_ = width;
            widest_changed = true;
        } else if (before == widest_text_ && width < before) {
            widest_narrowed = true;
        }
    }
    if (widest_narrowed && SettleWidest()) widest_changed = true;
    if (widest_changed) {
        // The lines take the new width: the whole list is laid out again.
        QListWidget::dataChanged(top_left, bottom_right, roles);
    } else {
        // Same width for every line, so the same places: only the changed lines are painted
        // again (a processed mark during a run costs one line, whatever the list's length).
        QAbstractItemView::dataChanged(top_left, bottom_right, roles);
    }
}

}  // namespace pixmora
