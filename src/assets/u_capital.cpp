#include "assets/u_capital.h"

u_capital::u_capital(QWidget *parent)
    : Page(parent)
{
}
