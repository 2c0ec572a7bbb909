#include "GuiTest.h"
#include "MasterDataSamples.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/RecordEditor.h"
#include "ibutton/VirtualReader.h"
#include "masterdata/TKeyManagement_Form.h"
#include "masterdata/TSelectUserType_Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

using namespace samples;
using State = store::CachedQuery::State;

class TestUserSettings : public WindowTest
{
    Q_OBJECT


    // Ann has an iButton, Bob a key code, Cid both; Ann is in locks 1 and 2, Bob in lock 1.
    void seed()
    {
        addLock(1, serial(1), "Front Door", "Main Building");
        addLock(2, serial(2), "Store Room", "Annex");
        addUser(1, "Ann", "Archer", "iButton", serial(11), "", "Sales");
        addUser(2, "Bob", "Baker", "KeyCode", "", "1234", "Stores");
        addUser(3, "Cid", "Cole", "Complex", serial(12), "555", "Sales");
        assign(1, 1, "Ann", "Archer");
        assign(2, 1, "Ann", "Archer");
        assign(1, 2, "Bob", "Baker");
    }

    // Answers the Select User Type dialog once it is up.
    void chooseType(const char *radio)
    {
        const QByteArray name(radio);
        QTimer::singleShot(0, this, [name] {
            auto *dlg = qobject_cast<TSelectUserType_Form *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            if (name.isEmpty()) {
                button(dlg, "cancelButton")->click();
                return;
            }
            child<QRadioButton>(dlg, name.constData())->setChecked(true);
            button(dlg, "okButton")->click();
        });
    }

    int column(TKeyManagement_Form &w, const char *field)
    {
        for (int c = 0; c < w.master()->columnCount(); ++c)
            if (w.master()->fieldOfColumn(c) == QLatin1String(field))
                return c;
        return -1;
    }

private slots:
    void init()
    {
        QVERIFY(openSession(1));
        AppContext::instance().ReaderId = serial(99, 0x81);
    }
    void cleanup()
    {
        TKeyManagement_Form::readButtonOnReader() = nullptr;
        closeSession();
    }

