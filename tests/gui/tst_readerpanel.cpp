#include "GuiTest.h"
#include "MessageRecorder.h"
#include "common/AppContext.h"
#include "ibutton/KeyCheck.h"
#include "reader/KeyTransferUi.h"
#include "reader/ReaderPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace onewire;

class TestReaderPanel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { AppContext::instance().reset(); }

    // A person creates a program key, puts it on the reader, and a window's
    // key check finds it; taken off again, the check finds nothing.
    void createPutOnAndCheck()
    {
        QTemporaryDir dir;
        VirtualReader reader(dir.path());
        AppContext::instance().setBus(&reader.bus());
        MessageRecorder messages;
        ReaderPanel panel(&reader);
        panel.show();
        QSignalSpy changed(&panel, &ReaderPanel::keysChanged);

        auto *tree = panel.findChild<QTreeWidget *>("keysTree");
        auto *create = panel.findChild<QPushButton *>("newDs1977Button");
        auto *putOn = panel.findChild<QPushButton *>("putOnButton");
        auto *takeOff = panel.findChild<QPushButton *>("takeOffButton");
        QVERIFY(tree && create && putOn && takeOff);
        QVERIFY(!putOn->isEnabled());

        QTest::mouseClick(panel.findChild<QPushButton *>("newDs1904Button"), Qt::LeftButton);
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(tree->topLevelItemCount(), 2);
        const QString id = reader.keys().last().serialId;
        QCOMPARE(tree->currentItem()->text(1), id);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("DS1977 program key"));
        QVERIFY(putOn->isEnabled());
        QCOMPARE(changed.count(), 0);

        KeyTransferContext ctx = makeKeyTransferContext(&panel);
        QVERIFY(!IsOneWirePortOK(ctx, KeyCheckWindow::SingleLockProgramming));

        QTest::mouseClick(putOn, Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(reader.onReader(), QStringList{id});
        QVERIFY(panel.findChild<QLabel *>("onReaderLabel")->text().contains(id));
        QVERIFY(takeOff->isEnabled() && !putOn->isEnabled());
        guitest::snapshot(&panel, QStringLiteral("ReaderPanel"));

        QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::SingleLockProgramming));
        QCOMPARE(romBufferText(ctx.rom), id);

        // Space on the list toggles the current key.
        QTest::keyClick(tree, Qt::Key_Space);
        QCOMPARE(changed.count(), 2);
        QVERIFY(reader.onReader().isEmpty());
        QVERIFY(!IsOneWirePortOK(ctx, KeyCheckWindow::SingleLockProgramming));
        QCOMPARE(messages.count(), 0);
    }

    // The context a window gets routes the routines' texts to the message service.
    void messagesReachTheService()
    {
        QTemporaryDir dir;
        VirtualReader reader(dir.path());
        reader.bus().setPort(5);
        AppContext::instance().setBus(&reader.bus());
        MessageRecorder messages;
        KeyTransferContext ctx = makeKeyTransferContext(nullptr);
        QVERIFY(!IsOneWirePortOK(ctx, KeyCheckWindow::ReadKey));
        QCOMPARE(messages.texts(), QStringList{"Please check your PC iButton Reader is on the right port!"});
        QCOMPARE(messages.lastKind(), MessageService::Kind::Information);
    }
};

CORVANE_GUITEST_MAIN(TestReaderPanel)
#include "tst_readerpanel.moc"
