#pragma once

#include <QWidget>

class QGroupBox;

namespace settings {

class ExportTab : public QWidget
{
    Q_OBJECT
public:
    explicit ExportTab(QWidget *parent = nullptr);
    void of_layout(int w, int h);

    QGroupBox *gb_b;
};

} // namespace settings
