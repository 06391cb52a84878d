#include "notebook/u_notepro.h"

u_notepro::u_notepro(QWidget *parent)
    : Page(parent)
{
}