    void validationInOrder_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("serialText");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::addColumn<bool>("warning");
        const QString s = serial(20);
        QTest::newRow("neither id") << "iButton" << "" << "" << "Dan" << "Dunn" << "Active" << "Please fill in iButton ID or Key Code." << false;
        QTest::newRow("first name") << "iButton" << s << "" << "" << "Dunn" << "Active" << "First Name field empty!" << false;
        QTest::newRow("last name") << "iButton" << s << "" << "Dan" << "" << "Active" << "Last Name field empty!" << false;
        QTest::newRow("status") << "iButton" << s << "" << "Dan" << "Dunn" << "" << "Status field empty!" << false;
        QTest::newRow("complex no button") << "Complex" << "" << "12" << "Dan" << "Dunn" << "Active" << "Please fill in the iButton ID." << false;
        QTest::newRow("complex no code") << "Complex" << s << "" << "Dan" << "Dunn" << "Active" << "Please fill in Key Code." << false;
        QTest::newRow("complex letters") << "Complex" << badSerial(20) << "12a" << "Dan" << "Dunn" << "Active" << "Key code needs to be numerical." << false;
        QTest::newRow("complex CRC") << "Complex" << badSerial(20) << "12" << "Dan" << "Dunn" << "Active" << "iButton ID field CRC check error!" << true;
        QTest::newRow("complex taken") << "Complex" << serial(12) << "12" << "Dan" << "Dunn" << "Active" << "This iButton ID already exists." << true;
        QTest::newRow("complex reuses key code") << "Complex" << s << "1234" << "Dan" << "Dunn" << "Active" << "" << false;
        QTest::newRow("complex reuses iButton") << "Complex" << serial(11) << "77" << "Dan" << "Dunn" << "Active" << "" << false;
        QTest::newRow("code missing") << "KeyCode" << s << "" << "Dan" << "Dunn" << "Active" << "Please fill in Key Code." << false;
        QTest::newRow("code with button") << "KeyCode" << s << "12" << "Dan" << "Dunn" << "Active" << "Please fill in Key Code only." << false;
        QTest::newRow("code taken before letters") << "KeyCode" << "" << "1234" << "Dan" << "Dunn" << "Active" << "This Key Code already exists." << true;
        QTest::newRow("code letters") << "KeyCode" << "" << "12x" << "Dan" << "Dunn" << "Active" << "Key code needs to be numerical." << false;
        QTest::newRow("code reuses complex code") << "KeyCode" << "" << "555" << "Dan" << "Dunn" << "Active" << "" << false;
        QTest::newRow("button missing") << "iButton" << "" << "12" << "Dan" << "Dunn" << "Active" << "Please fill in the iButton ID." << false;
        QTest::newRow("button with code") << "iButton" << s << "12" << "Dan" << "Dunn" << "Active" << "Please fill in the iButton ID only." << false;
        QTest::newRow("button CRC") << "iButton" << badSerial(20) << "" << "Dan" << "Dunn" << "Active" << "iButton ID field CRC check error!" << true;
        QTest::newRow("button taken") << "iButton" << serial(11) << "" << "Dan" << "Dunn" << "Active" << "This iButton ID already exists." << true;
        QTest::newRow("name pair taken") << "iButton" << s << "" << "ann" << "Archer" << "Active" << "This First Name and Last Name already exists." << true;
        QTest::newRow("saved") << "iButton" << s << "" << "Dan" << "Dunn" << "Inactive" << "" << false;
    }

    void validationInOrder()
    {
        QFETCH(QString, type);
        QFETCH(QString, serialText);
        QFETCH(QString, code);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, status);
        QFETCH(QString, message);
        QFETCH(bool, warning);
        seed();
        TKeyManagement_Form w;
        QVERIFY(w.master()->append());
        store::CachedQuery &q = *w.master();
        q.setValue("UserType", type);
        q.setValue("SerialID", serialText);
        q.setValue("KeyCode", code);
        q.setValue("FirstName", first);
        q.setValue("LastName", last);
        q.setValue("Status", status);
        button(&w, "saveButton")->click();
        if (message.isEmpty()) {
            QCOMPARE(m_msg->texts(), QStringList());
            QCOMPARE(count("SELECT count(*) FROM KeyManagement WHERE KeyID = 4 AND FirstName = :f AND UserType = :t",
                           {{"f", first}, {"t", type}}), 1);
            return;
        }
        QCOMPARE(m_msg->texts(), QStringList{message});
        QCOMPARE(m_msg->lastKind(), warning ? MessageService::Kind::Warning : MessageService::Kind::Information);
        QCOMPARE(q.state(), State::Insert);
        QCOMPARE(q.value("FirstName").toString(), first);
        QCOMPARE(count("SELECT count(*) FROM KeyManagement"), 3);
    }

    // In edit the user's own row does not count, another user's does.
    void editChecksAgainstOtherUsers()
    {
        seed();
        addUser(4, "Eve", "Evans", "iButton", serial(13), "");
        TKeyManagement_Form w;
        QVERIFY(w.master()->locate("KeyID", 4));
        button(&w, "modifyButton")->click();
        QCOMPARE(w.master()->state(), State::Edit);
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        button(&w, "modifyButton")->click();
        w.master()->setValue("SerialID", serial(11));
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"This iButton ID already exists"});
    }

    void addAsksForTheUserType()
    {
        seed();
        TKeyManagement_Form w;
        w.show();
        chooseType("keyCodeUserRadio");
        button(&w, "addButton")->click();
        QCOMPARE(w.master()->state(), State::Insert);
        QCOMPARE(w.master()->value("UserType").toString(), QStringLiteral("KeyCode"));
        QCOMPARE(w.master()->value("KeyID").toInt(), 4);
        QCOMPARE(w.master()->value("Status").toString(), QStringLiteral("Active"));
        QVERIFY(!button(&w, "addButton")->isEnabled() && button(&w, "saveButton")->isEnabled());
        QVERIFY(!child<QLineEdit>(&w, "searchFirstNameEdit")->isEnabled());
        button(&w, "cancelButton")->click();

        chooseType(""); // Cancel: the new row stays, of type "iButton"
        button(&w, "addButton")->click();
        QCOMPARE(w.master()->state(), State::Insert);
        QCOMPARE(w.master()->value("UserType").toString(), QStringLiteral("iButton"));
        button(&w, "cancelButton")->click();
        QCOMPARE(w.master()->recordCount(), 3);
    }

    void typingInTheGrid()
    {
        seed();
        TKeyManagement_Form w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        chooseType("keyCodeUserRadio");
        button(&w, "addButton")->click();
        QTableView *grid = w.grid();
        grid->setFocus();
        auto typeInto = [&](const char *field, const QString &text) {
            const QModelIndex cell = w.master()->index(w.master()->currentRow(), column(w, field));
            grid->setCurrentIndex(cell);
            grid->edit(cell);
            auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(cell));
            QVERIFY(editor);
            QTest::keyClicks(editor, text);
            QTest::keyClick(editor, Qt::Key_Return); // commits and moves on
            QCOMPARE(w.master()->value(field).toString(), text);
            QVERIFY(!grid->indexWidget(cell));
        };
        typeInto("FirstName", "Dan");
        typeInto("LastName", "Dunn");
        typeInto("KeyCode", "9876");
        QCOMPARE(w.master()->state(), State::Insert); // Enter pressed nothing
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(text("SELECT FirstName || ' ' || LastName || ' ' || KeyCode || ' ' || UserType FROM KeyManagement WHERE KeyID = 4"),
                 QStringLiteral("Dan Dunn 9876 KeyCode"));
        guitest::snapshot(&w);
    }

    void modifyNeedsTheReader()
    {
        seed();
        AppContext::instance().ReaderId.clear();
        TKeyManagement_Form w;
        button(&w, "modifyButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"Please Check USB Connection."});
        QCOMPARE(w.master()->state(), State::Browse);
    }

    void readingAKeyIntoSerialId()
    {
        seed();
        QString onReader = serial(11);
        TKeyManagement_Form::readButtonOnReader() = [&onReader] { return onReader; };
        TKeyManagement_Form w;
        const int serialColumn = column(w, "SerialID");
        // Browse state: nothing is read.
        w.DBGrid1CellClick(w.master()->index(w.master()->currentRow(), serialColumn));
        QCOMPARE(m_msg->count(), 0);

        chooseType("complexUserRadio");
        button(&w, "addButton")->click();
        const int row = w.master()->currentRow();
        w.DBGrid1CellClick(w.master()->index(row, column(w, "FirstName")));
        QCOMPARE(w.master()->value("SerialID").toString(), QString());
        w.DBGrid1CellClick(w.master()->index(row, serialColumn));
        QCOMPARE(w.master()->value("SerialID").toString(), serial(11));
        const QString colon = QString(QChar(0xFF1A));
        QCOMPARE(m_msg->texts(), QStringList{"This Serial ID already exists.\n\r\n\rSerialID" + colon + "[" + serial(11) +
                                             "]\n\rFirstName" + colon + "[Ann]\n\rLastName" + colon + "[Archer]\n\r"});
        QCOMPARE(m_msg->lastKind(), MessageService::Kind::Warning);
        button(&w, "cancelButton")->click();

        // A key-code user has no iButton to read.
        m_msg->clear();
        chooseType("keyCodeUserRadio");
        button(&w, "addButton")->click();
        w.DBGrid1CellClick(w.master()->index(w.master()->currentRow(), serialColumn));
        QCOMPARE(w.master()->value("SerialID").toString(), QString());
        // An empty reader changes nothing.
        w.master()->setValue("UserType", "iButton");
        onReader.clear();
        w.DBGrid1CellClick(w.master()->index(w.master()->currentRow(), serialColumn));
        QCOMPARE(w.master()->value("SerialID").toString(), QString());
        QCOMPARE(m_msg->count(), 0);
    }

    // The key really lies on the (emulated) reader beside the reader's own chip.
    void readsTheKeyOnTheReader()
    {
        seed();
        onewire::VirtualReader reader(m_dir->path());
        const Result<QString> key = reader.createKey(onewire::VirtualKeyKind::UserButton);
        QVERIFY(key.ok);
        QVERIFY(reader.putOnReader(key.value).ok);
        AppContext::instance().setBus(&reader.bus());
        AppContext::instance().ReaderId = reader.readerChipId();
        TKeyManagement_Form w;
        chooseType("iButtonUserRadio");
        button(&w, "addButton")->click();
        w.DBGrid1CellClick(w.master()->index(w.master()->currentRow(), column(w, "SerialID")));
        AppContext::instance().setBus(nullptr);
        QCOMPARE(w.master()->value("SerialID").toString(), key.value);
        QCOMPARE(m_msg->count(), 0);
    }

    void savingCopiesIntoAssignments()
    {
        seed();
        TKeyManagement_Form w;
        QVERIFY(w.master()->locate("KeyID", 1));
        QCOMPARE(w.locks()->recordCount(), 2);
        button(&w, "modifyButton")->click();
        w.master()->setValue("LastName", "Armstrong");
        w.master()->setValue("Department", "Logistics");
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(count("SELECT count(*) FROM LockKeyManagement WHERE KeyID = 1 AND LastName = 'Armstrong' "
                       "AND Department = 'Logistics' AND Title = ''"), 2);
        QCOMPARE(text("SELECT LastName FROM LockKeyManagement WHERE KeyID = 2"), QStringLiteral("Baker"));
        // The department list offers the new department.
        QVERIFY(child<QComboBox>(&w, "searchDepartmentCombo")->findText("Logistics") >= 0);
    }

    void deleteAsksAndRemovesAssignments()
    {
        seed();
        TKeyManagement_Form w;
        QVERIFY(w.master()->locate("KeyID", 1));
        m_msg->queueAnswer(false);
        button(&w, "deleteButton")->click();
        QCOMPARE(count("SELECT count(*) FROM KeyManagement"), 3);
        m_msg->queueAnswer(true);
        button(&w, "deleteButton")->click();
        QCOMPARE(m_msg->texts(), (QStringList{"Do you want to delete this key?\n\r\n\r", "Do you want to delete this key?\n\r\n\r"}));
        QCOMPARE(count("SELECT count(*) FROM KeyManagement WHERE KeyID = 1"), 0);
        QCOMPARE(count("SELECT count(*) FROM LockKeyManagement WHERE KeyID = 1"), 0);
        QCOMPARE(count("SELECT count(*) FROM LockKeyManagement"), 1);
    }

    void search_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("first name exact") << "searchFirstNameCheck" << "Ann" << QStringList{"Ann"};
        QTest::newRow("first name part") << "searchFirstNameCheck" << "An" << QStringList{};
        QTest::newRow("department") << "searchDepartmentCheck" << "Sales" << QStringList{"Ann", "Cid"};
        QTest::newRow("status") << "searchStatusCheck" << "Inactive" << QStringList{"Bob"};
    }

    void search()
    {
        QFETCH(QString, check);
        QFETCH(QString, value);
        QFETCH(QStringList, found);
        seed();
        run("UPDATE KeyManagement SET Status = 'Inactive' WHERE KeyID = 2");
        TKeyManagement_Form w;
        child<QCheckBox>(&w, check.toLatin1().constData())->setChecked(true);
        child<QLineEdit>(&w, "searchFirstNameEdit")->setText(value);
        child<QComboBox>(&w, "searchDepartmentCombo")->setCurrentText(value);
        child<QComboBox>(&w, "searchStatusCombo")->setCurrentText(value);
        button(&w, "searchButton")->click();
        QStringList names;
        for (int r = 0; r < w.master()->recordCount(); ++r)
            names << w.master()->valueAt(r, "FirstName").toString();
        QCOMPARE(names, found);
    }
};

CORVANE_GUITEST_MAIN(TestUserSettings)
#include "tst_usersettings.moc"
