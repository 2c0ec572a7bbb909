#pragma once

#include "common/Result.h"
#include "keyformat/KeyPage.h"
#include "lockemu/LockStore.h"

#include <QWidget>

#include <functional>

class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The lock side of the emulated reader: a list of emulated locks kept in the
// data folder, a way to create one, to touch the key on the reader to it,
// and to simulate a person opening it with an iButton or a code. Labelled as
// emulated throughout: nothing here talks to a real lock.
class LockEmulatorPanel : public QWidget
{
    Q_OBJECT

public:
    using KeyOnReaderFn = std::function<QString()>;                 // SerialID of the DS1977 on the reader, or empty
    using ReadImageFn = std::function<Result<QByteArray>(QString)>; // its 32768 bytes
    using WriteImageFn = std::function<Status(QString, QByteArray)>;

    LockEmulatorPanel(const QString &dataDir, KeyOnReaderFn keyOnReader, ReadImageFn readImage, WriteImageFn writeImage,
                      QWidget *parent = nullptr);

    // The facility code a new emulated lock starts with (the site's, normally).
    void setDefaultFacility(const keyformat::FacilityBytes &fc);
    QString selectedSerial() const;
    void selectLock(const QString &serialId);
    void reload();

public slots:
    void newLockClick();
    void resetClick();
    void touchKeyClick();
    void presentKeyClick();
    void enterCodeClick();

private:
    Result<lockemu::EmulatedLock> selectedLock();
    void showState();
    void showDecision(const QString &text, bool opened);
    void saveLock(const lockemu::EmulatedLock &lock);

    lockemu::LockStore m_store;
    KeyOnReaderFn m_keyOnReader;
    ReadImageFn m_readImage;
    WriteImageFn m_writeImage;

    QListWidget *m_lockList = nullptr;
    QLineEdit *m_serialEdit = nullptr;
    QLineEdit *m_facilityEdit = nullptr;
    QPushButton *m_newLockButton = nullptr;
    QPushButton *m_resetButton = nullptr;
    QPushButton *m_touchKeyButton = nullptr;
    QLineEdit *m_userKeyEdit = nullptr;
    QPushButton *m_presentKeyButton = nullptr;
    QLineEdit *m_codeEdit = nullptr;
    QPushButton *m_enterCodeButton = nullptr;
    QDateTimeEdit *m_atEdit = nullptr;
    QLabel *m_decisionLabel = nullptr;
    QPlainTextEdit *m_stateView = nullptr;
};
