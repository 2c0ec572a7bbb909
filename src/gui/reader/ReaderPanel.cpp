#include "reader/ReaderPanel.h"

#include "common/MessageService.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using onewire::VirtualKeyKind;

namespace {

enum Column { KindColumn, SerialColumn, OnReaderColumn };

struct KindLook
{
    VirtualKeyKind kind;
    const char *buttonText;
    const char *objectName;
    const char *badge;
    QColor colour;
};

const KindLook kLooks[] = {
    {VirtualKeyKind::DS1977, "New DS1977 program key", "newDs1977Button", "77", QColor(0x2e, 0x6d, 0xb4)},
    {VirtualKeyKind::DS1961S, "New DS1961S key", "newDs1961sButton", "61", QColor(0x5b, 0x8f, 0x9e)},
    {VirtualKeyKind::DS1994, "New DS1994 time key", "newDs1994Button", "94", QColor(0xc0, 0x7a, 0x1c)},
    {VirtualKeyKind::DS1904, "New DS1904 time key", "newDs1904Button", "04", QColor(0xa8, 0x4a, 0x2a)},
    {VirtualKeyKind::UserButton, "New user iButton", "newUserButtonButton", "U", QColor(0x4a, 0x8a, 0x3c)},
};

const KindLook &lookOf(VirtualKeyKind kind)
{
    for (const auto &l : kLooks)
        if (l.kind == kind)
            return l;
    return kLooks[0];
}

} // namespace

