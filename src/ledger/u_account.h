#pragma once

#include "pagekit/page.h"

// The ledger page. Not built yet: the main window hosts this empty page in its place.
class u_account : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_account(QWidget *parent = nullptr);
    void of_layout(int, int) override {}
};
