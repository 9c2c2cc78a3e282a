#pragma once

#include <QListWidget>

namespace platform {

// A list box that keeps its entries in the order they were added, allows one selected
// entry, raises Click whenever the selected entry changes (mouse, arrow keys or program)
// and DblClick on a double click on an entry.
class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent);

    // The selected entry's text, or the empty text when none is selected.
    QString text() const;

    // The width in pixels that the entry at index takes in the list's font.
    int entryWidth(int index) const;

    // How far the list scrolls sideways: the content is extent pixels wide.
    void setHorizontalExtent(int extent);
    int horizontalExtent() const { return horizontalExtent_; }

    // Puts the list in front of the lists it covers. A covered list is put out of reach
    // (neither mouse nor keyboard can reach it) but keeps its entries, selection and
    // scroll position.
    void bringToFront();

    // Takes the entry as a double click on it does: selects it (raising Click when that
    // changes the selection), then raises DblClick. Enter does the same for the selected
    // entry; assistive technology does it through the entry's default action.
    void activateEntry(int index);

Q_SIGNALS:
    void Click();
    void DblClick();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    int horizontalExtent_ = 0;
};

} // namespace platform
