#pragma once

#include <QWidget>

// A borderless note ("Downloading data, please wait...", "Loading data,
// please wait...") centred on the main window while a long task runs.
// Created on the stack: it disappears when the task's scope ends, on every path.
class WaitingWindow : public QWidget
{
    Q_OBJECT
public:
    explicit WaitingWindow(const QString &text, const QString &caption = QString(), QWidget *over = nullptr);
    ~WaitingWindow() override;
};
