#pragma once

#include <QtTest>

class QWidget;

// Shared set-up of every GUI test executable: offscreen platform and, when
// UI_SNAPSHOT_DIR is set, a PNG of every window the test shows, saved there
// under the window's class name (TLogin_Form.png).
namespace guitest {

void installSnapshots();
// Saves a picture of `w` now (no-op unless UI_SNAPSHOT_DIR is set).
void snapshot(QWidget *w, const QString &name = QString());

} // namespace guitest

#define CORVANE_GUITEST_MAIN(TestObject)                                                                         \
    int main(int argc, char *argv[])                                                                             \
    {                                                                                                            \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                             \
        QApplication app(argc, argv);                                                                            \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                 \
        guitest::installSnapshots();                                                                             \
        TestObject tc;                                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                               \
        return QTest::qExec(&tc, argc, argv);                                                                    \
    }
