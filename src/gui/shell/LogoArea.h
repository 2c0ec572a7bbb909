#pragma once

#include <QMdiArea>
#include <QPixmap>

// The MDI client area with the site's logo centred behind the task windows.
// "logo.bmp" in the data folder replaces the built-in picture.
class LogoArea : public QMdiArea
{
    Q_OBJECT

public:
    explicit LogoArea(const QString &dataDir, QWidget *parent = nullptr);
    bool hasLogo() const { return !m_logo.isNull(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_logo;
};
