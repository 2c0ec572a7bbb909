#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Boolean columns (0/1) drawn as check boxes; a click toggles the value when
// the model lets the cell be edited.
class CheckBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
};

// Weekday columns of a schedule: a solid block, green when the entry applies
// on that day and red when it does not, with no text.
class DayCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static QColor onColour() { return QColor(Qt::green); }
    static QColor offColour() { return QColor(Qt::red); }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// A text column edited by choosing from a fixed list ("Active", "Inactive").
class PickListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    PickListDelegate(const QStringList &items, QObject *parent) : QStyledItemDelegate(parent), m_items(items) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QStringList m_items;
};
