#include "common/GridDelegates.h"

#include "store/DbValue.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>

void CheckBoxDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    base.text.clear();
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &base, painter, option.widget);
    QStyleOptionButton box;
    box.state = QStyle::State_Enabled | (store::toBool(index.data(Qt::EditRole)) ? QStyle::State_On : QStyle::State_Off);
    const QRect r = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, option.widget);
    box.rect = QRect(option.rect.center() - r.center() + r.topLeft(), r.size());
    style->drawControl(QStyle::CE_CheckBox, &box, painter, option.widget);
}

bool CheckBoxDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &,
                                   const QModelIndex &index)
{
    if (!(model->flags(index) & Qt::ItemIsEditable))
        return false;
    const bool click = event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    const bool space = event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space;
    if (!click && !space)
        return false;
    return model->setData(index, store::toBool(index.data(Qt::EditRole)) ? 0 : 1, Qt::EditRole);
}

void DayCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->fillRect(option.rect, store::toBool(index.data(Qt::EditRole)) ? onColour() : offColour());
}

QWidget *PickListDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *box = new QComboBox(parent);
    box->addItems(m_items);
    return box;
}

void PickListDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = static_cast<QComboBox *>(editor);
    const int i = box->findText(index.data(Qt::EditRole).toString());
    box->setCurrentIndex(i);
}

void PickListDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
}
