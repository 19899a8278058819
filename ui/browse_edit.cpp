// The folder box and its folder picker.
#include "ui/browse_edit.h"

#include <QFileDialog>
#include <QToolButton>

#include "ui/artwork.h"

namespace pixmora {

QString PickedFolderText(const QString& picked) {
    QString folder = picked.trimmed();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    return folder;
}

namespace {

QString SystemFolderPicker(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QString(), start, QFileDialog::ShowDirsOnly);
}

}  // namespace

TBrowseEdit::TBrowseEdit(QWidget* parent)
    : QLineEdit(parent), button_(new QToolButton(this)), picker_(SystemFolderPicker) {
    setFrame(false);
    setFocusPolicy(Qt::StrongFocus);
    setTextMargins(0, 0, kButtonWidth, 0);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->setAutoRaise(true);
    button_->setIcon(QIcon(FolderImage()));
    button_->setIconSize(QSize(14, 12));
    button_->setToolTip(tr("Choose a folder"));
    connect(button_, &QToolButton::clicked, this, &TBrowseEdit::Browse);
}

void TBrowseEdit::SetPath(const QString& path) {
    setText(path);
    setCursorPosition(0);
}

void TBrowseEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    button_->setGeometry(width() - kButtonWidth, 0, kButtonWidth, height());
}

void TBrowseEdit::Browse() {
    if (!isEnabled()) return;
    setFocus(Qt::OtherFocusReason);
    const QString start = text().isEmpty() ? QString() : text();
    const QString picked = picker_(window(), start);
    if (!picked.isEmpty()) SetPath(PickedFolderText(picked));
    emit OnBrowse();
}

}  // namespace pixmora
