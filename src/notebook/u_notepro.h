#pragma once

#include "pagekit/page.h"

// The notebook page. Not built yet: the main window hosts this empty page in its place.
class u_notepro : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_notepro(QWidget *parent = nullptr);
    void of_layout(int, int) override {}
};
