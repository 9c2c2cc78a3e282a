#include "platform/controls/accessibility.h"

#include "platform/controls/form.h"
#include "platform/controls/linklabel.h"
#include "platform/controls/listbox.h"
#include "platform/controls/optionbutton.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/valuefield.h"
#include "platform/desktop/toolwindow.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace platform {

namespace {

// Whether a control lies wholly beyond its window's edges, as the list column does while
// the window is too narrow to show it; a screen reader must not count it as showing.
bool OutOfSight(const QWidget *control)
{
    const QWidget *top = control->window();
    return !QRect(control->mapTo(top, QPoint(0, 0)), control->size()).intersects(top->rect());
}

QAccessible::State InSight(QAccessible::State state, const QWidget *control)
{
    state.offscreen = state.offscreen || OutOfSight(control);
    return state;
}

// --- Option buttons --------------------------------------------------------------------

class OptionInterface final : public QAccessibleWidget {
public:
    explicit OptionInterface(OptionButton *button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind != QAccessible::Name || !text.isEmpty())
            return text;
        return QString(button()->text()).remove(u'&');
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = InSight(QAccessibleWidget::state(), widget());
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (button()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name == toggleAction() || name == pressAction()) {
            if (button()->isEnabled())
                button()->click();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    OptionButton *button() const { return static_cast<OptionButton *>(widget()); }
};

// --- Scroll bars -----------------------------------------------------------------------

// Qt's own, with the label its owner gives it.
class ScrollBarInterface final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ScrollBarInterface(ScrollBar *bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? QString::number(bar()->value())
                                          : QAccessibleWidget::text(kind);
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Label) && bar()->accessibleLabel())
            found.append({QAccessible::queryAccessibleInterface(bar()->accessibleLabel()),
                          QAccessible::Label});
        return found;
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    ScrollBar *bar() const { return static_cast<ScrollBar *>(widget()); }
};

// --- Colour swatches -----------------------------------------------------------------

class SwatchInterface final : public QAccessibleWidget {
public:
    explicit SwatchInterface(PictureBox *box)
        : QAccessibleWidget(box, QAccessible::ColorChooser)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Value:
            return box()->reading().value;
        case QAccessible::Description:
            return box()->reading().description;
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = InSight(QAccessibleWidget::state(), widget());
        const PictureBox::Reading reading = box()->reading();
        state.selectable = reading.markable;
        state.selected = reading.marked;
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        for (const PictureBox::Action &action : box()->accessibleActions())
            names << action.name;
        return names + QAccessibleWidget::actionNames();
    }

    QString localizedActionName(const QString &name) const override
    {
        return find(name) ? name : QAccessibleWidget::localizedActionName(name);
    }

    QString localizedActionDescription(const QString &name) const override
    {
        const PictureBox::Action *action = find(name);
        return action ? action->description : QAccessibleWidget::localizedActionDescription(name);
    }

    void doAction(const QString &name) override
    {
        if (const PictureBox::Action *action = find(name))
            action->run();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    PictureBox *box() const { return static_cast<PictureBox *>(widget()); }

    const PictureBox::Action *find(const QString &name) const
    {
        for (const PictureBox::Action &action : box()->accessibleActions())
            if (action.name == name)
                return &action;
        return nullptr;
    }
};

// --- List boxes and their entries ----------------------------------------------------

class EntryInterface final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    EntryInterface(ListBox *list, int row)
        : list_(list)
        , row_(row)
    {
    }

    ListBox *list() const { return list_; }
    int row() const { return row_; }

    bool isValid() const override { return list_ && row_ < list_->count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(list_);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        const QListWidgetItem *entry = item();
        return kind == QAccessible::Name && entry ? entry->text() : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        const QListWidgetItem *entry = item();
        if (!entry)
            return {};
        const QRect inView = list_->visualItemRect(entry);
        return {list_->viewport()->mapToGlobal(inView.topLeft()), inView.size()};
    }

    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        const QListWidgetItem *entry = item();
        if (!entry)
            return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = entry->isSelected();
        state.focused = list_->hasFocus() && list_->currentRow() == row_;
        const QRect inView = list_->visualItemRect(entry);
        state.invisible = !list_->isVisible() || !list_->viewport()->rect().intersects(inView);
        state.offscreen = OutOfSight(list_);
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
            ? static_cast<QAccessibleActionInterface *>(this)
            : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QString localizedActionDescription(const QString &name) const override
    {
        return name == pressAction() ? QStringLiteral("この色を選択")
                                     : QAccessibleActionInterface::localizedActionDescription(name);
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && list_)
            list_->activateEntry(row_);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QListWidgetItem *item() const { return list_ ? list_->item(row_) : nullptr; }

    QPointer<ListBox> list_;
    int row_;
};

