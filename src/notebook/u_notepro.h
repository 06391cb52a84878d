#pragma once

#include <QWidget>

// The notebook page. Not built yet: the main window hosts this empty page in its place.
class u_notepro : public QWidget
{
    Q_OBJECT
public:
    explicit u_notepro(QWidget *parent = nullptr);
};
