#pragma once

#include "pagekit/page.h"

// The personal-assets page. Not built yet: the main window hosts this empty page in its place.
class u_capital : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_capital(QWidget *parent = nullptr);
    void of_layout(int, int) override {}
};
