#pragma once

#include "ibutton/VirtualReader.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The emulated reader in the main window: the virtual keys with their kind and
// registration number, buttons to create a key of each kind, and putting a
// key on the reader or taking it off (also by double-click or Space).
class ReaderPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ReaderPanel(onewire::VirtualReader *reader, QWidget *parent = nullptr);

    // The picture of a key kind, as the list shows it.
    static QIcon keyIcon(onewire::VirtualKeyKind kind);

public slots:
    // Re-reads the keys and what lies on the reader (after a test pulled a key, say).
    void refresh();

signals:
    // What lies on the reader changed.
    void keysChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void createKey(onewire::VirtualKeyKind kind);
    void putOnClick();
    void takeOffClick();
    void toggleItem(QTreeWidgetItem *item);
    void updateButtons();

private:
    QString selectedSerial() const;
    void select(const QString &serialId);

    onewire::VirtualReader *m_reader;
    QTreeWidget *m_keysTree;
    QLabel *m_readerIdLabel;
    QLabel *m_onReaderLabel;
    QPushButton *m_putOnButton;
    QPushButton *m_takeOffButton;
};
