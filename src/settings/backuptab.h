#pragma once

#include <QWidget>

class QGroupBox;

namespace settings {

class BackupTab : public QWidget
{
    Q_OBJECT
public:
    explicit BackupTab(QWidget *parent = nullptr);
    void of_layout(int w, int h);
    void of_lock(bool) {}
    void of_exit() {}
    QGroupBox *gb_c;
};

} // namespace settings
