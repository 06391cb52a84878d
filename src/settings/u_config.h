#pragma once

#include <QWidget>

// The settings page. Not built yet: the main window hosts this empty page in its place.
class u_config : public QWidget
{
    Q_OBJECT
public:
    explicit u_config(QWidget *parent = nullptr);
};
