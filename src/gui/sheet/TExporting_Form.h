#pragma once

#include <QWidget>

class QLabel;

// The borderless "Exporting" waiting window shown, centred on the main
// window, while a workbook is written.
class TExporting_Form : public QWidget
{
    Q_OBJECT

public:
    explicit TExporting_Form(QWidget *parent = nullptr);

    // Shows the window and lets it paint before the work starts.
    void showNow();

private:
    QLabel *m_label = nullptr;
};
