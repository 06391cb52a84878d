#include "addressbook/u_telpro.h"

u_telpro::u_telpro(QWidget *parent)
    : QWidget(parent)
{
}