QIcon ReaderPanel::keyIcon(VirtualKeyKind kind)
{
    // A stainless iButton can seen from the front, its rim in the kind's colour.
    const KindLook &look = lookOf(kind);
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(look.colour.darker(130), 1.5));
    p.setBrush(look.colour);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    QRadialGradient steel(QPointF(13, 12), 14);
    steel.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    steel.setColorAt(1, QColor(0xa0, 0xa4, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawEllipse(QRectF(6, 6, 20, 20));
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.drawText(QRectF(6, 6, 20, 20), Qt::AlignCenter, QString::fromLatin1(look.badge));
    return QIcon(pm);
}

ReaderPanel::ReaderPanel(onewire::VirtualReader *reader, QWidget *parent) : QWidget(parent), m_reader(reader)
{
    setObjectName(QStringLiteral("readerPanel"));
    auto *layout = new QVBoxLayout(this);

    auto *title = new QLabel(tr("Emulated reader"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    QFont tf = title->font();
    tf.setBold(true);
    tf.setPointSizeF(tf.pointSizeF() * 1.2);
    title->setFont(tf);
    layout->addWidget(title);
    auto *note = new QLabel(tr("Virtual keys for working without a USB iButton reader. "
                               "Keys are kept as files in the data folder."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    m_readerIdLabel = new QLabel(this);
    m_readerIdLabel->setObjectName(QStringLiteral("readerIdLabel"));
    m_readerIdLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_readerIdLabel);

    m_keysTree = new QTreeWidget(this);
    m_keysTree->setObjectName(QStringLiteral("keysTree"));
    m_keysTree->setHeaderLabels({tr("Kind"), tr("Registration number"), tr("On reader")});
    m_keysTree->setRootIsDecorated(false);
    m_keysTree->setUniformRowHeights(true);
    m_keysTree->setIconSize(QSize(20, 20));
    m_keysTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_keysTree->setToolTip(tr("Double-click a key, or press Space, to put it on the reader or take it off."));
    m_keysTree->installEventFilter(this);
    layout->addWidget(m_keysTree, 1);

    auto *moveRow = new QHBoxLayout;
    m_putOnButton = new QPushButton(tr("&Put on reader"), this);
    m_putOnButton->setObjectName(QStringLiteral("putOnButton"));
    m_takeOffButton = new QPushButton(tr("&Take off reader"), this);
    m_takeOffButton->setObjectName(QStringLiteral("takeOffButton"));
    moveRow->addWidget(m_putOnButton);
    moveRow->addWidget(m_takeOffButton);
    layout->addLayout(moveRow);

    m_onReaderLabel = new QLabel(this);
    m_onReaderLabel->setObjectName(QStringLiteral("onReaderLabel"));
    m_onReaderLabel->setWordWrap(true);
    m_onReaderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_onReaderLabel);

    auto *createBox = new QGridLayout;
    int i = 0;
    for (const auto &look : kLooks) {
        auto *b = new QPushButton(keyIcon(look.kind), tr(look.buttonText), this);
        b->setObjectName(QString::fromLatin1(look.objectName));
        const VirtualKeyKind kind = look.kind;
        connect(b, &QPushButton::clicked, this, [this, kind] { createKey(kind); });
        createBox->addWidget(b, i, 0); // one column keeps the panel narrow
        ++i;
    }
    layout->addLayout(createBox);

    connect(m_putOnButton, &QPushButton::clicked, this, &ReaderPanel::putOnClick);
    connect(m_takeOffButton, &QPushButton::clicked, this, &ReaderPanel::takeOffClick);
    connect(m_keysTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { toggleItem(item); });
    connect(m_keysTree, &QTreeWidget::itemSelectionChanged, this, &ReaderPanel::updateButtons);

    for (const QString &problem : m_reader->loadProblems())
        m_onReaderLabel->setToolTip(m_onReaderLabel->toolTip() + problem + QLatin1Char('\n'));
    refresh();
}

void ReaderPanel::refresh()
{
    const QString selected = selectedSerial();
    m_keysTree->clear();
    for (const auto &k : m_reader->keys()) {
        auto *item = new QTreeWidgetItem(m_keysTree);
        item->setIcon(KindColumn, keyIcon(k.kind));
        item->setText(KindColumn, onewire::kindName(k.kind));
        item->setText(SerialColumn, k.serialId);
        item->setData(SerialColumn, Qt::UserRole, k.serialId);
        item->setText(OnReaderColumn, k.onReader ? tr("Yes") : QString());
        QFont f = item->font(SerialColumn);
        f.setFamily(QStringLiteral("monospace"));
        f.setStyleHint(QFont::Monospace);
        item->setFont(SerialColumn, f);
        if (k.onReader)
            for (int c = 0; c < 3; ++c)
                item->setBackground(c, QColor(0xdd, 0xee, 0xd8));
    }
    m_readerIdLabel->setText(tr("Reader ID chip: %1").arg(m_reader->readerChipId()));
    const QStringList on = m_reader->onReader();
    m_onReaderLabel->setText(on.isEmpty() ? tr("On the reader now: no key.")
                                          : tr("On the reader now: %1").arg(on.join(QStringLiteral(", "))));
    select(selected);
    updateButtons();
}

QString ReaderPanel::selectedSerial() const
{
    const auto items = m_keysTree->selectedItems();
    return items.isEmpty() ? QString() : items.first()->data(SerialColumn, Qt::UserRole).toString();
}

void ReaderPanel::select(const QString &serialId)
{
    if (serialId.isEmpty())
        return;
    for (int i = 0; i < m_keysTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_keysTree->topLevelItem(i);
        if (item->data(SerialColumn, Qt::UserRole).toString() == serialId) {
            m_keysTree->setCurrentItem(item);
            return;
        }
    }
}

void ReaderPanel::updateButtons()
{
    const QString id = selectedSerial();
    const bool on = !id.isEmpty() && m_reader->onReader().contains(id);
    m_putOnButton->setEnabled(!id.isEmpty() && !on);
    m_takeOffButton->setEnabled(on);
}

void ReaderPanel::createKey(VirtualKeyKind kind)
{
    const auto created = m_reader->createKey(kind);
    if (!created.ok) {
        msg::error(created.error, this);
        return;
    }
    refresh();
    select(created.value);
    m_keysTree->setFocus();
}

void ReaderPanel::putOnClick()
{
    const QString id = selectedSerial();
    if (id.isEmpty())
        return;
    const Status s = m_reader->putOnReader(id);
    if (!s.ok) {
        msg::error(s.error, this);
        return;
    }
    refresh();
    emit keysChanged();
}

void ReaderPanel::takeOffClick()
{
    const QString id = selectedSerial();
    if (id.isEmpty())
        return;
    const Status s = m_reader->takeOff(id);
    if (!s.ok) {
        msg::error(s.error, this);
        return;
    }
    refresh();
    emit keysChanged();
}

void ReaderPanel::toggleItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    m_keysTree->setCurrentItem(item);
    if (m_reader->onReader().contains(item->data(SerialColumn, Qt::UserRole).toString()))
        takeOffClick();
    else
        putOnClick();
}

bool ReaderPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keysTree && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space && m_keysTree->currentItem()) {
        toggleItem(m_keysTree->currentItem());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