class ListInterface final : public QAccessibleWidget {
public:
    explicit ListInterface(ListBox *list)
        : QAccessibleWidget(list, QAccessible::List)
    {
    }

    ~ListInterface() override
    {
        for (const QAccessible::Id id : std::as_const(entries_))
            QAccessible::deleteAccessibleInterface(id);
    }

    QAccessible::State state() const override
    {
        return InSight(QAccessibleWidget::state(), widget());
    }

    int childCount() const override { return list()->count(); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= list()->count())
            return nullptr;
        if (const auto known = entries_.constFind(index); known != entries_.constEnd())
            return QAccessible::accessibleInterface(*known);
        auto *entry = new EntryInterface(list(), index);
        entries_.insert(index, QAccessible::registerAccessibleInterface(entry));
        return entry;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || child->role() != QAccessible::ListItem)
            return -1;
        const auto *entry = static_cast<const EntryInterface *>(child);
        return entry->list() == list() ? entry->row() : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QListWidgetItem *entry
            = list()->itemAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
        return entry ? child(list()->row(entry)) : nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        return list()->hasFocus() ? child(list()->currentRow()) : nullptr;
    }

private:
    ListBox *list() const { return static_cast<ListBox *>(widget()); }

    mutable QHash<int, QAccessible::Id> entries_;
};

// --- Links -----------------------------------------------------------------------------

class LinkInterface final : public QAccessibleWidget {
public:
    explicit LinkInterface(LinkLabel *link)
        : QAccessibleWidget(link, QAccessible::Link)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && text.isEmpty() ? link()->text() : text;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name == pressAction())
            link()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    LinkLabel *link() const { return static_cast<LinkLabel *>(widget()); }
};

// --- Value fields --------------------------------------------------------------------

// Read-only text with a caret and a selection, as Qt tells a read-only line edit: a screen
// reader's review reads the text, and the caret can walk it character by character.
class ValueFieldInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ValueFieldInterface(ValueField *field)
        : QAccessibleWidget(field, QAccessible::EditableText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? field()->text() : QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        return state;
    }

    void selection(int index, int *start, int *end) const override
    {
        const bool any = index == 0 && selectionCount() == 1;
        *start = any ? field()->selectionStart() : 0;
        *end = any ? field()->selectionEnd() : 0;
    }
    int selectionCount() const override
    {
        return field()->selectionStart() != field()->selectionEnd() ? 1 : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            field()->select(field()->cursorPosition(), field()->cursorPosition());
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            field()->select(start, end);
    }

    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->select(position, position); }

    QString text(int start, int end) const override
    {
        return field()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(field()->text().size()); }

    QRect characterRect(int offset) const override
    {
        const QRect inField = field()->characterRect(offset);
        return inField.isNull() ? inField
                                : QRect(field()->mapToGlobal(inField.topLeft()), inField.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint inField = field()->mapFromGlobal(point);
        return field()->rect().contains(inField) ? field()->positionAt(inField) : -1;
    }

    void scrollToSubstring(int, int) override { }
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    ValueField *field() const { return static_cast<ValueField *>(widget()); }
};

// --- Client areas ----------------------------------------------------------------------

class ClientAreaInterface final : public QAccessibleWidget {
public:
    explicit ClientAreaInterface(ClientArea *area)
        : QAccessibleWidget(area, QAccessible::Client)
    {
    }

    int childCount() const override { return int(inReach().size()); }

    QAccessibleInterface *child(int index) const override
    {
        return QAccessible::queryAccessibleInterface(inReach().value(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(inReach().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    // The controls that are not hidden, or would not be once the area is shown.
    QList<QWidget *> inReach() const
    {
        QList<QWidget *> controls;
        for (QObject *child : widget()->children()) {
            auto *control = qobject_cast<QWidget *>(child);
            if (control && !control->isWindow() && control->isVisibleTo(widget()))
                controls << control;
        }
        return controls;
    }
};

QAccessibleInterface *CreateInterface(const QString &key, QObject *object)
{
    if (key == u"platform::OptionButton")
        return new OptionInterface(static_cast<OptionButton *>(object));
    if (key == u"platform::ScrollBar")
        return new ScrollBarInterface(static_cast<ScrollBar *>(object));
    if (key == u"platform::PictureBox")
        return new SwatchInterface(static_cast<PictureBox *>(object));
    if (key == u"platform::ListBox")
        return new ListInterface(static_cast<ListBox *>(object));
    if (key == u"platform::LinkLabel")
        return new LinkInterface(static_cast<LinkLabel *>(object));
    if (key == u"platform::ClientArea")
        return new ClientAreaInterface(static_cast<ClientArea *>(object));
    if (key == u"platform::ValueField")
        return new ValueFieldInterface(static_cast<ValueField *>(object));
    if (key == u"platform::ToolWindow")
        return new QAccessibleWidget(static_cast<ToolWindow *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(&CreateInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace platform
