#pragma once

#include <QWidget>

// The address book page. Not built yet: the main window hosts this empty page in its place.
class u_telpro : public QWidget
{
    Q_OBJECT
public:
    explicit u_telpro(QWidget *parent = nullptr);
};
