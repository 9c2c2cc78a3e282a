#include "platform/controls/listbox.h"

#include "platform/controls/accessibility.h"
#include "platform/controls/captionfit.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

namespace platform {

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    InstallAccessibleInterfaces();
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] { Q_EMIT Click(); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { Q_EMIT DblClick(); });
}

QString ListBox::text() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

int ListBox::entryWidth(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry ? fontMetrics().horizontalAdvance(entry->text()) : 0;
}

void ListBox::setHorizontalExtent(int extent)
{
    horizontalExtent_ = extent;
    if (count() == 0)
        return;
    // The scroll range follows the entries' size hints, so every entry gets the extent as
    // its width; a range set by hand would be undone at the next layout.
    // Rows tall enough for the entries' descenders as the display's scale draws them.
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries << item(i)->text();
    const int rowHeight = std::max(
        sizeHintForRow(0), qCeil(TextHeight(font(), entries.join(u' '), devicePixelRatioF())));
    for (int i = 0; i < count(); ++i)
        item(i)->setSizeHint(QSize(extent, rowHeight));
}

void ListBox::bringToFront()
{
    raise();
    show();
    const QWidget *container = parentWidget();
    if (!container)
        return;
    for (auto *other : container->findChildren<ListBox *>(Qt::FindDirectChildrenOnly)) {
        if (other != this && geometry().contains(other->geometry()))
            other->hide();
    }
    // A covered list is out of the accessibility tree; tell a screen reader which list is
    // there now.
    if (QAccessible::isActive()) {
        QAccessibleEvent reordered(const_cast<QWidget *>(container), QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reordered);
    }
}

void ListBox::activateEntry(int index)
{
    QListWidgetItem *entry = item(index);
    if (!entry)
        return;
    setCurrentItem(entry);
    Q_EMIT DblClick();
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        // Only an entry can be double-clicked, so with none selected Enter does nothing.
        const QList<QListWidgetItem *> selected = selectedItems();
        if (!selected.isEmpty())
            activateEntry(row(selected.front()));
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    // Qt makes the first entry current without selecting it, so the first Down arrow would
    // skip it; with no current entry Down selects the first one.
    if (selectedItems().isEmpty())
        selectionModel()->clearCurrentIndex();
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex &index,
                                                              const QEvent *event) const
{
    // A list box keeps its entry selected until another one is chosen. Qt would take the
    // selection away on a click in the empty space below the entries (a command for no
    // entry) and on Ctrl+click or Ctrl+Space on the selected entry.
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (!index.isValid() || (command & QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}

} // namespace platform
