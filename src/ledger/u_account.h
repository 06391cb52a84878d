#pragma once

#include <QWidget>

// The ledger page. Not built yet: the main window hosts this empty page in its place.
class u_account : public QWidget
{
    Q_OBJECT
public:
    explicit u_account(QWidget *parent = nullptr);
};
