#pragma once

#include <QWidget>

// The personal-assets page. Not built yet: the main window hosts this empty page in its place.
class u_capital : public QWidget
{
    Q_OBJECT
public:
    explicit u_capital(QWidget *parent = nullptr);
};
