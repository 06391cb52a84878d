#pragma once

#include <QWidget>

class QGroupBox;

namespace settings {

class PrinterTab : public QWidget
{
    Q_OBJECT
public:
    explicit PrinterTab(QWidget *parent = nullptr);
    void of_layout(int w, int h);

    QGroupBox *gb_d;
};

} // namespace settings
